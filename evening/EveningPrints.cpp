#include "evening/EveningPrints.h"

#include "evening/EveningStore.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"

#include <QStringList>

#include <algorithm>

namespace velmora {
namespace {

// The printed numbers of archive cards first..last under the numbering given that the evening's
// runs already printed, each with its run.
QStringList numberClashes(const QList<RunRecord> &runs, int first, int last,
                          bool archiveNumbering) {
    const int lo = int(CardNumbering::printedValue(first, archiveNumbering, first));
    const int hi = int(CardNumbering::printedValue(last, archiveNumbering, first));
    QStringList clashes;
    for (const RunRecord &run : runs) {
        if (const std::optional<CardTrace::Range> range = CardTrace::printedRange(run)) {
            const int from = std::max(lo, *CardTrace::printedNumber(run, range->first));
            const int to = std::min(hi, *CardTrace::printedNumber(run, range->last));
            if (from <= to) {
                clashes << QStringLiteral("%1 (corsa %2)")
                               .arg(EveningStore::rangeText(from, to))
                               .arg(run.id);
            }
        }
    }
    return clashes;
}

} // namespace

std::optional<int> EveningPrints::nextFirstCard(const QList<RunRecord> &eveningRuns) {
    int last = 0;
    for (const RunRecord &run : eveningRuns) {
        if (const std::optional<CardTrace::Range> range = CardTrace::printedRange(run)) {
            last = std::max(last, range->last);
        }
    }
    return last == 0 ? std::nullopt : std::optional<int>(last + 1);
}

QString EveningPrints::overlap(const QList<RunRecord> &eveningRuns, int first, int last,
                               bool archiveNumbering) {
    QStringList cards;
    for (const RunRecord &run : eveningRuns) {
        if (const std::optional<CardTrace::Range> range = CardTrace::printedRange(run)) {
            const int from = std::max(first, range->first);
            const int to = std::min(last, range->last);
            if (from <= to) {
                cards << QStringLiteral("%1-%2 (corsa %3)").arg(from).arg(to).arg(run.id);
            }
        }
    }
    const QStringList numbers = numberClashes(eveningRuns, first, last, archiveNumbering);
    if (cards.isEmpty() && numbers.isEmpty()) {
        return {};
    }
    QStringList said;
    if (!cards.isEmpty()) {
        said << QStringLiteral("Le cartelle dell'archivio %1 sono già state stampate in questa "
                               "serata.")
                    .arg(cards.join(QStringLiteral(", ")));
    }
    if (!numbers.isEmpty()) {
        said << QStringLiteral("I numeri stampati %1 sono già su altre cartelle di questa "
                               "serata: in sala ci sarebbero due cartelle con lo stesso numero.")
                    .arg(numbers.join(QStringLiteral(", ")));
        if (!archiveNumbering && numberClashes(eveningRuns, first, last, true).isEmpty()) {
            said << QStringLiteral("Con la numerazione dell'archivio ogni cartella porta il "
                                   "proprio numero d'archivio.");
        }
    }
    said << QStringLiteral("Stampare lo stesso?");
    return said.join(u'\n');
}

} // namespace velmora
