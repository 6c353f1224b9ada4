#include "print/SheetFit.h"

#include "print/FontResolver.h"
#include "print/PrinterSurface.h"
#include "print/RunCheck.h"
#include "print/SizeFit.h"

#include <algorithm>
#include <functional>

namespace velmora {
namespace {

constexpr double millimetresPerInch = 25.4;
constexpr int noPixelCorrectionSize = 18; // Dimensione at which no pixel correction applies
constexpr int halvings = 24;              // a factor found to far less than a pixel
constexpr double smallestShare = 0.25;    // of the design's factor: the least a sheet is made
constexpr double inkRiseMm = 0.35;

enum Strip : int { Frase1Strip = 1, DittaStrip = 2, Frase2Strip = 3 };

// Where the ink of a full page of cards is, in device pixels from the printable area's corner:
// across as the design has it (the credit line to the right end of the rightmost rule), down
// from the first card's highest letter to the last row's lowest, read from the faces.
QRectF inkExtent(const SheetFit::Request &r, int dimensione, double fx, double fy) {
    const CardLayout &l = *r.layout;
    const int dpi = r.dotsPerInch;
    const QRectF design = l.sheetExtentAt(fx, fy, dimensione, dpi);
    SizeFit fit;
    const SizeFit::Sizes &sizes =
        fit.sizes({&l, r.family, r.titleBold, r.titleItalic, dimensione, fx, fy, dpi});
    const auto inkTop = [](double line, const FontFace &face, const QString &text) {
        return line + face.ascent + face.metrics.tightBoundingRect(text).top();
    };
    const double shift = noPixelCorrectionSize - dimensione;
    const auto number = FontResolver::pointFace(r.family, sizes.cardNumber, false, false, dpi);
    double top = inkTop(l.topPx + l.numberV * fy + shift, *number, QStringLiteral("N."));
    if (!r.title.isEmpty()) {
        const auto title =
            FontResolver::pointFace(r.family, sizes.title, r.titleBold, r.titleItalic, dpi);
        const double line = l.topPx + l.titleV * (l.titleVUsesFactorX ? fx : fy) + shift;
        top = std::min(top, inkTop(line, *title, r.title));
    }
    const int rows = l.cardsPerPage / l.columns;
    const double lastRow = (rows - 1) * (l.rowV * fy + l.rowPx) + l.topPx;
    const CardLayout::Rule &border = l.rules[2];
    double bottom = lastRow + std::max(border.v1, border.v2) * fy + border.width / 2.0;
    const auto strip = FontResolver::pointFace(r.family, sizes.strip, true, false, dpi);
    for (const QString &text : r.lastStrips) {
        bottom = std::max(bottom, lastRow + l.stripV * fy + strip->ascent +
                                      strip->metrics.tightBoundingRect(text).bottom());
    }
    // Read back from the printed page, a text's ink stands up to inkRiseMm above where its face's
    // measures put it (its line's ascent on the page device, and the edge pixels of its outline).
    top -= inkRiseMm / millimetresPerInch * dpi;
    return QRectF(QPointF(design.left(), top), QPointF(design.right(), bottom));
}

// The largest factor from `design` down to a quarter of it at which fits holds.
double largestFactor(double design, const std::function<bool(double)> &fits) {
    if (fits(design)) {
        return design;
    }
    double low = design * smallestShare;
    double high = design;
    for (int i = 0; i < halvings; ++i) {
        const double middle = (low + high) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

} // namespace

SheetFit::Request SheetFit::request(const CardLayout &layout, PrinterSurface &surface,
                                    const Configurazione &settings) {
    Request r;
    r.layout = &layout;
    // A face that cannot be had is the run check's to refuse, and the drawing's to report.
    const std::optional<FontResolver::Face> face =
        FontResolver::face(settings.FontTombola.trimmed());
    r.family = face ? face->family : QString();
    r.titleBold = settings.bold();
    r.titleItalic = settings.italic();
    r.title = settings.Titolo.trimmed();
    const int rows = layout.cardsPerPage / layout.columns;
    for (int slot = (rows - 1) * layout.columns; slot < layout.cardsPerPage; ++slot) {
        const int kind = layout.stripBySlot[std::size_t(slot)];
        const QString text =
            kind == Frase1Strip   ? settings.Frase1.trimmed()
            : kind == Frase2Strip ? settings.Frase2.trimmed()
            : kind == DittaStrip
                ? settings.Ditta.trimmed() + settings.Via.trimmed() + settings.Tel.trimmed()
                : QString();
        if (!text.isEmpty()) {
            r.lastStrips.append(text);
        }
    }
    r.dimensione = settings.Dimensione;
    r.page = surface.pagePixels();
    r.printableArea = surface.printableAreaPixels();
    r.pageHeightTwips = surface.height();
    r.dotsPerInch = surface.printQuality();
    r.centred = surface.centresSheet();
    return r;
}

const SheetFit::Sheet &SheetFit::sheet(const Request &request) {
    if (!m_request || !(*m_request == request)) {
        m_sheet = measure(request);
        m_request = request;
    }
    return m_sheet;
}

int SheetFit::drawnDimensione(const CardLayout &layout, const QString &family, int dimensione) {
    if (dimensione <= RunCheck::minDimensione(layout)) {
        return dimensione;
    }
    return std::min(dimensione, std::max(SizeFit::largestDimensione(layout, family),
                                         RunCheck::minDimensione(layout)));
}

QString SheetFit::sizeNotice(int asked, int drawn) {
    if (asked == drawn) {
        return {};
    }
    return QStringLiteral("La dimensione del carattere %1 è più grande di quella che entra nelle "
                          "cartelle: si stampano con la dimensione %2.")
        .arg(asked)
        .arg(drawn);
}

SheetFit::Sheet SheetFit::measure(const Request &r) {
    const CardLayout &l = *r.layout;
    Sheet sheet{drawnDimensione(l, r.family, r.dimensione), l.capX, l.capY, {}};
    if (!r.centred) {
        return sheet;
    }
    const int d = sheet.dimensione;
    const double edge = edgeMm / millimetresPerInch * r.dotsPerInch;
    const QRectF room = QRectF(QPointF(), r.page).adjusted(edge, edge, -edge, -edge);
    // From the printable area's corner to the place that leaves as much paper on either side.
    const auto centring = [&r](const QRectF &extent) {
        return QPointF(
            (r.page.width() - extent.width()) / 2 - r.printableArea.left() - extent.left(),
            (r.page.height() - extent.height()) / 2 - r.printableArea.top() - extent.top());
    };
    const double fx = l.factorX(r.printableArea.width());
    const double fy = l.factorY(r.pageHeightTwips);
    // The design's own place, where a sheet that keeps its edges has always been put.
    const QPointF designed = centring(l.sheetExtentAt(fx, fy, d, r.dotsPerInch));
    if (room.contains(inkExtent(r, d, fx, fy).translated(r.printableArea.topLeft() + designed))) {
        sheet.centring = designed;
        return sheet;
    }
    const double fittedY = largestFactor(
        fy, [&](double y) { return inkExtent(r, d, fx, y).height() <= room.height(); });
    const double fittedX = largestFactor(
        fx, [&](double x) { return inkExtent(r, d, x, fittedY).width() <= room.width(); });
    sheet.capX = std::min(sheet.capX, fittedX);
    sheet.capY = std::min(sheet.capY, fittedY);
    sheet.centring = centring(inkExtent(r, d, fittedX, fittedY));
    return sheet;
}

} // namespace velmora
