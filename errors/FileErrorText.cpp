#include "errors/FileErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/statvfs.h>
#include <unistd.h>

namespace velmora {
namespace {

// The first folder of path's parents that exists, with whether some folder on the way is a
// file instead (the path goes "through" a file).
struct Nearest {
    QString folder;
    bool throughFile = false;
};

Nearest nearestExisting(const QString &path) {
    QString folder = QFileInfo(path).absolutePath();
    Nearest found;
    for (;;) {
        const QFileInfo info(folder);
        if (info.exists()) {
            found.folder = folder;
            found.throughFile = !info.isDir();
            return found;
        }
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) {
            return found;
        }
        folder = parent;
    }
}

int fileSystemProblem(const QString &path) {
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(path).constData(), &fs) != 0) {
        return 0;
    }
    if (fs.f_flag & ST_RDONLY) {
        return EROFS;
    }
    // A file system without blocks (/proc, /sys) is not full: it holds no files at all.
    if (fs.f_bavail == 0 && fs.f_blocks > 0) {
        return ENOSPC;
    }
    return 0;
}

bool writable(const QString &path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

QString FileErrorText::reason(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("il file o la cartella non esiste");
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("il disco è pieno");
    case EROFS:
        return QStringLiteral("il file system è di sola lettura");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ENOTDIR:
        return QStringLiteral("una parte del percorso non è una cartella");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura sul disco");
    case ENAMETOOLONG:
        return QStringLiteral("il nome è troppo lungo");
    case EINVAL:
        return QStringLiteral("il nome o l'operazione non è accettato dal file system");
    case EPIPE:
        return QStringLiteral("chi leggeva l'uscita ha chiuso il collegamento");
    case ELOOP:
        return QStringLiteral("i collegamenti simbolici del percorso formano un ciclo");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("ci sono troppi file aperti");
    case ENOMEM:
        return QStringLiteral("la memoria è esaurita");
    case EFBIG:
        return QStringLiteral("il file è troppo grande");
    case 0:
        return QStringLiteral("errore sconosciuto");
    default:
        // The system's own text would be English: the number lets it be looked up.
        return QStringLiteral("errore di sistema numero %1").arg(errorNumber);
    }
}

int FileErrorText::writeError(const QString &path) {
    if (path.isEmpty()) {
        return 0;
    }
    QFile probe(path);
    const bool existed = probe.exists();
    errno = 0;
    if (!probe.open(QIODevice::Append | QIODevice::Unbuffered)) {
        return errno;
    }
    const qint64 size = probe.size();
    const QByteArray block(1 << 16, '\0');
    int failure = 0;
    for (qint64 done = 0; done < block.size();) {
        errno = 0;
        const qint64 written = probe.write(block.constData() + done, block.size() - done);
        if (written <= 0) {
            failure = errno != 0 ? errno : EIO;
            break;
        }
        done += written;
    }
    if (existed) {
        probe.resize(size);
        probe.close();
    } else {
        probe.close();
        probe.remove();
    }
    return failure;
}

QString FileErrorText::whyNotWritable(const QString &path, int errorNumber) {
    const QFileInfo target(path);
    if (target.isDir()) {
        return reason(EISDIR);
    }
    const QString folder = target.absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists()) {
        const Nearest nearest = nearestExisting(path);
        if (nearest.throughFile) {
            return QStringLiteral("\"%1\" è un file, non una cartella")
                .arg(QDir::toNativeSeparators(nearest.folder));
        }
        // The folder is to be made inside the nearest one there: when that one refuses it,
        // the cause is its permissions or its file system, not a folder that is missing.
        if (!nearest.folder.isEmpty()) {
            if (const int problem = fileSystemProblem(nearest.folder); problem != 0) {
                return reason(problem);
            }
            if (!writable(nearest.folder) || errorNumber == EACCES || errorNumber == EPERM) {
                return QStringLiteral("permesso negato: nella cartella \"%1\" non si può creare "
                                      "la cartella \"%2\"")
                    .arg(QDir::toNativeSeparators(nearest.folder),
                         QDir::toNativeSeparators(folder));
            }
        }
        return QStringLiteral("la cartella \"%1\" non esiste")
            .arg(QDir::toNativeSeparators(folder));
    }
    if (!folderInfo.isDir()) {
        return QStringLiteral("\"%1\" è un file, non una cartella")
            .arg(QDir::toNativeSeparators(folder));
    }
    // The failed write's own error says a full disk or a read-only medium; without one, the
    // file system is asked.
    if (errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EROFS) {
        return reason(errorNumber);
    }
    if (const int problem = fileSystemProblem(folder); problem != 0 && errorNumber == 0) {
        return reason(problem);
    }
    if (target.exists() && !writable(path)) {
        return QStringLiteral("il file è di sola lettura");
    }
    if (!writable(folder)) {
        return QStringLiteral("permesso negato nella cartella \"%1\"")
            .arg(QDir::toNativeSeparators(folder));
    }
    if (errorNumber == ENOENT) {
        // The folder is there, yet the file cannot be made in it (/proc, a file system that
        // holds only its own entries).
        return QStringLiteral("nella cartella \"%1\" non si possono creare file")
            .arg(QDir::toNativeSeparators(folder));
    }
    return reason(errorNumber);
}

} // namespace velmora
