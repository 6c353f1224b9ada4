#include "register/ArchiveFingerprint.h"

#include "register/RunRecord.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace velmora {
namespace {

constexpr qint64 partBytes = qint64(1) << 20; // progress is told after each part

// The file as it is now: a hash made of it stays good while none of these change.
struct FileState {
    QString path;
    qint64 size = -1;
    qint64 modified = 0;
    bool operator==(const FileState &) const = default;
};

FileState stateOf(const QString &path) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QMutex s_lock;
std::function<void()> s_readHook;
QHash<QString, std::pair<FileState, QString>> s_made; // absolute path: state and hash

} // namespace

void ArchiveFingerprint::setReadHook(std::function<void()> hook) {
    const QMutexLocker locker(&s_lock);
    s_readHook = std::move(hook);
}

bool ArchiveFingerprint::known(const QString &path) {
    const FileState now = stateOf(path);
    const QMutexLocker locker(&s_lock);
    const auto it = s_made.constFind(now.path);
    return it != s_made.cend() && it->first == now;
}

std::optional<ArchiveFingerprint> ArchiveFingerprint::of(const QString &path,
                                                         const Progress &progress) {
    const FileState before = stateOf(path);
    {
        const QMutexLocker locker(&s_lock);
        if (const auto it = s_made.constFind(before.path);
            it != s_made.cend() && it->first == before) {
            return ArchiveFingerprint{path, before.size, it->second};
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const qint64 total = file.size();
    qint64 done = 0;
    std::function<void()> hook;
    {
        const QMutexLocker locker(&s_lock);
        hook = s_readHook;
    }
    while (!file.atEnd()) {
        if (hook) {
            hook();
        }
        const QByteArray part = file.read(partBytes);
        if (part.isEmpty() && file.error() != QFileDevice::NoError) {
            return std::nullopt;
        }
        if (part.isEmpty()) {
            break;
        }
        hash.addData(part);
        done += part.size();
        if (progress) {
            progress(done, total);
        }
    }
    const QString sha256 = QString::fromLatin1(hash.result().toHex());
    // A file changed while it was read is not kept: the next call reads it again.
    if (stateOf(path) == before) {
        const QMutexLocker locker(&s_lock);
        s_made.insert(before.path, {before, sha256});
    }
    return ArchiveFingerprint{path, done, sha256};
}

ArchiveFingerprint ArchiveFingerprint::usedBy(const RunRecord &run) {
    return {run.archivePath, run.archiveSize, run.archiveSha256};
}

bool ArchiveFingerprint::sameBytes(const ArchiveFingerprint &other) const {
    // An empty hash is a run registered without one: it matches nothing.
    return !sha256.isEmpty() && size == other.size &&
           sha256.compare(other.sha256, Qt::CaseInsensitive) == 0;
}

bool ArchiveFingerprint::sameArchive(const std::optional<ArchiveFingerprint> &current,
                                     const RunRecord &run) {
    return current && current->sameBytes(usedBy(run));
}

} // namespace velmora
