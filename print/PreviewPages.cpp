#include "print/PreviewPages.h"

#include "errors/VelmoraError.h"
#include "print/CardLayout.h"
#include "print/ImageTarget.h"
#include "print/PainterSurface.h"
#include "print/PrintRun.h"
#include "print/RunPreparation.h"
#include "settings/Calibrazione.h"

namespace velmora {
namespace {
const QString nothingToShow =
    QStringLiteral("Nessuna cartella da mostrare: indicare quante cartelle stampare.");
} // namespace

PreviewPages::PreviewPages(const PrintPlan &plan, const Configurazione &settings,
                           const QPageLayout &paper, std::unique_ptr<CardArchive> archive,
                           bool numerazioneArchivio)
    : m_plan(plan), m_settings(settings), m_layout(paper), m_archive(std::move(archive)),
      m_numerazioneArchivio(numerazioneArchivio) {
    m_layout.setOrientation(plan.cardsPerPage == CardLayout::landscape().cardsPerPage
                                ? QPageLayout::Landscape
                                : QPageLayout::Portrait);
}

std::unique_ptr<PreviewPages> PreviewPages::open(const PrintRequest &request,
                                                 const Configurazione &settings,
                                                 const QPageLayout &paper,
                                                 const QStringList &archiveFolders,
                                                 QString *refusal, bool fileOfPages) {
    // What the print would refuse before its first card, the preview refuses too, in the same
    // words, rather than ask through an error window for every page shown.
    RunPreparation prepared =
        RunPreparation::prepare(request, settings, {.archiveFolders = archiveFolders});
    if (prepared.refused()) {
        *refusal = prepared.kind() == RunPreparation::Kind::NothingToPrint ? nothingToShow
                                                                           : prepared.refusal();
        return nullptr;
    }
    // The calibration, as the print checks it before touching the printer.
    try {
        Calibrazione::spostamentoPixel(settings, PrintRun::dotsPerInch);
    } catch (const VelmoraError &error) {
        *refusal = error.description();
        return nullptr;
    }
    std::unique_ptr<PreviewPages> pages(new PreviewPages(
        prepared.plan(), settings, paper, prepared.takeArchive(), request.numerazioneArchivio));
    pages->m_fileOfPages = fileOfPages;
    return pages;
}

void PreviewPages::drawPage(int page, PrinterSurface &surface) {
    PrintRun run(surface, *m_archive, m_settings, m_numerazioneArchivio);
    run.drawPage(m_plan, page);
}

QImage PreviewPages::renderPage(int page, double scale) {
    ImageTarget target(m_layout, scale);
    target.setFileOfPages(m_fileOfPages);
    {
        PainterSurface surface(target);
        drawPage(page, surface);
    }
    return target.image();
}

} // namespace velmora
