#include "ui/qbButtons_H.h"

#include "errors/VelmoraError.h"
#include "ui/QbButtonAccessible.h"
#include "ui/QbStyle3.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <array>

namespace velmora {
namespace {
constexpr int styleCount = 8;
constexpr int shapeCount = 9;
constexpr int exactStyle = 3;
constexpr int maxCaptionAlign = 2;
constexpr int centredCaption = 2;
constexpr int maxCaptionStyle = 2;
constexpr int maxCustomClick = 8;
constexpr int maxPictureAlign = 5;
constexpr int pictureAbove = 4;
constexpr int pictureBelow = 5;
constexpr int maxPictureSize = 4;
constexpr int maxGradientMode = 4;
constexpr int maxHoverLocks = 3;
constexpr int keepHoverBack = 1;
constexpr int keepHoverFore = 2;
constexpr int firstCustomShape = 7;
constexpr int maxStandardPointer = 15;
constexpr int frameWidth = 3;
constexpr int contentGap = 3;
constexpr int pictureUnit = 8;
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

bool inRange(int value, int last) {
    return value >= 0 && value <= last;
}
bool isCustomShape(int shape) {
    return shape >= firstCustomShape;
}

[[noreturn]] void refuse(const QString &notice) {
    throw VelmoraError(invalidProperty, notice, QStringLiteral("qbButtons_H"));
}

// The option groups: the option-mode buttons of each container, in the order they joined.
QHash<QWidget *, QList<QPointer<qbButtons_H>>> &optionGroups() {
    static QHash<QWidget *, QList<QPointer<qbButtons_H>>> groups;
    return groups;
}

qbButtons_H::PointerQuery &pointerQuery() {
    static qbButtons_H::PointerQuery query;
    return query;
}

QWidget *widgetUnderPointer() {
    const qbButtons_H::PointerQuery &query = pointerQuery();
    return query ? query() : QApplication::widgetAt(QCursor::pos());
}

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return qbButtons_H::LeftButton;
    case Qt::RightButton:
        return qbButtons_H::RightButton;
    case Qt::MiddleButton:
        return qbButtons_H::MiddleButton;
    default:
        return 0;
    }
}

int buttonsMask(Qt::MouseButtons buttons) {
    int mask = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons & b) {
            mask |= buttonNumber(b);
        }
    }
    return mask;
}

int shiftMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier) {
        mask |= qbButtons_H::ShiftKey;
    }
    if (modifiers & Qt::ControlModifier) {
        mask |= qbButtons_H::ControlKey;
    }
    if (modifiers & Qt::AltModifier) {
        mask |= qbButtons_H::AltKey;
    }
    return mask;
}

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

