#pragma once

#include "print/CardArchive.h"
#include "print/CardContext.h"
#include "print/PrintPlan.h"
#include "print/PrinterSurface.h"
#include "settings/Configurazione.h"

#include <functional>

namespace velmora {

// The loop of a print run, shared by the window and the batch program. The caller opens the
// archive (ArchiveSearch) and makes the plan (PrintPlan) first, so a missing archive or a
// range beyond the card numbers is refused before anything is printed.
class PrintRun {
public:
    struct Hooks {
        std::function<void()> pumpEvents; // per card (before the stop check) and inside each card
        std::function<bool()> stopRequested; // true: leave before the next card
        std::function<bool()> landscapeNow;  // orientation read again for each card; empty = plan's
        std::function<void(int done, int total)> progress; // after each card
        std::function<void(int dpi)>
            qualityNotice; // the "Printer.PrintQuality =" message when not 300
        std::function<void(bool busy)> busyPointer; // hourglass around each page end
        // Once before the first card, when the sheet is larger than the printer's printable
        // area (RunCheck::printableAreaNotice); never for a PDF, whose sheet is centred.
        std::function<void(const QString &notice)> areaNotice;
    };
    enum class Outcome { Completed, Stopped, Empty };

    static constexpr int dotsPerInch = 300;

    PrintRun(PrinterSurface &surface, CardArchive &archive, const Configurazione &settings,
             bool numerazioneArchivio);

    // Prepares the printer (orientation, 300 dpi, the settings' calibration as the surface's
    // origin offset, added to the move that centres the sheet on a PDF page, centimetres then
    // pixels, the empty line that begins the document), draws plan.first..plan.last slot by slot,
    // ends a page after each full page and the document after the last card. A stopped run, or one
    // that draws nothing, also ends its document, so pages drawn so far come out complete. Failures
    // inside a card are the card's own (reported, answered, the run goes on); a printer that fails
    // outside a card (setting it up, a page end) throws VelmoraError after the document is ended. A
    // calibration (ParX, ParY) that is not a number or beyond 50 mm throws VelmoraError 380 before
    // the printer is touched. The surface gets its previous origin offset back when the run is
    // over.
    Outcome run(const PrintPlan &plan, const Hooks &hooks);

    // Draws page `page` (0 for the first) of plan alone, as run() draws it (the same printer
    // setting-up, slots, numbering and calibration), as one document of one page: what a
    // preview shows of that page. Failures are as for run().
    void drawPage(const PrintPlan &plan, int page);

    // Cards drawn by the last run() or drawPage().
    int cardsDrawn() const { return m_drawn; }
    // Whether the last run() handed its document on whole (false when it failed or drew nothing).
    bool documentHandedOn() const { return m_handedOn; }

    // The title a run's document carries: "Cartelle 1-12" for archive cards 1 to 12.
    static QString documentTitle(const PrintPlan &plan);

    // The text of the message shown when the printer is not at 300 dots per inch.
    static QString qualityMessage(int dpi);

private:
    Outcome runCards(const PrintPlan &plan, const Hooks &hooks);
    void prepare(bool landscape, const Hooks &hooks);
    void drawCard(CardContext &ctx, const PrintPlan &plan, int card, bool landscape);
    void endOfPage();

    PrinterSurface &m_surface;
    CardArchive &m_archive;
    const Configurazione &m_settings;
    bool m_numerazioneArchivio;
    int m_drawn = 0;
    QPointF m_offset; // device pixels at dotsPerInch
    bool m_handedOn = false;
};

} // namespace velmora
