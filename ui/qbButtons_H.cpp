#include "ui/qbButtons_H.h"

#include "errors/VelmoraError.h"
#include "ui/OptionGroups.h"
#include "ui/QbButtonAccessible.h"
#include "ui/qbButtons_H_codes.h"

#include <QApplication>
#include <QCursor>
#include <QShortcut>
#include <array>

// The button's properties and option groups; its input, painting and property store are in
// qbButtons_H_input.cpp, qbButtons_H_paint.cpp and qbButtons_H_store.cpp.

namespace velmora {
using namespace qbbuttons;

namespace {

constexpr int invalidProperty = 380;

const QString noticeCaptionAlign =
    QStringLiteral("When button images are aligned top/bottom center, \r\n"
                   "button captions can only be center aligned");
const QString noticeCustomClick =
    QStringLiteral("This property has no effect unless the Button Shape is a custom shape.");
const QString noticeShapePicture =
    QStringLiteral("The Picture Property must be assigned first and must be a bitmap or JPEG.");
const QString noticeIconShape =
    QStringLiteral("Button was changed to Rectangular shaped.\r\n"
                   "Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.");
const QString noticeValuePush =
    QStringLiteral("This property is not applicable for command button modes.");
const QString noticePictureSize =
    QStringLiteral("The picture size cannot be changed for Shaped buttons");
const QString noticeMouseIcon = QStringLiteral("Select .ico Or .cur Files Only");

[[noreturn]] void refuse(const QString &notice) {
    throw VelmoraError(invalidProperty, notice, QStringLiteral("qbButtons_H"));
}

Qt::CursorShape standardCursor(int pointer) {
    static constexpr std::array<Qt::CursorShape, maxStandardPointer + 1> shapes{
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    return shapes.at(static_cast<std::size_t>(pointer));
}
} // namespace

qbButtons_H::qbButtons_H(QWidget *parent) : QWidget(parent) {
    QbButtonAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_foreColor = systemColour(QPalette::ButtonText);
    m_hoverForeColor = m_foreColor;
    m_backColor = systemColour(QPalette::Button);
    m_hoverBackColor = m_backColor;
    m_gradientColor = systemColour(QPalette::Button);
    m_hoverTimer.setInterval(hoverPollMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &qbButtons_H::checkPointer);

    m_accessShortcut = new QShortcut(this);
    m_accessShortcut->setContext(Qt::WindowShortcut);
    m_accessShortcut->setEnabled(false);
    connect(m_accessShortcut, &QShortcut::activated, this, [this] {
        if (isEnabled() && isVisible()) {
            m_lastButton = LeftButton;
            activate();
        }
    });
    m_returnShortcut = new QShortcut(QKeySequence(Qt::Key_Return), this);
    m_enterShortcut = new QShortcut(QKeySequence(Qt::Key_Enter), this);
    m_escapeShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    for (QShortcut *shortcut : {m_returnShortcut, m_enterShortcut, m_escapeShortcut}) {
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (isEnabled() && isVisible() && m_mode == PushButton) {
                m_lastButton = LeftButton;
                activate();
            }
        });
    }
}

qbButtons_H::~qbButtons_H() {
    m_hoverTimer.stop();
    leaveGroup();
}

QColor qbButtons_H::systemColour(int role) const {
    return QApplication::palette(this).color(static_cast<QPalette::ColorRole>(role));
}

void qbButtons_H::changed(const char *key) {
    update();
    emit PropertyChanged(QString::fromLatin1(key));
}

void qbButtons_H::setButtonStyle(int style) {
    if (!inRange(style, styleCount - 1) || style == m_buttonStyle) {
        return;
    }
    m_buttonStyle = style;
    updateMask();
    changed("backstyle");
}

void qbButtons_H::setMode(int mode) {
    if (!inRange(mode, OptionButton) || mode == m_mode) {
        return;
    }
    if (m_mode == OptionButton) {
        leaveGroup();
    }
    m_mode = mode;
    if (m_mode == PushButton && m_value) {
        m_value = false;
        emit PropertyChanged(QStringLiteral("value"));
    }
    if (m_mode == OptionButton) {
        joinGroup();
        if (m_value) {
            setValueChecked(true);
        }
    }
    updateShortcuts();
    changed("mode");
}

void qbButtons_H::setCaption(const QString &caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    m_parsedCaption = QbCaption(caption);
    if (!m_parsedCaption.text().isEmpty()) {
        setAccessibleName(m_parsedCaption.text());
    }
    updateShortcuts();
    changed("caption");
}

void qbButtons_H::setCaptionAlign(int align) {
    if (!inRange(align, maxCaptionAlign) || align == m_captionAlign) {
        return;
    }
    if (align != code(qbbuttons::CaptionAlign::Centre) &&
        (m_pictureAlign == code(qbbuttons::PictureAlign::Above) ||
         m_pictureAlign == code(qbbuttons::PictureAlign::Below))) {
        refuse(noticeCaptionAlign);
    }
    m_captionAlign = align;
    changed("capalign");
}

