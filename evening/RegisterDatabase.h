#pragma once

#include "register/RegisterFailure.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

class QWidget;

class QSqlError;

namespace velmora {

class MessagePresenter;

// The program's own database (registro.sqlite in the user's data folder): the print register
// and the game of the evening, in one schema whose version is kept in PRAGMA user_version.
// Opening it sets write-ahead logging and brings an older schema up to this one, step by step
// (times once kept in local time are then kept in UTC), after keeping a copy of the older file
// beside it, said once in notice(). A file SQLite finds damaged, or another
// program's database, is set aside under a new name, never deleted, and a new database is
// started in its place; notice() then says so in Italian, naming both files. A file that is in
// use, on a full disk or a read-only medium, not readable for its permissions, written by a
// newer version or that cannot be brought up to date is left as it is and not opened. Each instance
// has its own connection, closed and removed when the instance goes.
class RegisterDatabase {
public:
    // ~/.local/share/velmora/registro.sqlite: the data folder the archive is also looked for in.
    static QString defaultPath();

    explicit RegisterDatabase(const QString &path = defaultPath());
    ~RegisterDatabase();
    RegisterDatabase(const RegisterDatabase &) = delete;
    RegisterDatabase &operator=(const RegisterDatabase &) = delete;

    // False when not even a new database could be made (no SQLite driver, a folder that cannot
    // be written, or one held by another program), or the one found is of a newer version or
    // cannot be brought up to date: error() says why.
    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase connection() const { return m_db; }
    QString path() const { return m_path; }

    // Set when the file found was set aside: where it went, and that a new one was started.
    QString notice() const { return m_notice; }
    QString setAsidePath() const { return m_setAside; }
    QString error() const { return m_error; }
    // Why it is not open, as one Italian clause ("il disco è pieno").
    QString reason() const { return m_reason; }
    RegisterFailure::Kind failure() const { return m_failure; }

    // The register at its usual place, for a window that reads it: a set-aside notice, or why it
    // is not open, is told through messages; nullptr when it is not open.
    static std::unique_ptr<RegisterDatabase> openTelling(QWidget *parent,
                                                         MessagePresenter &messages);

    // The schema version this program writes.
    static int currentSchemaVersion();

private:
    bool openAndPrepare();
    bool migrate(int found);
    // Copies an older register beside it (registro.sqlite.prima-della-versione-N) and says so in
    // notice(); false, with the reason, when the copy cannot be made.
    bool keepCopyBeforeUpgrade();
    bool failed(const QSqlError &error);
    QString setAside(const char *tag);

    QString m_path;
    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_notice;
    QString m_setAside;
    QString m_error;
    QString m_reason;
    RegisterFailure::Kind m_failure = RegisterFailure::Kind::Other;
    bool m_damaged = false; // SQLite says so: set aside
    bool m_foreign = false; // another program's database: set aside, never written
};

} // namespace velmora
