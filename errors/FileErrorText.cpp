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
    if (fs.f_bavail == 0) {
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
    if (const int problem = fileSystemProblem(folder); problem != 0) {
        return reason(problem);
    }
    if (target.exists() && !writable(path)) {
        return QStringLiteral("il file è di sola lettura");
    }
    if (!writable(folder)) {
        return QStringLiteral("permesso negato nella cartella \"%1\"")
            .arg(QDir::toNativeSeparators(folder));
    }
    return reason(errorNumber);
}

} // namespace velmora
