#include "evening/RegisterLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

RegisterLock::RegisterLock(const QString &registerPath)
    : m_registerPath(registerPath), m_lock(registerPath + QStringLiteral(".lock")) {
    // Held for a whole evening: only a holder that is no longer running makes it stale.
    m_lock.setStaleLockTime(0);
}

bool RegisterLock::tryTake() {
    return take(0);
}

bool RegisterLock::take(int waitMs) {
    QDir().mkpath(QFileInfo(m_registerPath).absolutePath());
    return m_lock.isLocked() || m_lock.tryLock(waitMs);
}

QString RegisterLock::refusal() const {
    const QString shown = QDir::toNativeSeparators(QFileInfo(m_registerPath).absoluteFilePath());
    qint64 pid = 0;
    QString host;
    QString program;
    if (!heldByAnother() || !m_lock.getLockInfo(&pid, &host, &program)) {
        return QStringLiteral("il registro delle stampe \"%1\" non si può riservare: il file "
                              "\"%2\" non si può scrivere")
            .arg(shown, QDir::toNativeSeparators(m_lock.fileName()));
    }
    // Both programs go by one application name: the process's own name tells them apart.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QByteArray name =
        comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
    const QString who = name == "velmora"       ? QStringLiteral("Velmora")
                        : name == "velmora-pdf" ? QStringLiteral("velmora-pdf")
                                                : QStringLiteral("un altro programma Velmora");
    return QStringLiteral("il registro delle stampe \"%1\" è in uso da %2 (processo %3)")
        .arg(shown, who)
        .arg(pid);
}

} // namespace velmora
