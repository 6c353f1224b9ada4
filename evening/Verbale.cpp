#include "evening/Verbale.h"

#include "errors/VelmoraError.h"
#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "print/RunArchives.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "register/RegisterFailure.h"

#include <QFileInfo>
#include <QSqlError>

#include <algorithm>

namespace velmora {
namespace {

QString unreadable(const QString &why) {
    return QStringLiteral("Il verbale non si può leggere dal registro: %1.").arg(why);
}

QString unreadable(const QSqlDatabase &db, const QSqlError &error) {
    return unreadable(RegisterFailure::reason(error, db.databaseName()));
}

// A card's number as it is printed on it, by the print's own rule, from the number its record
// stores in the run's archive; without that archive (or its run), the number alone.
QString printedAs(const QList<RunRecord> &runs, RunArchives &archives, qint64 run, int archiveCard,
                  qint64 printed) {
    const auto record =
        std::find_if(runs.cbegin(), runs.cend(), [run](const RunRecord &r) { return r.id == run; });
    if (record != runs.cend()) {
        if (archiveCard == 0) {
            archiveCard =
                CardTrace::archiveCard(*record, int(printed), archives.lookup()).value_or(0);
        }
        if (const std::optional<QString> stored =
                archiveCard > 0 ? archives.storedNumber(*record, archiveCard) : std::nullopt) {
            try {
                const QString text =
                    CardNumbering::printedText(*stored, record->archiveNumbering, record->firstCard)
                        .trimmed();
                if (!text.isEmpty()) {
                    return text;
                }
            } catch (const VelmoraError &) {
                // A record that stores no number: the number the register kept says it.
            }
        }
    }
    return QString::number(printed);
}

// The runs of the evening with the printed numbers of their first and last card, read from
// the archive each run printed from while it is at hand as it was.
void addRuns(const QList<RunRecord> &records, RunArchives &archives, Verbale *verbale) {
    const StoredNumber stored = archives.lookup();
    for (const RunRecord &record : records) {
        Verbale::Run run;
        run.id = record.id;
        run.numbering = record.numberingText();
        run.archiveFileName = QFileInfo(record.archivePath).fileName();
        run.archiveSha256 = record.archiveSha256;
        if (const std::optional<CardTrace::Range> range = CardTrace::printedRange(record)) {
            run.firstArchiveCard = range->first;
            run.lastArchiveCard = range->last;
            run.firstPrinted = CardTrace::printedNumber(record, range->first, stored).value_or(0);
            run.lastPrinted = CardTrace::printedNumber(record, range->last, stored).value_or(0);
            run.delivered = range->last - range->first + 1;
            run.certain = range->certain;
        }
        verbale->runs.append(run);
        const auto same = [&record](const Verbale::Archive &archive) {
            return archive.path == record.archivePath && archive.sha256 == record.archiveSha256;
        };
        if (std::none_of(verbale->archives.cbegin(), verbale->archives.cend(), same)) {
            verbale->archives.append({record.archivePath, run.archiveFileName, record.archiveCards,
                                      record.archiveSha256});
        }
    }
}

// The evening's name and date, runs and cards in play; false with *reason when the register
// cannot be read.
bool readEvening(QSqlDatabase db, qint64 evening, QList<RunRecord> *runs, RunArchives &archives,
                 Verbale *verbale, QString *reason) {
    const EveningStore store(db);
    const std::optional<Evening> found = store.evening(evening);
    if (!found) {
        *reason = unreadable(store.lastError());
        return false;
    }
    verbale->eveningName = found->name;
    verbale->eveningDate = found->date;
    *runs = store.runs(evening);
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
        return false;
    }
    addRuns(*runs, archives, verbale);
    const std::optional<Signing> signing = store.signing(evening);
    if (!signing) {
        *reason = unreadable(store.lastError());
        return false;
    }
    verbale->signing = *signing;
    verbale->sold = store.sold(evening);
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
        return false;
    }
    for (const SoldRange &range : std::as_const(verbale->sold)) {
        verbale->soldCount += range.count();
        verbale->takingsCents += range.takingsCents();
    }
    return true;
}

} // namespace

QString Verbale::sourceText(DrawSource source) {
    switch (source) {
    case DrawSource::Typed:
        return QStringLiteral("digitato");
    case DrawSource::Clicked:
        return QStringLiteral("cliccato");
    case DrawSource::Computer:
        return QStringLiteral("estratto dal computer");
    case DrawSource::Unknown:
        break;
    }
    return {};
}

QString Verbale::valueText(const QString &value) {
    const std::optional<qint64> cents = EveningStore::parseCents(value);
    return cents ? EveningStore::money(*cents) : value;
}

std::optional<qint64> Verbale::givenCents(const QString &value, bool wholeToEach, int cards) {
    const std::optional<qint64> cents = EveningStore::parseCents(value);
    if (!cents) {
        return std::nullopt;
    }
    return wholeToEach ? *cents * std::max(1, cards) : *cents;
}

