#pragma once

#include "print/PageTarget.h"
#include "print/PrinterSurface.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>

namespace velmora {

// A printer surface that paints with QPainter on a page target (a printer or a PDF file).
// The painter's pen and font are set only when they change: a card run makes hundreds of
// thousands of calls.
class PainterSurface : public PrinterSurface {
public:
    explicit PainterSurface(PageTarget &target);
    ~PainterSurface() override;

    PageTarget &target() const { return m_target; }
    QString afterDocumentNotice() const override { return m_target.afterDocumentNotice(); }
    bool centresSheet() const override { return m_target.centresSheet(); }
    void setDocumentTitle(const QString &title) override { m_target.setDocumentTitle(title); }

protected:
    QPageLayout currentPageLayout() const override;
    void applyPageOrientation(QPageLayout::Orientation orientation) override;
    int deviceResolution() const override;
    void applyResolution(int dotsPerInch) override;
    void beginDocument() override;
    void beginNextPage() override;
    void finishDocument() override;
    void abandonDocument() override;
    void paintText(const QPointF &topLeft, const FontFace &face, const QString &text) override;
    void paintRotatedText(const QPointF &topLeft, const FontFace &face,
                          double degreesCounterClockwise, const QString &faceName,
                          int logicalHeight, int escapementTenths, const QString &text) override;
    void paintLine(const QPointF &from, const QPointF &to, int width, bool box) override;

private:
    void usePen(const QColor &color, int width);
    void useFont(const FontFace &face);
    // The shaped glyphs of text in face, shaped once: a card run prints the same few texts
    // (cells, title, labels) thousands of times, and shaping is the costliest part of a text.
    const QList<QGlyphRun> &shaped(const FontFace &face, const QString &text);

    PageTarget &m_target;
    QPainter m_painter;
    QTransform m_base; // the target's own, under every drawing
    QRgb m_penColor = 0;
    int m_penWidth = -1;       // no pen set yet
    quint64 m_painterFace = 0; // id of the face set on the painter, 0 for none
    QHash<std::pair<quint64, QString>, QList<QGlyphRun>> m_shaped;
};

} // namespace velmora
