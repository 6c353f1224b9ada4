#include "print/RecordingSurface.h"

#include <QTransform>

namespace velmora {

RecordingSurface::RecordingSurface(const QPageSize &pageSize, const QMarginsF &marginsMm,
                                   int dotsPerInch)
    : m_layout(pageSize, QPageLayout::Portrait, marginsMm, QPageLayout::Millimeter),
      m_resolution(dotsPerInch) {}

void RecordingSurface::clearRecords() {
    m_texts.clear();
    m_lines.clear();
    // An open document is the surface's state, not only a record: it stays (as document 1),
    // so what is drawn next still has its page.
    if (documentOpen() && !m_documents.empty()) {
        const Document open = m_documents.back();
        m_documents.assign(1, open);
    } else {
        m_documents.clear();
    }
    m_order = 0;
}

void RecordingSurface::applyPageOrientation(QPageLayout::Orientation orientation) {
    m_layout.setOrientation(orientation);
}

void RecordingSurface::beginDocument() {
    m_documents.push_back({});
}

void RecordingSurface::beginNextPage() {
    ++m_documents.back().pages;
}

void RecordingSurface::finishDocument() {
    m_documents.back().ended = true;
}

void RecordingSurface::abandonDocument() {
    m_documents.back().killed = true;
}

void RecordingSurface::paintText(const QPointF &topLeft, const FontFace &face,
                                 const QString &text) {
    Text record;
    record.order = ++m_order;
    record.document = int(m_documents.size());
    record.page = m_documents.back().pages;
    record.topLeft = topLeft;
    record.bounds =
        QRectF(topLeft, QSizeF(face.metrics.horizontalAdvance(text), face.metrics.height()));
    record.text = text;
    record.fontName = fontName();
    record.fontSize = fontSize();
    record.bold = fontBold();
    record.italic = fontItalic();
    record.color = foreColor();
    m_texts.push_back(std::move(record));
}

void RecordingSurface::paintRotatedText(const QPointF &topLeft, const FontFace &face,
                                        double degreesCounterClockwise, const QString &faceName,
                                        int logicalHeight, int escapementTenths,
                                        const QString &text) {
    Text record;
    record.order = ++m_order;
    record.document = int(m_documents.size());
    record.page = m_documents.back().pages;
    record.topLeft = topLeft;
    const QRectF unturned(0, 0, face.metrics.horizontalAdvance(text), face.metrics.height());
    record.bounds = QTransform::fromTranslate(topLeft.x(), topLeft.y())
                        .rotate(-degreesCounterClockwise)
                        .mapRect(unturned);
    record.text = text;
    record.fontName = faceName;
    record.fontSize = face.font.pixelSize();
    record.color = foreColor();
    record.rotated = true;
    record.logicalHeight = logicalHeight;
    record.escapement = escapementTenths;
    record.angle = degreesCounterClockwise;
    m_texts.push_back(std::move(record));
}

void RecordingSurface::paintLine(const QPointF &from, const QPointF &to, int width, bool box) {
    m_lines.push_back(Line{++m_order, int(m_documents.size()), m_documents.back().pages, from, to,
                           width, lineColor(), box});
}

} // namespace velmora
