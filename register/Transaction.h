#pragma once

#include "register/RegisterFailure.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <functional>

class QSqlQuery;

namespace velmora {

// One change to the register's database, whole or not at all: the work runs between BEGIN and
// COMMIT, and anything short of a commit rolls back.
class Transaction {
public:
    // The work gives false when a step failed, with the reason in *error. False here, with
    // *error set, when the work or the commit failed; the error keeps SQLite's own code, so
    // that a database in use can be told from a damaged one.
    static bool run(QSqlDatabase db, const std::function<bool(QSqlError *error)> &work,
                    QSqlError *error);
    // As run(), the failure said in the user's words: *reason (one Italian clause, cleared
    // first) and *kind, so that a register in use can be told from a damaged one.
    static bool run(QSqlDatabase db, const std::function<bool(QSqlError *error)> &work,
                    QString *reason, RegisterFailure::Kind *kind);

    // For the work's steps: a query that failed gives false and its error as the reason.
    static bool failed(const QSqlQuery &query, QSqlError *error);
    // A read that stepped through its rows: false, with the reason, when it stopped on an error
    // rather than at the end of the rows.
    static bool readToEnd(const QSqlQuery &query, QSqlError *error);
    // A reason that is not the database's own ("la corsa n. 4 non è nel registro").
    static bool refused(const QString &reason, QSqlError *error);
};

} // namespace velmora
