#pragma once

#include <QAccessibleWidget>

namespace velmora {

class qbButtons_H;

// What assistive tools see of the program's own button: a push button named by its accessible
// name or else its caption, with its access key, its checked state in the toggle and option
// modes, and a press action that clicks it as the Space key does.
class QbButtonAccessible : public QAccessibleWidget {
public:
    explicit QbButtonAccessible(qbButtons_H *button);

    // Makes Qt ask this class for every button; safe to call more than once.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    qbButtons_H *button() const;
};

} // namespace velmora
