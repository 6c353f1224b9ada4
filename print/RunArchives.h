#pragma once

#include "register/ArchiveFingerprint.h"
#include "register/CardTrace.h"
#include "register/RunRecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace velmora {

// The archives the runs of the register printed from, read back for the numbers their records
// store, so that tracing reads the number printed on a card as the print did. An archive is
// used only while its file is where the run found it with the same bytes; each file is read
// once.
class RunArchives {
public:
    // The archive number stored in record archiveCard of the run's archive; nothing when that
    // archive is gone or changed, or has no such record.
    std::optional<QString> storedNumber(const RunRecord &run, int archiveCard);
    // Whether the run's archive is at hand as it was.
    bool available(const RunRecord &run);
    // storedNumber, for CardTrace; valid while this object lives.
    StoredNumber lookup();

private:
    struct File {
        std::optional<ArchiveFingerprint> fingerprint; // nothing: it could not be read
        QByteArray bytes;
    };
    const File &file(const QString &path);

    QHash<QString, File> m_files;
};

} // namespace velmora