Qt::CursorShape standardCursor(int pointer) {
    static constexpr std::array<Qt::CursorShape, maxStandardPointer + 1> shapes{
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    return shapes.at(static_cast<std::size_t>(pointer));
}

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

QPainterPath shapePath(int shape, const QRectF &r) {
    QPainterPath path;
    const double w = r.width();
    const double h = r.height();
    switch (shape) {
    case 1:
        path.addRoundedRect(r, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    case 2:
        path.addEllipse(r);
        break;
    case 3:
        path.addRoundedRect(r, std::min(w, h) / 2, std::min(w, h) / 2);
        break;
    case 4: // diamond
        path.addPolygon(QPolygonF{{r.center().x(), r.top()},
                                  {r.right(), r.center().y()},
                                  {r.center().x(), r.bottom()},
                                  {r.left(), r.center().y()},
                                  {r.center().x(), r.top()}});
        break;
    case 5: { // octagon
        const double c = std::min(w, h) / 4;
        path.addPolygon(QPolygonF{{r.left() + c, r.top()},
                                  {r.right() - c, r.top()},
                                  {r.right(), r.top() + c},
                                  {r.right(), r.bottom() - c},
                                  {r.right() - c, r.bottom()},
                                  {r.left() + c, r.bottom()},
                                  {r.left(), r.bottom() - c},
                                  {r.left(), r.top() + c},
                                  {r.left() + c, r.top()}});
        break;
    }
    case 6: { // arrow pointing right
        const double c = std::min(w / 3, h / 2);
        path.addPolygon(QPolygonF{{r.left(), r.top()},
                                  {r.right() - c, r.top()},
                                  {r.right(), r.center().y()},
                                  {r.right() - c, r.bottom()},
                                  {r.left(), r.bottom()},
                                  {r.left(), r.top()}});
        break;
    }
    default:
        path.addRect(r);
        break;
    }
    return path;
}

void drawRing(QPainter &painter, const QRect &r, int inset,
              const std::array<std::optional<QColor>, 4> &sides) {
    const int left = r.left() + inset;
    const int top = r.top() + inset;
    const int right = r.right() - inset;
    const int bottom = r.bottom() - inset;
    if (right < left || bottom < top) {
        return;
    }
    const std::array<QLine, 4> lines{QLine(left, top, right, top), QLine(left, top, left, bottom),
                                     QLine(left, bottom, right, bottom),
                                     QLine(right, top, right, bottom)};
    for (std::size_t side = 0; side < lines.size(); ++side) {
        if (sides.at(side)) {
            painter.setPen(*sides.at(side));
            painter.drawLine(lines.at(side));
        }
    }
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
    if (align != centredCaption &&
        (m_pictureAlign == pictureAbove || m_pictureAlign == pictureBelow)) {
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
        m_buttonShape = 0;
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
    if ((align == pictureAbove || align == pictureBelow) && m_captionAlign != centredCaption) {
        m_captionAlign = centredCaption;
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
        setHoverBackColor(m_gradientMode != 0 ? m_gradientColor : m_backColor);
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
    auto &members = optionGroups()[m_groupContainer];
    if (!members.contains(this)) {
        members.append(this);
    }
}

void qbButtons_H::leaveGroup() {
    auto &groups = optionGroups();
    const auto found = groups.find(m_groupContainer);
    if (found != groups.end()) {
        found->removeAll(this);
        if (found->isEmpty()) {
            groups.erase(found);
        }
    }
    m_groupContainer = nullptr;
}

QList<qbButtons_H *> qbButtons_H::optionGroup() const {
    QList<qbButtons_H *> result;
    if (m_mode != OptionButton) {
        return result;
    }
    for (const QPointer<qbButtons_H> &member : optionGroups().value(m_groupContainer)) {
        if (member) {
            result.append(member.data());
        }
    }
    return result;
}

// --- pointer, mouse and keyboard ----------------------------------------------------------

void qbButtons_H::setPointerQuery(PointerQuery query) {
    pointerQuery() = std::move(query);
}

void qbButtons_H::checkPointer() {
    if (widgetUnderPointer() == this) {
        return;
    }
    m_hoverTimer.stop();
    m_pointerOver = false;
    m_hovering = false;
    emit MouseOnButton(false);
    m_heldDown = false;
    update();
}

void qbButtons_H::activate() {
    if (!isEnabled()) {
        return;
    }
    if (m_mode == ToggleButton) {
        setValueChecked(!m_value);
    } else if (m_mode == OptionButton) {
        if (m_value) {
            return; // an option already chosen does nothing
        }
        setValueChecked(true);
    }
    emit Click();
}

void qbButtons_H::pressLeft() {
    m_pressed = true;
    m_heldDown = true;
    update(); // Qt keeps the pointer with the pressed widget until the release
}

void qbButtons_H::mousePressEvent(QMouseEvent *event) {
    m_lastButton = buttonNumber(event->button());
    if (event->button() == Qt::LeftButton) {
        pressLeft();
    }
    const QPoint at = event->position().toPoint();
    emit MouseDown(m_lastButton, shiftMask(event->modifiers()), at.x(), at.y());
}

void qbButtons_H::mouseReleaseEvent(QMouseEvent *event) {
    const bool leftWasDown = event->button() == Qt::LeftButton && m_pressed;
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_heldDown = false;
        update();
    }
    const QPoint at = event->position().toPoint();
    emit MouseUp(buttonNumber(event->button()), shiftMask(event->modifiers()), at.x(), at.y());
    // A click is a press and a release over the button, and only the left button activates.
    if (rect().contains(at) && m_lastButton == LeftButton && leftWasDown) {
        activate();
    }
}

void qbButtons_H::mouseMoveEvent(QMouseEvent *event) {
    if (!m_hovering && widgetUnderPointer() == this) {
        m_pointerOver = true;
        emit MouseOnButton(true);
        m_hoverTimer.start();
        m_hovering = true;
        if (event->buttons() & Qt::LeftButton) {
            m_heldDown = true;
        }
        update();
    }
    const QPoint at = event->position().toPoint();
    emit MouseMove(buttonsMask(event->buttons()), shiftMask(event->modifiers()), at.x(), at.y());
}

void qbButtons_H::mouseDoubleClickEvent(QMouseEvent *event) {
    m_lastButton = buttonNumber(event->button());
    emit DoubleClick(m_lastButton);
    if (event->button() == Qt::LeftButton) {
        // The second press of a quick double click presses the button again.
        pressLeft();
        const QPoint at = event->position().toPoint();
        emit MouseDown(m_lastButton, shiftMask(event->modifiers()), at.x(), at.y());
    }
}

void qbButtons_H::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    if (isArrow(key)) {
        // Arrows belong to the container, which moves the focus between its buttons.
        QWidget *container = parentWidget();
        QKeyEvent forwarded(QEvent::KeyPress, key, event->modifiers(), event->text(), false, 1);
        forwarded.setAccepted(false);
        if (container) {
            QCoreApplication::sendEvent(container, &forwarded);
        }
        if (!forwarded.isAccepted()) {
            focusNextPrevChild(key == Qt::Key_Right || key == Qt::Key_Down);
        }
        event->accept();
        return;
    }
    emit KeyDown(key, shiftMask(event->modifiers()));
    if (!event->text().isEmpty()) {
        emit KeyPress(event->text().at(0).unicode());
    }
    if (key == Qt::Key_Space) {
        if (!event->isAutoRepeat() && !m_pressed) {
            m_spaceDown = true;
            m_pressed = true;
            m_heldDown = true;
            m_pointerOver = true;
            repaint();
            m_pointerOver = m_hovering;
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void qbButtons_H::keyReleaseEvent(QKeyEvent *event) {
    const int key = event->key();
    if (isArrow(key)) {
        if (m_mode == OptionButton && !m_value && !event->isAutoRepeat()) {
            m_lastButton = LeftButton;
            activate();
        }
        event->accept();
        return;
    }
    if (key != Qt::Key_Shift) {
        emit KeyUp(key, shiftMask(event->modifiers()));
    }
    if (key == Qt::Key_Space) {
        if (!event->isAutoRepeat() && m_spaceDown) {
            m_spaceDown = false;
            m_pressed = false;
            m_heldDown = false;
            update();
            m_lastButton = LeftButton;
            activate();
        }
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void qbButtons_H::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    if (m_mode == OptionButton) {
        const QList<qbButtons_H *> group = optionGroup();
        const bool anySelected =
            std::any_of(group.begin(), group.end(), [](qbButtons_H *b) { return b->m_value; });
        if (!anySelected) {
            m_lastButton = LeftButton;
            activate();
        }
    }
    update();
}

void qbButtons_H::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    if (m_spaceDown) {
        // The space bar went up somewhere else: the press is abandoned.
        m_spaceDown = false;
        m_pressed = false;
        m_heldDown = false;
    }
    update();
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

// --- drawing -------------------------------------------------------------------------------

void qbButtons_H::updateMask() {
    if (m_buttonShape == 0 || width() <= 0 || height() <= 0) {
        clearMask();
        return;
    }
    if (isCustomShape(m_buttonShape) && !m_picture.isNull()) {
        const QPixmap scaled = QPixmap::fromImage(
            m_picture.image().scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        const QBitmap mask = m_buttonShape == firstCustomShape
                                 ? QBitmap(scaled.createHeuristicMask())
                                 : QBitmap(scaled.createMaskFromColor(
                                       m_picture.image().pixelColor(0, 0), Qt::MaskInColor));
        setMask(mask);
        return;
    }
    const QPainterPath path = shapePath(m_buttonShape, QRectF(rect()));
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

qbButtons_H::Layout qbButtons_H::layout(const QRect &content, const QFontMetrics &metrics) const {
    Layout result;
    const QString text = m_parsedCaption.text();
    const QSize textSize = text.isEmpty() ? QSize() : metrics.size(Qt::TextShowMnemonic, text);
    const bool hasPicture = !m_picture.isNull();
    const int edge = hasPicture ? pictureEdge() : 0;
    QRect textArea = content;
    if (hasPicture) {
        const QPoint centre = content.center();
        switch (m_pictureAlign) {
        case 1: // right
            result.picture =
                QRect(content.right() - edge - contentGap + 1, centre.y() - edge / 2, edge, edge);
            textArea.setRight(result.picture.left() - contentGap);
            break;
        case 2:   // left, next to the caption
        case 3: { // right, next to the caption
            const int total = edge + (textSize.isEmpty() ? 0 : contentGap + textSize.width());
            const int left = centre.x() - total / 2;
            const bool pictureFirst = m_pictureAlign == 2;
            result.picture =
                QRect(pictureFirst ? left : left + total - edge, centre.y() - edge / 2, edge, edge);
            textArea = QRect(pictureFirst ? left + edge + contentGap : left, content.top(),
                             textSize.width(), content.height());
            break;
        }
        case pictureAbove:
        case pictureBelow: {
            const int total = edge + (textSize.isEmpty() ? 0 : contentGap + textSize.height());
            const int top = centre.y() - total / 2;
            const bool above = m_pictureAlign == pictureAbove;
            result.picture =
                QRect(centre.x() - edge / 2, above ? top : top + total - edge, edge, edge);
            textArea = QRect(content.left(), above ? top + edge + contentGap : top, content.width(),
                             textSize.height());
            break;
        }
        default: // left
            result.picture = QRect(content.left() + contentGap, centre.y() - edge / 2, edge, edge);
            textArea.setLeft(result.picture.right() + contentGap);
            break;
        }
    }
    if (!text.isEmpty()) {
        const Qt::Alignment horizontal = m_captionAlign == 0   ? Qt::AlignLeft
                                         : m_captionAlign == 1 ? Qt::AlignRight
                                                               : Qt::AlignHCenter;
        result.caption =
            QStyle::alignedRect(Qt::LeftToRight, horizontal | Qt::AlignVCenter, textSize, textArea);
    }
    return result;
}

void qbButtons_H::paintFace(QPainter &painter, const QColor &face) const {
    if (m_gradientMode == 0) {
        painter.fillRect(rect(), face);
        return;
    }
    const QRectF r(rect());
    QLinearGradient gradient;
    switch (m_gradientMode) {
    case 1:
        gradient = QLinearGradient(r.topLeft(), r.topRight());
        break;
    case 2:
        gradient = QLinearGradient(r.topLeft(), r.bottomLeft());
        break;
    case 3:
        gradient = QLinearGradient(r.topLeft(), r.bottomRight());
        break;
    default:
        gradient = QLinearGradient(r.bottomLeft(), r.topRight());
        break;
    }
    gradient.setColorAt(0, face);
    gradient.setColorAt(1, m_gradientColor);
    painter.fillRect(rect(), gradient);
}

void qbButtons_H::paintFrame(QPainter &painter) const {
    QbStyle3::State state;
    state.enabled = isEnabled();
    state.mode = m_mode;
    state.value = m_value;
    state.pressed = m_pressed;
    state.pointerOver = m_pointerOver;
    state.heldDown = m_heldDown;
    state.back = m_pointerOver ? m_hoverBackColor : m_backColor;
    const QColor face = QbStyle3::faceColour(state);
    const QColor white(Qt::white);
    const QColor dark = QbStyle3::darkGrey();
    const bool sunken = QbStyle3::shownPressed(state);
    using Sides = std::array<std::optional<QColor>, 4>;
    const auto raised = [&](const QColor &light, const QColor &shadow) {
        return sunken ? Sides{shadow, shadow, light, light} : Sides{light, light, shadow, shadow};
    };

    if (m_buttonShape != 0) {
        if (!isCustomShape(m_buttonShape)) {
            const QPainterPath outer =
                shapePath(m_buttonShape, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
            const QPainterPath inner =
                shapePath(m_buttonShape, QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
            painter.setRenderHint(QPainter::Antialiasing);
            painter.strokePath(outer, QPen(dark, 1));
            painter.strokePath(inner, QPen(sunken ? face : white, 1));
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        return;
    }
    switch (m_buttonStyle) {
    case exactStyle: {
        const QbStyle3::Frame frame = QbStyle3::frame(state);
        for (int ring = QbStyle3::Outer; ring <= QbStyle3::Inner; ++ring) {
            drawRing(painter, rect(), ring, frame.at(static_cast<std::size_t>(ring)));
        }
        break;
    }
    case 1: // flat: one dark line
        drawRing(painter, rect(), 0, Sides{dark, dark, dark, dark});
        break;
    case 2: // soft: one light and shadowed ring
        drawRing(painter, rect(), 0, raised(white, dark));
        break;
    case 4: // the border shows only while the pointer is over the button
        if (m_pointerOver || sunken) {
            drawRing(painter, rect(), 0, raised(white, dark));
        }
        break;
    case 5: // heavy: a two-pixel dark border
        drawRing(painter, rect(), 0, Sides{Qt::black, Qt::black, Qt::black, Qt::black});
        drawRing(painter, rect(), 1, Sides{dark, dark, dark, dark});
        break;
    case 6: // dark outline with a light inner line
        drawRing(painter, rect(), 0, Sides{dark, dark, dark, dark});
        drawRing(painter, rect(), 1, raised(white, face));
        break;
    case 7: // raised with a black outline
        drawRing(painter, rect(), 0, Sides{Qt::black, Qt::black, Qt::black, Qt::black});
        drawRing(painter, rect(), 1, raised(white, dark));
        break;
    default: // classic raised button
        drawRing(painter, rect(), 0, raised(white, Qt::black));
        drawRing(painter, rect(), 1, raised(systemColour(QPalette::Midlight), dark));
        break;
    }
}

void qbButtons_H::paintContent(QPainter &painter) const {
    const QRect content = rect().adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    const Layout parts = layout(content, painter.fontMetrics());
    if (!m_picture.isNull()) {
        QPixmap pixmap = QPixmap::fromImage(m_picture.image());
        if (!isEnabled()) {
            pixmap = QIcon(pixmap).pixmap(pixmap.size(), QIcon::Disabled);
        }
        if (isCustomShape(m_buttonShape)) {
            painter.drawPixmap(rect(), pixmap);
            if (m_pressed && m_pointerOver && m_customClick != 0) {
                // Pressed custom shapes darken; the amount grows with CustomClick.
                painter.fillRect(rect(), QColor(0, 0, 0, m_customClick * 16));
            }
        } else {
            painter.drawPixmap(parts.picture, pixmap);
        }
    }
    const QString text = m_parsedCaption.mnemonicText();
    if (!text.isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        const QColor colour = m_pointerOver ? m_hoverForeColor : m_foreColor;
        if (!isEnabled()) {
            painter.setPen(Qt::white);
            painter.drawText(parts.caption.translated(1, 1), flags, text);
            painter.setPen(QbStyle3::darkGrey());
        } else if (m_captionStyle == 1) { // engraved
            painter.setPen(Qt::white);
            painter.drawText(parts.caption.translated(1, 1), flags, text);
            painter.setPen(colour);
        } else if (m_captionStyle == 2) { // shadowed
            painter.setPen(QbStyle3::darkGrey());
            painter.drawText(parts.caption.translated(1, 1), flags, text);
            painter.setPen(colour);
        } else {
            painter.setPen(colour);
        }
        painter.drawText(parts.caption, flags, text);
    }
    // The focus rectangle is never shown on the window's default button.
    if (hasFocus() && m_showFocusRect && !m_default) {
        const QRect around = parts.caption.isNull()
                                 ? content
                                 : parts.caption.adjusted(-2, -1, 2, 1).intersected(content);
        QPen dotted(m_foreColor, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(around.adjusted(0, 0, -1, -1));
    }
}

void qbButtons_H::paintEvent(QPaintEvent * /*event*/) {
    QPainter painter(this);
    QbStyle3::State state;
    state.enabled = isEnabled();
    state.mode = m_mode;
    state.value = m_value;
    state.pressed = m_pressed;
    state.pointerOver = m_pointerOver;
    state.heldDown = m_heldDown;
    state.back = m_pointerOver ? m_hoverBackColor : m_backColor;
    paintFace(painter, QbStyle3::faceColour(state));
    painter.setFont(font());
    paintContent(painter);
    paintFrame(painter);
}

// --- property store ------------------------------------------------------------------------

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
    m_buttonShape = 0;
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
    readInt("capalign", centredCaption, maxCaptionAlign, [this](int v) { setCaptionAlign(v); });
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
    put("capalign", m_captionAlign, centredCaption);
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
