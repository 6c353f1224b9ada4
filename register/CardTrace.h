#pragma once

#include "register/RunRecord.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace velmora {

// One card of one run: the archive card and the number printed on it.
struct CardPrinting {
    qint64 runId = 0;
    int archiveCard = 0;
    int printedNumber = 0;
    bool certain = true; // false for a run whose end is unknown (in progress or interrupted)
};

// The archive number stored in a card's record, read from the archive the run printed from;
// nothing when that archive is no longer at hand as it was.
using StoredNumber = std::function<std::optional<QString>(const RunRecord &run, int archiveCard)>;

// Which archive card a printed number is, and which runs printed an archive card. The number
// printed is CardNumbering's, from the number the card's record stores; without the archive
// (no StoredNumber, or it has no answer) record N is taken to store N, so a card printed with
// numbering from 1 shows its place in the run and one printed with the archive's numbers shows
// N itself. Only cards that reached the printer or the file count; of a run whose end is
// unknown, every card it was to print counts, marked not certain.
class CardTrace {
public:
    // The archive cards the run put out, first and last; nothing when it put out none.
    struct Range {
        int first = 0;
        int last = 0;
        bool certain = true;
    };
    static std::optional<Range> printedRange(const RunRecord &run);

    // The first card of the run printed with printedNumber.
    static std::optional<int> archiveCard(const RunRecord &run, int printedNumber,
                                          const StoredNumber &stored = {});
    static std::optional<int> printedNumber(const RunRecord &run, int archiveCard,
                                            const StoredNumber &stored = {});

    // Every run in which printedNumber appeared, in the order of runs (more than one answer is
    // the ambiguous case: the same number in several runs).
    static QList<CardPrinting> byPrintedNumber(const QList<RunRecord> &runs, int printedNumber,
                                               const StoredNumber &stored = {});
    static QList<CardPrinting> byArchiveCard(const QList<RunRecord> &runs, int archiveCard,
                                             const StoredNumber &stored = {});
};

} // namespace velmora
