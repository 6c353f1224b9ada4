#include "settings/Calibrazione.h"

#include "errors/VelmoraError.h"

#include <QRegularExpression>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace velmora {
namespace {

constexpr double millimetresPerInch = 25.4;
constexpr int invalidPropertyValue = 380;

QString limiti() {
    return QStringLiteral("lo spostamento deve essere compreso tra -%1 e %1 millimetri")
        .arg(Calibrazione::limiteMm);
}

} // namespace

QString Calibrazione::etichetta(Asse asse) {
    return asse == Asse::Verticale ? QStringLiteral("Parametro Altezza")
                                   : QStringLiteral("Parametro Larghezza");
}

QString Calibrazione::descrizione(Asse asse) {
    return asse == Asse::Verticale
               ? QStringLiteral("Spostamento verticale della stampa in millimetri: positivo "
                                "verso il basso, negativo verso l'alto (da -50 a 50)")
               : QStringLiteral("Spostamento orizzontale della stampa in millimetri: positivo "
                                "verso destra, negativo verso sinistra (da -50 a 50)");
}

QString Calibrazione::testo(float mm) {
    if (mm == 0) {
        return QStringLiteral("0"); // -0 too
    }
    // The shortest digits that read back as this float, never with an exponent.
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), mm, std::chars_format::fixed);
    if (error != std::errc()) {
        return QString::number(double(mm), 'g', 9);
    }
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

Calibrazione::Lettura Calibrazione::leggi(Asse asse, const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {0.0f, {}};
    }
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(trimmed).hasMatch()) {
        return {std::nullopt,
                QStringLiteral("%1: \"%2\" non è un numero, scrivere lo spostamento in "
                               "millimetri, con il punto per i decimali (ad esempio 1.5).")
                    .arg(etichetta(asse), trimmed)};
    }
    // from_chars takes no plus sign and no locale: the point is always the separator.
    const QByteArray latin = trimmed.toLatin1();
    const char *first = latin.constData() + (latin.startsWith('+') ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(first, latin.constData() + latin.size(), value);
    if (error != std::errc() || end != latin.constData() + latin.size() || !ammesso(value)) {
        return {std::nullopt, QStringLiteral("%1: \"%2\" è fuori dai limiti: %3.")
                                  .arg(etichetta(asse), trimmed, limiti())};
    }
    // -0 is stored as 0.
    return {value == 0 ? 0.0f : static_cast<float>(value), {}};
}

bool Calibrazione::ammesso(double mm) {
    return std::isfinite(mm) && std::abs(mm) <= limiteMm;
}

QString Calibrazione::fault(const Configurazione &settings) {
    for (const auto &[asse, mm] :
         {std::pair{Asse::Orizzontale, settings.ParY}, std::pair{Asse::Verticale, settings.ParX}}) {
        if (!ammesso(mm)) {
            const QString valore = std::isfinite(mm)
                                       ? QStringLiteral("vale %1 millimetri").arg(testo(mm))
                                       : QStringLiteral("non contiene un numero valido");
            return QStringLiteral("La calibrazione della stampa non è valida (%1 %2, ma %3)")
                .arg(etichetta(asse), valore, limiti());
        }
    }
    return {};
}

QPointF Calibrazione::spostamentoPixel(const Configurazione &settings, int dotsPerInch) {
    if (const QString why = fault(settings); !why.isEmpty()) {
        throw VelmoraError(invalidPropertyValue,
                           why + QStringLiteral(": correggere il valore nella pagina delle "
                                                "intestazioni e salvare la configurazione."));
    }
    // Whole pixels: every rule stays on the pixel grid it was designed for.
    const auto pixels = [dotsPerInch](float mm) {
        return double(std::lround(double(mm) * dotsPerInch / millimetresPerInch));
    };
    return {pixels(settings.ParY), pixels(settings.ParX)};
}

} // namespace velmora
