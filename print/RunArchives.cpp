#include "print/RunArchives.h"

#include "print/RecordCartella.h"

#include <QFile>

namespace velmora {

const RunArchives::File &RunArchives::file(const QString &path) {
    const auto known = m_files.constFind(path);
    if (known != m_files.cend()) {
        return *known;
    }
    File read{ArchiveFingerprint::of(path), {}};
    QFile in(path);
    if (read.fingerprint && in.open(QIODevice::ReadOnly)) {
        read.bytes = in.readAll();
    }
    if (read.bytes.size() != read.fingerprint.value_or(ArchiveFingerprint{}).size) {
        read.fingerprint.reset(); // unreadable, or changed while it was read
    }
    return *m_files.insert(path, read);
}

bool RunArchives::available(const RunRecord &run) {
    return ArchiveFingerprint::sameArchive(file(run.archivePath).fingerprint, run);
}

std::optional<QString> RunArchives::storedNumber(const RunRecord &run, int archiveCard) {
    if (archiveCard < 1 || !available(run)) {
        return std::nullopt;
    }
    // A record past the end reads as blanks, as the print reads it.
    const QByteArrayView bytes(file(run.archivePath).bytes);
    const qint64 offset = qint64(archiveCard - 1) * RecordCartella::recordSize;
    const QByteArrayView record = offset < bytes.size()
                                      ? bytes.sliced(offset).first(std::min<qint64>(
                                            RecordCartella::recordSize, bytes.size() - offset))
                                      : QByteArrayView();
    return RecordCartella::fromStored(record).numeroArchivio();
}

StoredNumber RunArchives::lookup() {
    return [this](const RunRecord &run, int archiveCard) { return storedNumber(run, archiveCard); };
}

} // namespace velmora
