#include "errors/HoverLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace velmora {

HoverLabel::HoverLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    // Its own buddy: that registers the access key of its text, handled in event().
    setBuddy(this);
}

void HoverLabel::mouseMoveEvent(QMouseEvent *event) {
    // Accepted here, so the container does not take it for a move over its free area.
    event->accept();
    emit hovered();
}

void HoverLabel::enterEvent(QEnterEvent *event) {
    QLabel::enterEvent(event);
    emit hovered();
}

void HoverLabel::mousePressEvent(QMouseEvent *event) {
    event->accept();
}

void HoverLabel::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void HoverLabel::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}

bool HoverLabel::event(QEvent *event) {
    // The access key in the text presses the link.
    if (event->type() == QEvent::Shortcut) {
        emit clicked();
        return true;
    }
    return QLabel::event(event);
}

} // namespace velmora
