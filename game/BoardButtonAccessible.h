#pragma once

#include <QAccessibleWidget>

class QPushButton;

namespace velmora {

// A number of the Tabellone's board for a screen reader: a button (not the check box Qt makes
// of a checkable push button) whose checked state says the number is drawn; pressing it
// toggles.
class BoardButtonAccessible : public QAccessibleWidget {
public:
    explicit BoardButtonAccessible(QPushButton *button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &action) override;

    // Gives the board's buttons (checkable "numero(N)" in "picTabellone") this interface from
    // now on; installed once however often asked.
    static void install();
    // Drops the interface Qt made for button while it was a plain push button, so the next
    // query goes through this one.
    static void forget(QPushButton *button);

private:
    static QAccessibleInterface *factory(const QString &className, QObject *object);
    QPushButton *button() const;
};

} // namespace velmora
