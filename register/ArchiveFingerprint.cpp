#include "register/ArchiveFingerprint.h"

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
    return ArchiveFingerprint{file.size(), QString::fromLatin1(hash.result().toHex())};
}

} // namespace velmora
