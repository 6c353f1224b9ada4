#include "game/GameDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace velmora {
namespace {
const QString connectionName = QStringLiteral("velmora-partita");
} // namespace

QString GameDatabase::defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("registro.sqlite"));
}

QSqlDatabase GameDatabase::open(const QString &path, QString *error) {
    const auto failed = [error, &path](const QString &why) {
        if (error) {
            *error = QStringLiteral("Il registro \"%1\" non può essere aperto: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        }
        return QSqlDatabase();
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return failed(QStringLiteral("la cartella non può essere creata."));
    }
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!db.isValid()) {
        return failed(
            QStringLiteral("manca il driver SQLite di Qt (pacchetto libqt6sql6-sqlite)."));
    }
    db.setDatabaseName(path);
    if (!db.open()) {
        return failed(db.lastError().text());
    }
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    return db;
}

} // namespace velmora
