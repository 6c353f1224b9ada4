#include "print/SeriesGenerator.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace velmora {
namespace {

constexpr int columns = RecordCartella::columns;
constexpr int rows = RecordCartella::rows;
constexpr int perRow = 5;
constexpr int maxExtraPerColumn = 2; // every column holds 1 number, and up to 2 more
constexpr int extrasPerCard = 15 - columns;
// Steps a search may take before it starts again from scratch; dead ends are rare and short.
constexpr int searchBudget = 20000;

constexpr int lowestOf(int column) {
    return column == 0 ? 1 : column * 10;
}
constexpr int highestOf(int column) {
    return column == columns - 1 ? 90 : column * 10 + 9;
}
constexpr int poolSize(int column) {
    return highestOf(column) - lowestOf(column) + 1;
}

// Row choices for a column of 1, 2 or 3 numbers, as bit masks of rows (bit 0 the top row).
constexpr std::array<unsigned, 3> oneRow{0b001, 0b010, 0b100};
constexpr std::array<unsigned, 3> twoRows{0b011, 0b101, 0b110};

} // namespace

int SeriesGenerator::below(int bound) {
    // Rejection keeps every result equally likely and the sequence independent of the library.
    const auto range = static_cast<quint64>(bound);
    const quint64 span = quint64(std::mt19937::max()) + 1;
    const quint64 limit = span - span % range;
    quint64 drawn = 0;
    do {
        drawn = m_random();
    } while (drawn >= limit);
    return static_cast<int>(drawn % range);
}

template <typename Range> void SeriesGenerator::shuffle(Range &range) {
    for (auto i = static_cast<int>(std::size(range)) - 1; i > 0; --i) {
        std::swap(range[static_cast<std::size_t>(i)],
                  range[static_cast<std::size_t>(below(i + 1))]);
    }
}

// Spreads the numbers beyond the first of each column over the six cards: a 6 x 9 table of
// 0..2 whose rows sum to 6 and whose columns sum to the column's pool size minus 6.
bool SeriesGenerator::fillExtras(Counts &extras, int cell, std::array<int, seriesLength> &cardNeed,
                                 std::array<int, columns> &columnNeed, int &budget) {
    if (cell == seriesLength * columns) {
        return true;
    }
    if (--budget < 0) {
        return false;
    }
    const int card = cell / columns;
    const int column = cell % columns;
    const int columnsLeft = columns - 1 - column;
    const int cardsLeft = seriesLength - 1 - card;
    std::array<int, maxExtraPerColumn + 1> choices{0, 1, 2};
    shuffle(choices);
    for (const int extra : choices) {
        const int cardRest = cardNeed[card] - extra;
        const int columnRest = columnNeed[column] - extra;
        if (cardRest < 0 || columnRest < 0 || cardRest > maxExtraPerColumn * columnsLeft ||
            columnRest > maxExtraPerColumn * cardsLeft) {
            continue;
        }
        extras[card][column] = extra;
        cardNeed[card] = cardRest;
        columnNeed[column] = columnRest;
        if (fillExtras(extras, cell + 1, cardNeed, columnNeed, budget)) {
            return true;
        }
        cardNeed[card] += extra;
        columnNeed[column] += extra;
        if (budget < 0) {
            return false;
        }
    }
    return false;
}

// Chooses the rows of each column of one card so that every row gets exactly five numbers.
bool SeriesGenerator::placeRows(const std::array<int, columns> &counts, int column,
                                std::array<int, rows> &rowFill,
                                std::array<unsigned, columns> &rowMasks, int &budget) {
    if (column == columns) {
        return true;
    }
    if (--budget < 0) {
        return false;
    }
    std::vector<unsigned> choices;
    if (counts[column] == rows) {
        choices = {0b111};
    } else {
        const auto &from = counts[column] == 1 ? oneRow : twoRows;
        choices.assign(from.begin(), from.end());
        shuffle(choices);
    }
    const int columnsLeft = columns - 1 - column;
    for (const unsigned mask : choices) {
        bool fits = true;
        for (int row = 0; row < rows; ++row) {
            const int fill = rowFill[row] + ((mask >> row) & 1U);
            // Each later column adds at most one number to a row.
            fits = fits && fill <= perRow && perRow - fill <= columnsLeft;
        }
        if (!fits) {
            continue;
        }
        for (int row = 0; row < rows; ++row) {
            rowFill[row] += (mask >> row) & 1U;
        }
        rowMasks[column] = mask;
        if (placeRows(counts, column + 1, rowFill, rowMasks, budget)) {
            return true;
        }
        for (int row = 0; row < rows; ++row) {
            rowFill[row] -= (mask >> row) & 1U;
        }
        if (budget < 0) {
            return false;
        }
    }
    return false;
}

std::array<RecordCartella, SeriesGenerator::seriesLength> SeriesGenerator::nextSeries() {
    Counts extras{};
    for (;;) {
        std::array<int, seriesLength> cardNeed{};
        cardNeed.fill(extrasPerCard);
        std::array<int, columns> columnNeed{};
        for (int column = 0; column < columns; ++column) {
            columnNeed[column] = poolSize(column) - seriesLength;
        }
        int budget = searchBudget;
        if (fillExtras(extras, 0, cardNeed, columnNeed, budget)) {
            break;
        }
    }

    std::array<std::array<unsigned, columns>, seriesLength> rowMasks{};
    for (int card = 0; card < seriesLength; ++card) {
        std::array<int, columns> counts{};
        for (int column = 0; column < columns; ++column) {
            counts[column] = 1 + extras[card][column];
        }
        for (;;) {
            std::array<int, rows> rowFill{};
            int budget = searchBudget;
            if (placeRows(counts, 0, rowFill, rowMasks[card], budget)) {
                break;
            }
        }
    }

    std::array<RecordCartella, seriesLength> series;
    for (int column = 0; column < columns; ++column) {
        std::vector<int> pool;
        for (int n = lowestOf(column); n <= highestOf(column); ++n) {
            pool.push_back(n);
        }
        shuffle(pool);
        auto next = pool.begin();
        for (int card = 0; card < seriesLength; ++card) {
            const int count = 1 + extras[card][column];
            std::sort(next, next + count);
            for (int row = 0; row < rows; ++row) {
                if ((rowMasks[card][column] >> row) & 1U) {
                    series[card].setCellNumber(RecordCartella::cellIndex(column, row), *next++);
                }
            }
        }
    }
    return series;
}

QByteArray SeriesGenerator::makeArchive(int count, quint32 seed) {
    Q_ASSERT(count >= 0 && count <= maxCards);
    SeriesGenerator generator(seed);
    QByteArray stored(qsizetype(count) * RecordCartella::recordSize, Qt::Uninitialized);
    std::array<RecordCartella, seriesLength> series;
    for (int card = 0; card < count; ++card) {
        if (card % seriesLength == 0) {
            series = generator.nextSeries();
        }
        RecordCartella &record = series[card % seriesLength];
        record.setNumeroArchivio(QStringLiteral("%1").arg(card + 1, 5, 10, QLatin1Char('0')));
        record.writeStored(std::span<char, RecordCartella::recordSize>(
            stored.data() + qsizetype(card) * RecordCartella::recordSize,
            RecordCartella::recordSize));
    }
    return stored;
}

} // namespace velmora
