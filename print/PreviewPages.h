#pragma once

#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "print/PrintRequest.h"
#include "settings/Configurazione.h"

#include <QImage>
#include <QPageLayout>
#include <QStringList>
#include <memory>

namespace velmora {

class PrinterSurface;

// The pages of one print run, each drawn on demand by the run's own page drawing: what a
// preview shows, one page at a time, without drawing the pages nobody looks at.
class PreviewPages {
public:
    // The pages of the run asked for, on paper (its orientation is the run's), with a copy of the
    // settings. Refuses what the print run refuses before printing (a range beyond the card
    // numbers, no cards, a missing archive, cards past its end, a calibration out of its
    // limits): nullptr, and *refusal says why in Italian. An empty folders list means the
    // usual archive folders. Pages for a print to a file of pages (fileOfPages, a PDF) show
    // the sheet centred, as the file has it.
    static std::unique_ptr<PreviewPages>
    open(const PrintRequest &request, const Configurazione &settings, const QPageLayout &paper,
         const QStringList &archiveFolders, QString *refusal, bool fileOfPages = false);

    int pageCount() const { return m_plan.pageCount(); }
    const PrintPlan &plan() const { return m_plan; }
    // The paper in the run's orientation.
    const QPageLayout &pageLayout() const { return m_layout; }

    // Draws page (0 for the first) on surface, as the print run draws it on paper.
    void drawPage(int page, PrinterSurface &surface);
    // Page (0 for the first) as an image of its printable area at scale image pixels per
    // printer dot (300 a inch). Throws VelmoraError when the page cannot be drawn.
    QImage renderPage(int page, double scale);

private:
    PreviewPages(const PrintPlan &plan, const Configurazione &settings, const QPageLayout &paper,
                 std::unique_ptr<CardArchive> archive, bool numerazioneArchivio);

    PrintPlan m_plan;
    Configurazione m_settings;
    QPageLayout m_layout;
    std::unique_ptr<CardArchive> m_archive;
    bool m_numerazioneArchivio;
    bool m_fileOfPages = false;
};

} // namespace velmora
