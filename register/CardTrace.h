#pragma once

#include "register/RunRecord.h"

#include <QList>

#include <optional>

namespace velmora {

// One card of one run: the archive card and the number printed on it.
struct CardPrinting {
    qint64 runId = 0;
    int archiveCard = 0;
    int printedNumber = 0;
    bool certain = true; // false for a run whose end is unknown (in progress or interrupted)
};

// Which archive card a printed number is, and which runs printed an archive card. Record N of
// the archive is card N and carries N as its own number, so a card printed with numbering from
// 1 shows its place in the run (archive card first + n - 1) and one printed with the archive's
// numbers shows N itself. Only cards that reached the printer or the file count; of a run whose
// end is unknown, every card it was to print counts, marked not certain.
class CardTrace {
public:
    // The archive cards the run put out, first and last; nothing when it put out none.
    struct Range {
        int first = 0;
        int last = 0;
        bool certain = true;
    };
    static std::optional<Range> printedRange(const RunRecord &run);

    static std::optional<int> archiveCard(const RunRecord &run, int printedNumber);
    static std::optional<int> printedNumber(const RunRecord &run, int archiveCard);

    // Every run in which printedNumber appeared, in the order of runs (more than one answer is
    // the ambiguous case: the same number in several runs).
    static QList<CardPrinting> byPrintedNumber(const QList<RunRecord> &runs, int printedNumber);
    static QList<CardPrinting> byArchiveCard(const QList<RunRecord> &runs, int archiveCard);
};

} // namespace velmora
