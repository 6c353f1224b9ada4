#pragma once

#include "ui/RandomSource.h"

#include <QtGlobal>

namespace velmora {

// The about window's OK button wanders about while the window is open. Everything is in
// twips; the state lives for the whole run, so opening the window again goes on from it.
class AboutAnimation {
public:
    static constexpr int modeCount = 6;
    static constexpr qint64 closingTick = 600;
    // One tick: what a 1 ms window timer really lasts on the system the animation was made on
    // (the 64 Hz system clock), so the 600 ticks take about nine seconds. Qt's timers count
    // whole milliseconds.
    static constexpr int tickMs = 16;

    struct State {
        qint16 animMode = 0;
        qint64 ticks = 0;
        qint16 toggleOrCounter = 0;  // shuttle: direction toggle (0 or -1); jumps: ticks since
        qint16 directionXOrWait = 0; // bounce: horizontal direction; jumps: ticks to wait
        qint16 directionY = 0;
        qint16 stepX = 0; // jumps: the target position
        qint16 stepY = 0;
    };

    // Where the button is and how big it and the window are (the window's outer size).
    struct Geometry {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        double windowWidth = 0;
        double windowHeight = 0;
    };

    // Nearest whole number, halves to the even neighbour.
    static int roundHalfEven(double value);
    // The mode for one opening: 1 and 6 come up with probability 1/10, 2 to 5 with 2/10.
    static qint16 drawMode(RandomSource &random);
    // Moves the button one step of the given mode; a mode outside 1..6 leaves it alone.
    static void step(int mode, State &state, Geometry &button, RandomSource &random);
    // One timer tick: counts it, moves the button by the state's mode, and says whether this
    // is the tick that closes the window.
    static bool tick(State &state, Geometry &button, RandomSource &random);
};

} // namespace velmora
