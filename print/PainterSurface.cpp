#include "print/PainterSurface.h"

#include "errors/VelmoraError.h"

#include <QPaintDevice>
#include <QTextLayout>

namespace {
// Beyond this many shaped texts the memory starts again (card numbers are all different).
constexpr qsizetype maxShapedTexts = 2048;
} // namespace

namespace velmora {

PainterSurface::PainterSurface(PageTarget &target) : m_target(target) {}

PainterSurface::~PainterSurface() {
    // A document still open when the program ends is finished, not lost.
    if (m_painter.isActive()) {
        m_painter.end();
        try {
            m_target.endDocument();
        } catch (const VelmoraError &) {
            // Nobody is left to tell: the target has already removed what was broken.
        }
    }
}

QPageLayout PainterSurface::currentPageLayout() const {
    return m_target.pageLayout();
}

void PainterSurface::applyPageOrientation(QPageLayout::Orientation orientation) {
    m_target.setPageOrientation(orientation);
}

int PainterSurface::deviceResolution() const {
    return m_target.resolution();
}

void PainterSurface::applyResolution(int dotsPerInch) {
    m_target.setResolution(dotsPerInch);
}

void PainterSurface::beginDocument() {
    QPaintDevice *device = m_target.beginDocument();
    if (!device || !m_painter.begin(device)) {
        m_target.abortDocument();
        m_target.endDocument();
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Errore della stampante: impossibile iniziare la "
                                          "stampa su %1")
                               .arg(m_target.description()));
    }
    m_base = m_target.deviceTransform();
    m_painter.setTransform(m_base);
    m_painter.setBrush(Qt::NoBrush);
    m_penWidth = -1; // the pen depends on the reduction too
    m_painterFace = 0;
}

void PainterSurface::beginNextPage() {
    if (!m_target.newPage()) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Errore della stampante: impossibile iniziare una "
                                          "nuova pagina su %1")
                               .arg(m_target.description()));
    }
}

void PainterSurface::finishDocument() {
    const bool written = m_painter.end();
    m_painterFace = 0;
    m_target.endDocument();
    if (!written) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Errore della stampante: la stampa su %1 non è "
                                          "stata completata")
                               .arg(m_target.description()));
    }
}

void PainterSurface::abandonDocument() {
    m_target.abortDocument();
    m_painter.end();
    m_target.endDocument();
    m_painterFace = 0;
}

void PainterSurface::usePen(const QColor &color, int width) {
    if (m_penWidth != width || m_penColor != color.rgb()) {
        // Round ends and joins, as a thick pen of the printer draws them. A line that the
        // target's reduction (a preview) would make thinner than one of its pixels is drawn one
        // pixel wide, as a printer draws its thinnest line one dot wide.
        const bool hairline = width * m_base.m11() < 1;
        m_painter.setPen(
            QPen(color, hairline ? 0 : width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_penWidth = width;
        m_penColor = color.rgb();
    }
}

void PainterSurface::useFont(const FontFace &face) {
    if (m_painterFace != face.id) {
        m_painter.setFont(face.font);
        m_painterFace = face.id;
    }
}

const QList<QGlyphRun> &PainterSurface::shaped(const FontFace &face, const QString &text) {
    const std::pair<quint64, QString> key{face.id, text};
    auto it = m_shaped.constFind(key);
    if (it == m_shaped.cend()) {
        if (m_shaped.size() >= maxShapedTexts) {
            m_shaped.clear();
        }
        QTextLayout layout(text, face.font, m_painter.device());
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        QList<QGlyphRun> runs = layout.glyphRuns();
        // Glyph positions from the baseline, so the runs draw where drawText would.
        const double ascent = line.isValid() ? line.ascent() : 0;
        for (QGlyphRun &run : runs) {
            QList<QPointF> positions = run.positions();
            for (QPointF &p : positions) {
                p.ry() -= ascent;
            }
            run.setPositions(positions);
        }
        it = m_shaped.insert(key, runs);
    }
    return *it;
}

void PainterSurface::paintText(const QPointF &topLeft, const FontFace &face, const QString &text) {
    // Text ignores the pen's width: keep the current one so lines need no change.
    usePen(foreQColor(), m_penWidth < 1 ? 1 : m_penWidth);
    useFont(face);
    const QPointF baseline(topLeft.x(), topLeft.y() + face.ascent);
    for (const QGlyphRun &run : shaped(face, text)) {
        m_painter.drawGlyphRun(baseline, run);
    }
}

void PainterSurface::paintRotatedText(const QPointF &topLeft, const FontFace &face,
                                      double degreesCounterClockwise, const QString &, int, int,
                                      const QString &text) {
    usePen(foreQColor(), m_penWidth < 1 ? 1 : m_penWidth);
    useFont(face);
    // Painter angles turn clockwise on the page.
    m_painter.setTransform(
        QTransform::fromTranslate(topLeft.x(), topLeft.y()).rotate(-degreesCounterClockwise) *
        m_base);
    for (const QGlyphRun &run : shaped(face, text)) {
        m_painter.drawGlyphRun(QPointF(0, face.ascent), run);
    }
    m_painter.setTransform(m_base);
}

void PainterSurface::paintLine(const QPointF &from, const QPointF &to, int width, bool box) {
    usePen(lineQColor(), width);
    if (box) {
        m_painter.drawRect(QRectF(from, to).normalized());
    } else {
        m_painter.drawLine(from, to);
    }
}

} // namespace velmora
