#include "register/RegisterDatabase.h"

#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <array>
#include <utility>

namespace velmora {
namespace {

constexpr auto fileName = "registro.sqlite";
constexpr auto driverName = "QSQLITE";

// The schema's versions, in PRAGMA user_version. A database from before the schema had a
// version reads 0; each step brings it one version up, in the transaction that also writes the
// new number, so a step is done whole and once.
constexpr int schemaVersion = 1;

// One row per print run; the outcome is written when the run starts ("in_progress") and
// again when it ends, so a run cut short by a crash still says so.
constexpr auto createRuns = R"(
CREATE TABLE IF NOT EXISTS print_runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    program TEXT NOT NULL,
    started TEXT NOT NULL,
    ended TEXT,
    archive_path TEXT NOT NULL,
    archive_size INTEGER NOT NULL,
    archive_sha256 TEXT NOT NULL,
    archive_cards INTEGER NOT NULL,
    first_card INTEGER NOT NULL,
    cards_asked INTEGER NOT NULL,
    last_card INTEGER NOT NULL,
    archive_numbering INTEGER NOT NULL,
    landscape INTEGER NOT NULL,
    destination TEXT NOT NULL,
    outcome TEXT NOT NULL,
    cards_drawn INTEGER NOT NULL DEFAULT 0,
    delivered INTEGER NOT NULL DEFAULT 0,
    pid INTEGER NOT NULL,
    boot_id TEXT NOT NULL
))";

// The games of the evening (ended is empty for the one being played) and their numbers in the
// order drawn, positions from 1.
constexpr auto createGames = R"(
CREATE TABLE IF NOT EXISTS games (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started TEXT NOT NULL,
    ended TEXT
))";
constexpr auto createDrawn = R"(
CREATE TABLE IF NOT EXISTS drawn (
    game INTEGER NOT NULL REFERENCES games(id),
    position INTEGER NOT NULL,
    number INTEGER NOT NULL CHECK (number BETWEEN 1 AND 90),
    UNIQUE (game, number)
))";

// Every column that holds a time.
constexpr std::array<std::pair<const char *, const char *>, 4> timeColumns{{
    {"print_runs", "started"},
    {"print_runs", "ended"},
    {"games", "started"},
    {"games", "ended"},
}};

// Times written with no zone (the game store wrote local time) or with an offset, in UTC. A
// text that is no time at all is left as it was: nothing is lost.
bool timesToUtc(QSqlDatabase db, QSqlError *error) {
    for (const auto &[table, column] : timeColumns) {
        QSqlQuery select(db);
        if (!select.exec(QStringLiteral("SELECT rowid, %2 FROM %1 WHERE %2 IS NOT NULL")
                             .arg(QLatin1String(table), QLatin1String(column)))) {
            return Transaction::failed(select, error);
        }
        QList<std::pair<qint64, QString>> moved;
        while (select.next()) {
            const QString text = select.value(1).toString();
            const QString utc = RegisterTime::stored(RegisterTime::read(text));
            if (!utc.isEmpty() && utc != text) {
                moved.append({select.value(0).toLongLong(), utc});
            }
        }
        if (!Transaction::readToEnd(select, error)) {
            return false;
        }
        QSqlQuery update(db);
        update.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                           .arg(QLatin1String(table), QLatin1String(column)));
        for (const auto &[row, utc] : moved) {
            update.addBindValue(utc);
            update.addBindValue(row);
            if (!update.exec()) {
                return Transaction::failed(update, error);
            }
        }
    }
    return true;
}

// Version 1: the print register and the game of the evening in one schema, every time in UTC.
// A database from before has the print register's table, perhaps the game's, and the game's
// times in local time.
bool toVersion1(QSqlDatabase db, QSqlError *error) {
    QSqlQuery create(db);
    for (const char *statement : {createRuns, createGames, createDrawn}) {
        if (!create.exec(QLatin1String(statement))) {
            return Transaction::failed(create, error);
        }
    }
    return timesToUtc(db, error);
}

using Step = bool (*)(QSqlDatabase, QSqlError *);
// steps[n] brings version n to n + 1.
constexpr std::array<Step, schemaVersion> steps{toVersion1};

QString uniqueConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("velmora-registro-%1").arg(counter.fetchAndAddRelaxed(1));
}

// SQLite's "busy" and "locked": the file is in use, not damaged.
bool isBusy(const QSqlError &error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

} // namespace

QString RegisterDatabase::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(fileName);
}