void qbButtons_H::setCaptionStyle(int style) {
    if (!inRange(style, maxCaptionStyle) || style == m_captionStyle) {
        return;
    }
    m_captionStyle = style;
    changed("capstyle");
}

void qbButtons_H::setCustomClick(int value) {
    if (!inRange(value, maxCustomClick) || value == m_customClick) {
        return;
    }
    if (value != 0 && !isCustomShape(m_buttonShape)) {
        refuse(noticeCustomClick);
    }
    m_customClick = value;
    changed("customclick");
}

void qbButtons_H::setButtonShape(int shape) {
    if (!inRange(shape, shapeCount - 1) || shape == m_buttonShape) {
        return;
    }
    if (isCustomShape(shape) && !m_picture.canShapeButton()) {
        refuse(noticeShapePicture);
    }
    m_buttonShape = shape;
    if (!isCustomShape(shape) && m_customClick != 0) {
        m_customClick = 0; // it only means something for the custom shapes
        emit PropertyChanged(QStringLiteral("customclick"));
    }
    updateMask();
    changed("shape");
}

void qbButtons_H::setPicture(const QbPicture &picture) {
    if (picture == m_picture) {
        return;
    }
    const bool loseShape = isCustomShape(m_buttonShape) && !picture.canShapeButton();
    m_picture = picture;
    if (loseShape) {
        m_buttonShape = code(Shape::Rectangle);
        m_customClick = 0;
        updateMask();
        emit PropertyChanged(QStringLiteral("shape"));
        changed("image");
        // The picture was taken; the notice says why the outline is now a rectangle.
        refuse(noticeIconShape);
    }
    updateMask();
    changed("image");
}

void qbButtons_H::setPictureAlign(int align) {
    if (!inRange(align, maxPictureAlign) || align == m_pictureAlign) {
        return;
    }
    m_pictureAlign = align;
    if ((align == code(qbbuttons::PictureAlign::Above) ||
         align == code(qbbuttons::PictureAlign::Below)) &&
        m_captionAlign != code(qbbuttons::CaptionAlign::Centre)) {
        m_captionAlign = code(qbbuttons::CaptionAlign::Centre);
        emit PropertyChanged(QStringLiteral("capalign"));
    }
    changed("imgalign");
}

void qbButtons_H::setShowFocusRect(bool show) {
    if (show == m_showFocusRect) {
        return;
    }
    m_showFocusRect = show;
    changed("focus");
}

void qbButtons_H::setValue(bool value) {
    if (value == m_value) {
        return;
    }
    if (value && m_mode == PushButton) {
        refuse(noticeValuePush);
    }
    setValueChecked(value);
}

void qbButtons_H::setValueChecked(bool value) {
    m_value = value;
    if (value && m_mode == OptionButton) {
        for (qbButtons_H *other : optionGroup()) {
            if (other != this && other->m_value) {
                other->setValueChecked(false);
            }
        }
    }
    changed("value");
}

void qbButtons_H::setPictureSize(int size) {
    if (!inRange(size, maxPictureSize) || size == m_pictureSize) {
        return;
    }
    if (isCustomShape(m_buttonShape)) {
        refuse(noticePictureSize);
    }
    m_pictureSize = size;
    changed("imgsize");
}

int qbButtons_H::pictureEdge() const {
    return (m_pictureSize + 2) * pictureUnit;
}

void qbButtons_H::setMousePointer(int pointer) {
    if (!(inRange(pointer, maxStandardPointer) || pointer == customPointer) ||
        pointer == m_mousePointer) {
        return;
    }
    m_mousePointer = pointer;
    updateCursor();
    changed("mpointer");
}

void qbButtons_H::setMouseIcon(const QbPicture &icon) {
    if (!icon.isNull() && !icon.isIconOrCursor()) {
        refuse(noticeMouseIcon);
    }
    if (icon == m_mouseIcon) {
        return;
    }
    m_mouseIcon = icon;
    updateCursor();
    changed("micon");
}

void qbButtons_H::updateCursor() {
    if (m_mousePointer == customPointer && !m_mouseIcon.isNull()) {
        setCursor(QCursor(QPixmap::fromImage(m_mouseIcon.image())));
    } else if (m_mousePointer == 0 || m_mousePointer == customPointer) {
        unsetCursor();
    } else {
        setCursor(standardCursor(m_mousePointer));
    }
}

int qbButtons_H::FontStyle() const {
    const QFont f = font();
    return (f.bold() ? Bold : 0) | (f.italic() ? Italic : 0) | (f.underline() ? Underline : 0) |
           (f.strikeOut() ? Strikeout : 0);
}

void qbButtons_H::setFontStyle(int flags) {
    QFont f = font();
    f.setBold((flags & Bold) != 0);
    f.setItalic((flags & Italic) != 0);
    f.setUnderline((flags & Underline) != 0);
    f.setStrikeOut((flags & Strikeout) != 0);
    setFont(f);
    changed("font");
}

