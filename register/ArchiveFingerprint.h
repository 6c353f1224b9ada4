#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

// What tells one card archive from another: its size and the SHA-256 of its bytes.
struct ArchiveFingerprint {
    qint64 size = 0;
    QString sha256; // lower-case hex

    // Reads the whole file; nothing when it cannot be read.
    static std::optional<ArchiveFingerprint> of(const QString &path);
};

} // namespace velmora
