#pragma once

#include <functional>

class QRandomGenerator;

namespace velmora {

class Game;

// The computer's draw for a hall without an urn: the next number, picked among those not yet
// drawn with the operating system's random source, so no seed can be guessed or replayed.
class ComputerDraw {
public:
    // Gives a number in 0..bound-1; tests put in their own.
    using RandomBelow = std::function<int(int bound)>;

    // Without a source, the system's own (QRandomGenerator::system()).
    explicit ComputerDraw(RandomBelow randomBelow = {});

    // A number of 1..90 not yet drawn in the game; 0 once all 90 are out. Does not draw it.
    int next(const Game &game) const;

    static int systemRandomBelow(int bound);
    // The same pick from the given generator, which must outlive the source: what the
    // system's source does, so that a seeded generator can show the draw fair.
    static RandomBelow from(QRandomGenerator &generator);

private:
    RandomBelow m_randomBelow;
};

} // namespace velmora
