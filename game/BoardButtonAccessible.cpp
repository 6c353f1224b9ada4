#include "game/BoardButtonAccessible.h"

#include <QPushButton>

namespace velmora {

BoardButtonAccessible::BoardButtonAccessible(QPushButton *button)
    : QAccessibleWidget(button, QAccessible::Button) {}

QString BoardButtonAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? button()->text() : QAccessibleWidget::text(t);
}

QAccessible::State BoardButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    return state;
}

QStringList BoardButtonAccessible::actionNames() const {
    return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
}

void BoardButtonAccessible::doAction(const QString &action) {
    if (action == pressAction() || action == toggleAction()) {
        button()->click();
    } else {
        QAccessibleWidget::doAction(action);
    }
}

void BoardButtonAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void BoardButtonAccessible::forget(QPushButton *button) {
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(button)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

QAccessibleInterface *BoardButtonAccessible::factory(const QString &className, QObject *object) {
    auto *button = qobject_cast<QPushButton *>(object);
    if (className == QLatin1String("QPushButton") && button && button->isCheckable() &&
        button->objectName().startsWith(QLatin1String("numero(")) && button->parentWidget() &&
        button->parentWidget()->objectName() == QLatin1String("picTabellone")) {
        return new BoardButtonAccessible(button);
    }
    return nullptr;
}

QPushButton *BoardButtonAccessible::button() const {
    return static_cast<QPushButton *>(widget());
}

} // namespace velmora
