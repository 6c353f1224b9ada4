#pragma once

#include "print/CardLayout.h"
#include "settings/Configurazione.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

namespace velmora {

class PrinterSurface;

// The sheet a run draws, worked out before the first card and read alike by the print run
// (where the sheet goes on the page) and by the card drawing (its size and factors), so the
// print, the preview, "Salva PDF" and velmora-pdf draw one sheet. A size larger than the numbers'
// cells take is drawn at the largest they take. A sheet centred on a page of its own (a PDF)
// keeps every mark edgeMm from the paper's edges: when the design's own place would not, the
// cards are drawn lower, then narrower, and centred by their ink.
class SheetFit {
public:
    static constexpr double edgeMm = 5;

    // What the sheet depends on: the layout, the face and the title's style, the texts at the
    // sheet's top and bottom (the title, the last row's heading strips), the size asked for and
    // the page as the surface has it (device pixels at dotsPerInch, its height in twips).
    struct Request {
        const CardLayout *layout = nullptr;
        QString family;
        bool titleBold = false;
        bool titleItalic = false;
        QString title;
        QStringList lastStrips;
        int dimensione = 0;
        QSizeF page;
        QRectF printableArea;
        double pageHeightTwips = 0;
        int dotsPerInch = 0;
        bool centred = false;
        friend bool operator==(const Request &, const Request &) = default;
    };
    struct Sheet {
        int dimensione = 0; // the size the cards are drawn at
        double capX = 0;    // the largest FattoreX and FattoreY the cards are drawn with
        double capY = 0;
        QPointF centring; // from the printable area's corner, device pixels; none unless centred
    };

    // The request for a full page of cards of layout on surface as it is now, with settings.
    static Request request(const CardLayout &layout, PrinterSurface &surface,
                           const Configurazione &settings);
    const Sheet &sheet(const Request &request);

    // The size the cards are drawn at: dimensione, or the largest at which the numbers, bold in
    // family, fit their cells on a card of full size when dimensione is larger.
    static int drawnDimensione(const CardLayout &layout, const QString &family, int dimensione);
    // Said once before the first card when the size asked for is not the one drawn; empty when
    // it is.
    static QString sizeNotice(int asked, int drawn);

private:
    static Sheet measure(const Request &request);

    std::optional<Request> m_request;
    Sheet m_sheet;
};

} // namespace velmora
