#include "ui/QbButtonAccessible.h"

#include "ui/QbCaption.h"
#include "ui/qbButtons_H.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace velmora {
namespace {

QAccessibleInterface *buttonFactory(const QString &, QObject *object) {
    if (auto *button = qobject_cast<qbButtons_H *>(object)) {
        return new QbButtonAccessible(button);
    }
    return nullptr;
}

void sendSpace(QWidget *target, QEvent::Type type) {
    QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(target, &key);
}

} // namespace

QbButtonAccessible::QbButtonAccessible(qbButtons_H *button)
    : QAccessibleWidget(button, QAccessible::PushButton) {}

void QbButtonAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(buttonFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

qbButtons_H *QbButtonAccessible::button() const {
    return static_cast<qbButtons_H *>(widget());
}

QString QbButtonAccessible::text(QAccessible::Text t) const {
    const QbCaption caption(button()->Caption());
    switch (t) {
    case QAccessible::Name:
        return button()->accessibleName().isEmpty() ? caption.text() : button()->accessibleName();
    case QAccessible::Accelerator:
        return caption.accessKey().isNull()
                   ? QString()
                   : QKeySequence(
                         QKeyCombination(Qt::AltModifier, Qt::Key(caption.accessKey().unicode())))
                         .toString(QKeySequence::NativeText);
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State QbButtonAccessible::state() const {
    QAccessible::State result = QAccessibleWidget::state();
    if (button()->Mode() != qbButtons_H::PushButton) {
        result.checkable = true;
        result.checked = button()->Value();
    }
    result.defaultButton = button()->Default();
    return result;
}

QStringList QbButtonAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void QbButtonAccessible::doAction(const QString &actionName) {
    if (actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (button()->isEnabled()) {
        // The button's own Space handling: pressed, then released, then clicked.
        sendSpace(button(), QEvent::KeyPress);
        sendSpace(button(), QEvent::KeyRelease);
    }
}

QStringList QbButtonAccessible::keyBindingsForAction(const QString &actionName) const {
    if (actionName == pressAction() && !text(QAccessible::Accelerator).isEmpty()) {
        return {text(QAccessible::Accelerator)};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

} // namespace velmora
