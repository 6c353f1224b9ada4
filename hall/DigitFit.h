#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace velmora {

// The large digits of a last number, as large as their box allows and whole in it: the box's
// height decides, its width when the digits are wide. Used for the hall's board and the
// Tabellone alike.
class DigitFit {
public:
    // The largest pixel size of font (at most ceiling) at which sample, drawn as a label draws
    // it (one line centred in box), has its digits inside box; 6 when even that does not fit.
    static int pixelSize(QFont font, const QRect &box, const QString &sample, int ceiling);
    // Whether text in font, drawn centred in area, has its digits whole inside box.
    static bool whole(const QFont &font, const QRect &area, const QRect &box, const QString &text);
};

} // namespace velmora
