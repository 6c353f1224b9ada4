#include "register/Transaction.h"

#include <QSqlQuery>

namespace velmora {

namespace {

// BEGIN, COMMIT and ROLLBACK as statements of their own: QSqlDatabase's transaction() and
// commit() drop SQLite's result code, and a full disk or a lock found at the commit would then
// read as an unknown failure.
bool statement(QSqlDatabase db, const char *sql, QSqlError *error) {
    QSqlQuery query(db);
    if (query.exec(QLatin1String(sql))) {
        return true;
    }
    *error = query.lastError();
    return false;
}

} // namespace

bool Transaction::run(QSqlDatabase db, const std::function<bool(QSqlError *error)> &work,
                      QSqlError *error) {
    if (!statement(db, "BEGIN", error)) {
        return false;
    }
    QSqlError reason;
    QSqlError ignored;
    if (!work(&reason)) {
        statement(db, "ROLLBACK", &ignored);
        *error = reason.isValid() ? reason
                                  : QSqlError(QString(), QStringLiteral("errore sconosciuto"),
                                              QSqlError::UnknownError);
        return false;
    }
    if (!statement(db, "COMMIT", error)) {
        statement(db, "ROLLBACK", &ignored);
        return false;
    }
    return true;
}

bool Transaction::failed(const QSqlQuery &query, QSqlError *error) {
    *error = query.lastError();
    return false;
}

bool Transaction::readToEnd(const QSqlQuery &query, QSqlError *error) {
    return !query.lastError().isValid() || failed(query, error);
}

bool Transaction::refused(const QString &reason, QSqlError *error) {
    *error = QSqlError(QString(), reason, QSqlError::UnknownError);
    return false;
}

bool Transaction::run(QSqlDatabase db, const std::function<bool(QSqlError *error)> &work,
                      QString *reason, RegisterFailure::Kind *kind) {
    reason->clear();
    QSqlError error;
    if (!run(db, work, &error)) {
        *reason = RegisterFailure::reason(error, db.databaseName());
        *kind = RegisterFailure::kind(error, db.databaseName());
        return false;
    }
    return true;
}

} // namespace velmora
