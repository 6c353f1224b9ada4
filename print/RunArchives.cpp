#include "print/RunArchives.h"

#include "common/Sentence.h"
#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"
#include "print/CardArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

RunArchives::RunArchives(QStringList places) : m_places(std::move(places)) {}

const RunArchives::File &RunArchives::file(const QString &path) {
    // The hash is made again only when the file changed; the bytes go with the hash.
    const std::optional<ArchiveFingerprint> now = ArchiveFingerprint::of(path);
    const auto known = m_files.constFind(path);
    if (known != m_files.cend() && now && known->fingerprint &&
        known->fingerprint->sameBytes(*now)) {
        return *known;
    }
    File read{now, {}};
    QFile in(path);
    if (read.fingerprint && in.open(QIODevice::ReadOnly)) {
        read.bytes = in.readAll();
    }
    // The bytes kept are the ones hashed: a file changed since, or unreadable, is none.
    if (!read.fingerprint || read.bytes.size() != read.fingerprint->size ||
        QCryptographicHash::hash(read.bytes, QCryptographicHash::Sha256).toHex() !=
            read.fingerprint->sha256.toLatin1().toLower()) {
        read.fingerprint.reset();
    }
    return *m_files.insert(path, read);
}

const RunArchives::File *RunArchives::archiveOf(const RunRecord &run) {
    if (run.archiveSha256.isEmpty()) {
        return nullptr; // registered without a hash: no file can be shown to be its archive
    }
    const auto isTheRuns = [this, &run](const QString &path) -> const File * {
        // Only a file of the right size is worth hashing.
        if (path.isEmpty() || QFileInfo(path).size() != run.archiveSize) {
            return nullptr;
        }
        const File &found = file(path);
        if (!ArchiveFingerprint::sameArchive(found.fingerprint, run)) {
            return nullptr;
        }
        m_found.insert(run.archiveSha256, path);
        return &found;
    };
    // Where it was found last, where the run found it, then the places searched.
    for (const QString &path : {m_found.value(run.archiveSha256), run.archivePath}) {
        if (const File *found = isTheRuns(path)) {
            return found;
        }
    }
    for (const QString &place : m_places.isEmpty() ? ArchiveSearch::folders() : m_places) {
        if (const File *found =
                isTheRuns(QFileInfo(place).isFile() ? place : CardArchive::locate(place))) {
            return found;
        }
    }
    return nullptr;
}

bool RunArchives::available(const RunRecord &run) {
    return archiveOf(run) != nullptr;
}

QString RunArchives::foundPath(const RunRecord &run) {
    return archiveOf(run) ? m_found.value(run.archiveSha256) : QString();
}

QString RunArchives::missing(const RunRecord &run) {
    const QString cards = run.id > 0 ? QStringLiteral("le cartelle della corsa %1").arg(run.id)
                                     : QStringLiteral("le cartelle impostate a pagina 4");
    if (run.archivePath.isEmpty()) {
        return cards + QStringLiteral(" non si possono verificare: l'archivio non si trova");
    }
    const QString said = cards + QStringLiteral(" non si possono verificare: l'archivio \"%1\" "
                                                "non si trova")
                                     .arg(QDir::toNativeSeparators(run.archivePath));
    // A file at its place with other bytes is said, lest the user take it for the one printed.
    return QFileInfo::exists(run.archivePath)
               ? said + QStringLiteral(" (il file che ora è lì non è quello della stampa)")
               : said;
}

QString RunArchives::missingSentence(const RunRecord &run) {
    return Sentence::whole(missing(run));
}

RecordCartella RunArchives::card(const RunRecord &run, int archiveCard) {
    const File *archive = archiveOf(run);
    if (!archive) {
        throw VelmoraError(VelmoraError::FileNotFound, missingSentence(run));
    }
    if (archiveCard < 1) {
        throw VelmoraError(VelmoraError::BadRecordNumber,
                           QStringLiteral("La cartella %1 non è nell'archivio.").arg(archiveCard));
    }
    return cardIn(archive->bytes, archiveCard);
}

std::optional<QByteArray> RunArchives::bytesOf(const RunRecord &run) {
    const File *archive = archiveOf(run);
    return archive ? std::optional<QByteArray>(archive->bytes) : std::nullopt;
}

RecordCartella RunArchives::cardIn(QByteArrayView bytes, int archiveCard) {
    // A record past the end reads as blanks, as the print reads it.
    const qint64 offset = qint64(std::max(archiveCard, 1) - 1) * RecordCartella::recordSize;
    const QByteArrayView record = offset < bytes.size()
                                      ? bytes.sliced(offset).first(std::min<qint64>(
                                            RecordCartella::recordSize, bytes.size() - offset))
                                      : QByteArrayView();
    return RecordCartella::fromStored(record);
}

std::optional<QString> RunArchives::storedNumber(const RunRecord &run, int archiveCard) {
    if (archiveCard < 1 || !available(run)) {
        return std::nullopt;
    }
    return card(run, archiveCard).numeroArchivio();
}

StoredNumber RunArchives::lookup() {
    return [this](const RunRecord &run, int archiveCard) { return storedNumber(run, archiveCard); };
}

} // namespace velmora
