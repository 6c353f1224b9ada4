#include "ui/ClockRandomSource.h"

#include <chrono>

namespace velmora {

ClockRandomSource::ClockRandomSource()
    : m_engine(static_cast<std::mt19937::result_type>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

double ClockRandomSource::next() {
    const double value = m_uniform(m_engine);
    return value < 1.0 ? value : 0.0; // some libraries can return the upper bound
}

} // namespace velmora
