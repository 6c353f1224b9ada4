#include "register/CardTrace.h"

#include "register/CardNumbering.h"

namespace velmora {

std::optional<CardTrace::Range> CardTrace::printedRange(const RunRecord &run) {
    using Outcome = RunRecord::Outcome;
    if (run.outcome == Outcome::InProgress || run.outcome == Outcome::Interrupted) {
        if (run.lastCard < run.firstCard) {
            return std::nullopt;
        }
        return Range{run.firstCard, run.lastCard, false};
    }
    if (!run.delivered || run.cardsDrawn <= 0) {
        return std::nullopt;
    }
    return Range{run.firstCard, run.lastCardDrawn(), true};
}

std::optional<int> CardTrace::archiveCard(const RunRecord &run, int printedNumber) {
    const std::optional<Range> range = printedRange(run);
    if (!range) {
        return std::nullopt;
    }
    const qint64 card =
        run.archiveNumbering ? qint64(printedNumber) : qint64(run.firstCard) + printedNumber - 1;
    if (card < range->first || card > range->last) {
        return std::nullopt;
    }
    return int(card);
}

std::optional<int> CardTrace::printedNumber(const RunRecord &run, int archiveCard) {
    const std::optional<Range> range = printedRange(run);
    if (!range || archiveCard < range->first || archiveCard > range->last) {
        return std::nullopt;
    }
    // Record N of the archive carries N as its archive number.
    return int(CardNumbering::printedValue(archiveCard, run.archiveNumbering, run.firstCard));
}

QList<CardPrinting> CardTrace::byPrintedNumber(const QList<RunRecord> &runs, int printedNumber) {
    QList<CardPrinting> found;
    for (const RunRecord &run : runs) {
        if (const std::optional<int> card = archiveCard(run, printedNumber)) {
            found.append({run.id, *card, printedNumber, printedRange(run)->certain});
        }
    }
    return found;
}

QList<CardPrinting> CardTrace::byArchiveCard(const QList<RunRecord> &runs, int archiveCard) {
    QList<CardPrinting> found;
    for (const RunRecord &run : runs) {
        if (const std::optional<int> number = printedNumber(run, archiveCard)) {
            found.append({run.id, archiveCard, *number, printedRange(run)->certain});
        }
    }
    return found;
}

} // namespace velmora
