#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmora {

// Window measures are designed in twips (1440 per inch). This is the one place where they
// become pixels, with the screen's logical DPI (15 twips per pixel at 96 DPI).
class Twips {
public:
    static double twipsPerPixel();
    static int toPixels(double twips);
    static double fromPixels(int pixels);
    static QPoint point(double left, double top);
    static QSize size(double width, double height);
    static QRect rect(double left, double top, double width, double height);
    // For tests and tools that need a fixed scale: 0 returns to the screen's DPI.
    static void overrideTwipsPerPixel(double value);
};

} // namespace velmora
