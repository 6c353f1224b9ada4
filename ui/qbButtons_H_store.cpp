#include "ui/qbButtons_H.h"

#include "errors/VelmoraError.h"
#include "ui/qbButtons_H_codes.h"

#include <functional>

// The property store of the button: the map a holder keeps, read back and written.

namespace velmora {
using namespace qbbuttons;
namespace {

// A stored colour is a QColor, or a number 0x00BBGGRR as the settings file keeps them.
bool readColour(const QVariant &value, QColor &colour) {
    if (value.metaType() == QMetaType::fromType<QColor>()) {
        colour = value.value<QColor>();
        return colour.isValid();
    }
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < 0 || number > 0xFFFFFF) {
        return false;
    }
    colour = QColor(static_cast<int>(number & 0xFF), static_cast<int>((number >> 8) & 0xFF),
                    static_cast<int>((number >> 16) & 0xFF));
    return true;
}

bool readPicture(const QVariant &value, QbPicture &picture) {
    if (!value.isValid()) {
        picture = {};
        return true;
    }
    if (value.metaType() == QMetaType::fromType<QbPicture>()) {
        picture = value.value<QbPicture>();
        return true;
    }
    if (value.metaType() == QMetaType::fromType<QImage>()) {
        picture = QbPicture(value.value<QImage>(), QbPicture::Kind::Bitmap);
        return true;
    }
    return false;
}

QString badValue(const QString &key) {
    return QStringLiteral("Proprietà \"%1\": valore non valido, ignorato.").arg(key);
}

} // namespace

QStringList qbButtons_H::readProperties(const QVariantMap &store) {
    QVariantMap bag;
    for (auto it = store.cbegin(); it != store.cend(); ++it) {
        bag.insert(it.key().toLower(), it.value());
    }
    QStringList notices;
    const auto guarded = [&notices](const std::function<void()> &apply) {
        try {
            apply();
        } catch (const VelmoraError &error) {
            notices << error.description();
        }
    };
    const auto readInt = [&](const char *key, int absent, int last,
                             const std::function<void(int)> &set) {
        const QString name = QString::fromLatin1(key);
        bool ok = true;
        const int value = bag.contains(name) ? bag.value(name).toInt(&ok) : absent;
        if (!ok || !inRange(value, last)) {
            notices << badValue(name);
            return;
        }
        guarded([&] { set(value); });
    };
    const auto readBool = [&](const char *key, bool absent, const std::function<void(bool)> &set) {
        const QString name = QString::fromLatin1(key);
        const QVariant value = bag.value(name, absent);
        if (!value.canConvert<bool>()) {
            notices << badValue(name);
            return;
        }
        guarded([&] { set(value.toBool()); });
    };
    const auto readColourKey = [&](const char *key, const QColor &absent,
                                   const std::function<void(const QColor &)> &set) {
        const QString name = QString::fromLatin1(key);
        QColor colour = absent;
        if (bag.contains(name) && !readColour(bag.value(name), colour)) {
            notices << badValue(name);
            return;
        }
        set(colour);
    };

    // Clear the settings that depend on one another, so that only the store's own
    // contradictions are refused.
    m_pictureAlign = 0;
    m_buttonShape = code(Shape::Rectangle);
    m_customClick = 0;

    readInt("backstyle", 0, styleCount - 1, [this](int v) { setButtonStyle(v); });
    readInt("mode", PushButton, OptionButton, [this](int v) { setMode(v); });
    readBool("value", false, [this](bool v) { setValue(v); });
    setCaption(bag.value(QStringLiteral("caption")).toString());
    {
        QbPicture picture;
        if (readPicture(bag.value(QStringLiteral("image")), picture)) {
            guarded([&] { setPicture(picture); });
        } else {
            notices << badValue(QStringLiteral("image"));
        }
    }
    readInt("imgalign", 0, maxPictureAlign, [this](int v) { setPictureAlign(v); });
    readInt("capalign", code(qbbuttons::CaptionAlign::Centre), maxCaptionAlign,
            [this](int v) { setCaptionAlign(v); });
    readInt("capstyle", 0, maxCaptionStyle, [this](int v) { setCaptionStyle(v); });
    {
        const QString name = QStringLiteral("imgsize");
        bool ok = true;
        const int pixels = bag.contains(name) ? bag.value(name).toInt(&ok) : 2 * pictureUnit;
        const int size = pixels / pictureUnit - 2;
        if (!ok || pixels % pictureUnit != 0 || !inRange(size, maxPictureSize)) {
            notices << badValue(name);
        } else {
            guarded([&] { setPictureSize(size); });
        }
    }
    readInt("shape", 0, shapeCount - 1, [this](int v) { setButtonShape(v); });
    readInt("customclick", 0, maxCustomClick, [this](int v) { setCustomClick(v); });
    readBool("enabled", true, [this](bool v) { setEnabled(v); });
    readBool("focus", true, [this](bool v) { setShowFocusRect(v); });
    {
        const QString name = QStringLiteral("mpointer");
        bool ok = true;
        const int pointer = bag.contains(name) ? bag.value(name).toInt(&ok) : 0;
        if (!ok || !(inRange(pointer, maxStandardPointer) || pointer == customPointer)) {
            notices << badValue(name);
        } else {
            setMousePointer(pointer);
        }
    }
    {
        QbPicture icon;
        if (readPicture(bag.value(QStringLiteral("micon")), icon)) {
            guarded([&] { setMouseIcon(icon); });
        } else {
            notices << badValue(QStringLiteral("micon"));
        }
    }
    if (bag.contains(QStringLiteral("font"))) {
        const QVariant value = bag.value(QStringLiteral("font"));
        if (value.metaType() == QMetaType::fromType<QFont>()) {
            setFont(value.value<QFont>());
        } else {
            notices << badValue(QStringLiteral("font"));
        }
    }
    const QColor containerBack =
        parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                       : systemColour(QPalette::Window);
    readColourKey("cfore", systemColour(QPalette::ButtonText),
                  [this](const QColor &c) { setForeColor(c); });
    readColourKey("cback", containerBack, [this](const QColor &c) { setBackColor(c); });
    readColourKey("cgradient", systemColour(QPalette::Button),
                  [this](const QColor &c) { setGradientColor(c); });
    readInt("gradient", 0, maxGradientMode, [this](int v) { setGradientMode(v); });
    {
        const QString name = QStringLiteral("lockhover");
        bool ok = true;
        const int locks = bag.contains(name) ? bag.value(name).toInt(&ok) : 0;
        if (!ok || !inRange(locks, maxHoverLocks)) {
            notices << badValue(name);
        } else {
            m_hoverColorLocks = locks; // stored as it is: the hover colours follow
        }
    }
    readColourKey("cfhover", systemColour(QPalette::ButtonText),
                  [this](const QColor &c) { setHoverForeColor(c); });
    readColourKey("cbhover", m_backColor, [this](const QColor &c) { setHoverBackColor(c); });
    update();
    return notices;
}

