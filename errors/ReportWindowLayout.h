#pragma once

#include <QRectF>
#include <QSizeF>
#include <array>

namespace velmora {

// Where the error window and its controls go for a given report. All measures are twips;
// the window's size is its outer size, frame and caption included, and the controls are
// placed in the window's inner area.
class ReportWindowLayout {
public:
    // The window as designed (inner area 5070 x 1770), one table-like block.
    static constexpr double designInnerWidth = 5070;
    static constexpr double designInnerHeight = 1770;
    static constexpr QRectF exclamationRect{120, 120, 495, 510};
    static constexpr QRectF criticalRect{120, 120, 480, 495};
    static constexpr QRectF label1Rect{840, 240, 2265, 195};
    static constexpr QRectF textBoxRect{840, 600, 3855, 375};
    static constexpr QRectF sendMailRect{4245, 0, 795, 585};
    static constexpr QRectF sendLabelRect{360, 0, 375, 195}; // inside the send/copy picture
    static constexpr QRectF copyLabelRect{360, 270, 375, 195};
    static constexpr std::array<QRectF, 3> buttonRects{
        QRectF{600, 1200, 1275, 360}, QRectF{1920, 1200, 1275, 360}, QRectF{3240, 1200, 1275, 360}};
    static constexpr double buttonGap = 60;

    QRectF window;                      // outer rectangle, in screen coordinates
    QSizeF textBox;                     // size of the report box (its corner stays)
    double buttonTop = 0;               // top of the three answer buttons
    std::array<double, 3> buttonLeft{}; // "&Termina", "&Riprova", "&Ignora"
    double sendMailLeft = 0;            // left of the send/copy picture

    // text: height of all the report's lines and width of its widest line.
    // frame: outer size minus inner size of a window (zero without decorations).
    static ReportWindowLayout compute(QSizeF text, QRectF screen, QSizeF frame,
                                      double sendMailWidth = sendMailRect.width());
};

} // namespace velmora
