#include "print/TextFit.h"

#include "print/PrinterSurface.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {
constexpr double pointsPerInch = 72;
constexpr double twipsPerInch = 1440;
constexpr double roomSteps = 16; // the room is compared in sixteenths of a pixel
const QString ellipsis = QStringLiteral("…");

// Sets and then restores the surface's size and weight around a measure.
class FontScope {
public:
    explicit FontScope(PrinterSurface &surface)
        : m_s(surface), m_points(surface.fontSize()), m_bold(surface.fontBold()) {}
    ~FontScope() {
        m_s.setFontSize(m_points);
        m_s.setFontBold(m_bold);
    }
    FontScope(const FontScope &) = delete;
    FontScope &operator=(const FontScope &) = delete;

    double width(const QString &text, double points, bool bold) {
        if (text.isEmpty()) {
            return 0;
        }
        m_s.setFontSize(points);
        m_s.setFontBold(bold);
        return m_s.textWidth(text);
    }

private:
    PrinterSurface &m_s;
    double m_points;
    bool m_bold;
};
} // namespace

int TextFit::largestFitting(int basePixels, int floorPixels, double room,
                            const std::function<double(int)> &width) {
    // Widths grow with the em, so the largest em that fits is found by halving the range: a
    // text at a very large size would otherwise cost one measurement per pixel.
    int low = std::max(floorPixels, 1);
    int high = basePixels;
    if (high < low) {
        return 0;
    }
    if (width(high) <= room) {
        return high;
    }
    if (width(low) > room) {
        return 0;
    }
    while (high - low > 1) { // width(low) fits, width(high) does not
        const int middle = low + (high - low) / 2;
        (width(middle) <= room ? low : high) = middle;
    }
    return low;
}

QString TextFit::cut(const QString &text, double room,
                     const std::function<double(const QString &)> &width) {
    for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
        const QString shorter = text.left(keep).trimmed() + ellipsis;
        if (width(shorter) <= room) {
            return shorter;
        }
    }
    return width(ellipsis) <= room ? ellipsis : QString();
}

TextFit::Line TextFit::fit(PrinterSurface &surface, double room, const QString &first,
                           bool firstBold, const QString &second, bool secondBold) {
    const Key key{surface.fontName(),
                  surface.fontSize(),
                  surface.fontItalic(),
                  qint64(std::floor(room * roomSteps)),
                  first,
                  second,
                  quint8((firstBold ? 1 : 0) | (secondBold ? 2 : 0))};
    auto it = m_lines.constFind(key);
    if (it == m_lines.constEnd()) {
        it = m_lines.insert(key, measure(surface, key));
    }
    return *it;
}

double TextFit::width(PrinterSurface &surface, const QString &text) {
    const Key key{surface.fontName(),
                  surface.fontSize(),
                  surface.fontItalic(),
                  0,
                  text,
                  {},
                  quint8(surface.fontBold() ? 1 : 0)};
    auto it = m_widths.constFind(key);
    if (it == m_widths.constEnd()) {
        it = m_widths.insert(key, surface.textWidth(text));
    }
    return *it;
}

TextFit::Line TextFit::measure(PrinterSurface &surface, const Key &key) {
    const double room = double(key.room) / roomSteps;
    const bool firstBold = key.bold & 1;
    const bool secondBold = key.bold & 2;
    FontScope font(surface);
    const auto lineWidth = [&](double points) {
        return font.width(key.first, points, firstBold) +
               font.width(key.second, points, secondBold);
    };
    Line line{key.points, key.first, key.second, false, false};
    if (lineWidth(key.points) <= room) {
        return line;
    }
    const double dpi = twipsPerInch / surface.twipsPerPixelY();
    const auto points = [dpi](int em) { return em * pointsPerInch / dpi; };
    const int base = int(std::floor(key.points * dpi / pointsPerInch));
    const int floor = int(std::ceil(floorPoints * dpi / pointsPerInch));
    const int em =
        largestFitting(base, floor, room, [&](int pixels) { return lineWidth(points(pixels)); });
    line.shrunk = true;
    if (em > 0) {
        line.points = points(em);
        return line;
    }
    // Even the floor is too large: cut the second part first, then the first.
    line.points = std::min(key.points, points(floor));
    line.cut = true;
    const double firstWidth = font.width(key.first, line.points, firstBold);
    if (!key.second.isEmpty() && firstWidth < room) {
        line.second = cut(key.second, room - firstWidth, [&](const QString &text) {
            return font.width(text, line.points, secondBold);
        });
        return line;
    }
    line.second.clear();
    line.first = cut(key.first, room,
                     [&](const QString &text) { return font.width(text, line.points, firstBold); });
    return line;
}

} // namespace velmora