QVariantMap qbButtons_H::writeProperties() const {
    QVariantMap bag;
    const auto put = [&bag](const char *key, const QVariant &value, const QVariant &fallback) {
        if (value != fallback) {
            bag.insert(QString::fromLatin1(key), value);
        }
    };
    const QColor buttonText = systemColour(QPalette::ButtonText);
    put("caption", m_caption, QString());
    // Centred is the value taken when the key is absent, so it is the one left out.
    put("capalign", m_captionAlign, code(qbbuttons::CaptionAlign::Centre));
    put("backstyle", m_buttonStyle, 0);
    put("shape", m_buttonShape, 0);
    put("cfore", m_foreColor, buttonText);
    put("cfhover", m_hoverForeColor, buttonText);
    put("cbhover", m_hoverBackColor, m_backColor);
    put("focus", m_showFocusRect, true);
    put("lockhover", m_hoverColorLocks, 0);
    put("cgradient", m_gradientColor, systemColour(QPalette::Button));
    put("gradient", m_gradientMode, 0);
    put("capstyle", m_captionStyle, 0);
    put("customclick", m_customClick, 0);
    put("imgalign", m_pictureAlign, 0);
    if (!m_picture.isNull()) {
        bag.insert(QStringLiteral("image"), QVariant::fromValue(m_picture));
    }
    put("imgsize", pictureEdge(), 2 * pictureUnit);
    put("enabled", !testAttribute(Qt::WA_ForceDisabled), true);
    put("mpointer", m_mousePointer, 0);
    bag.insert(QStringLiteral("font"), font());
    bag.insert(QStringLiteral("mode"), m_mode);
    bag.insert(QStringLiteral("value"), m_value);
    bag.insert(QStringLiteral("cback"), m_backColor);
    if (!m_mouseIcon.isNull()) {
        bag.insert(QStringLiteral("micon"), QVariant::fromValue(m_mouseIcon));
    }
    return bag;
}

} // namespace velmora
