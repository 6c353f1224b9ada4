#pragma once

#include <QColor>
#include <array>
#include <optional>

namespace velmora {

// Colours of the owner-drawn button's everyday look (style 3): the face, and the three nested
// one-pixel frames. Kept free of widgets so the rules can be checked without a window.
class QbStyle3 {
public:
    enum Side { Top, Left, Bottom, Right };
    enum Ring { Outer, Middle, Inner };
    // Colour of each side of each ring; an empty entry is a side that is not drawn.
    using Frame = std::array<std::array<std::optional<QColor>, 4>, 3>;

    struct State {
        bool enabled = true;
        int mode = 0; // 0 push, 1 toggle, 2 option
        bool value = false;
        bool pressed = false;
        bool pointerOver = false;
        bool heldDown = false;
        QColor back;
    };

    // Raises (or with a negative amount lowers) a colour: red + n, green * 256 / 255 + n,
    // blue * 256 / 255 + n, each rounded and clamped to 0..255.
    static QColor shade(const QColor &colour, int amount);
    static QColor pressedGrey();
    static QColor valueGrey();
    static QColor darkGrey();

    // A push button looks pressed while it is pressed with the pointer over it; a toggle or
    // option button while its value is true or while it is held down.
    static bool shownPressed(const State &state);
    static QColor faceColour(const State &state);
    static Frame frame(const State &state);
};

} // namespace velmora
