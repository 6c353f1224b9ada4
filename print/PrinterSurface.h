#pragma once

#include "print/FontResolver.h"

#include <QColor>
#include <QPageLayout>
#include <QPointF>
#include <QString>
#include <memory>

namespace velmora {

// The drawing surface that all printing goes to: the current printer, a PDF file, or a recording
// for tests. Positions and sizes are in the current scale unit (ScaleMode); the origin is the
// top-left corner of the printable area. Line widths are always device pixels. Colours are
// 0x00BBGGRR. The first drawing operation (print, line, rotated text, new page) after
// construction or after endDoc() begins a new document and its first page.
//
// Invalid values (an unknown face, a size, width, unit, orientation or colour out of range) throw
// VelmoraError 380 with an Italian message and leave the surface's state unchanged; a device that
// refuses to start or continue a document throws VelmoraError 482.
class PrinterSurface {
public:
    enum Orientation : int { Portrait = 1, Landscape = 2 };
    enum ScaleUnit : int {
        Twips = 1,
        Points = 2,
        Pixels = 3,
        Inches = 5,
        Millimetres = 6,
        Centimetres = 7,
    };

    PrinterSurface() = default;
    virtual ~PrinterSurface() = default;
    PrinterSurface(const PrinterSurface &) = delete;
    PrinterSurface &operator=(const PrinterSurface &) = delete;

    // Page orientation: 1 portrait, 2 landscape.
    int orientation() const;
    void setOrientation(int orientation);

    // Dots per inch of the device; set it before the document begins. Changing it while a
    // document is open is refused.
    int printQuality() const;
    void setPrintQuality(int dotsPerInch);

    int scaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);

    // Printable area in the current unit.
    double scaleWidth() const;
    double scaleHeight() const;
    // Whole page in twips (1/1440 inch).
    int width() const;
    int height() const;
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // The face name as resolved ("ARIAL" reads back as "Arial").
    QString fontName() const { return m_fontName; }
    void setFontName(const QString &name);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);
    bool fontBold() const { return m_fontBold; }
    void setFontBold(bool bold);
    bool fontItalic() const { return m_fontItalic; }
    void setFontItalic(bool italic);

    qint32 foreColor() const { return m_foreColor; }
    void setForeColor(qint32 bgr);
    int drawWidth() const { return m_drawWidth; }
    void setDrawWidth(int pixels);

    // The print calibration: every painted position (texts, lines, turned text) moves by
    // (dxPixels, dyPixels) device pixels, positive to the right and down. The print position as
    // set and read back (currentX, currentY) does not include it, so the drawing's own
    // arithmetic is the same with or without it. It keeps its place on the paper when the
    // resolution changes. A value that is not a finite number is refused (380).
    void setOriginOffset(double dxPixels, double dyPixels);
    QPointF originOffset() const { return {m_dx, m_dy}; }

    double currentX() const;
    double currentY() const;
    void setCurrentX(double x);
    void setCurrentY(double y);

    // Draws text with its top-left corner at the print position in the current font and colour,
    // then moves the print position to x = 0, one line of the current font down. An empty text
    // only moves down.
    void print(const QString &text = {});
    // Width and height of text in the current font, in the current unit.
    double textWidth(const QString &text) const;
    double textHeight(const QString &text = {}) const;
    // From the top of a line of text in the current font to its baseline.
    double textAscent() const;
    // A line between two points, or with box the outline of the rectangle they span, drawWidth()
    // pixels wide. The print position does not move.
    void line(double x1, double y1, double x2, double y2, qint32 bgr, bool box = false);
    // Text turned by escapementTenths tenths of a degree counter-clockwise, with its top-left
    // corner (before turning) at device pixel (x, y), in face at logicalHeight pixels (negative:
    // the character height; positive: the cell height; 0: the current font size), normal weight,
    // upright, in the current colour. The print position does not move.
    void drawRotatedText(int x, int y, const QString &face, int logicalHeight, int escapementTenths,
                         const QString &text);

    // Ends the page in progress and begins the next; the print position goes to (0, 0).
    void newPage();
    // Ends the page in progress and the document and hands it on; nothing when none is open.
    void endDoc();
    // Abandons the open document: nothing of it is printed.
    void killDoc();
    bool documentOpen() const { return m_documentOpen; }
    // Said after a document was handed on but will not come out yet; empty when all is well.
    virtual QString afterDocumentNotice() const { return {}; }
    // The title of the next documents ("Cartelle 1-12"), for targets that keep one.
    virtual void setDocumentTitle(const QString &title) { (void)title; }
    // Whether a print run centres its sheet on the page (a PDF file) rather than drawing it from
    // the printable area's corner (a printer).
    virtual bool centresSheet() const { return false; }
    // The printable area within the whole page, and the whole page, in device pixels.
    QRectF printableAreaPixels() const;
    QSizeF pagePixels() const;
    // Page number within the open document (0 when none is open).
    int page() const { return m_page; }

protected:
    // The device behind the surface.
    virtual QPageLayout currentPageLayout() const = 0;
    virtual void applyPageOrientation(QPageLayout::Orientation orientation) = 0;
    virtual int deviceResolution() const = 0;
    virtual void applyResolution(int dotsPerInch) = 0;
    virtual void beginDocument() = 0;
    virtual void beginNextPage() = 0;
    virtual void finishDocument() = 0;
    virtual void abandonDocument() = 0;
    virtual void paintText(const QPointF &topLeft, const FontFace &face, const QString &text) = 0;
    virtual void paintRotatedText(const QPointF &topLeft, const FontFace &face,
                                  double degreesCounterClockwise, const QString &faceName,
                                  int logicalHeight, int escapementTenths, const QString &text) = 0;
    virtual void paintLine(const QPointF &from, const QPointF &to, int width, bool box) = 0;

    // The current text colour and the colour of the line being painted, ready for painting.
    const QColor &foreQColor() const { return m_foreQColor; }
    const QColor &lineQColor() const { return m_lineQColor; }
    qint32 lineColor() const { return m_lineColor; }

private:
    double pixelsPerUnit() const;
    const FontFace &currentFace() const;
    void ensureDocument();
    // Ends or abandons the open document (nothing when none is open).
    void closeDocument(void (PrinterSurface::*close)());
    // A device-pixel position with the origin offset added.
    QPointF painted(double x, double y) const;

    int m_scaleMode = Twips;
    QString m_fontName = QStringLiteral("Arial");
    mutable QString m_fontFamily; // resolved when first needed
    double m_fontSize = 10;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    qint32 m_foreColor = 0;
    QColor m_foreQColor = Qt::black;
    qint32 m_lineColor = 0;
    QColor m_lineQColor = Qt::black;
    int m_drawWidth = 1;
    double m_x = 0; // device pixels
    double m_y = 0;
    double m_dx = 0; // origin offset, device pixels
    double m_dy = 0;
    bool m_documentOpen = false;
    int m_page = 0;
    mutable std::shared_ptr<const FontFace> m_face; // null after a font change
    mutable int m_faceResolution = 0;
};

} // namespace velmora
