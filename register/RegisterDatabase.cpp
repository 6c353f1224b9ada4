#include "register/RegisterDatabase.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace velmora {
namespace {

constexpr auto fileName = "registro.sqlite";
constexpr auto driverName = "QSQLITE";

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
    // Another program holding the database for a moment is no damage: nothing is set aside.
    if (m_busy) {
        m_db.close();
        m_error = QStringLiteral("Il registro delle stampe \"%1\" è occupato da un altro "
                                 "programma: %2.")
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
    return false;
}

bool RegisterDatabase::openAndPrepare(QString *why) {
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
    if (!m_db.transaction()) {
        return failed(m_db.lastError(), why);
    }
    QSqlQuery create(m_db);
    if (!create.exec(QLatin1String(createRuns))) {
        const QSqlError error = create.lastError();
        m_db.rollback();
        return failed(error, why);
    }
    if (!m_db.commit()) {
        return failed(m_db.lastError(), why);
    }
    return true;
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
