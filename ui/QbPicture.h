#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

namespace velmora {

// A picture given to the button, with the kind of file it came from: custom shapes can only be
// traced from a bitmap or a JPEG, and a mouse icon must be an icon or a cursor.
class QbPicture {
public:
    enum class Kind { None, Bitmap, Jpeg, Png, Icon, Cursor };

    QbPicture() = default;
    QbPicture(QImage image, Kind kind);
    // Reads a picture file; kind() is None and image() null when it cannot be read.
    static QbPicture fromFile(const QString &path);

    const QImage &image() const { return m_image; }
    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::None || m_image.isNull(); }
    bool canShapeButton() const { return m_kind == Kind::Bitmap || m_kind == Kind::Jpeg; }
    bool isIconOrCursor() const { return m_kind == Kind::Icon || m_kind == Kind::Cursor; }

    friend bool operator==(const QbPicture &a, const QbPicture &b) {
        return a.m_kind == b.m_kind && a.m_image == b.m_image;
    }

private:
    QImage m_image;
    Kind m_kind = Kind::None;
};

} // namespace velmora

Q_DECLARE_METATYPE(velmora::QbPicture)
