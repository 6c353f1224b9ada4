#include "appearance/FitLabel.h"

#include "print/TextFit.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace velmora {
namespace {
constexpr double pointsPerInch = 72;

QFont withPixels(QFont font, int pixels) {
    font.setPixelSize(pixels);
    return font;
}
} // namespace

bool FitLabel::fits() const {
    return QFontMetricsF(font(), this).horizontalAdvance(text()) <= contentsRect().width();
}

QFont FitLabel::shownFont() const {
    if (fits()) {
        return font();
    }
    const double room = contentsRect().width();
    const int base = QFontInfo(font()).pixelSize();
    const int floor = int(std::ceil(TextFit::floorPoints * logicalDpiY() / pointsPerInch));
    const int em = TextFit::largestFitting(base, floor, room, [this](int pixels) {
        return QFontMetricsF(withPixels(font(), pixels), this).horizontalAdvance(text());
    });
    return withPixels(font(), em > 0 ? em : std::min(base, floor));
}

QString FitLabel::shownText() const {
    if (fits()) {
        return text();
    }
    const QFontMetricsF metrics(shownFont(), this);
    if (metrics.horizontalAdvance(text()) <= contentsRect().width()) {
        return text();
    }
    return TextFit::cut(text(), contentsRect().width(),
                        [&metrics](const QString &t) { return metrics.horizontalAdvance(t); });
}

void FitLabel::paintEvent(QPaintEvent *event) {
    if (fits()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(shownFont());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), int(alignment()), shownText());
}

} // namespace velmora
