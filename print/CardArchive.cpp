#include "print/CardArchive.h"

#include "errors/FileErrorText.h"
#include "errors/VelmoraError.h"
#include "print/PrintPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <array>
#include <cerrno>
#include <sys/stat.h>

namespace velmora {
namespace {

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

struct Candidates {
    QString exact;
    QStringList others; // names matching regardless of case
};

Candidates findCandidates(const QDir &dir) {
    Candidates found;
    const QFileInfo exact(dir.filePath(CardArchive::fileName));
    if (exact.isFile()) {
        found.exact = exact.filePath();
        return found;
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isFile() &&
            entry.fileName().compare(CardArchive::fileName, Qt::CaseInsensitive) == 0) {
            found.others.append(entry.filePath());
        }
    }
    return found;
}

} // namespace

QString CardArchive::locate(const QString &folder) {
    const Candidates found = findCandidates(QDir(folder));
    if (!found.exact.isEmpty()) {
        return found.exact;
    }
    return found.others.size() == 1 ? found.others.first() : QString();
}

CardArchive::CardArchive(const QString &folder) {
    const QFileInfo given(folder);
    if (given.isFile() && given.fileName().compare(fileName, Qt::CaseInsensitive) == 0) {
        open(given.absoluteFilePath()); // the archive itself named instead of its folder
        return;
    }
    const QDir dir(folder);
    const QString shownFolder = shown(dir.absolutePath());
    if (given.isFile()) {
        throw VelmoraError(VelmoraError::PathNotFound,
                           QStringLiteral("Impossibile trovare il percorso: \"%1\" è un file, "
                                          "non la cartella che contiene l'archivio delle "
                                          "cartelle %2.")
                               .arg(shownFolder, fileName));
    }
    if (given.isSymLink() && !given.exists()) {
        struct stat info {};
        const bool loop =
            ::stat(QFile::encodeName(folder).constData(), &info) != 0 && errno == ELOOP;
        throw VelmoraError(VelmoraError::PathNotFound,
                           QStringLiteral("Impossibile trovare il percorso: la cartella \"%1\", "
                                          "dove si cerca l'archivio delle cartelle %2, è un "
                                          "collegamento simbolico %3.")
                               .arg(shownFolder, fileName,
                                    loop ? QStringLiteral("che rimanda a se stesso (un ciclo)")
                                         : QStringLiteral("a qualcosa che non esiste")));
    }
    if (!dir.exists()) {
        throw VelmoraError(VelmoraError::PathNotFound,
                           QStringLiteral("Impossibile trovare il percorso: la cartella \"%1\", "
                                          "dove si cerca l'archivio delle cartelle %2, non esiste.")
                               .arg(shownFolder, fileName));
    }
    const Candidates found = findCandidates(dir);
    QString path = found.exact;
    if (path.isEmpty() && found.others.size() == 1) {
        path = found.others.first();
    }
    const QFileInfo exactName(dir.filePath(fileName));
    if (path.isEmpty() && found.others.isEmpty() && exactName.exists()) {
        // A folder or a device under the archive's name: opening a device could hang the run.
        throw VelmoraError(75, QStringLiteral("Errore di accesso al percorso/file: \"%1\" non "
                                              "\u00e8 un file, quindi non pu\u00f2 essere "
                                              "l'archivio delle cartelle.")
                                   .arg(shown(exactName.absoluteFilePath())));
    }
    if (path.isEmpty() && found.others.isEmpty()) {
        throw VelmoraError(VelmoraError::FileNotFound,
                           QStringLiteral("File non trovato: l'archivio delle cartelle %1 non "
                                          "\u00e8 nella cartella \"%2\".")
                               .arg(fileName, shownFolder));
    }
    if (path.isEmpty()) {
        QStringList names;
        for (const QString &other : found.others) {
            names.append(QFileInfo(other).fileName());
        }
        throw VelmoraError(75, QStringLiteral("Nella cartella \"%1\" ci sono pi\u00f9 archivi "
                                              "delle cartelle che differiscono solo per maiuscole "
                                              "e minuscole (%2): rinominare quello da usare in %3.")
                                   .arg(shownFolder, names.join(QStringLiteral(", ")), fileName));
    }

    open(path);
}

