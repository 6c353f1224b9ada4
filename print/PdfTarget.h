#pragma once

#include "print/PageTarget.h"

#include <QPdfWriter>
#include <memory>

namespace velmora {

// Pages written to a PDF file. Each document replaces the file.
class PdfTarget : public PageTarget {
public:
    // A page of pageSize with margins in millimetres, portrait, at 1200 dots per inch until
    // told otherwise.
    explicit PdfTarget(QString fileName, const QPageSize &pageSize = QPageSize(QPageSize::A4),
                       const QMarginsF &marginsMm = {});

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName);

    QPageLayout pageLayout() const override { return m_layout; }
    void setPageOrientation(QPageLayout::Orientation orientation) override;
    int resolution() const override { return m_resolution; }
    void setResolution(int dotsPerInch) override;
    QPagedPaintDevice *beginDocument() override;
    bool newPage() override;
    void endDocument() override;
    void abortDocument() override;
    QString description() const override;

    // The program and its version, as documents name their creator: "Velmora 1.00".
    static QString creator();

protected:
    bool isFileOfPages() const override { return true; }

private:
    QString m_fileName;
    QPageLayout m_layout;
    int m_resolution;
    std::unique_ptr<QPdfWriter> m_writer;
    bool m_aborted = false;
};

} // namespace velmora
