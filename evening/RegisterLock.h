#pragma once

#include <QLockFile>
#include <QString>

namespace velmora {

// One program at a time writes a register: a lock file beside it (registro.sqlite.lock), held
// by the window program for as long as it runs and by velmora-pdf while a command that writes
// runs. A lock left by a program that died is taken over.
class RegisterLock {
public:
    explicit RegisterLock(const QString &registerPath);
    RegisterLock(const RegisterLock &) = delete;
    RegisterLock &operator=(const RegisterLock &) = delete;

    // Takes the lock at once; false when another program holds it (or it cannot be written).
    bool tryTake();
    // Takes it, waiting up to waitMs for the program holding it to let it go.
    bool take(int waitMs);
    // Whether the last take failed because another program holds it (not because the lock
    // file cannot be written, which the register's own opening then says).
    bool heldByAnother() const { return m_lock.error() == QLockFile::LockFailedError; }
    // Why it could not be taken, as one Italian clause naming who holds it.
    QString refusal() const;
    QString registerPath() const { return m_registerPath; }

private:
    QString m_registerPath;
    QLockFile m_lock;
};

} // namespace velmora