void CardArchive::open(const QString &path) {
    m_file.setFileName(path);
    // Read-only: a missing file is never created and the archive is never changed.
    errno = 0;
    if (!m_file.open(QIODevice::ReadOnly)) {
        const int failure = errno;
        const bool denied = m_file.error() == QFileDevice::OpenError && QFileInfo::exists(path) &&
                            !QFileInfo(path).isReadable();
        if (denied) {
            throw VelmoraError(VelmoraError::PermissionDenied,
                               QStringLiteral("Autorizzazione negata: impossibile leggere "
                                              "l'archivio delle cartelle \"%1\".")
                                   .arg(shown(path)));
        }
        throw VelmoraError(75, QStringLiteral("Errore di accesso al percorso/file: impossibile "
                                              "aprire l'archivio delle cartelle \"%1\" (%2).")
                                   .arg(shown(path), FileErrorText::reason(failure)));
    }
    if (m_file.isSequential()) {
        m_file.close();
        throw VelmoraError(75, QStringLiteral("Errore di accesso al percorso/file: \"%1\" non "
                                              "\u00e8 un archivio delle cartelle leggibile a "
                                              "salti (\u00e8 un dispositivo o una coda).")
                                   .arg(shown(path)));
    }
    m_size = m_file.size();
    // Card numbers stop at 32767: a longer file is no archive of ours (a damaged or padded
    // copy), and reading or hashing it all would take minutes and gigabytes for nothing.
    if (m_size > qint64(PrintPlan::maxCard) * RecordCartella::recordSize) {
        m_file.close();
        throw VelmoraError(
            VelmoraError::BadRecordNumber,
            QStringLiteral("L'archivio delle cartelle \"%1\" è troppo grande per essere un "
                           "archivio valido: conterrebbe %2 cartelle, ma le cartelle sono al "
                           "massimo %3 (%4 byte).")
                .arg(shown(path))
                .arg(m_size / RecordCartella::recordSize)
                .arg(PrintPlan::maxCard)
                .arg(qint64(PrintPlan::maxCard) * RecordCartella::recordSize));
    }
}

RecordCartella CardArchive::read(qint64 cardNumber) {
    if (cardNumber < 1) {
        throw VelmoraError(
            VelmoraError::BadRecordNumber,
            QStringLiteral("Numero di record non valido: la cartella %1 non pu\u00f2 "
                           "esistere nell'archivio (la prima \u00e8 la 1).")
                .arg(cardNumber));
    }
    // Compared as a record index first, so an absurd card number cannot overflow the offset.
    const qint64 recordsInFile =
        (m_size + RecordCartella::recordSize - 1) / RecordCartella::recordSize;
    if (cardNumber > recordsInFile) {
        return RecordCartella::blank();
    }
    const qint64 offset = (cardNumber - 1) * RecordCartella::recordSize;
    std::array<char, RecordCartella::recordSize> stored{};
    qint64 got = -1;
    errno = 0;
    if (m_file.seek(offset)) {
        got = m_file.read(stored.data(), RecordCartella::recordSize);
    }
    if (got < 0) {
        throw VelmoraError(VelmoraError::DeviceIo,
                           QStringLiteral("Errore di I/O della periferica: impossibile leggere la "
                                          "cartella %1 dall'archivio \"%2\" (%3).")
                               .arg(QString::number(cardNumber), shown(path()),
                                    FileErrorText::reason(errno == 0 ? EIO : errno)));
    }
    return RecordCartella::fromStored(QByteArrayView(stored.data(), got));
}

} // namespace velmora
