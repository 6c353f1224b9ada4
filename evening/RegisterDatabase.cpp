#include "evening/RegisterDatabase.h"

#include "errors/MessagePresenter.h"
#include "evening/RegisterSchema.h"

#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {
namespace {

constexpr auto fileName = "registro.sqlite";
constexpr auto driverName = "QSQLITE";

// How long a change waits for another program holding the register before giving up.
constexpr int busyTimeoutMs = 5000;

QString uniqueConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("velmora-registro-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

QString RegisterDatabase::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(fileName);
}

RegisterDatabase::RegisterDatabase(const QString &path)
    : m_path(path), m_connectionName(uniqueConnectionName()) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(driverName))) {
        m_reason = QStringLiteral("manca il driver SQLite di Qt (pacchetto libqt6sql6-sqlite)");
        m_error = QStringLiteral("Il registro delle stampe non è disponibile: %1.").arg(m_reason);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_db = QSqlDatabase::addDatabase(QLatin1String(driverName), m_connectionName);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (openAndPrepare()) {
        return;
    }
    m_db.close();
    // Only a file SQLite calls damaged, or another program's database, is set aside; a full
    // disk, a read-only medium, a lock or missing permissions leave it exactly as it is.
    const bool existed = QFileInfo::exists(path);
    if ((!m_damaged && !m_foreign) || !existed) {
        m_error = QStringLiteral("Il registro delle stampe \"%1\" non si può usare: %2.")
                      .arg(shown, m_reason);
        return;
    }
    const QString aside = setAside(m_foreign ? "estraneo" : "danneggiato");
    if (aside.isEmpty()) {
        m_error = QStringLiteral("Il registro delle stampe \"%1\" non si può usare (%2) e non è "
                                 "stato possibile metterlo da parte.")
                      .arg(shown, m_reason);
        return;
    }
    const QString found = m_foreign ? QStringLiteral("Il file \"%1\" non è un registro delle "
                                                     "stampe di Velmora")
                                    : QStringLiteral("Il registro delle stampe \"%1\" è "
                                                     "danneggiato");
    m_setAside = aside;
    m_notice = (found + QStringLiteral(": è stato conservato come \"%2\" e ne è stato iniziato "
                                       "uno nuovo al suo posto."))
                   .arg(shown, QDir::toNativeSeparators(QFileInfo(aside).absoluteFilePath()));
    m_damaged = m_foreign = false;
    if (!openAndPrepare()) {
        m_db.close();
        m_error = QStringLiteral("Impossibile creare il registro delle stampe \"%1\": %2.")
                      .arg(shown, m_reason);
    }
}

RegisterDatabase::~RegisterDatabase() {
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool RegisterDatabase::failed(const QSqlError &error) {
    m_reason = RegisterFailure::reason(error, m_path);
    m_failure = RegisterFailure::kind(error, m_path);
    m_damaged = m_failure == RegisterFailure::Kind::Damaged;
    return false;
}

bool RegisterDatabase::openAndPrepare() {
    if (!m_db.open()) {
        return failed(m_db.lastError());
    }
    // A file that is not a database opens without complaint; the first read finds it out.
    QSqlQuery check(m_db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        return failed(check.lastError());
    }
    if (check.value(0).toString() != QLatin1String("ok")) {
        // The check's own report is many lines of SQLite's English: the user is told only that
        // the file is damaged.
        m_damaged = true;
        m_reason = QStringLiteral("il file del registro è danneggiato");
        return false;
    }
    check.finish();
    QSqlQuery read(m_db);
    if (!read.exec(QStringLiteral("PRAGMA user_version")) || !read.next()) {
        return failed(read.lastError());
    }
    const int found = read.value(0).toInt();
    read.finish();
    if (found > RegisterSchema::version()) {
        m_reason = QStringLiteral("è stato scritto da una versione più recente del programma "
                                  "(schema %1, questa versione conosce fino allo schema %2)")
                       .arg(found)
                       .arg(RegisterSchema::version());
        return false;
    }
    QSqlError error;
    if (!RegisterSchema::isForeign(m_db, &m_foreign, &error)) {
        return failed(error);
    }
    if (m_foreign) {
        m_reason = QStringLiteral("il file non è un registro delle stampe di Velmora");
        return false;
    }
    QSqlQuery wal(m_db);
    if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        return failed(wal.lastError());
    }
    wal.finish();
    return migrate(found);
}

bool RegisterDatabase::keepCopyBeforeUpgrade() {
    QSqlQuery tables(m_db);
    if (!tables.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !tables.next()) {
        return failed(tables.lastError());
    }
    if (tables.value(0).toInt() == 0) {
        return true; // a new file: nothing of the user's to keep
    }
    tables.finish();
    const QString base =
        QStringLiteral("%1.prima-della-versione-%2").arg(m_path).arg(RegisterSchema::version());
    QString copy = base;
    for (int n = 2; QFileInfo::exists(copy); ++n) {
        copy = QStringLiteral("%1-%2").arg(base).arg(n);
    }
    // SQLite's own copy: one whole file, with what the write-ahead log still holds.
    QSqlQuery vacuum(m_db);
    vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
    vacuum.addBindValue(copy);
    if (!vacuum.exec()) {
        failed(vacuum.lastError());
        QFile::remove(copy);
        m_reason = QStringLiteral("non è stato possibile conservarne una copia prima di "
                                  "aggiornarlo (%1)")
                       .arg(m_reason);
        return false;
    }
    const QString said =
        QStringLiteral("Il registro delle stampe \"%1\" è stato aggiornato alla versione %2 di "
                       "questo programma; com'era prima è conservato in \"%3\".")
            .arg(QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()))
            .arg(RegisterSchema::version())
            .arg(QDir::toNativeSeparators(QFileInfo(copy).absoluteFilePath()));
    m_notice = m_notice.isEmpty() ? said : m_notice + QLatin1Char('\n') + said;
    return true;
}

bool RegisterDatabase::migrate(int found) {
    // The older file is copied beside it before the first step changes it.
    if (found < RegisterSchema::version() && !keepCopyBeforeUpgrade()) {
        return false;
    }
    for (int version = found; version < RegisterSchema::version(); ++version) {
        QSqlError error;
        const bool done = Transaction::run(
            m_db,
            [this, version](QSqlError *stepError) {
                if (!RegisterSchema::step(m_db, version, stepError)) {
                    return false;
                }
                // PRAGMA takes no bound value; the number is ours.
                QSqlQuery write(m_db);
                return write.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1)) ||
                       Transaction::failed(write, stepError);
            },
            &error);
        if (!done) {
            failed(error);
            m_reason = QStringLiteral("non è stato possibile aggiornarlo alla versione %1 (%2)")
                           .arg(version + 1)
                           .arg(m_reason);
            return false;
        }
    }
    return true;
}

int RegisterDatabase::currentSchemaVersion() {
    return RegisterSchema::version();
}

QString RegisterDatabase::setAside(const char *tag) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QStringLiteral("%1.%2-%3").arg(m_path, QLatin1String(tag), stamp);
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = QStringLiteral("%1-%2").arg(base).arg(n);
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

std::unique_ptr<RegisterDatabase> RegisterDatabase::openTelling(QWidget *parent,
                                                                MessagePresenter &messages) {
    auto database = std::make_unique<RegisterDatabase>();
    if (!database->notice().isEmpty()) {
        messages.avviso(parent, database->notice());
    }
    if (!database->isOpen()) {
        messages.avviso(parent, database->error());
        return nullptr;
    }
    return database;
}

} // namespace velmora