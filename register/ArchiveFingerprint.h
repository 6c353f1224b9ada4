#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace velmora {

struct RunRecord;

// A card archive's identity: where it was, its size and the SHA-256 of its bytes. Two
// fingerprints are of the same archive when their bytes are the same, wherever the file lies.
struct ArchiveFingerprint {
    QString path;
    qint64 size = 0;
    QString sha256; // lower-case hex

    // Bytes hashed so far of the file's size; called on the thread that hashes, after each part.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // Reads the whole file once per process for each path, size and modification time: the
    // same unchanged file asked for again (by the register, the Tabellone, the register
    // window) gives the fingerprint already made. Nothing when the file cannot be read. Safe to
    // call from any thread; progress, when given, follows a hash that has to be made.
    static std::optional<ArchiveFingerprint> of(const QString &path, const Progress &progress = {});
    // Whether of(path) would answer without reading the file.
    static bool known(const QString &path);
    // Called on the hashing thread before each part is read: a seam for tests that need a hash
    // held in progress. Empty (the default) for none.
    static void setReadHook(std::function<void()> hook);
    // The archive the run read, as the register kept it when the run began.
    static ArchiveFingerprint usedBy(const RunRecord &run);

    // Whether the run read this archive: the one comparison of a run with the current archive.
    // A run is never of no archive: without a current one (nullopt) the answer is false.
    static bool sameArchive(const std::optional<ArchiveFingerprint> &current, const RunRecord &run);
    bool sameBytes(const ArchiveFingerprint &other) const;
};

} // namespace velmora
