#pragma once

#include "register/RunRecord.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// What the runs already printed this evening mean for the next one: where it should start, and
// whether it would put out again archive cards or printed numbers already in the hall.
class EveningPrints {
public:
    // The archive card after the last one the evening's runs put out; nothing when they put out
    // none.
    static std::optional<int> nextFirstCard(const QList<RunRecord> &eveningRuns);

    // The question to ask before printing archive cards first..last with the numbering given,
    // naming what would be repeated and the runs that printed it; empty when nothing would be.
    static QString overlap(const QList<RunRecord> &eveningRuns, int first, int last,
                           bool archiveNumbering);
};

} // namespace velmora
