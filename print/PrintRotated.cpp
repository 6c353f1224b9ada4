#include "print/PrintRotated.h"

#include "errors/VelmoraError.h"
#include "print/PrinterSurface.h"

#include <cmath>
#include <limits>

namespace velmora {
namespace {
constexpr int twipsPerPoint = 20;
constexpr int escapementPerDegree = 10; // the escapement is in tenths of a degree
// Conversions to whole numbers send halves to the even neighbour.
int roundHalfEven(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<int>::min() &&
          rounded <= std::numeric_limits<int>::max())) {
        throw VelmoraError(VelmoraError::Overflow,
                           QStringLiteral("Overflow: la posizione del testo ruotato è fuori "
                                          "dai limiti"));
    }
    return int(rounded);
}
} // namespace

int rotatedFontHeight(double fontSize, double twipsPerPixelY) {
    return roundHalfEven(fontSize * -twipsPerPoint / twipsPerPixelY);
}

qint16 rotatedEscapement(qint16 angle) {
    const int product = int(angle) * escapementPerDegree;
    if (product > std::numeric_limits<qint16>::max() ||
        product < std::numeric_limits<qint16>::min()) {
        throw VelmoraError(VelmoraError::Overflow,
                           QStringLiteral("Overflow: l'angolo %1 è troppo grande per il testo "
                                          "ruotato")
                               .arg(angle));
    }
    return qint16(product);
}

void PrintRotated(PrinterSurface &surface, const QString &text, qint16 angle) {
    const int x = roundHalfEven(surface.currentX());
    const int y = roundHalfEven(surface.currentY());
    const int height = rotatedFontHeight(surface.fontSize(), surface.twipsPerPixelY());
    const qint16 escapement = rotatedEscapement(angle);
    surface.drawRotatedText(x, y, surface.fontName(), height, escapement, text);
}

} // namespace velmora
