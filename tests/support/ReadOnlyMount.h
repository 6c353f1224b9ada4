#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <utility>

namespace velmora::testing {

// Gives the test process a mount namespace of its own (once), so that its mounts vanish with
// it whatever happens. False: *why says why not.
inline bool privateMountNamespace(QString *why) {
    static const bool made = unshare(CLONE_NEWNS) == 0 &&
                             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    static const QString failure = made ? QString() : QString::fromLocal8Bit(std::strerror(errno));
    if (!made) {
        *why = QStringLiteral("no private mount namespace: ") + failure;
    }
    return made;
}

// A tiny tmpfs (16 KiB unless size says otherwise, as "64k") on the existing empty folder
// mountPoint, for writes that run out of room. isMounted() says whether it worked, why() why not.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const QString &mountPoint, const char *size = "16k")
        : m_point(QFile::encodeName(mountPoint)) {
        if (!privateMountNamespace(&m_why)) {
            return;
        }
        const QByteArray options = QByteArrayLiteral("size=") + size;
        m_mounted = mount("tmpfs", m_point.constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted) {
            m_why = QStringLiteral("tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
        }
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;
    ~SmallTmpfs() {
        if (m_mounted) {
            umount2(m_point.constData(), MNT_DETACH);
        }
    }
    bool isMounted() const { return m_mounted; }
    const QString &why() const { return m_why; }

private:
    QByteArray m_point;
    QString m_why;
    bool m_mounted = false;
};

// A folder on a file system mounted read-only, for saves that must fail even as root (the
// permission bits mean nothing to root). The mount lives in a mount namespace of the test
// process only, so it vanishes with the process whatever happens.
class ReadOnlyMount {
public:
    // Mounts a small tmpfs on the existing empty folder mountPoint, writes the files given
    // (name, bytes) and remounts it read-only. isMounted() says whether it worked, why() why not.
    ReadOnlyMount(const QString &mountPoint, const QList<std::pair<QString, QByteArray>> &files)
        : m_point(QFile::encodeName(mountPoint)) {
        if (!privateMountNamespace(&m_why)) {
            return;
        }
        if (mount("tmpfs", m_point.constData(), "tmpfs", 0, "size=64k") != 0) {
            m_why = QStringLiteral("tmpfs: ") + errorText();
            return;
        }
        m_mounted = true;
        for (const auto &[name, bytes] : files) {
            QFile file(QDir(mountPoint).filePath(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
                m_why = QStringLiteral("writing ") + name;
                return;
            }
        }
        if (mount(nullptr, m_point.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            m_why = QStringLiteral("read-only remount: ") + errorText();
            return;
        }
        m_readOnly = true;
    }
    ReadOnlyMount(const ReadOnlyMount &) = delete;
    ReadOnlyMount &operator=(const ReadOnlyMount &) = delete;
    ~ReadOnlyMount() {
        if (m_mounted) {
            umount2(m_point.constData(), MNT_DETACH);
        }
    }

    bool isReadOnly() const { return m_readOnly; }
    const QString &why() const { return m_why; }

private:
    static QString errorText() { return QString::fromLocal8Bit(std::strerror(errno)); }

    QByteArray m_point;
    QString m_why;
    bool m_mounted = false;
    bool m_readOnly = false;
};

} // namespace velmora::testing
