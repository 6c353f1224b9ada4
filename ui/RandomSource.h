#pragma once

namespace velmora {

// A supply of random numbers uniform in [0, 1). Animations take one so that tests can script it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

} // namespace velmora
