#include "ui/AboutAnimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {
namespace {
constexpr int shuttleStep = 60;
constexpr int shuttleRight = 4350;
constexpr int shuttleLeft = 180;
constexpr double jitterRange = 60;
constexpr int jitterOffset = 30;
constexpr int edgeMargin = 30;
constexpr double bounceRange = 90;
constexpr double driftRange = 180;
constexpr int driftOffset = 90;
constexpr double longestWait = 20;

qint16 draw(RandomSource &random, double range) {
    return static_cast<qint16>(AboutAnimation::roundHalfEven(random.next() * range + 1));
}

qint16 reversed(qint16 direction) {
    return direction == 1 ? qint16(-1) : qint16(1);
}

void shuttle(AboutAnimation::State &state, AboutAnimation::Geometry &button) {
    if (state.toggleOrCounter != 0 && state.toggleOrCounter != -1) {
        state.toggleOrCounter = 0;
    }
    button.left += state.toggleOrCounter == -1 ? shuttleStep : -shuttleStep;
    if (button.left >= shuttleRight || button.left <= shuttleLeft) {
        state.toggleOrCounter = state.toggleOrCounter == 0 ? qint16(-1) : qint16(0);
    }
}

void jitter(AboutAnimation::State &state, AboutAnimation::Geometry &button, RandomSource &random) {
    state.stepX = draw(random, jitterRange);
    state.stepY = draw(random, jitterRange);
    button.left += state.stepX - jitterOffset;
    button.top += state.stepY - jitterOffset;
}

void bounce(AboutAnimation::State &state, AboutAnimation::Geometry &button, RandomSource &random) {
    qint16 &dirX = state.directionXOrWait;
    qint16 &dirY = state.directionY;
    if (dirX == 0) {
        dirX = -1;
        dirY = 1;
    }
    if (button.left <= edgeMargin || state.stepX == 0 || dirX == 0 || dirY == 0 ||
        button.left + button.width >= button.windowWidth) {
        dirX = reversed(dirX);
        state.stepX = draw(random, bounceRange);
        state.stepY = draw(random, bounceRange);
    }
    if (button.top <= edgeMargin || state.stepY == 0 || dirX == 0 || dirY == 0 ||
        button.top + button.height >= button.windowHeight) {
        dirY = reversed(dirY);
        state.stepX = draw(random, bounceRange);
        state.stepY = draw(random, bounceRange);
    }
    button.left += state.stepX * dirX;
    button.top += state.stepY * dirY;
}

void drift(AboutAnimation::State &state, AboutAnimation::Geometry &button, RandomSource &random) {
    if (button.left <= edgeMargin || button.left + button.width >= button.windowWidth) {
        state.stepX = draw(random, driftRange);
        state.stepY = draw(random, driftRange);
    }
    if (button.top <= edgeMargin || button.top + button.height >= button.windowHeight) {
        state.stepX = draw(random, driftRange);
        state.stepY = draw(random, driftRange);
    }
    button.left += state.stepX - driftOffset;
    button.top += state.stepY - driftOffset;
}

qint16 clampToShort(double value) {
    const double low = std::numeric_limits<qint16>::min();
    const double high = std::numeric_limits<qint16>::max();
    return static_cast<qint16>(AboutAnimation::roundHalfEven(std::clamp(value, low, high)));
}

void jumps(AboutAnimation::State &state, AboutAnimation::Geometry &button, RandomSource &random) {
    qint16 &counter = state.toggleOrCounter;
    qint16 &wait = state.directionXOrWait;
    if (counter >= wait) {
        state.stepX = clampToShort(random.next() * button.windowWidth - button.width - 1);
        state.stepY = clampToShort(random.next() * button.windowHeight - button.height + 1);
        counter = 0;
        wait = static_cast<qint16>(AboutAnimation::roundHalfEven(random.next() * longestWait));
    }
    if (counter < std::numeric_limits<qint16>::max()) {
        ++counter;
    }
    button.left = state.stepX;
    button.top = state.stepY;
}
} // namespace

int AboutAnimation::roundHalfEven(double value) {
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(value));
}

qint16 AboutAnimation::drawMode(RandomSource &random) {
    return static_cast<qint16>(roundHalfEven(random.next() * (modeCount - 1) + 1));
}

void AboutAnimation::step(int mode, State &state, Geometry &button, RandomSource &random) {
    switch (mode) {
    case 1:
        shuttle(state, button);
        break;
    case 2:
        jitter(state, button, random);
        break;
    case 3:
        bounce(state, button, random);
        break;
    case 4:
        drift(state, button, random);
        break;
    case 5:
        jumps(state, button, random);
        break;
    default: // 6: the button stays where it is
        break;
    }
}

bool AboutAnimation::tick(State &state, Geometry &button, RandomSource &random) {
    ++state.ticks;
    step(state.animMode, state, button, random);
    return state.ticks == closingTick;
}

} // namespace velmora
