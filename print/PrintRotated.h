#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

class PrinterSurface;

// Writes text on the surface at its current position (rounded to whole units, taken as device
// pixels) in its current face and size, turned by angle degrees counter-clockwise: the angle
// goes through the font's escapement as angle x 10 tenths of a degree, so 270 reads downwards
// and 90 upwards. Normal weight, upright, in the surface's text colour; the surface's position
// does not move. A product beyond 16 bits (|angle| > 3276) throws VelmoraError 6.
void PrintRotated(PrinterSurface &surface, const QString &text, qint16 angle);

// The font height handed to the surface: size in points x -20 / twips per pixel down, rounded half
// to even (negative: a character height in pixels).
int rotatedFontHeight(double fontSize, double twipsPerPixelY);
// angle x 10 tenths of a degree as a 16-bit product; throws VelmoraError 6 when it overflows.
qint16 rotatedEscapement(qint16 angle);

} // namespace velmora
