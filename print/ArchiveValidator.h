#pragma once

#include "print/ArchiveFinding.h"
#include "print/RecordCartella.h"

#include <QHash>
#include <QList>

#include <span>
#include <utility>
#include <vector>

namespace velmora {

class CardArchive;

// Checks cards against the rules of genuine Tombola series: 15 numbers per card, 5 per row, each
// column 1 to 3 numbers of its decade (1-9, 10-19, ..., 80-90) rising from top to bottom, no
// number twice; every run of six cards from card 1 holds each number of 1..90 exactly once.
// Also: cells that are not numbers, archive numbers that are not numbers, and cards repeating
// another card's numbers.
//
// Feed cards in order with addCard() (card 1 first) and call finish() after the last; or use
// the static checks on single cards and series.
class ArchiveValidator {
public:
    static constexpr int seriesLength = 6;
    static constexpr int numbersPerCard = 15;
    static constexpr int numbersPerRow = 5;
    static constexpr int maxPerColumn = 3;
    static constexpr int highestNumber = 90;

    // The column a number 1..90 belongs to.
    static constexpr int columnOf(int number) { return number == highestNumber ? 8 : number / 10; }

    static QList<ArchiveFinding> checkCard(const RecordCartella &card, qint64 cardNumber);
    // A series of up to six cards whose first is firstCardNumber. Numbers repeated are always
    // reported; numbers missing only when the series is complete (six cards).
    static QList<ArchiveFinding> checkSeries(std::span<const RecordCartella> cards,
                                             qint64 firstCardNumber);
    // Every card of an open archive, then its series, duplicates and a short last record; an
    // archive without a single byte is a finding of its own.
    static QList<ArchiveFinding> checkArchive(CardArchive &archive);

    void addCard(const RecordCartella &card);
    void finish();
    const QList<ArchiveFinding> &findings() const { return m_findings; }
    qint64 cardsChecked() const { return m_cardsChecked; }

private:
    void closeSeries();

    QList<ArchiveFinding> m_findings;
    std::vector<RecordCartella> m_series;
    qint64 m_cardsChecked = 0;
    // The set of numbers of each card seen (bits 1..90), with the first card that had it.
    QHash<std::pair<quint64, quint64>, qint64> m_seenCards;
};

} // namespace velmora
