#include "common/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace velmora {
namespace {
constexpr double twipsPerInch = 1440.0;
constexpr double defaultDpi = 96.0;
double overridden = 0.0;
} // namespace

double Twips::twipsPerPixel() {
    if (overridden > 0) {
        return overridden;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : defaultDpi;
    return twipsPerInch / (dpi > 0 ? dpi : defaultDpi);
}

int Twips::toPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double Twips::fromPixels(int pixels) {
    return pixels * twipsPerPixel();
}

QPoint Twips::point(double left, double top) {
    return {toPixels(left), toPixels(top)};
}

QSize Twips::size(double width, double height) {
    return {toPixels(width), toPixels(height)};
}

QRect Twips::rect(double left, double top, double width, double height) {
    return {point(left, top), size(width, height)};
}

void Twips::overrideTwipsPerPixel(double value) {
    overridden = value;
}

} // namespace velmora
