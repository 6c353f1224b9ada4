#include "ui/qbButtons_H.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

// The button's input: the hover poll of the pointer, the mouse, the keyboard and the focus.

namespace velmora {
namespace {

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
} // namespace

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

} // namespace velmora
