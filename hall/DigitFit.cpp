#include "hall/DigitFit.h"

#include <QFontMetrics>

namespace velmora {
namespace {

constexpr int smallest = 6;

// Where text's digits fall, drawn as a label draws it: one line centred in area.
QRect digitsIn(const QFontMetrics &metrics, const QRect &area, const QString &text) {
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    const int left = area.left() + (area.width() - metrics.horizontalAdvance(text)) / 2;
    return metrics.tightBoundingRect(text).translated(left, baseline);
}

} // namespace

bool DigitFit::whole(const QFont &font, const QRect &area, const QRect &box, const QString &text) {
    return box.contains(digitsIn(QFontMetrics(font), area, text));
}

int DigitFit::pixelSize(QFont font, const QRect &box, const QString &sample, int ceiling) {
    // The line's empty descent may stick out of the box, the digits never do.
    int size = qMax(smallest, ceiling);
    for (; size > smallest; size -= qMax(1, size / 50)) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect digits = digitsIn(metrics, box, sample);
        if (metrics.horizontalAdvance(sample) <= box.width() && digits.top() > box.top() &&
            digits.bottom() < box.bottom()) {
            break;
        }
    }
    return size;
}

} // namespace velmora
