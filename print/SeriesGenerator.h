#pragma once

#include "print/RecordCartella.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <random>

namespace velmora {

// Makes genuine Tombola series: six cards that together hold every number 1..90 once, each card
// 15 numbers, 5 a row, every column 1 to 3 numbers of its decade rising downwards. The same
// seed always gives the same cards: the generator draws only from std::mt19937, whose sequence
// is fixed by the standard, and does its own bounded draws and shuffles.
class SeriesGenerator {
public:
    static constexpr int seriesLength = 6;
    static constexpr int maxCards = 99999; // the archive number has five digits

    explicit SeriesGenerator(quint32 seed) : m_random(seed) {}

    // The next series; archive numbers are left blank.
    std::array<RecordCartella, seriesLength> nextSeries();

    // A whole stored archive of count cards (1..maxCards), numbered "00001" onwards: the last
    // series is cut short when count is not a multiple of six.
    static QByteArray makeArchive(int count, quint32 seed);

private:
    using Counts = std::array<std::array<int, RecordCartella::columns>, seriesLength>;

    int below(int bound);
    template <typename Range> void shuffle(Range &range);
    bool fillExtras(Counts &extras, int cell, std::array<int, seriesLength> &cardNeed,
                    std::array<int, RecordCartella::columns> &columnNeed, int &budget);
    bool placeRows(const std::array<int, RecordCartella::columns> &counts, int column,
                   std::array<int, RecordCartella::rows> &rowFill,
                   std::array<unsigned, RecordCartella::columns> &rowMasks, int &budget);

    std::mt19937 m_random;
};

} // namespace velmora
