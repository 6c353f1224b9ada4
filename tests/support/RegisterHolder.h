#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace velmora::testing {

// Another program's connection holding the register with BEGIN EXCLUSIVE until released (or
// destroyed); name is the connection's, one per lock held at once.
class RegisterHolder {
public:
    explicit RegisterHolder(const QString &path, const QString &name = QStringLiteral("lock"))
        : m_name(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_held = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    RegisterHolder(const RegisterHolder &) = delete;
    RegisterHolder &operator=(const RegisterHolder &) = delete;
    ~RegisterHolder() { release(); }
    bool held() const { return m_held; }
    void release() {
        if (QSqlDatabase::contains(m_name)) {
            {
                QSqlDatabase db = QSqlDatabase::database(m_name);
                QSqlQuery(db).exec(QStringLiteral("COMMIT"));
                db.close();
            }
            QSqlDatabase::removeDatabase(m_name);
        }
    }

private:
    QString m_name;
    bool m_held = false;
};

} // namespace velmora::testing
