#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

struct RunRecord;

// A card archive's identity: where it was, its size and the SHA-256 of its bytes. Two
// fingerprints are of the same archive when their bytes are the same, wherever the file lies.
struct ArchiveFingerprint {
    QString path;
    qint64 size = 0;
    QString sha256; // lower-case hex

    // Reads the whole file; nothing when it cannot be read.
    static std::optional<ArchiveFingerprint> of(const QString &path);
    // The archive the run read, as the register kept it when the run began.
    static ArchiveFingerprint usedBy(const RunRecord &run);

    // Whether the run read this archive: the one comparison of a run with the current archive.
    // A run is never of no archive: without a current one (nullopt) the answer is false.
    static bool sameArchive(const std::optional<ArchiveFingerprint> &current, const RunRecord &run);
    bool sameBytes(const ArchiveFingerprint &other) const;
};

} // namespace velmora
