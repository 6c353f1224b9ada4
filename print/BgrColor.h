#pragma once

#include <QColor>
#include <QtGlobal>

namespace velmora {

// Colours travel through the program as 32-bit values 0x00BBGGRR (red in the low byte), as
// the settings file stores them. This is where they meet Qt's colours.
class BgrColor {
public:
    // True for 0 to 0xFFFFFF; a value with the high byte set names no colour.
    static bool isValid(qint32 bgr);
    // Throws VelmoraError 380 for a value that is not a colour.
    static QColor toColor(qint32 bgr);
    static qint32 fromColor(const QColor &color);
};

} // namespace velmora
