#pragma once

#include "register/RunRecord.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace velmora {

// Where a print run is written down: begun by the opener as the run starts, finished as it
// ends. It never stops a print; what could not be written is told through notices().
class RunJournal {
public:
    // Begins the entry of the run described (program, archive, range, numbering, destination).
    using Opener = std::function<std::unique_ptr<RunJournal>(RunRecord run)>;

    virtual ~RunJournal() = default;
    // Once per run; later calls change nothing.
    virtual void finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) = 0;
    // Italian messages for the user.
    virtual QStringList notices() const = 0;
};

} // namespace velmora
