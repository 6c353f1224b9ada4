#include "print/BgrColor.h"

#include "errors/VelmoraError.h"

namespace velmora {
namespace {
constexpr qint32 maxColour = 0xFFFFFF;
constexpr int invalidPropertyValue = 380; // "Valore della proprietà non valido"
} // namespace

bool BgrColor::isValid(qint32 bgr) {
    return bgr >= 0 && bgr <= maxColour;
}

QColor BgrColor::toColor(qint32 bgr) {
    if (!isValid(bgr)) {
        throw VelmoraError(invalidPropertyValue,
                           QStringLiteral("Valore della proprietà non valido: il colore %1 non "
                                          "è un colore RGB")
                               .arg(bgr));
    }
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

qint32 BgrColor::fromColor(const QColor &color) {
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

} // namespace velmora
