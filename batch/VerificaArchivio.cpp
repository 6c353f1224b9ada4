#include "batch/VerificaArchivio.h"

#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <bitset>
#include <vector>

namespace velmora {
namespace {

using NumberSet = std::bitset<ArchiveValidator::highestNumber + 1>;

// The numbers 1..90 of a card whose cells read as numbers; cells that are not numbers are the
// card rules' business, not a reason to call two cards the same.
NumberSet numbersOf(const RecordCartella &card) {
    NumberSet numbers;
    for (int k = 0; k < RecordCartella::cellCount; ++k) {
        const QString text = card.cellText(k).trimmed();
        const bool digits = !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        });
        const int value = digits ? text.toInt() : 0;
        if (value >= 1 && value <= ArchiveValidator::highestNumber) {
            numbers.set(static_cast<std::size_t>(value));
        }
    }
    return numbers;
}

std::pair<quint64, quint64> keyOf(const NumberSet &numbers) {
    quint64 low = 0;
    quint64 high = 0;
    for (int n = 1; n <= ArchiveValidator::highestNumber; ++n) {
        if (numbers.test(static_cast<std::size_t>(n))) {
            (n < 64 ? low : high) |= quint64(1) << (n % 64);
        }
    }
    return {low, high};
}

QString plural(qint64 n, const QString &one, const QString &many) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

} // namespace

QString VerificaArchivio::ruleName(ArchiveRule rule) {
    switch (rule) {
    case ArchiveRule::CellNotNumber:
        return QStringLiteral("casella non numerica");
    case ArchiveRule::NumberOutOfRange:
        return QStringLiteral("numeri da 1 a 90");
    case ArchiveRule::WrongColumn:
        return QStringLiteral("numero nella colonna della sua decina");
    case ArchiveRule::ColumnCount:
        return QStringLiteral("da 1 a 3 numeri per colonna");
    case ArchiveRule::ColumnOrder:
        return QStringLiteral("numeri crescenti in ogni colonna");
    case ArchiveRule::RowCount:
        return QStringLiteral("5 numeri per riga");
    case ArchiveRule::CardCount:
        return QStringLiteral("15 numeri per cartella");
    case ArchiveRule::DuplicateInCard:
        return QStringLiteral("nessun numero ripetuto nella cartella");
    case ArchiveRule::ArchiveNumber:
        return QStringLiteral("numero d'archivio");
    case ArchiveRule::SeriesMissing:
    case ArchiveRule::SeriesRepeated:
        return QStringLiteral("serie di sei cartelle con i numeri da 1 a 90 una volta sola");
    case ArchiveRule::DuplicateCard:
        return QStringLiteral("nessuna cartella uguale a un'altra");
    case ArchiveRule::IncompleteRecord:
        return QStringLiteral("cartella completa");
    case ArchiveRule::EmptyArchive:
        return QStringLiteral("archivio non vuoto");
    }
    return {};
}

QString VerificaArchivio::line(const ArchiveFinding &finding) {
    // The rule goes inside the finding's sentence, before its full stop.
    QString message = finding.message;
    if (message.endsWith(u'.')) {
        message.chop(1);
    }
    return QStringLiteral("%1 (regola: %2).").arg(message, ruleName(finding.rule));
}

QStringList VerificaArchivio::Report::lines() const {
    // A garbage file breaks every rule on every card: the listing stays readable (a few lines
    // a card, a bounded total) and the summary still counts every fault.
    QStringList result;
    qint64 unlisted = 0;
    for (qsizetype i = 0; i < findings.size();) {
        const qint64 card = findings[i].card;
        qsizetype end = i;
        while (end < findings.size() && findings[end].card == card) {
            ++end;
        }
        const qsizetype shown = std::min<qsizetype>(end - i, maxLinesPerCard);
        if (unlisted > 0 || result.size() + shown + 1 > maxLines) {
            unlisted += end - i;
        } else {
            for (qsizetype k = i; k < i + shown; ++k) {
                result.append(line(findings[k]));
            }
            if (end - i > shown) {
                const qint64 more = end - i - shown;
                result.append(more == 1
                                  ? QStringLiteral("Cartella %1: c'è un altro errore.").arg(card)
                                  : QStringLiteral("Cartella %1: ci sono altri %2 errori.")
                                        .arg(card)
                                        .arg(more));
            }
        }
        i = end;
    }
    if (unlisted > 0) {
        result.append(unlisted == 1
                          ? QStringLiteral("Un altro errore non è elencato.")
                          : QStringLiteral("Altri %1 errori non sono elencati.").arg(unlisted));
    }
    if (missingFirst <= missingLast) {
        const QString which =
            missingFirst == missingLast
                ? QStringLiteral("Cartella %1").arg(missingFirst)
                : QStringLiteral("Cartelle da %1 a %2").arg(missingFirst).arg(missingLast);
        result.append(QStringLiteral("%1: oltre la fine dell'archivio, che contiene %2; "
                                     "sarebbero stampate senza numeri (regola: cartelle "
                                     "presenti nell'archivio).")
                          .arg(which, plural(archiveCards, QStringLiteral("cartella"),
                                             QStringLiteral("cartelle"))));
    }
    return result;
}

