#pragma once

#include <QLine>
#include <QRect>
#include <QSize>

#include <array>

namespace velmora {

// The card picture's design, in twips from the card's top-left corner: the preview card of the
// appearance page and the claimed card of the Tabellone are both drawn from it.
class CardGeometry {
public:
    static constexpr QSize card{4830, 2715};

    // The title's top edge moves with the font size (ScalaFont::topTitolo); this is its place
    // before any size is set.
    static constexpr QRect title{180, 105, 2520, 225};
    static constexpr QRect number{3120, 135, 1530, 225};
    static constexpr QRect heading{195, 2235, 4380, 315};
    static constexpr QRect thinLine{90, 390, 4545, 15};
    static constexpr QRect thickLine{210, 435, 4335, 30};

    // The border strips: top, bottom, left, right.
    static constexpr std::array<QRect, 4> border{{
        {210, 585, 4335, 30},
        {210, 2160, 4350, 30},
        {195, 585, 30, 1605},
        {4545, 585, 30, 1605},
    }};

    // The grid's frame strips: top, bottom, (no strip 2), left, right.
    enum FrameStrip { FrameTop = 0, FrameBottom = 1, FrameLeft = 3, FrameRight = 4 };
    static constexpr std::array<QRect, 5> gridFrame{{
        {330, 720, 4110, 15},
        {330, 2055, 4110, 15},
        {},
        {330, 720, 15, 1335},
        {4425, 720, 15, 1335},
    }};

    // The grid's inner lines: the two between the rows, then the eight between the columns.
    static constexpr int rowLineCount = 2;
    static constexpr std::array<QLine, 10> gridLines{{
        {330, 1185, 4425, 1185},
        {345, 1620, 4425, 1620},
        {780, 720, 780, 2055},
        {1230, 720, 1230, 2055},
        {1680, 720, 1680, 2055},
        {2130, 720, 2130, 2055},
        {2580, 720, 2580, 2055},
        {3030, 720, 3030, 2055},
        {3480, 720, 3480, 2055},
        {3930, 720, 3930, 2055},
    }};

    // The grid as one frame: from its top-left corner to the far edges of its right and bottom
    // strips.
    static constexpr QRect gridOuter() {
        return {QPoint(gridFrame[FrameLeft].left(), gridFrame[FrameTop].top()),
                QPoint(gridFrame[FrameRight].left() + gridFrame[FrameRight].width(),
                       gridFrame[FrameBottom].top() + gridFrame[FrameBottom].height())};
    }
    // Edge i of the cells, 0 the grid's left (top) side and the last its right (bottom) strip.
    static int columnEdge(int i);
    static int rowEdge(int i);
    // The cell of column 0..8, row 0..2, edge to edge.
    static QRect cell(int column, int row);
};

} // namespace velmora
