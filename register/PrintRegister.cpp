#include "register/PrintRegister.h"

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

constexpr auto selectRuns = R"(
SELECT id, program, started, ended, archive_path, archive_size, archive_sha256, archive_cards,
       first_card, cards_asked, last_card, archive_numbering, landscape, destination, outcome,
       cards_drawn, delivered, pid, boot_id
FROM print_runs)";

QString timeText(const QDateTime &time) {
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

RunRecord fromRow(const QSqlQuery &q) {
    RunRecord r;
    int c = 0;
    r.id = q.value(c++).toLongLong();
    r.program = q.value(c++).toString();
    r.started = QDateTime::fromString(q.value(c++).toString(), Qt::ISODateWithMs);
    r.ended = QDateTime::fromString(q.value(c++).toString(), Qt::ISODateWithMs);
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

qint64 PrintRegister::begin(const RunRecord &run) {
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return 0;
    }
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral(
        "INSERT INTO print_runs (program, started, archive_path, archive_size, archive_sha256, "
        "archive_cards, first_card, cards_asked, last_card, archive_numbering, landscape, "
        "destination, outcome, cards_drawn, delivered, pid, boot_id) VALUES (?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?)"));
    for (const QVariant &value :
         {QVariant(run.program), QVariant(timeText(run.started)), QVariant(run.archivePath),
          QVariant(run.archiveSize), QVariant(run.archiveSha256), QVariant(run.archiveCards),
          QVariant(run.firstCard), QVariant(run.cardsAsked), QVariant(run.lastCard),
          QVariant(run.archiveNumbering), QVariant(run.landscape), QVariant(run.destination),
          QVariant(RunRecord::outcomeKey(RunRecord::Outcome::InProgress)),
          QVariant(QCoreApplication::applicationPid()), QVariant(currentBootId())}) {
        q.addBindValue(value);
    }
    if (!q.exec()) {
        m_error = q.lastError().text();
        m_db.rollback();
        return 0;
    }
    const qint64 id = q.lastInsertId().toLongLong();
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return 0;
    }
    return id;
}

bool PrintRegister::finish(qint64 id, RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("UPDATE print_runs SET outcome = ?, cards_drawn = ?, delivered = ?, "
                             "ended = ? WHERE id = ?"));
    q.addBindValue(RunRecord::outcomeKey(outcome));
    q.addBindValue(cardsDrawn);
    q.addBindValue(delivered);
    q.addBindValue(timeText(QDateTime::currentDateTimeUtc()));
    q.addBindValue(id);
    if (!q.exec() || q.numRowsAffected() != 1) {
        m_error = q.lastError().isValid()
                      ? q.lastError().text()
                      : QStringLiteral("la stampa n. %1 non è nel registro").arg(id);
        m_db.rollback();
        return false;
    }
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return false;
    }
    return true;
}

QList<RunRecord> PrintRegister::runs() const {
    QList<RunRecord> result;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QLatin1String(selectRuns) + QStringLiteral(" ORDER BY id DESC"))) {
        m_error = q.lastError().text();
        return result;
    }
    while (q.next()) {
        result.append(fromRow(q));
    }
    return result;
}

QList<RunRecord> PrintRegister::markInterrupted() {
    QList<RunRecord> marked;
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return marked;
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QLatin1String(selectRuns) + QStringLiteral(" WHERE outcome = 'in_progress'"))) {
        m_error = q.lastError().text();
        m_db.rollback();
        return marked;
    }
    QList<RunRecord> candidates;
    while (q.next()) {
        candidates.append(fromRow(q));
    }
    q.finish();
    QSqlQuery update(m_db);
    update.prepare(QStringLiteral("UPDATE print_runs SET outcome = ? WHERE id = ?"));
    for (RunRecord run : candidates) {
        if (mayBeRunning(run)) {
            continue;
        }
        update.addBindValue(RunRecord::outcomeKey(RunRecord::Outcome::Interrupted));
        update.addBindValue(run.id);
        if (!update.exec()) {
            m_error = update.lastError().text();
            m_db.rollback();
            return {};
        }
        run.outcome = RunRecord::Outcome::Interrupted;
        marked.append(run);
    }
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return {};
    }
    return marked;
}

} // namespace velmora
