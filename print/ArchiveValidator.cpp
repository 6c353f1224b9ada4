#include "print/ArchiveValidator.h"

#include "common/ShownText.h"

#include "print/CardArchive.h"

#include <array>
#include <bitset>

namespace velmora {
namespace {

// What a cell holds once read: nothing, a number, or text that is not a number.
struct Cell {
    enum class Kind { Empty, Number, NotNumber } kind = Kind::Empty;
    int value = 0;
};

bool isCellBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// A cell is empty when it is blank or reads as 0 ("00"), as the card drawing treats it.
// Anything else must be digits only, give or take the blanks around them. Blanks are those of
// the value rule (space and tab) and no other: the drawing reads "\u00A07" or a line feed
// before a digit as 0 and prints no number there, so such a cell is not a number.
Cell readCell(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isCellBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isCellBlank(text.at(end - 1))) {
        --end;
    }
    if (begin == end) {
        return {};
    }
    for (qsizetype i = begin; i < end; ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9') {
            return {Cell::Kind::NotNumber, 0};
        }
    }
    const int value = RecordCartella::cellValue(text);
    return value == 0 ? Cell{} : Cell{Cell::Kind::Number, value};
}

ArchiveFinding finding(qint64 card, ArchiveRule rule, QString message, int number = 0,
                       int column = -1, int row = -1) {
    return {card, rule, number, column, row, std::move(message)};
}

// The valid numbers of a card (1..90) as a set.
std::bitset<ArchiveValidator::highestNumber + 1> numbersOf(const RecordCartella &card) {
    std::bitset<ArchiveValidator::highestNumber + 1> numbers;
    for (int k = 0; k < RecordCartella::cellCount; ++k) {
        const Cell cell = readCell(card.cellText(k));
        if (cell.kind == Cell::Kind::Number && cell.value <= ArchiveValidator::highestNumber) {
            numbers.set(static_cast<std::size_t>(cell.value));
        }
    }
    return numbers;
}

QString seriesText(qint64 first, qint64 last) {
    return QStringLiteral("Serie delle cartelle da %1 a %2").arg(first).arg(last);
}

} // namespace

QList<ArchiveFinding> ArchiveValidator::checkCard(const RecordCartella &card, qint64 cardNumber) {
    QList<ArchiveFinding> found;
    const QString where = QStringLiteral("Cartella %1").arg(cardNumber);
    std::array<int, RecordCartella::rows> perRow{};
    std::array<int, highestNumber + 1> seen{};
    int total = 0;

    for (int column = 0; column < RecordCartella::columns; ++column) {
        int inColumn = 0;
        int above = 0; // the last number met going down the column
        for (int row = 0; row < RecordCartella::rows; ++row) {
            const QString text = card.cell(column, row);
            const Cell cell = readCell(text);
            if (cell.kind == Cell::Kind::Empty) {
                continue;
            }
            const QString place =
                QStringLiteral("colonna %1, riga %2").arg(column + 1).arg(row + 1);
            if (cell.kind == Cell::Kind::NotNumber) {
                found.append(finding(cardNumber, ArchiveRule::CellNotNumber,
                                     QStringLiteral("%1: la casella in %2 contiene \"%3\", che non "
                                                    "\u00e8 un numero.")
                                         .arg(where, place, ShownText::escaped(text)),
                                     0, column, row));
                continue;
            }
            const int number = cell.value;
            ++inColumn;
            ++perRow[row];
            ++total;
            if (number > highestNumber) {
                found.append(finding(cardNumber, ArchiveRule::NumberOutOfRange,
                                     QStringLiteral("%1: il numero %2 in %3 \u00e8 fuori "
                                                    "dall'intervallo da 1 a 90.")
                                         .arg(where)
                                         .arg(number)
                                         .arg(place),
                                     number, column, row));
                continue;
            }
            if (columnOf(number) != column) {
                found.append(finding(cardNumber, ArchiveRule::WrongColumn,
                                     QStringLiteral("%1: il numero %2 \u00e8 nella colonna %3, ma "
                                                    "appartiene alla colonna %4.")
                                         .arg(where)
                                         .arg(number)
                                         .arg(column + 1)
                                         .arg(columnOf(number) + 1),
                                     number, column, row));
            }
            if (++seen[number] == 2) {
                found.append(finding(cardNumber, ArchiveRule::DuplicateInCard,
                                     QStringLiteral("%1: il numero %2 compare pi\u00f9 di una "
                                                    "volta.")
                                         .arg(where)
                                         .arg(number),
                                     number, column, row));
            }
            if (number < above) {
                found.append(finding(cardNumber, ArchiveRule::ColumnOrder,
                                     QStringLiteral("%1: nella colonna %2 i numeri non crescono "
                                                    "dall'alto in basso (%3 sta sopra %4).")
                                         .arg(where)
                                         .arg(column + 1)
                                         .arg(above)
                                         .arg(number),
                                     number, column, row));
            }
            above = number;
        }
        if (inColumn < 1 || inColumn > maxPerColumn) {
            found.append(finding(cardNumber, ArchiveRule::ColumnCount,
                                 QStringLiteral("%1: la colonna %2 contiene %3 numeri (ne deve "
                                                "contenere da 1 a 3).")
                                     .arg(where)
                                     .arg(column + 1)
                                     .arg(inColumn),
                                 0, column));
        }
    }
    for (int row = 0; row < RecordCartella::rows; ++row) {
        if (perRow[static_cast<std::size_t>(row)] != numbersPerRow) {
            found.append(finding(cardNumber, ArchiveRule::RowCount,
                                 QStringLiteral("%1: la riga %2 contiene %3 numeri invece di 5.")
                                     .arg(where)
                                     .arg(row + 1)
                                     .arg(perRow[static_cast<std::size_t>(row)]),
                                 0, -1, row));
        }
    }
    if (total != numbersPerCard) {
        found.append(
            finding(cardNumber, ArchiveRule::CardCount,
                    QStringLiteral("%1: contiene %2 numeri invece di 15.").arg(where).arg(total)));
    }
    const QString numero = card.numeroArchivio();
    const QString numeroTrimmed = numero.trimmed();
    bool numeric = !numeroTrimmed.isEmpty();
    for (const QChar c : numeroTrimmed) {
        numeric = numeric && c >= u'0' && c <= u'9';
    }
    if (!numeric) {
        found.append(finding(cardNumber, ArchiveRule::ArchiveNumber,
                             QStringLiteral("%1: il numero d'archivio \"%2\" non \u00e8 un numero.")
                                 .arg(where, ShownText::escaped(numero))));
    }
    return found;
}

