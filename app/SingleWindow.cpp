#include "app/SingleWindow.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>

namespace velmora {
namespace {

const QByteArray askForward = QByteArrayLiteral("avanti\n");
const QByteArray doneForward = QByteArrayLiteral("fatto\n");
constexpr int answerMs = 5000; // a window that does not answer in this time is said to be stuck
// velmora-pdf keeps the register only while a command writes: a start waits that long for it.
constexpr int batchMs = 10000;

} // namespace

SingleWindow::SingleWindow(const QString &registerPath, QObject *parent)
    : QObject(parent), m_lock(registerPath) {
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *caller = m_server.nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, caller, [this, caller] {
                if (!caller->canReadLine()) {
                    return;
                }
                if (caller->readLine() == askForward) {
                    comeForward();
                    caller->write(doneForward);
                }
                caller->disconnectFromServer();
            });
        }
    });
}

QString SingleWindow::serverName(const QString &registerPath) {
    // Socket names are short: the register's absolute path, hashed.
    const QByteArray path = QFileInfo(registerPath).absoluteFilePath().toUtf8();
    return QStringLiteral("velmora-%1")
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(24)));
}

SingleWindow::Claim SingleWindow::claim() {
    const QString name = serverName(m_lock.registerPath());
    const auto ours = [this, &name] {
        // A socket left by a window that died is ours to replace: the lock says it is gone.
        QLocalServer::removeServer(name);
        m_server.listen(name);
        return Claim::Ours;
    };
    if (m_lock.tryTake() || !m_lock.heldByAnother()) {
        return ours(); // a lock that cannot be written: the register says why when opened
    }
    QLocalSocket first;
    first.connectToServer(name);
    const bool window = first.waitForConnected(answerMs);
    if (!window && m_lock.take(batchMs)) {
        return ours(); // velmora-pdf wrote, and is done
    }
    const bool answered = window && first.write(askForward) > 0 &&
                          first.waitForBytesWritten(answerMs) &&
                          (first.canReadLine() || first.waitForReadyRead(answerMs)) &&
                          first.readLine() == doneForward;
    m_said = answered ? QStringLiteral("Velmora è già aperto: %1. La sua finestra è stata "
                                       "portata in primo piano.")
                            .arg(m_lock.refusal())
                      // velmora-pdf at work, or a window that does not answer
                      : QStringLiteral("Velmora non si può aprire ora: %1. Riprovare quando "
                                       "quel programma ha finito.")
                            .arg(m_lock.refusal());
    return answered ? Claim::Forwarded : Claim::Stuck;
}

void SingleWindow::comeForward() {
    if (!m_window) {
        return;
    }
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace velmora
