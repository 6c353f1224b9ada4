#include "app/UnshownSettings.h"

#include "print/PrintPlan.h"
#include "print/RunCheck.h"

#include <QDir>

#include <algorithm>
#include <array>

namespace velmora {
namespace {

// NULs and blanks at the end are padding some writers use, not part of the text.
bool hasControls(const QString &text) {
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1).unicode() == 0 || text.at(end - 1) == u' ')) {
        --end;
    }
    return std::any_of(text.cbegin(), text.cbegin() + end, [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
    });
}

} // namespace

QStringList UnshownSettings::fallBack(Configurazione &settings, const Configurazione &defaults) {
    QStringList fields;
    const auto check = [&fields](bool shown, const char *name, auto &field, const auto &fallback) {
        if (!shown) {
            field = fallback;
            fields.append(QString::fromUtf8(name));
        }
    };
    const std::array<std::pair<FixedText<30> *, const FixedText<30> *>, 4> shortTexts{{
        {&settings.FontTombola, &defaults.FontTombola},
        {&settings.Titolo, &defaults.Titolo},
        {&settings.Ditta, &defaults.Ditta},
        {&settings.Tel, &defaults.Tel},
    }};
    static const std::array<const char *, 4> shortNames{"il carattere", "il titolo", "la ditta",
                                                        "il telefono"};
    for (std::size_t i = 0; i < shortTexts.size(); ++i) {
        check(!hasControls(shortTexts[i].first->padded()), shortNames[i], *shortTexts[i].first,
              *shortTexts[i].second);
    }
    check(!hasControls(settings.Frase1.padded()), "la prima frase", settings.Frase1,
          defaults.Frase1);
    check(!hasControls(settings.Frase2.padded()), "la seconda frase", settings.Frase2,
          defaults.Frase2);
    check(!hasControls(settings.Via.padded()), "l'indirizzo", settings.Via, defaults.Via);
    check(settings.Dimensione >= RunCheck::minDimensione() &&
              settings.Dimensione <= RunCheck::maxDimensione(),
          "la dimensione del carattere", settings.Dimensione, defaults.Dimensione);
    check(settings.PrimaCartella >= 0 && settings.PrimaCartella <= PrintPlan::maxCard,
          "la prima cartella", settings.PrimaCartella, defaults.PrimaCartella);
    return fields;
}

QString UnshownSettings::notice(const QStringList &fields, const QString &settingsPath) {
    return QStringLiteral("Il file di configurazione \"%1\" contiene valori che il programma non "
                          "può mostrare (%2), forse perché è danneggiato: per questi si usano i "
                          "valori predefiniti.")
        .arg(QDir::toNativeSeparators(settingsPath), fields.join(QStringLiteral(", ")));
}

} // namespace velmora
