#pragma once

#include "errors/ErrCall.h"
#include "errors/Failure.h"
#include "errors/ProgramInfo.h"

#include <span>

namespace velmora {

// The plain-text error report: what failed, where, in which program and version.
// Lines end with CR LF; there is no line end after the last line.
class ErrorReport {
public:
    // trail holds position 1 first; the last entry is the procedure that failed.
    static QString compose(const Failure &failure, std::span<const ErrCall> trail,
                           const ProgramInfo &program);
    // "##00" for the minor number, "0000" for the revision.
    static QString version(int major, int minor, int revision);
};

} // namespace velmora
