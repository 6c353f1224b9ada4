#include "ui/QbPicture.h"

#include <QImageReader>

namespace velmora {

QbPicture::QbPicture(QImage image, Kind kind)
    : m_image(std::move(image)), m_kind(m_image.isNull() ? Kind::None : kind) {}

QbPicture QbPicture::fromFile(const QString &path) {
    QImageReader reader(path);
    const QByteArray format = reader.format().toLower();
    QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    Kind kind = Kind::Png;
    if (format == "bmp" || format == "dib") {
        kind = Kind::Bitmap;
    } else if (format == "jpeg" || format == "jpg") {
        kind = Kind::Jpeg;
    } else if (format == "ico") {
        kind = Kind::Icon;
    } else if (format == "cur") {
        kind = Kind::Cursor;
    }
    return {std::move(image), kind};
}

} // namespace velmora
