#include "print/ImageTarget.h"

#include <QtMath>

namespace velmora {
namespace {
constexpr double inchesPerMetre = 1 / 0.0254;
} // namespace

ImageTarget::ImageTarget(const QPageLayout &layout, double scale)
    : m_layout(layout), m_scale(scale) {}

void ImageTarget::setPageOrientation(QPageLayout::Orientation orientation) {
    m_layout.setOrientation(orientation);
}

QPaintDevice *ImageTarget::beginDocument() {
    const QSizeF dots = m_layout.paintRectPixels(m_resolution).size();
    const QSize pixels(qMax(1, qCeil(dots.width() * m_scale)),
                       qMax(1, qCeil(dots.height() * m_scale)));
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    // Fonts in points are measured at the printer's resolution, as on paper.
    const int dotsPerMetre = qRound(m_resolution * inchesPerMetre);
    m_image.setDotsPerMeterX(dotsPerMetre);
    m_image.setDotsPerMeterY(dotsPerMetre);
    return &m_image;
}

QString ImageTarget::description() const {
    return QStringLiteral("l'anteprima");
}

} // namespace velmora