QString Verbale::shareText(const QString &value, bool wholeToEach, int cards) {
    if (value.isEmpty() || cards < 2) {
        return valueText(value);
    }
    const std::optional<qint64> cents = EveningStore::parseCents(value);
    if (wholeToEach) {
        return QStringLiteral("%1 a ciascuna delle %2 cartelle").arg(valueText(value)).arg(cards);
    }
    if (!cents) {
        return QStringLiteral("%1, da dividere fra %2 cartelle").arg(value).arg(cards);
    }
    // Whole cents to each; what cannot be divided is said, never lost.
    const qint64 each = *cents / cards;
    const qint64 left = *cents - each * cards;
    QString text = QStringLiteral("%1 diviso fra %2 cartelle: %3 ciascuna")
                       .arg(EveningStore::money(*cents))
                       .arg(cards)
                       .arg(EveningStore::money(each));
    if (left > 0) {
        text += QStringLiteral(" (resto: %1)").arg(EveningStore::money(left));
    }
    return text;
}

QList<GameListing> Verbale::gamesOfCurrentEvening(QSqlDatabase db, QString *reason) {
    reason->clear();
    const EveningStore store(db);
    const std::optional<Evening> evening = store.openOne();
    const QList<GameListing> games = evening ? store.games(evening->id) : QList<GameListing>();
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
    }
    return games;
}

qint64 Verbale::currentGame(QSqlDatabase db, QString *reason) {
    reason->clear();
    std::optional<GameStore::KeptGame> open;
    QSqlError error;
    if (!GameStore::readOpenGame(db, &open, &error)) {
        *reason = unreadable(db, error);
        return 0;
    }
    return open ? open->id : 0;
}

std::optional<Verbale> Verbale::read(QSqlDatabase db, qint64 game, QString *reason) {
    QSqlError error;
    std::optional<GameStore::KeptGame> kept;
    if (!GameStore::readGame(db, game, &kept, &error) || !kept) {
        *reason = error.isValid()
                      ? unreadable(db, error)
                      : QStringLiteral("La partita n. %1 non è nel registro.").arg(game);
        return std::nullopt;
    }
    const EveningStore evenings(db);
    const std::optional<GamePlace> place = evenings.placeOf(game);
    if (!place) {
        *reason = unreadable(evenings.lastError());
        return std::nullopt;
    }
    Verbale verbale;
    verbale.registerPath = db.databaseName();
    verbale.game = game;
    verbale.started = kept->started;
    // The lines the game was played under; a game kept before games had them has none: its
    // record is the register's alone, whatever the settings say when it is written.
    const GameStore::Heading heading = kept->heading.value_or(GameStore::Heading{});
    verbale.ditta = heading.ditta;
    verbale.via = heading.via;
    verbale.tel = heading.tel;
    verbale.title = heading.title;
    // A game kept before evenings were, or one the evening could not take, has no evening: its
    // record says so rather than borrow another's cards.
    QList<RunRecord> runs;
    RunArchives archives;
    verbale.signing.signers = Signing::usualSigners();
    if (place->evening != 0) {
        if (!readEvening(db, place->evening, &runs, archives, &verbale, reason)) {
            return std::nullopt;
        }
        verbale.gameNumber = place->number;
    }
    PrizePlan plan;
    QList<GameStore::TakenBack> takenBack;
    if (!GameStore::readLog(db, game, &verbale.draws, &error) ||
        !GameStore::readPrizes(db, game, &plan, &error) ||
        !GameStore::readTakenBack(db, game, &takenBack, &error) ||
        !GameStore::readClaims(db, game, &verbale.claims, &error)) {
        *reason = unreadable(db, error);
        return std::nullopt;
    }
    verbale.prizes = plan.prizes();
    verbale.ended = GameStore::endOf(kept->started, kept->ended, verbale.draws, plan);
    // Each award's cards as printed on them; a prize taken back keeps its line, marked.
    const auto addAward = [&](const Award &award, const QDateTime &takenBackAt) {
        const Prize prize = plan.prizes().value(award.prize);
        QStringList printed;
        for (const AwardedCard &card : award.cards) {
            printed.append(printedAs(runs, archives, card.run, card.archiveCard, card.printed));
        }
        verbale.awards.append({prize.name, prize.value, prize.wholeToEach, award.cards, printed,
                               award.when, takenBackAt});
    };
    for (const Award &award : plan.awards()) {
        addAward(award, {});
    }
    for (const GameStore::TakenBack &back : takenBack) {
        addAward(back.award, back.at);
    }
    for (const ClaimCheck &claim : std::as_const(verbale.claims)) {
        verbale.claimPrinted.append(printedAs(runs, archives, claim.run, 0, claim.printedNumber));
    }
    std::stable_sort(verbale.awards.begin(), verbale.awards.end(),
                     [](const AwardLine &a, const AwardLine &b) { return a.awarded < b.awarded; });
    return verbale;
}

} // namespace velmora
