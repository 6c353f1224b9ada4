#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace velmora {

// The program's own database (registro.sqlite in the user's data folder): the print register
// and whatever else must outlast a session. Opening it sets write-ahead logging and makes the
// tables it lacks. A file that cannot be opened or is damaged is set aside under a new name,
// never deleted, and a new database is started in its place; notice() then says so in Italian.
// Each instance has its own connection, closed and removed when the instance goes.
class RegisterDatabase {
public:
    // ~/.local/share/velmora/registro.sqlite: the data folder the archive is also looked for in.
    static QString defaultPath();

    explicit RegisterDatabase(const QString &path = defaultPath());
    ~RegisterDatabase();
    RegisterDatabase(const RegisterDatabase &) = delete;
    RegisterDatabase &operator=(const RegisterDatabase &) = delete;

    // False when not even a new database could be made (no SQLite driver, a folder that cannot
    // be written, or one held by another program): error() says why.
    bool isOpen() const { return m_db.isOpen(); }
    QSqlDatabase connection() const { return m_db; }
    QString path() const { return m_path; }

    // Set when the file found was set aside: where it went, and that a new one was started.
    QString notice() const { return m_notice; }
    QString setAsidePath() const { return m_setAside; }
    QString error() const { return m_error; }

private:
    bool openAndPrepare(QString *why);
    bool failed(const QSqlError &error, QString *why);
    QString setAside();

    QString m_path;
    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_notice;
    QString m_setAside;
    QString m_error;
    bool m_busy = false;
};

} // namespace velmora
