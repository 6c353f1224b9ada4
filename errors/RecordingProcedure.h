#pragma once

#include "errors/CallTrail.h"
#include "errors/Failure.h"

#include <concepts>
#include <exception>
#include <optional>
#include <type_traits>

namespace velmora {

// Runs a procedure that records itself on the call trail, as a numbered list of small steps
// under one error trap:
//   the trap is armed, the entry is pushed, steps 1..stepCount run in order, the entry is
//   popped. Any exception from a step (the program's error or anything else) is reported
//   through CallErr with the step's number as the line; the answer IDRETRY runs the step
//   again, IDIGNORE goes on with the next step, IDABORT and any other answer leave through
//   the exit point. Every push is matched by exactly one pop, and nothing escapes run().
//
// runStep(int line) is called with line 1..stepCount. It returns void, or Flow::Exit to
// leave through the exit point early (the rest of the steps are not run). The step function
// is taken by reference and called in place: no allocation per call.
class RecordingProcedure {
public:
    enum class Flow { Next, Exit };

    template <typename StepFn>
    requires std::invocable<StepFn &, int>
    static void run(const QString &moduleName, const QString &procName, int stepCount,
                    StepFn &&runStep) noexcept {
        if (!enter(moduleName, procName)) {
            return;
        }
        int line = 1;
        while (line <= stepCount) {
            std::optional<Failure> failure;
            try {
                if constexpr (std::is_same_v<std::invoke_result_t<StepFn &, int>, Flow>) {
                    if (runStep(line) == Flow::Exit) {
                        break;
                    }
                } else {
                    runStep(line);
                }
                ++line;
                continue;
            } catch (...) {
                failure = Failure::fromException(std::current_exception(), line);
            }
            // The report is shown outside the catch block: the exception is already released.
            const Action action = trap(*failure);
            if (action == Action::Leave) {
                break;
            }
            if (action == Action::Next) {
                ++line;
            }
        }
        CallTrail::pop();
    }

private:
    enum class Action { Retry, Next, Leave };

    // Pushes the entry under the trap. A push that fails is reported and the procedure does
    // not run: there is no entry of its own to pop.
    static bool enter(const QString &moduleName, const QString &procName) noexcept;
    // Asks CallErr for the answer to a failure and turns it into what the runner does next.
    static Action trap(const Failure &failure) noexcept;
};

} // namespace velmora