QString VerificaArchivio::Report::summary() const {
    const QString range =
        cardsChecked == 0
            ? QStringLiteral("nessuna cartella verificata")
            : QStringLiteral("%1 verificate (da %2 a %3)")
                  .arg(plural(cardsChecked, QStringLiteral("cartella"), QStringLiteral("cartelle")))
                  .arg(first)
                  .arg(first + cardsChecked - 1);
    const QString head =
        QStringLiteral("Archivio \"%1\" (%2): %3")
            .arg(QDir::toNativeSeparators(archivePath),
                 plural(archiveCards, QStringLiteral("cartella"), QStringLiteral("cartelle")),
                 range);
    const bool empty = std::any_of(findings.cbegin(), findings.cend(), [](const auto &finding) {
        return finding.rule == ArchiveRule::EmptyArchive;
    });
    if (empty) {
        return head + QStringLiteral(": l'archivio è vuoto.");
    }
    if (stopped) {
        return head + QStringLiteral(": verifica interrotta prima della fine.");
    }
    if (sound()) {
        return head + QStringLiteral(": nessun errore, l'archivio è integro.");
    }
    QSet<qint64> cards;
    for (const ArchiveFinding &finding : findings) {
        cards.insert(finding.card);
    }
    const bool missing = missingFirst <= missingLast;
    const qint64 faults = findings.size() + (missing ? 1 : 0);
    const qint64 faultyCards = cards.size() + (missing ? missingLast - missingFirst + 1 : 0);
    return head +
           QStringLiteral(": %1 in %2.")
               .arg(plural(faults, QStringLiteral("errore"), QStringLiteral("errori")),
                    plural(faultyCards, QStringLiteral("cartella"), QStringLiteral("cartelle")));
}

VerificaArchivio::Report VerificaArchivio::check(CardArchive &archive, qint64 first,
                                                 std::optional<qint64> count,
                                                 const std::function<bool()> &stop) {
    Report report;
    report.archivePath = archive.path();
    report.archiveCards = archive.cardCount();
    report.first = std::max<qint64>(first, 1);
    const qint64 records = archive.cardCount() + (archive.hasIncompleteLastRecord() ? 1 : 0);
    report.last = count ? report.first + std::max<qint64>(*count, 0) - 1 : records;
    const qint64 lastHeld = std::min(report.last, archive.cardCount());

    const auto stopped = [&stop, &report] {
        report.stopped = stop && stop();
        return report.stopped;
    };

    QHash<std::pair<quint64, quint64>, qint64> seen;
    constexpr qint64 series = ArchiveValidator::seriesLength;
    std::vector<RecordCartella> seriesCards;
    // Series are 1-6, 7-12, ...: the first touched may begin before the range.
    qint64 seriesStart = (report.first - 1) / series * series + 1;
    for (qint64 card = report.first; card <= lastHeld; ++card) {
        if (stopped()) {
            break;
        }
        const RecordCartella record = archive.read(card);
        report.findings.append(ArchiveValidator::checkCard(record, card));
        ++report.cardsChecked;

        const NumberSet numbers = numbersOf(record);
        if (numbers.any()) {
            const auto key = keyOf(numbers);
            const auto it = seen.constFind(key);
            if (it == seen.cend()) {
                seen.insert(key, card);
            } else {
                report.findings.append(
                    {card, ArchiveRule::DuplicateCard, 0, -1, -1,
                     QStringLiteral("Cartella %1: ha gli stessi numeri della cartella %2.")
                         .arg(card)
                         .arg(it.value())});
            }
        }

        // A series is checked whole once the range has reached its last card, or the end.
        const qint64 seriesEnd = std::min(seriesStart + series - 1, archive.cardCount());
        if (card == seriesEnd || card == lastHeld) {
            seriesCards.clear();
            for (qint64 c = seriesStart; c <= seriesEnd; ++c) {
                seriesCards.push_back(c == card ? record : archive.read(c));
            }
            report.findings.append(ArchiveValidator::checkSeries(seriesCards, seriesStart));
            seriesStart += series;
        }
    }

    if (!report.stopped) {
        qint64 beyond = archive.cardCount() + 1;
        if (archive.hasIncompleteLastRecord() && report.last >= beyond && report.first <= beyond) {
            report.findings.append(
                {beyond, ArchiveRule::IncompleteRecord, 0, -1, -1,
                 QStringLiteral("L'archivio \"%1\" termina con una cartella incompleta "
                                "(cartella %2): il file è danneggiato o troncato.")
                     .arg(archive.path())
                     .arg(beyond)});
        }
        if (archive.hasIncompleteLastRecord()) {
            ++beyond;
        }
        if (report.last >= beyond) {
            report.missingFirst = std::max(beyond, report.first);
            report.missingLast = report.last;
        }
        // An archive with nothing in it is no sound archive: every card would print blank.
        if (records == 0) {
            report.findings.append({1, ArchiveRule::EmptyArchive, 0, -1, -1,
                                    QStringLiteral("L'archivio \"%1\" è vuoto: non contiene "
                                                   "nessuna cartella.")
                                        .arg(QDir::toNativeSeparators(archive.path()))});
        }
    }
    std::stable_sort(
        report.findings.begin(), report.findings.end(),
        [](const ArchiveFinding &a, const ArchiveFinding &b) { return a.card < b.card; });
    return report;
}

} // namespace velmora
