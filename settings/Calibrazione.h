#pragma once

#include "settings/Configurazione.h"

#include <QPointF>
#include <QString>
#include <optional>

namespace velmora {

// The print calibration kept in the settings: ParX moves everything printed down (up when
// negative), ParY to the right (left when negative), in millimetres. Pre-cut card stock and
// printers that shift the page need it; 0 and 0 print exactly as without it.
class Calibrazione {
public:
    static constexpr double limiteMm = 50.0;

    enum class Asse { Verticale, Orizzontale }; // ParX, ParY

    // The caption of the box of an axis: "Parametro Altezza" (ParX) or "Parametro Larghezza".
    static QString etichetta(Asse asse);
    // What the box of an axis does, for its tooltip.
    static QString descrizione(Asse asse);

    // A stored value as its box shows it: the shortest text that reads back as the same value,
    // a point as the decimal separator, no trailing zeros ("12.5", "-3", "0.1").
    static QString testo(float mm);

    // A box's text read for saving. Blanks alone give 0. Otherwise the whole text must be one
    // number (sign, digits, a point, an exponent) within the limits; anything else is refused,
    // with the Italian reason naming the box: text that only starts with a number ("2,5",
    // "3 mm") is refused rather than cut, so a typing slip never moves the print unnoticed.
    struct Lettura {
        std::optional<float> valore;
        QString motivo; // empty when accepted
    };
    static Lettura leggi(Asse asse, const QString &text);

    // True for a finite value within the limits.
    static bool ammesso(double mm);

    // Why the settings' calibration cannot be printed with (a value that is not a number or
    // beyond the limits, naming its box), without the full stop; empty when it can.
    static QString fault(const Configurazione &settings);

    // The settings' calibration in whole device pixels at dotsPerInch: x from ParY, y from ParX.
    // A stored value that is not a number or beyond the limits (a settings file edited by hand)
    // throws VelmoraError 380 with an Italian message that names the box: nothing is printed
    // rather than cards off their boxes.
    static QPointF spostamentoPixel(const Configurazione &settings, int dotsPerInch);
};

} // namespace velmora