QList<ArchiveFinding> ArchiveValidator::checkSeries(std::span<const RecordCartella> cards,
                                                    qint64 firstCardNumber) {
    QList<ArchiveFinding> found;
    const qint64 lastCardNumber = firstCardNumber + seriesLength - 1;
    std::bitset<highestNumber + 1> held;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const qint64 cardNumber = firstCardNumber + static_cast<qint64>(i);
        const auto numbers = numbersOf(cards[i]);
        const auto repeated = numbers & held;
        for (int n = 1; n <= highestNumber; ++n) {
            if (repeated.test(static_cast<std::size_t>(n))) {
                found.append(finding(cardNumber, ArchiveRule::SeriesRepeated,
                                     QStringLiteral("%1: il numero %2 compare di nuovo nella "
                                                    "cartella %3.")
                                         .arg(seriesText(firstCardNumber, lastCardNumber))
                                         .arg(n)
                                         .arg(cardNumber),
                                     n));
            }
        }
        held |= numbers;
    }
    if (cards.size() == static_cast<std::size_t>(seriesLength)) {
        for (int n = 1; n <= highestNumber; ++n) {
            if (!held.test(static_cast<std::size_t>(n))) {
                found.append(finding(firstCardNumber, ArchiveRule::SeriesMissing,
                                     QStringLiteral("%1: manca il numero %2.")
                                         .arg(seriesText(firstCardNumber, lastCardNumber))
                                         .arg(n),
                                     n));
            }
        }
    }
    return found;
}

void ArchiveValidator::addCard(const RecordCartella &card) {
    const qint64 cardNumber = ++m_cardsChecked;
    m_findings.append(checkCard(card, cardNumber));

    const auto numbers = numbersOf(card);
    if (numbers.any()) {
        quint64 low = 0;
        quint64 high = 0;
        for (int n = 1; n <= highestNumber; ++n) {
            if (numbers.test(static_cast<std::size_t>(n))) {
                (n < 64 ? low : high) |= quint64(1) << (n % 64);
            }
        }
        const auto key = std::pair{low, high};
        const auto it = m_seenCards.constFind(key);
        if (it == m_seenCards.cend()) {
            m_seenCards.insert(key, cardNumber);
        } else {
            m_findings.append(finding(cardNumber, ArchiveRule::DuplicateCard,
                                      QStringLiteral("Cartella %1: ha gli stessi numeri della "
                                                     "cartella %2.")
                                          .arg(cardNumber)
                                          .arg(it.value())));
        }
    }

    m_series.push_back(card);
    if (m_series.size() == static_cast<std::size_t>(seriesLength)) {
        closeSeries();
    }
}

void ArchiveValidator::finish() {
    if (!m_series.empty()) {
        closeSeries();
    }
}

void ArchiveValidator::closeSeries() {
    const qint64 first = m_cardsChecked - static_cast<qint64>(m_series.size()) + 1;
    m_findings.append(checkSeries(m_series, first));
    m_series.clear();
}

QList<ArchiveFinding> ArchiveValidator::checkArchive(CardArchive &archive) {
    ArchiveValidator validator;
    for (qint64 card = 1; card <= archive.cardCount(); ++card) {
        validator.addCard(archive.read(card));
    }
    validator.finish();
    QList<ArchiveFinding> found = validator.findings();
    if (archive.cardCount() == 0 && !archive.hasIncompleteLastRecord()) {
        // Nothing to check is not a sound archive: every card would print blank.
        found.append(finding(1, ArchiveRule::EmptyArchive,
                             QStringLiteral("L'archivio \"%1\" \u00e8 vuoto: non contiene "
                                            "nessuna cartella.")
                                 .arg(archive.path())));
    }
    if (archive.hasIncompleteLastRecord()) {
        found.append(finding(archive.cardCount() + 1, ArchiveRule::IncompleteRecord,
                             QStringLiteral("L'archivio \"%1\" termina con una cartella "
                                            "incompleta (cartella %2): il file \u00e8 "
                                            "danneggiato o troncato.")
                                 .arg(archive.path())
                                 .arg(archive.cardCount() + 1)));
    }
    return found;
}

} // namespace velmora
