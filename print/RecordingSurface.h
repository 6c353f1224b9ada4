#pragma once

#include "print/PrinterSurface.h"

#include <QRectF>
#include <vector>

namespace velmora {

// A printer surface that paints nothing and records every operation in device pixels, with the
// real font metrics of the chosen resolution. Tests of the card drawing and the print run read
// its records.
class RecordingSurface : public PrinterSurface {
public:
    struct Text {
        int order = 0;    // position among all recorded texts and lines
        int document = 0; // 1 for the first document
        int page = 0;     // 1 for the first page of its document
        QPointF topLeft;  // device pixels, before turning
        QRectF bounds;    // device pixels, after turning
        QString text;
        QString fontName;
        double fontSize = 0; // points; for turned text the em in pixels
        bool bold = false;
        bool italic = false;
        qint32 color = 0;
        bool rotated = false;
        int logicalHeight = 0; // turned text only
        int escapement = 0;    // turned text only, tenths of a degree
        double angle = 0;      // degrees counter-clockwise, 0 to 360
    };
    struct Line {
        int order = 0;
        int document = 0;
        int page = 0;
        QPointF from; // device pixels
        QPointF to;
        int width = 0;
        qint32 color = 0;
        bool box = false;
    };
    struct Document {
        int pages = 1;
        bool ended = false;  // endDoc()
        bool killed = false; // killDoc()
    };

    // A page of pageSize with margins in millimetres, at dotsPerInch.
    explicit RecordingSurface(const QPageSize &pageSize = QPageSize(QPageSize::A4),
                              const QMarginsF &marginsMm = {}, int dotsPerInch = 300);

    const std::vector<Text> &texts() const { return m_texts; }
    const std::vector<Line> &lines() const { return m_lines; }
    const std::vector<Document> &documents() const { return m_documents; }
    // Forgets the records, keeps the surface's state (an open document stays, as document 1).
    void clearRecords();

protected:
    QPageLayout currentPageLayout() const override { return m_layout; }
    void applyPageOrientation(QPageLayout::Orientation orientation) override;
    int deviceResolution() const override { return m_resolution; }
    void applyResolution(int dotsPerInch) override { m_resolution = dotsPerInch; }
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
    QPageLayout m_layout;
    int m_resolution;
    int m_order = 0;
    std::vector<Text> m_texts;
    std::vector<Line> m_lines;
    std::vector<Document> m_documents;
};

} // namespace velmora
