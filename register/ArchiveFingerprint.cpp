#include "register/ArchiveFingerprint.h"

#include "register/RunRecord.h"

#include <QCryptographicHash>
#include <QFile>

namespace velmora {

std::optional<ArchiveFingerprint> ArchiveFingerprint::of(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return std::nullopt;
    }
    return ArchiveFingerprint{path, file.size(), QString::fromLatin1(hash.result().toHex())};
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
