#pragma once

#include "print/CardLayout.h"
#include "print/FontResolver.h"
#include "print/PrintPlan.h"
#include "settings/Configurazione.h"

#include <QList>
#include <QSizeF>
#include <QString>

namespace velmora {

class CardArchive;

// What every card of a run will need, checked once before the first card by the window and by
// velmora-pdf alike: a font size the printer can use for every text of the card in the chosen
// layout, a face that can be had for every text, and archive records in the range that decode.
// A run that fails prints nothing and says one Italian message naming what to change and where.
class RunCheck {
public:
    // Where the user changes the settings: the appearance page, or the settings file.
    enum class Place { Window, SettingsFile };

    struct Result {
        QString refusal;                    // empty when the run may go on
        QList<FontResolver::Face> standIns; // faces that print with another installed face
        QString sizeNotice; // a size larger than the cards take, and the one they print at
        bool ok() const { return refusal.isEmpty(); }
    };

    // The sizes (Dimensione) every text of a card of the layout can be printed at.
    static int minDimensione(const CardLayout &layout);
    static int maxDimensione(const CardLayout &layout);
    // Sizes that both layouts can print: what the size box accepts.
    static int minDimensione();
    static int maxDimensione();
    // The largest size the size box takes for the settings' face and orientation: the numbers
    // still fit their cells (SizeFit). Without a face that prints, maxDimensione().
    static int largestBoxDimensione(const Configurazione &settings);

    // Settings first, then the archive records of plan.first..plan.last (read once each). A
    // settings file is named by settingsPath when place is SettingsFile.
    static Result check(const Configurazione &settings, const PrintPlan &plan, CardArchive &archive,
                        bool numerazioneArchivio, Place place, const QString &settingsPath = {});
    // The settings half of check(), without the archive.
    static Result checkSettings(const Configurazione &settings, const CardLayout &layout,
                                Place place, const QString &settingsPath = {});
    // The first card of the range whose record does not read or decode, as the refusal.
    static QString checkArchive(CardArchive &archive, const PrintPlan &plan,
                                bool numerazioneArchivio);

    // Said once before the first card when a full page of cards drawn from the corner of a
    // printer's printable area (printableArea in device pixels at dotsPerInch, within a page
    // pageHeightTwips high) would pass its edges: by how much, across and down, and what to
    // do about it. Empty when the sheet fits.
    static QString printableAreaNotice(const CardLayout &layout, int dimensione,
                                       const QSizeF &printableArea, double pageHeightTwips,
                                       int dotsPerInch);

    // "Il carattere "Verdana" non è installato: le cartelle si stampano con "DejaVu Sans"."
    static QString standInNotice(const QList<FontResolver::Face> &standIns);
};

} // namespace velmora
