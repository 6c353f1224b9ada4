#include "errors/ModCallErr.h"

#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/ErrorReport.h"

namespace velmora {

int CallErr(const Failure &failure) noexcept {
    try {
        ErrorPresenter *presenter = ErrorPresenter::installed();
        if (presenter == nullptr) {
            return IDABORT;
        }
        const QString report =
            ErrorReport::compose(failure, CallTrail::entries(), ProgramInfo::current());
        return presenter->showReport(report);
    } catch (...) {
        // A failure while reporting must not start a second report.
        return IDABORT;
    }
}

int CallErr(int line) noexcept {
    return CallErr(Failure::fromException(std::current_exception(), line));
}

} // namespace velmora
