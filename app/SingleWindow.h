#pragma once

#include "evening/RegisterLock.h"

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace velmora {

// One window per register, so that a double click on the menu entry never plays a second game
// into the same record: the first program started on a register holds its lock and listens on a
// local socket named after it; a later one asks it to bring its window forward and ends,
// having opened nothing.
class SingleWindow : public QObject {
    Q_OBJECT
public:
    explicit SingleWindow(const QString &registerPath, QObject *parent = nullptr);

    enum class Claim {
        Ours,      // this program is the register's one window: the others may call it
        Forwarded, // another one holds the register and has brought its window forward
        Stuck,     // another program holds the register and no window of it answered
    };
    // Takes the register for this program, or asks the one holding it to come forward; said()
    // tells the user which, unless it is Ours.
    Claim claim();
    QString said() const { return m_said; }
    // The window brought forward when another start asks for it; not owned.
    void setWindow(QWidget *window) { m_window = window; }

    // The local socket's name for the register.
    static QString serverName(const QString &registerPath);

private:
    void comeForward();

    RegisterLock m_lock;
    QLocalServer m_server;
    QPointer<QWidget> m_window;
    QString m_said;
};

} // namespace velmora