RegisterDatabase::RegisterDatabase(const QString &path)
    : m_path(path), m_connectionName(uniqueConnectionName()) {
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(driverName))) {
        m_error = QStringLiteral("Il registro delle stampe non è disponibile: manca il driver "
                                 "SQLite di Qt (pacchetto libqt6sql6-sqlite).");
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_db = QSqlDatabase::addDatabase(QLatin1String(driverName), m_connectionName);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    QString why;
    if (openAndPrepare(&why)) {
        return;
    }
    // Another program holding the database for a moment is no damage, nor is a sound file that
    // cannot be brought to this version: nothing is set aside, nothing is written.
    if (m_busy) {
        m_db.close();
        m_error = QStringLiteral("Il registro delle stampe \"%1\" è occupato da un altro "
                                 "programma: %2.")
                      .arg(QDir::toNativeSeparators(path), why);
        return;
    }
    if (m_keep) {
        m_db.close();
        m_error = QStringLiteral("Il registro delle stampe \"%1\" %2.")
                      .arg(QDir::toNativeSeparators(path), why);
        return;
    }
    // Damaged or unreadable: keep it for whoever wants to look, and start afresh.
    const bool existed = QFileInfo::exists(path);
    m_db.close();
    const QString aside = existed ? setAside() : QString();
    if (existed && aside.isEmpty()) {
        m_error = QStringLiteral("Il registro delle stampe \"%1\" è danneggiato (%2) e non è "
                                 "stato possibile metterlo da parte.")
                      .arg(QDir::toNativeSeparators(path), why);
        return;
    }
    QString again;
    if (!openAndPrepare(&again)) {
        m_db.close();
        m_error = QStringLiteral("Impossibile aprire il registro delle stampe \"%1\": %2.")
                      .arg(QDir::toNativeSeparators(path), again);
        return;
    }
    if (existed) {
        m_setAside = aside;
        m_notice = QStringLiteral("Il registro delle stampe \"%1\" era danneggiato (%2). È stato "
                                  "conservato come \"%3\" e ne è stato iniziato uno nuovo.")
                       .arg(QDir::toNativeSeparators(path), why, QDir::toNativeSeparators(aside));
    }
}

RegisterDatabase::~RegisterDatabase() {
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool RegisterDatabase::failed(const QSqlError &error, QString *why) {
    *why = error.text();
    m_busy = isBusy(error);
    m_keep = m_keep || m_busy;
    return false;
}

bool RegisterDatabase::openAndPrepare(QString *why) {
    m_keep = false;
    m_busy = false;
    if (!m_db.open()) {
        return failed(m_db.lastError(), why);
    }
    // A file that is not a database opens without complaint; the first read finds it out.
    QSqlQuery check(m_db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        return failed(check.lastError(), why);
    }
    if (check.value(0).toString() != QLatin1String("ok")) {
        *why = check.value(0).toString();
        return false;
    }
    check.finish();
    QSqlQuery wal(m_db);
    if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        return failed(wal.lastError(), why);
    }
    wal.finish();
    return migrate(why);
}

bool RegisterDatabase::migrate(QString *why) {
    QSqlQuery read(m_db);
    if (!read.exec(QStringLiteral("PRAGMA user_version")) || !read.next()) {
        return failed(read.lastError(), why);
    }
    const int found = read.value(0).toInt();
    read.finish();
    // The file is sound (it passed the check above): whatever happens now, it is never set
    // aside as damaged.
    m_keep = true;
    if (found > schemaVersion) {
        *why = QStringLiteral("è stato scritto da una versione più recente del programma "
                              "(schema %1, questa versione conosce fino allo schema %2)")
                   .arg(found)
                   .arg(schemaVersion);
        return false;
    }
    for (int version = found; version < schemaVersion; ++version) {
        QSqlError error;
        const bool done = Transaction::run(
            m_db,
            [this, version](QSqlError *stepError) {
                if (!steps.at(std::size_t(version))(m_db, stepError)) {
                    return false;
                }
                // PRAGMA takes no bound value; the number is ours.
                QSqlQuery write(m_db);
                return write.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1)) ||
                       Transaction::failed(write, stepError);
            },
            &error);
        if (!done) {
            failed(error, why);
            *why = QStringLiteral("non è stato possibile aggiornarlo alla versione %1: %2")
                       .arg(version + 1)
                       .arg(*why);
            return false;
        }
    }
    return true;
}

int RegisterDatabase::currentSchemaVersion() {
    return schemaVersion;
}

QString RegisterDatabase::setAside() {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QStringLiteral("%1.danneggiato-%2").arg(m_path, stamp);
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = QStringLiteral("%1.danneggiato-%2-%3").arg(m_path, stamp).arg(n);
    }
    if (!QFile::rename(m_path, target)) {
        return {};
    }
    // The log files belong to the damaged database: they go with it, never into the new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(companion)) {
            QFile::rename(companion, target + QLatin1String(suffix));
        }
    }
    return target;
}

} // namespace velmora
