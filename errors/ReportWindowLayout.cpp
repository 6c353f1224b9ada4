#include "errors/ReportWindowLayout.h"

namespace velmora {
namespace {

// Room around the report box: window height = text + 1700, box height = text + 475; a capped
// window keeps a box 1000 lower. Window width = text + 1335 = box width + 1335.
constexpr double heightAroundText = 1700;
constexpr double boxHeightAroundText = 475;
constexpr double heightAroundCappedBox = 1000;
constexpr double widthAroundBox = 1335;
constexpr double buttonsAboveBottom = 855 + 50;
constexpr double sendMailRightMargin = 50;
constexpr double screenShareDivisor = 1.5; // windows grow up to two thirds of the screen

} // namespace

ReportWindowLayout ReportWindowLayout::compute(QSizeF text, QRectF screen, QSizeF frame,
                                               double sendMailWidth) {
    ReportWindowLayout layout;
    // Both caps come from the screen's width.
    const double limit = screen.width() / screenShareDivisor;
    double width = designInnerWidth + frame.width();
    double height = 0;
    double boxWidth = textBoxRect.width();
    double boxHeight = 0;

    if (limit > text.height()) {
        height = text.height() + heightAroundText;
        boxHeight = text.height() + boxHeightAroundText;
    } else {
        height = limit;
        boxHeight = limit - heightAroundCappedBox;
    }
    if (text.width() > textBoxRect.width()) {
        width = limit > text.width() ? text.width() + widthAroundBox : limit;
        boxWidth = width - widthAroundBox;
    }

    layout.window = QRectF(screen.left() + (screen.width() - width) / 2,
                           screen.top() + (screen.height() - height) / 2, width, height);
    layout.textBox = QSizeF(boxWidth, boxHeight);
    layout.buttonTop = height - buttonsAboveBottom;
    const double retryWidth = buttonRects[1].width();
    layout.buttonLeft[1] = (width - retryWidth) / 2;
    layout.buttonLeft[0] = layout.buttonLeft[1] - buttonRects[0].width() - buttonGap;
    layout.buttonLeft[2] = layout.buttonLeft[1] + retryWidth + buttonGap;
    layout.sendMailLeft = width - sendMailWidth - sendMailRightMargin;
    return layout;
}

} // namespace velmora
