#include "errors/ErrorPresenter.h"

#include <utility>

namespace velmora {
namespace {
ErrorPresenter *current = nullptr;
} // namespace

ErrorPresenter *ErrorPresenter::install(ErrorPresenter *presenter) noexcept {
    return std::exchange(current, presenter);
}

ErrorPresenter *ErrorPresenter::installed() noexcept {
    return current;
}

} // namespace velmora
