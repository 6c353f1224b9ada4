#pragma once

// The codes of the button's enumerated properties, named. The properties themselves stay int,
// the values stored with a button; the three source files of qbButtons_H share these names.

namespace velmora::qbbuttons {

// ButtonStyle: how the frame is drawn.
enum class Style {
    Classic = 0,      // raised, in two rings
    Flat = 1,         // one dark line
    Soft = 2,         // one light and shadowed ring
    Exact = 3,        // the three rings of QbStyle3
    HoverBorder = 4,  // a border only while the pointer is over the button
    Heavy = 5,        // a two-pixel dark border
    Outlined = 6,     // dark outline with a light inner line
    BlackOutlined = 7 // raised with a black outline
};

// ButtonShape: the outline. The last two take it from the picture.
enum class Shape {
    Rectangle = 0,
    Rounded = 1,
    Ellipse = 2,
    Capsule = 3,
    Diamond = 4,
    Octagon = 5,
    Arrow = 6,
    PictureOutline = 7,  // the picture's own outline
    PictureColourKey = 8 // the picture without the colour of its top-left pixel
};

// GradientMode: the face runs from the back colour to GradientColor.
enum class Gradient { None = 0, Across = 1, Down = 2, DownRight = 3, UpRight = 4 };

// PictureAlign: where the picture sits against the caption.
enum class PictureAlign {
    Left = 0,
    Right = 1,
    BeforeCaption = 2,
    AfterCaption = 3,
    Above = 4,
    Below = 5
};

enum class CaptionAlign { Left = 0, Right = 1, Centre = 2 };
enum class CaptionStyle { Plain = 0, Engraved = 1, Shadowed = 2 };

template <typename Code> constexpr int code(Code value) {
    return static_cast<int>(value);
}

constexpr int styleCount = code(Style::BlackOutlined) + 1;
constexpr int shapeCount = code(Shape::PictureColourKey) + 1;
constexpr int maxGradientMode = code(Gradient::UpRight);
constexpr int maxPictureAlign = code(PictureAlign::Below);
constexpr int maxCaptionAlign = code(CaptionAlign::Centre);
constexpr int maxCaptionStyle = code(CaptionStyle::Shadowed);
constexpr int maxCustomClick = 8;
constexpr int maxPictureSize = 4;
constexpr int maxHoverLocks = 3;
constexpr int keepHoverBack = 1; // HoverColorLocks bits
constexpr int keepHoverFore = 2;
constexpr int maxStandardPointer = 15;
constexpr int frameWidth = 3;
constexpr int contentGap = 3;
constexpr int pictureUnit = 8;

constexpr bool inRange(int value, int last) {
    return value >= 0 && value <= last;
}

constexpr bool isCustomShape(int shape) {
    return shape >= code(Shape::PictureOutline);
}

} // namespace velmora::qbbuttons
