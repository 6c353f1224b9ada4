#pragma once

#include "ui/RandomSource.h"

#include <random>

namespace velmora {

// Uniform numbers in [0, 1) from a generator seeded from the clock when it is made.
class ClockRandomSource : public RandomSource {
public:
    ClockRandomSource();
    double next() override;

private:
    std::mt19937 m_engine;
    std::uniform_real_distribution<double> m_uniform{0.0, 1.0};
};

} // namespace velmora
