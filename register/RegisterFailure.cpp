#include "register/RegisterFailure.h"

#include <QFileInfo>
#include <QSqlError>
#include <QStorageInfo>

namespace velmora {
namespace {

// SQLite's primary result codes (the low byte of an extended one).
enum SqliteCode {
    Perm = 3,
    Busy = 5,
    Locked = 6,
    NoMem = 7,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Auth = 23,
    NotADb = 26,
};

// Less room than this on the register's disk is no room: SQLite grows its files by pages and
// its shared-memory index by 32 KiB.
constexpr qint64 nearlyFull = 64 * 1024;

int primaryCode(const QSqlError &error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

// A reason written by this program itself (Transaction::refused) carries no SQLite code.
bool isOurOwn(const QSqlError &error) {
    return error.type() == QSqlError::UnknownError && error.nativeErrorCode().isEmpty() &&
           !error.databaseText().isEmpty();
}

} // namespace

RegisterFailure::Kind RegisterFailure::kind(const QSqlError &error, const QString &path) {
    // SQLite says "full" only for some writes: growing its shared-memory index or its log on a
    // full disk is an I/O error. The disk itself then tells whether it is full.
    if (primaryCode(error) == IoErr && !path.isEmpty()) {
        const QStorageInfo disk(QFileInfo(path).absolutePath());
        if (disk.isValid() && disk.bytesAvailable() < nearlyFull) {
            return Kind::Full;
        }
    }
    switch (primaryCode(error)) {
    case Busy:
    case Locked:
        return Kind::Busy;
    case Full:
        return Kind::Full;
    case ReadOnly:
        return Kind::ReadOnly;
    case Perm:
    case Auth:
    case CantOpen:
        return Kind::Permissions;
    case Corrupt:
    case NotADb:
        return Kind::Damaged;
    default:
        return Kind::Other;
    }
}

bool RegisterFailure::isRefusal(const QSqlError &error) {
    return isOurOwn(error);
}

QString RegisterFailure::reason(const QSqlError &error, const QString &path) {
    if (isOurOwn(error)) {
        return error.databaseText();
    }
    switch (kind(error, path)) {
    case Kind::Busy:
        return QStringLiteral("il registro è occupato da un altro programma");
    case Kind::Full:
        return QStringLiteral("il disco è pieno");
    case Kind::ReadOnly:
        return QStringLiteral("il registro è in sola lettura (file o supporto protetto)");
    case Kind::Permissions:
        return QStringLiteral("mancano i permessi per aprire il registro o la sua cartella");
    case Kind::Damaged:
        return QStringLiteral("il file del registro è danneggiato");
    case Kind::Other:
        break;
    }
    switch (primaryCode(error)) {
    case NoMem:
        return QStringLiteral("la memoria non basta");
    case IoErr:
        return QStringLiteral("errore di lettura o scrittura sul disco");
    case -1:
        return QStringLiteral("il registro non ha risposto come previsto");
    default:
        return QStringLiteral("errore del database SQLite n. %1").arg(primaryCode(error));
    }
}

} // namespace velmora
