#include "print/PreviewPages.h"

#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"
#include "print/CardLayout.h"
#include "print/ImageTarget.h"
#include "print/PainterSurface.h"
#include "print/PrintRun.h"
#include "print/RunCheck.h"
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

std::unique_ptr<PreviewPages>
PreviewPages::open(const PrintRequest &request, const Configurazione &settings,
                   const QPageLayout &paper, const QStringList &archiveFolders, QString *refusal) {
    std::optional<PrintPlan> plan =
        PrintPlan::make(request.primaCartella, request.nCartelle, request.landscape, refusal);
    if (!plan) {
        return nullptr;
    }
    if (plan->cardCount() == 0) {
        *refusal = nothingToShow;
        return nullptr;
    }
    try {
        Calibrazione::spostamentoPixel(settings, PrintRun::dotsPerInch);
        std::unique_ptr<CardArchive> archive =
            archiveFolders.isEmpty() ? ArchiveSearch::open() : ArchiveSearch::open(archiveFolders);
        // As the print: slots past the archive's last card, filling the last page, stay blank.
        if (const std::optional<QString> beyond =
                plan->fitToArchive(archive->cardCount(), archive->path())) {
            *refusal = *beyond;
            return nullptr;
        }
        // What the print would refuse before its first card, the preview refuses too, in the
        // same words, rather than ask through an error window for every page shown.
        const RunCheck::Result check = RunCheck::check(
            settings, *plan, *archive, request.numerazioneArchivio, RunCheck::Place::Window);
        if (!check.ok()) {
            *refusal = check.refusal;
            return nullptr;
        }
        return std::unique_ptr<PreviewPages>(new PreviewPages(
            *plan, settings, paper, std::move(archive), request.numerazioneArchivio));
    } catch (const VelmoraError &error) {
        *refusal = error.description();
        return nullptr;
    }
}

void PreviewPages::drawPage(int page, PrinterSurface &surface) {
    PrintRun run(surface, *m_archive, m_settings, m_numerazioneArchivio);
    run.drawPage(m_plan, page);
}

QImage PreviewPages::renderPage(int page, double scale) {
    ImageTarget target(m_layout, scale);
    {
        PainterSurface surface(target);
        drawPage(page, surface);
    }
    return target.image();
}

} // namespace velmora
