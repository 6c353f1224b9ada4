#pragma once

#include "register/RegisterFailure.h"
#include "register/RunRecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

class QSqlError;

namespace velmora {

// The print register over an open database (RegisterDatabase): every change is one
// transaction; nothing here throws. A false or 0 result, or a list given while lastError() is
// set, is a failure: lastError() says why, as one Italian clause (empty after a call that
// succeeded). A register that
// cannot be read never reads as an empty one.
class PrintRegister {
public:
    explicit PrintRegister(QSqlDatabase db) : m_db(std::move(db)) {}

    // Writes the run as in progress, with this process's id; gives the new entry's id, or 0.
    qint64 begin(const RunRecord &run);
    // Completes the entry: outcome, cards drawn, whether they were handed on, the end time.
    bool finish(qint64 id, RunRecord::Outcome outcome, int cardsDrawn, bool delivered);

    // Every run, newest first; empty with lastError() when the register cannot be read.
    QList<RunRecord> runs() const;

    // Entries left in progress by a program that is no longer running (killed, or the machine
    // went down) are marked interrupted; gives them as they are now. A run of another program
    // still at work is left alone.
    QList<RunRecord> markInterrupted();

    // The statement that makes the register's table of runs, and the table's columns: the
    // register's schema makes it and knows it by them.
    static QString createTable();
    static QStringList columns();

    QString lastError() const { return m_error; }
    RegisterFailure::Kind lastFailure() const { return m_failure; }

    // Whether the run's program may still be at work: same boot, process alive.
    static bool mayBeRunning(const RunRecord &run);
    static QString currentBootId();

private:
    bool change(const std::function<bool(QSqlError *)> &work);
    QList<RunRecord> read(const QString &where, QSqlError *error) const;

    QSqlDatabase m_db;
    mutable QString m_error;
    mutable RegisterFailure::Kind m_failure = RegisterFailure::Kind::Other;
};

} // namespace velmora