void qbButtons_H::setForeColor(const QColor &colour) {
    setPlainColour(m_foreColor, m_hoverForeColor, keepHoverFore, colour, "cfore", "cfhover");
}

void qbButtons_H::setBackColor(const QColor &colour) {
    setPlainColour(m_backColor, m_hoverBackColor, keepHoverBack, colour, "cback", "cbhover");
}

void qbButtons_H::setPlainColour(QColor &plain, QColor &hover, int keepLock, const QColor &colour,
                                 const char *key, const char *hoverKey) {
    if (!colour.isValid() || colour == plain) {
        return;
    }
    // A hover colour that was following the plain one keeps following it.
    if ((m_hoverColorLocks & keepLock) == 0 && hover == plain) {
        hover = colour;
        emit PropertyChanged(QString::fromLatin1(hoverKey));
    }
    plain = colour;
    changed(key);
}

void qbButtons_H::setGradientColor(const QColor &colour) {
    if (!colour.isValid() || colour == m_gradientColor) {
        return;
    }
    m_gradientColor = colour;
    changed("cgradient");
}

void qbButtons_H::setGradientMode(int mode) {
    if (!inRange(mode, maxGradientMode) || mode == m_gradientMode) {
        return;
    }
    m_gradientMode = mode;
    changed("gradient");
}

void qbButtons_H::ResetDefaultColors() {
    setBackColor(systemColour(QPalette::Button));
    setForeColor(systemColour(QPalette::ButtonText));
    setGradientColor(systemColour(QPalette::Button));
    setHoverForeColor(systemColour(QPalette::ButtonText));
    setHoverBackColor(m_backColor);
}

void qbButtons_H::setHoverColorLocks(int locks) {
    if (!inRange(locks, maxHoverLocks)) {
        return;
    }
    m_hoverColorLocks = locks;
    if ((locks & keepHoverBack) == 0) {
        setHoverBackColor(m_gradientMode != code(Gradient::None) ? m_gradientColor : m_backColor);
    }
    if ((locks & keepHoverFore) == 0) {
        setHoverForeColor(m_foreColor);
    }
    changed("lockhover");
}

void qbButtons_H::setHoverForeColor(const QColor &colour) {
    if (!colour.isValid() || colour == m_hoverForeColor) {
        return;
    }
    m_hoverForeColor = colour;
    changed("cfhover");
}

void qbButtons_H::setHoverBackColor(const QColor &colour) {
    if (!colour.isValid() || colour == m_hoverBackColor) {
        return;
    }
    m_hoverBackColor = colour;
    changed("cbhover");
}

void qbButtons_H::setDefault(bool isDefault) {
    m_default = isDefault;
    updateShortcuts();
    update();
}

void qbButtons_H::setCancel(bool isCancel) {
    m_cancel = isCancel;
    updateShortcuts();
}

void qbButtons_H::Refresh() {
    repaint();
}

void qbButtons_H::DelayDrawing(bool delay) {
    setUpdatesEnabled(!delay);
    if (!delay) {
        update();
    }
}

void qbButtons_H::updateShortcuts() {
    const QChar key = m_parsedCaption.accessKey();
    if (key.isNull()) {
        m_accessShortcut->setKey(QKeySequence());
        m_accessShortcut->setEnabled(false);
    } else {
        m_accessShortcut->setKey(
            QKeySequence(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key.unicode()))));
        m_accessShortcut->setEnabled(true);
    }
    const bool push = m_mode == PushButton;
    m_returnShortcut->setEnabled(push && m_default);
    m_enterShortcut->setEnabled(push && m_default);
    m_escapeShortcut->setEnabled(push && m_cancel);
}

// --- option groups -------------------------------------------------------------------------

void qbButtons_H::joinGroup() {
    m_groupContainer = parentWidget();
    OptionGroups::shared().join(m_groupContainer, this);
}

void qbButtons_H::leaveGroup() {
    OptionGroups::shared().leave(m_groupContainer, this);
    m_groupContainer = nullptr;
}

QList<qbButtons_H *> qbButtons_H::optionGroup() const {
    if (m_mode != OptionButton) {
        return {};
    }
    return OptionGroups::shared().members(m_groupContainer);
}

void qbButtons_H::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            m_pressed = false;
            m_heldDown = false;
            m_spaceDown = false;
        }
        emit PropertyChanged(QStringLiteral("enabled"));
        update();
    } else if (event->type() == QEvent::FontChange) {
        update();
    }
}

bool qbButtons_H::event(QEvent *event) {
    if (event->type() == QEvent::ParentChange && m_mode == OptionButton) {
        leaveGroup();
        joinGroup();
    }
    return QWidget::event(event);
}

void qbButtons_H::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    updateMask();
}

} // namespace velmora
