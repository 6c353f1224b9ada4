#include "register/PrintRegister.h"

#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <cerrno>
#include <csignal>

namespace velmora {
namespace {

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

constexpr auto selectRuns = R"(
SELECT id, program, started, ended, archive_path, archive_size, archive_sha256, archive_cards,
       first_card, cards_asked, last_card, archive_numbering, landscape, destination, outcome,
       cards_drawn, delivered, pid, boot_id
FROM print_runs)";

RunRecord fromRow(const QSqlQuery &q) {
    RunRecord r;
    int c = 0;
    r.id = q.value(c++).toLongLong();
    r.program = q.value(c++).toString();
    r.started = RegisterTime::read(q.value(c++).toString());
    r.ended = RegisterTime::read(q.value(c++).toString());
    r.archivePath = q.value(c++).toString();
    r.archiveSize = q.value(c++).toLongLong();
    r.archiveSha256 = q.value(c++).toString();
    r.archiveCards = q.value(c++).toLongLong();
    r.firstCard = q.value(c++).toInt();
    r.cardsAsked = q.value(c++).toInt();
    r.lastCard = q.value(c++).toInt();
    r.archiveNumbering = q.value(c++).toBool();
    r.landscape = q.value(c++).toBool();
    r.destination = q.value(c++).toString();
    // An outcome this program does not know (a newer one wrote it) reads as unknown: failed.
    r.outcome =
        RunRecord::outcomeFromKey(q.value(c++).toString()).value_or(RunRecord::Outcome::Failed);
    r.cardsDrawn = q.value(c++).toInt();
    r.delivered = q.value(c++).toBool();
    r.pid = q.value(c++).toLongLong();
    r.bootId = q.value(c++).toString();
    return r;
}

} // namespace

QString PrintRegister::currentBootId() {
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed())
                                          : QString();
}

bool PrintRegister::mayBeRunning(const RunRecord &run) {
    if (run.bootId != currentBootId() || run.pid <= 0) {
        return false;
    }
    return ::kill(pid_t(run.pid), 0) == 0 || errno == EPERM;
}

bool PrintRegister::change(const std::function<bool(QSqlError *)> &work) {
    return Transaction::run(m_db, work, &m_error, &m_failure);
}

qint64 PrintRegister::begin(const RunRecord &run) {
    qint64 id = 0;
    const bool done = change([this, &run, &id](QSqlError *error) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral(
            "INSERT INTO print_runs (program, started, archive_path, archive_size, "
            "archive_sha256, archive_cards, first_card, cards_asked, last_card, "
            "archive_numbering, landscape, destination, outcome, cards_drawn, delivered, pid, "
            "boot_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?)"));
        for (const QVariant &value :
             {QVariant(run.program), QVariant(RegisterTime::stored(run.started)),
              QVariant(run.archivePath), QVariant(run.archiveSize), QVariant(run.archiveSha256),
              QVariant(run.archiveCards), QVariant(run.firstCard), QVariant(run.cardsAsked),
              QVariant(run.lastCard), QVariant(run.archiveNumbering), QVariant(run.landscape),
              QVariant(run.destination),
              QVariant(RunRecord::outcomeKey(RunRecord::Outcome::InProgress)),
              QVariant(QCoreApplication::applicationPid()), QVariant(currentBootId())}) {
            q.addBindValue(value);
        }
        if (!q.exec()) {
            return Transaction::failed(q, error);
        }
        id = q.lastInsertId().toLongLong();
        return true;
    });
    return done ? id : 0;
}

bool PrintRegister::finish(qint64 id, RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    return change([&](QSqlError *error) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("UPDATE print_runs SET outcome = ?, cards_drawn = ?, "
                                 "delivered = ?, ended = ? WHERE id = ?"));
        q.addBindValue(RunRecord::outcomeKey(outcome));
        q.addBindValue(cardsDrawn);
        q.addBindValue(delivered);
        q.addBindValue(RegisterTime::stored(QDateTime::currentDateTimeUtc()));
        q.addBindValue(id);
        if (!q.exec()) {
            return Transaction::failed(q, error);
        }
        return q.numRowsAffected() == 1 ||
               Transaction::refused(QStringLiteral("la corsa n. %1 non è nel registro").arg(id),
                                    error);
    });
}

QList<RunRecord> PrintRegister::read(const QString &where, QSqlError *error) const {
    QList<RunRecord> result;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QLatin1String(selectRuns) + where)) {
        Transaction::failed(q, error);
        return {};
    }
    while (q.next()) {
        result.append(fromRow(q));
    }
    // A read cut short is an error, never fewer runs.
    return Transaction::readToEnd(q, error) ? result : QList<RunRecord>();
}

QList<RunRecord> PrintRegister::runs() const {
    m_error.clear();
    QSqlError error;
    const QList<RunRecord> result = read(QStringLiteral(" ORDER BY id DESC"), &error);
    if (error.isValid()) {
        m_error = RegisterFailure::reason(error, m_db.databaseName());
        m_failure = RegisterFailure::kind(error, m_db.databaseName());
    }
    return result;
}

QList<RunRecord> PrintRegister::markInterrupted() {
    QList<RunRecord> marked;
    const bool done = change([this, &marked](QSqlError *error) {
        const QList<RunRecord> candidates =
            read(QStringLiteral(" WHERE outcome = 'in_progress'"), error);
        if (error->isValid()) {
            return false;
        }
        QSqlQuery update(m_db);
        update.prepare(QStringLiteral("UPDATE print_runs SET outcome = ? WHERE id = ?"));
        for (RunRecord run : candidates) {
            if (mayBeRunning(run)) {
                continue;
            }
            update.addBindValue(RunRecord::outcomeKey(RunRecord::Outcome::Interrupted));
            update.addBindValue(run.id);
            if (!update.exec()) {
                return Transaction::failed(update, error);
            }
            run.outcome = RunRecord::Outcome::Interrupted;
            marked.append(run);
        }
        return true;
    });
    return done ? marked : QList<RunRecord>();
}

QString PrintRegister::createTable() {
    return QString::fromLatin1(createRuns);
}

QStringList PrintRegister::columns() {
    return QStringLiteral("id program started ended archive_path archive_size archive_sha256 "
                          "archive_cards first_card cards_asked last_card archive_numbering "
                          "landscape destination outcome cards_drawn delivered pid boot_id")
        .split(u' ');
}

} // namespace velmora
