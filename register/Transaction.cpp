#include "register/Transaction.h"

#include <QSqlQuery>

namespace velmora {

bool Transaction::run(QSqlDatabase db, const std::function<bool(QSqlError *error)> &work,
                      QSqlError *error) {
    if (!db.transaction()) {
        *error = db.lastError();
        return false;
    }
    QSqlError reason;
    if (!work(&reason)) {
        db.rollback();
        *error = reason.isValid() ? reason
                                  : QSqlError(QString(), QStringLiteral("errore sconosciuto"),
                                              QSqlError::UnknownError);
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError();
        db.rollback();
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
