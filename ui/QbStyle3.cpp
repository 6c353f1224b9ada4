#include "ui/QbStyle3.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {
constexpr int mediumGrey = 128;
constexpr int pressedRaise = 12;
constexpr int valueRaise = 31;
constexpr int darkLower = -26;
constexpr int pushMode = 0;

int channel(double value) {
    return std::clamp(static_cast<int>(std::nearbyint(value)), 0, 255);
}
} // namespace

QColor QbStyle3::shade(const QColor &colour, int amount) {
    const double scale = 256.0 / 255.0;
    return QColor(channel(colour.red() + amount), channel(colour.green() * scale + amount),
                  channel(colour.blue() * scale + amount));
}

QColor QbStyle3::pressedGrey() {
    return shade(QColor(mediumGrey, mediumGrey, mediumGrey), pressedRaise);
}

QColor QbStyle3::valueGrey() {
    return shade(pressedGrey(), valueRaise);
}

QColor QbStyle3::darkGrey() {
    return shade(QColor(mediumGrey, mediumGrey, mediumGrey), darkLower);
}

bool QbStyle3::shownPressed(const State &state) {
    if (state.mode == pushMode) {
        return state.pressed && state.pointerOver;
    }
    return state.value || state.heldDown;
}

QColor QbStyle3::faceColour(const State &state) {
    if (state.mode == pushMode) {
        return state.pressed && state.pointerOver ? pressedGrey() : state.back;
    }
    return state.value ? valueGrey() : state.back;
}

QbStyle3::Frame QbStyle3::frame(const State &state) {
    const QColor face = faceColour(state);
    const QColor white(Qt::white);
    const QColor dark = darkGrey();
    Frame frame{};
    if (!state.enabled && state.mode == pushMode) {
        frame[Outer].fill(face);
        frame[Middle].fill(face);
        frame[Inner].fill(dark);
        return frame;
    }
    const QColor light = shownPressed(state) ? face : white;
    frame[Middle] = {light, light, dark, dark};
    frame[Inner] = {dark, dark, white, white};
    return frame;
}

} // namespace velmora
