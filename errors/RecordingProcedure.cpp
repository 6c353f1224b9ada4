#include "errors/RecordingProcedure.h"

#include "errors/ErrorPresenter.h"
#include "errors/ModCallErr.h"

namespace velmora {

bool RecordingProcedure::enter(const QString &moduleName, const QString &procName) noexcept {
    try {
        CallTrail::push(moduleName, procName);
        return true;
    } catch (...) {
        CallErr(Failure::fromException(std::current_exception(), 0));
        return false;
    }
}

RecordingProcedure::Action RecordingProcedure::trap(const Failure &failure) noexcept {
    switch (CallErr(failure)) {
    case IDRETRY:
        return Action::Retry;
    case IDIGNORE:
        return Action::Next;
    default: // IDABORT, or the window was closed without an answer or did not open
        return Action::Leave;
    }
}

} // namespace velmora
