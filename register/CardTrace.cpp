#include "register/CardTrace.h"

#include "register/CardNumbering.h"

#include <limits>

namespace velmora {
namespace {

std::optional<QString> storedIn(const RunRecord &run, int archiveCard, const StoredNumber &stored) {
    return stored ? stored(run, archiveCard) : std::nullopt;
}

// The number printed on the card, whether or not the run put it out.
std::optional<qint64> numberOn(const RunRecord &run, int archiveCard, const StoredNumber &stored) {
    if (const std::optional<QString> numero = storedIn(run, archiveCard, stored)) {
        return CardNumbering::printedNumber(*numero, run.archiveNumbering, run.firstCard);
    }
    return CardNumbering::printedValue(archiveCard, run.archiveNumbering, run.firstCard);
}

} // namespace

std::optional<CardTrace::Range> CardTrace::printedRange(const RunRecord &run) {
    using Outcome = RunRecord::Outcome;
    if (run.outcome == Outcome::InProgress || run.outcome == Outcome::Interrupted) {
        // A file is put in place whole at the run's end: one that never ended wrote none.
        if (run.lastCard < run.firstCard || run.toFile()) {
            return std::nullopt;
        }
        return Range{run.firstCard, run.lastCard, false};
    }
    if (!run.delivered || run.cardsDrawn <= 0) {
        return std::nullopt;
    }
    return Range{run.firstCard, run.lastCardDrawn(), true};
}

std::optional<int> CardTrace::archiveCard(const RunRecord &run, int printedNumber,
                                          const StoredNumber &stored) {
    const std::optional<Range> range = printedRange(run);
    if (!range) {
        return std::nullopt;
    }
    // The card whose record stores its own position, the usual archive, first.
    const qint64 guess =
        run.archiveNumbering ? qint64(printedNumber) : qint64(run.firstCard) + printedNumber - 1;
    if (guess >= range->first && guess <= range->last &&
        numberOn(run, int(guess), stored) == printedNumber) {
        return int(guess);
    }
    if (!storedIn(run, range->first, stored)) {
        return std::nullopt; // without the archive, the guess was the only card
    }
    for (int card = range->first; card <= range->last; ++card) {
        if (numberOn(run, card, stored) == printedNumber) {
            return card;
        }
    }
    return std::nullopt;
}

std::optional<int> CardTrace::printedNumber(const RunRecord &run, int archiveCard,
                                            const StoredNumber &stored) {
    const std::optional<Range> range = printedRange(run);
    if (!range || archiveCard < range->first || archiveCard > range->last) {
        return std::nullopt;
    }
    const std::optional<qint64> number = numberOn(run, archiveCard, stored);
    if (!number || *number < std::numeric_limits<int>::min() ||
        *number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return int(*number);
}

QList<CardPrinting> CardTrace::byPrintedNumber(const QList<RunRecord> &runs, int printedNumber,
                                               const StoredNumber &stored) {
    QList<CardPrinting> found;
    for (const RunRecord &run : runs) {
        if (const std::optional<int> card = archiveCard(run, printedNumber, stored)) {
            found.append({run.id, *card, printedNumber, printedRange(run)->certain});
        }
    }
    return found;
}

QList<CardPrinting> CardTrace::byArchiveCard(const QList<RunRecord> &runs, int archiveCard,
                                             const StoredNumber &stored) {
    QList<CardPrinting> found;
    for (const RunRecord &run : runs) {
        if (const std::optional<int> number = printedNumber(run, archiveCard, stored)) {
            found.append({run.id, archiveCard, *number, printedRange(run)->certain});
        }
    }
    return found;
}

} // namespace velmora
