#pragma once

#include "errors/ErrCall.h"

#include <span>

namespace velmora {

// The process-wide record of the recording procedures in progress, positions counted from 1:
// position 1 is the outermost, position count() the one entered last. Used on the
// user-interface thread only; it has no lock.
class CallTrail {
public:
    // Appends an entry; it becomes position count().
    static void push(const QString &moduleName, const QString &procName);
    // Removes the entry at position count(). An empty trail stays empty.
    static void pop() noexcept;
    static int count() noexcept;
    // The entry at position 1..count(); any other position throws VelmoraError 9.
    static const ErrCall &entry(int position);
    // All entries, position 1 first. Valid until the next push or pop.
    static std::span<const ErrCall> entries() noexcept;
};

} // namespace velmora
