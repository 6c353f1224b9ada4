#include "ui/qbButtons_H.h"

#include "ui/QbStyle3.h"
#include "ui/qbButtons_H_codes.h"

#include <QBitmap>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <array>
#include <optional>

// Painting of the button: its outline mask, face, frame, picture and caption.

namespace velmora {
using namespace qbbuttons;
namespace {

QPainterPath shapePath(int shape, const QRectF &r) {
    QPainterPath path;
    const double w = r.width();
    const double h = r.height();
    switch (static_cast<Shape>(shape)) {
    case Shape::Rounded:
        path.addRoundedRect(r, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    case Shape::Ellipse:
        path.addEllipse(r);
        break;
    case Shape::Capsule:
        path.addRoundedRect(r, std::min(w, h) / 2, std::min(w, h) / 2);
        break;
    case Shape::Diamond:
        path.addPolygon(QPolygonF{{r.center().x(), r.top()},
                                  {r.right(), r.center().y()},
                                  {r.center().x(), r.bottom()},
                                  {r.left(), r.center().y()},
                                  {r.center().x(), r.top()}});
        break;
    case Shape::Octagon: {
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
    case Shape::Arrow: { // pointing right
        const double c = std::min(w / 3, h / 2);
        path.addPolygon(QPolygonF{{r.left(), r.top()},
                                  {r.right() - c, r.top()},
                                  {r.right(), r.center().y()},
                                  {r.right() - c, r.bottom()},
                                  {r.left(), r.bottom()},
                                  {r.left(), r.top()}});
        break;
    }
    default: // Shape::Rectangle
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

void qbButtons_H::updateMask() {
    if (m_buttonShape == code(Shape::Rectangle) || width() <= 0 || height() <= 0) {
        clearMask();
        return;
    }
    if (isCustomShape(m_buttonShape) && !m_picture.isNull()) {
        const QPixmap scaled = QPixmap::fromImage(
            m_picture.image().scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        const QBitmap mask = m_buttonShape == code(Shape::PictureOutline)
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
        switch (static_cast<qbbuttons::PictureAlign>(m_pictureAlign)) {
        case qbbuttons::PictureAlign::Right:
            result.picture =
                QRect(content.right() - edge - contentGap + 1, centre.y() - edge / 2, edge, edge);
            textArea.setRight(result.picture.left() - contentGap);
            break;
        case qbbuttons::PictureAlign::BeforeCaption:
        case qbbuttons::PictureAlign::AfterCaption: {
            const int total = edge + (textSize.isEmpty() ? 0 : contentGap + textSize.width());
            const int left = centre.x() - total / 2;
            const bool pictureFirst =
                m_pictureAlign == code(qbbuttons::PictureAlign::BeforeCaption);
            result.picture =
                QRect(pictureFirst ? left : left + total - edge, centre.y() - edge / 2, edge, edge);
            textArea = QRect(pictureFirst ? left + edge + contentGap : left, content.top(),
                             textSize.width(), content.height());
            break;
        }
        case qbbuttons::PictureAlign::Above:
        case qbbuttons::PictureAlign::Below: {
            const int total = edge + (textSize.isEmpty() ? 0 : contentGap + textSize.height());
            const int top = centre.y() - total / 2;
            const bool above = m_pictureAlign == code(qbbuttons::PictureAlign::Above);
            result.picture =
                QRect(centre.x() - edge / 2, above ? top : top + total - edge, edge, edge);
            textArea = QRect(content.left(), above ? top + edge + contentGap : top, content.width(),
                             textSize.height());
            break;
        }
        default: // qbbuttons::PictureAlign::Left
            result.picture = QRect(content.left() + contentGap, centre.y() - edge / 2, edge, edge);
            textArea.setLeft(result.picture.right() + contentGap);
            break;
        }
    }
    if (!text.isEmpty()) {
        const Qt::Alignment horizontal =
            m_captionAlign == code(qbbuttons::CaptionAlign::Left)    ? Qt::AlignLeft
            : m_captionAlign == code(qbbuttons::CaptionAlign::Right) ? Qt::AlignRight
                                                                     : Qt::AlignHCenter;
        result.caption =
            QStyle::alignedRect(Qt::LeftToRight, horizontal | Qt::AlignVCenter, textSize, textArea);
    }
    return result;
}

void qbButtons_H::paintFace(QPainter &painter, const QColor &face) const {
    if (m_gradientMode == code(Gradient::None)) {
        painter.fillRect(rect(), face);
        return;
    }
    const QRectF r(rect());
    QLinearGradient gradient;
    switch (static_cast<Gradient>(m_gradientMode)) {
    case Gradient::Across:
        gradient = QLinearGradient(r.topLeft(), r.topRight());
        break;
    case Gradient::Down:
        gradient = QLinearGradient(r.topLeft(), r.bottomLeft());
        break;
    case Gradient::DownRight:
        gradient = QLinearGradient(r.topLeft(), r.bottomRight());
        break;
    default: // Gradient::UpRight
        gradient = QLinearGradient(r.bottomLeft(), r.topRight());
        break;
    }
    gradient.setColorAt(0, face);
    gradient.setColorAt(1, m_gradientColor);
    painter.fillRect(rect(), gradient);
}

void qbButtons_H::paintFrame(QPainter &painter, const QbStyle3::State &state) const {
    const QColor face = QbStyle3::faceColour(state);
    const QColor white(Qt::white);
    const QColor dark = QbStyle3::darkGrey();
    const bool sunken = QbStyle3::shownPressed(state);
    using Sides = std::array<std::optional<QColor>, 4>;
    const auto raised = [&](const QColor &light, const QColor &shadow) {
        return sunken ? Sides{shadow, shadow, light, light} : Sides{light, light, shadow, shadow};
    };

    if (m_buttonShape != code(Shape::Rectangle)) {
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
    switch (static_cast<Style>(m_buttonStyle)) {
    case Style::Exact: {
        const QbStyle3::Frame frame = QbStyle3::frame(state);
        for (int ring = QbStyle3::Outer; ring <= QbStyle3::Inner; ++ring) {
            drawRing(painter, rect(), ring, frame.at(static_cast<std::size_t>(ring)));
        }
        break;
    }
    case Style::Flat: // flat: one dark line
        drawRing(painter, rect(), 0, Sides{dark, dark, dark, dark});
        break;
    case Style::Soft: // soft: one light and shadowed ring
        drawRing(painter, rect(), 0, raised(white, dark));
        break;
    case Style::HoverBorder: // the border shows only while the pointer is over the button
        if (m_pointerOver || sunken) {
            drawRing(painter, rect(), 0, raised(white, dark));
        }
        break;
    case Style::Heavy: // heavy: a two-pixel dark border
        drawRing(painter, rect(), 0, Sides{Qt::black, Qt::black, Qt::black, Qt::black});
        drawRing(painter, rect(), 1, Sides{dark, dark, dark, dark});
        break;
    case Style::Outlined: // dark outline with a light inner line
        drawRing(painter, rect(), 0, Sides{dark, dark, dark, dark});
        drawRing(painter, rect(), 1, raised(white, face));
        break;
    case Style::BlackOutlined: // raised with a black outline
        drawRing(painter, rect(), 0, Sides{Qt::black, Qt::black, Qt::black, Qt::black});
        drawRing(painter, rect(), 1, raised(white, dark));
        break;
    default: // Style::Classic: a raised button
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
        } else if (m_captionStyle == code(qbbuttons::CaptionStyle::Engraved)) {
            painter.setPen(Qt::white);
            painter.drawText(parts.caption.translated(1, 1), flags, text);
            painter.setPen(colour);
        } else if (m_captionStyle == code(qbbuttons::CaptionStyle::Shadowed)) {
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

QbStyle3::State qbButtons_H::styleState() const {
    QbStyle3::State state;
    state.enabled = isEnabled();
    state.mode = m_mode;
    state.value = m_value;
    state.pressed = m_pressed;
    state.pointerOver = m_pointerOver;
    state.heldDown = m_heldDown;
    state.back = m_pointerOver ? m_hoverBackColor : m_backColor;
    return state;
}

void qbButtons_H::paintEvent(QPaintEvent * /*event*/) {
    QPainter painter(this);
    const QbStyle3::State state = styleState();
    paintFace(painter, QbStyle3::faceColour(state));
    painter.setFont(font());
    paintContent(painter);
    paintFrame(painter, state);
}

} // namespace velmora
