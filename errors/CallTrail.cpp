#include "errors/CallTrail.h"

#include "errors/VelmoraError.h"

#include <vector>

namespace velmora {
namespace {

// Room for the usual depth, so that a push per card does not allocate.
constexpr std::size_t reservedDepth = 16;

std::vector<ErrCall> &trail() noexcept {
    static std::vector<ErrCall> entries = [] {
        std::vector<ErrCall> v;
        v.reserve(reservedDepth);
        return v;
    }();
    return entries;
}

} // namespace

void CallTrail::push(const QString &moduleName, const QString &procName) {
    trail().push_back(ErrCall{moduleName, procName});
}

void CallTrail::pop() noexcept {
    if (!trail().empty()) {
        trail().pop_back();
    }
}

int CallTrail::count() noexcept {
    return static_cast<int>(trail().size());
}

const ErrCall &CallTrail::entry(int position) {
    if (position < 1 || position > count()) {
        throw VelmoraError(VelmoraError::SubscriptOutOfRange);
    }
    return trail()[static_cast<std::size_t>(position - 1)];
}

std::span<const ErrCall> CallTrail::entries() noexcept {
    return trail();
}

} // namespace velmora
