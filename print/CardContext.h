#pragma once

#include "print/CardArchive.h"
#include "print/PrinterSurface.h"
#include "print/SheetFit.h"
#include "print/SizeFit.h"
#include "print/TextFit.h"
#include "settings/Configurazione.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <utility>

namespace velmora {

// What one card's drawing reads. The print run owns one for the length of a run and hands it
// to every card; the settings must not change while it is in use (call refresh() if they do).
struct CardContext {
    CardContext(PrinterSurface &surface, CardArchive &archive, const Configurazione &settings,
                bool numerazioneArchivio = false, std::function<void()> pumpEvents = {})
        : surface(surface), archive(archive), settings(settings),
          numerazioneArchivio(numerazioneArchivio), pumpEvents(std::move(pumpEvents)) {}

    PrinterSurface &surface;
    CardArchive &archive;
    const Configurazione &settings;
    bool numerazioneArchivio = false;
    std::function<void()> pumpEvents; // let pending events run once inside each card; may be empty

    // The settings' texts without their blanks, and other per-run values: computed once.
    struct Prepared {
        QString fontTombola;
        QString titolo;
        QString frase1;
        QString frase2;
        QString ditta;
        QString via;
        QString tel;
        QString viaTelSeparator; // the separator viaTel was made with
        QString viaTel;          // "  " + Via + separator + Tel
        // The 2-character text of every pair of bytes a cell can hold, made when first met, by
        // first byte: a run meets a few first bytes (blank and digits), so only their rows
        // are made, not a table of all 65,536 pairs (1.5 MiB).
        using CellTextRow = std::array<QString, 256>;
        std::array<std::unique_ptr<CellTextRow>, 256> cellTexts;
    };

    // The prepared values, made on first use.
    const Prepared &prepared();
    // The 2-character text of a cell of the record, without allocating after the first time.
    const QString &cellText(const RecordCartella &record, int cell);
    // "  " + Via + separator + Tel.
    const QString &viaTel(const QString &separator);
    void refresh() {
        m_prepared.reset();
        fits = TextFit{};
        sizes = SizeFit{};
        sheets = SheetFit{};
    }
    // The sheet of a full page of cards of layout on the surface as it is now: the size the
    // cards are drawn at and their factors' caps, worked out once per run.
    const SheetFit::Sheet &sheet(const CardLayout &layout) {
        return sheets.sheet(SheetFit::request(layout, surface, settings));
    }

    // The texts' fits and widths, measured once per run.
    TextFit fits;
    // The sizes that keep the card's texts off its lines, worked out once per run.
    SizeFit sizes;
    SheetFit sheets;

private:
    std::shared_ptr<Prepared> m_prepared;
};

} // namespace velmora
