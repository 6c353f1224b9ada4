#include "print/PrintRun.h"

#include "print/RunCheck.h"
#include "print/SheetFit.h"
#include "print/StampaCartella.h"
#include "settings/Calibrazione.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr double pageEndFontSize = 6;

const QString &pageEndFace() {
    static const QString face = QStringLiteral("Arial");
    return face;
}

const QString &blank() {
    static const QString text = QStringLiteral(" ");
    return text;
}

// The surface outlives a run or a page drawn alone: it gets its own offset back whichever way
// the drawing ends.
struct OffsetScope {
    PrinterSurface &surface;
    QPointF previous;
    ~OffsetScope() { surface.setOriginOffset(previous.x(), previous.y()); }
};

} // namespace

PrintRun::PrintRun(PrinterSurface &surface, CardArchive &archive, const Configurazione &settings,
                   bool numerazioneArchivio)
    : m_surface(surface), m_archive(archive), m_settings(settings),
      m_numerazioneArchivio(numerazioneArchivio) {}

QString PrintRun::documentTitle(const PrintPlan &plan) {
    return QStringLiteral("Cartelle %1-%2").arg(plan.first).arg(plan.last);
}

QString PrintRun::qualityMessage(int dpi) {
    return QStringLiteral("Printer.PrintQuality =") + QString::number(dpi);
}

PrintRun::Outcome PrintRun::run(const PrintPlan &plan, const Hooks &hooks) {
    m_drawn = 0;
    // A calibration out of its limits refuses the run before the printer is touched.
    const QPointF offset = Calibrazione::spostamentoPixel(m_settings, dotsPerInch);
    const OffsetScope scope{m_surface, m_surface.originOffset()};
    m_offset = offset;
    m_handedOn = false;
    m_surface.setDocumentTitle(documentTitle(plan));
    try {
        return runCards(plan, hooks);
    } catch (...) {
        // The printer failed outside a card: hand on what was drawn, and leave no job pending.
        const bool open = m_surface.documentOpen();
        try {
            m_surface.endDoc();
            m_handedOn = open && m_drawn > 0;
        } catch (...) {
            m_surface.killDoc();
        }
        throw;
    }
}

void PrintRun::prepare(bool landscape, const Hooks &hooks) {
    // The printer: orientation, 300 dots per inch, the empty line that begins the document,
    // then every measure in device pixels.
    PrinterSurface &s = m_surface;
    s.setOrientation(landscape ? PrinterSurface::Landscape : PrinterSurface::Portrait);
    const int quality = s.printQuality();
    if (quality != dotsPerInch && hooks.qualityNotice) {
        hooks.qualityNotice(quality);
    }
    s.setPrintQuality(dotsPerInch);
    s.setScaleMode(PrinterSurface::Centimetres);
    s.setPrintQuality(dotsPerInch);
    const CardLayout &layout = landscape ? CardLayout::landscape() : CardLayout::portrait();
    const SheetFit::Sheet sheet = SheetFit().sheet(SheetFit::request(layout, s, m_settings));
    if (!s.centresSheet() && hooks.areaNotice) {
        const QString notice = RunCheck::printableAreaNotice(
            layout, sheet.dimensione, s.printableAreaPixels().size(), s.height(), s.printQuality());
        if (!notice.isEmpty()) {
            hooks.areaNotice(notice);
        }
    }
    s.setOriginOffset(m_offset.x() + sheet.centring.x(), m_offset.y() + sheet.centring.y());
    s.print();
    s.setScaleMode(PrinterSurface::Pixels);
}

void PrintRun::drawCard(CardContext &ctx, const PrintPlan &plan, int card, bool landscape) {
    const int slot = (card - plan.first) % plan.cardsPerPage + 1;
    if (landscape) {
        StampaCartella(ctx, qint16(card), qint16(slot), plan.first);
    } else {
        StampaCartella2(ctx, qint16(card), qint16(slot), plan.first);
    }
    ++m_drawn;
}

void PrintRun::endOfPage() {
    // The blank line in a small face that closes every page.
    m_surface.setFontBold(false);
    m_surface.setFontName(pageEndFace());
    m_surface.setFontSize(pageEndFontSize);
    m_surface.setForeColor(0);
    m_surface.print(blank());
}

void PrintRun::drawPage(const PrintPlan &plan, int page) {
    m_drawn = 0;
    const QPointF offset = Calibrazione::spostamentoPixel(m_settings, dotsPerInch);
    const OffsetScope scope{m_surface, m_surface.originOffset()};
    m_offset = offset;
    m_surface.setDocumentTitle(documentTitle(plan));
    const bool landscape = plan.cardsPerPage == CardLayout::landscape().cardsPerPage;
    try {
        prepare(landscape, {});
        CardContext ctx(m_surface, m_archive, m_settings, m_numerazioneArchivio, {});
        const int from = plan.first + page * plan.cardsPerPage;
        const int to = std::min<int>(plan.last, from + plan.cardsPerPage - 1);
        for (int card = from; card <= to; ++card) {
            drawCard(ctx, plan, card, landscape);
        }
        endOfPage();
        m_surface.endDoc();
    } catch (...) {
        m_surface.killDoc();
        throw;
    }
}

PrintRun::Outcome PrintRun::runCards(const PrintPlan &plan, const Hooks &hooks) {
    const bool planLandscape = plan.cardsPerPage == CardLayout::landscape().cardsPerPage;
    PrinterSurface &s = m_surface;
    prepare(planLandscape, hooks);

    CardContext ctx(s, m_archive, m_settings, m_numerazioneArchivio, hooks.pumpEvents);
    const int total = plan.cardCount();
    const int perPage = plan.cardsPerPage;
    Outcome outcome = total > 0 ? Outcome::Completed : Outcome::Empty;
    // A new page is begun only when a card is about to go on it, so a run stopped after a
    // full page does not end with a blank one.
    bool pageWanted = false;

    for (int card = plan.first; card <= plan.last; ++card) {
        if (hooks.pumpEvents) {
            hooks.pumpEvents();
        }
        const int slot = (card - plan.first) % perPage + 1;
        if (hooks.stopRequested && hooks.stopRequested()) {
            outcome = Outcome::Stopped;
            break;
        }
        if (pageWanted) {
            s.newPage();
            pageWanted = false;
        }
        drawCard(ctx, plan, card, hooks.landscapeNow ? hooks.landscapeNow() : planLandscape);
        if (slot == perPage || card == plan.last) {
            if (hooks.busyPointer) {
                hooks.busyPointer(true);
            }
            endOfPage();
            if (card == plan.last) {
                s.endDoc();
                m_handedOn = true;
            } else {
                pageWanted = true;
            }
            if (hooks.busyPointer) {
                hooks.busyPointer(false);
            }
        }
        if (hooks.progress) {
            hooks.progress(m_drawn, total);
        }
    }
    // A stopped run hands on the pages drawn so far, complete. A run that drew no card
    // abandons its document: a blank sheet would be a waste, and no job may stay pending.
    if (m_drawn > 0) {
        s.endDoc();
        m_handedOn = true;
    } else {
        s.killDoc();
    }
    return outcome;
}

} // namespace velmora
