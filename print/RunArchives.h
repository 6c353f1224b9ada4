#pragma once

#include "print/RecordCartella.h"
#include "register/ArchiveFingerprint.h"
#include "register/CardTrace.h"
#include "register/RunRecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

// The archives the runs of the register printed from, read back for the cards and numbers
// their records store, so that the game and tracing read a card as the print did. A run's
// archive is the file with the bytes the register recorded (size and SHA-256): first where the
// run found it, then, when it was moved, the archive of each place searched. No card of a run
// is ever read from any other file. Each file is read once while it stays unchanged.
class RunArchives {
public:
    // places: folders, or archive files, where a run's archive that moved is looked for;
    // empty: the folders the program looks for the archive in (ArchiveSearch).
    explicit RunArchives(QStringList places = {});

    // The archive number stored in record archiveCard of the run's archive; nothing when that
    // archive is not found, or has no such record.
    std::optional<QString> storedNumber(const RunRecord &run, int archiveCard);
    // Whether the run's archive is at hand as it was, where it was or moved.
    bool available(const RunRecord &run);
    // Where the run's archive is now; empty when it is nowhere to be found.
    QString foundPath(const RunRecord &run);
    // Card archiveCard (from 1) of the run's archive; a card past its end reads as blanks, as the
    // print reads it. Throws VelmoraError with missing(run) when the archive is not found.
    RecordCartella card(const RunRecord &run, int archiveCard);
    // The bytes of the run's archive, found once for reading many of its cards with
    // cardIn(); nothing when it is not found.
    std::optional<QByteArray> bytesOf(const RunRecord &run);
    // Card archiveCard (from 1) of an archive's bytes, blanks past its end.
    static RecordCartella cardIn(QByteArrayView archive, int archiveCard);
    // Why the cards of the run cannot be checked: its archive is not found.
    static QString missing(const RunRecord &run);
    // The same as a sentence of its own, for a notice.
    static QString missingSentence(const RunRecord &run);
    // storedNumber, for CardTrace; valid while this object lives.
    StoredNumber lookup();

private:
    struct File {
        std::optional<ArchiveFingerprint> fingerprint; // nothing: it could not be read
        QByteArray bytes;
    };
    const File &file(const QString &path);
    // The run's archive with its bytes; nullptr when it is not found.
    const File *archiveOf(const RunRecord &run);

    QStringList m_places;
    QHash<QString, File> m_files;
    QHash<QString, QString> m_found; // the runs' SHA-256: where their archive was found
};

} // namespace velmora
