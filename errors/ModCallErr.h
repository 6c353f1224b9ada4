#pragma once

#include "errors/Failure.h"

namespace velmora {

// Composes the report of a failure with the call trail and the program's details, shows it
// through the installed presenter and returns the answer (IDABORT, IDRETRY, IDIGNORE or 0).
// Without a presenter, or when showing fails, the answer is IDABORT. Never throws.
int CallErr(const Failure &failure) noexcept;

// The same for the exception being handled: call it inside a catch block.
int CallErr(int line = 0) noexcept;

} // namespace velmora
