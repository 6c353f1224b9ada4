#pragma once

#include "print/PageTarget.h"

#include <QImage>

namespace velmora {

// One page drawn into an image, for the screen: the printable area of the page at `scale`
// image pixels per device dot. The painter works in device dots and fonts are measured at the
// printer's resolution, as on paper; the device transform brings them down to the image's
// size. Each document is one page; the image is kept until the next document begins.
class ImageTarget : public PageTarget {
public:
    ImageTarget(const QPageLayout &layout, double scale);

    // The page drawn by the last complete document; null before, or after an abandoned one.
    const QImage &image() const { return m_image; }

    QPageLayout pageLayout() const override { return m_layout; }
    void setPageOrientation(QPageLayout::Orientation orientation) override;
    int resolution() const override { return m_resolution; }
    void setResolution(int dotsPerInch) override { m_resolution = dotsPerInch; }
    QPaintDevice *beginDocument() override;
    QTransform deviceTransform() const override { return QTransform::fromScale(m_scale, m_scale); }
    bool newPage() override { return false; }
    void endDocument() override {}
    void abortDocument() override { m_image = QImage(); }
    QString description() const override;
    // The picture of a print to a file of pages (a PDF): its sheet is centred as the file's is.
    void setFileOfPages(bool fileOfPages) { m_fileOfPages = fileOfPages; }

protected:
    bool isFileOfPages() const override { return m_fileOfPages; }

private:
    QPageLayout m_layout;
    double m_scale;
    int m_resolution = 300;
    bool m_fileOfPages = false;
    QImage m_image;
};

} // namespace velmora
