#include "evening/RunRegistration.h"

#include "evening/EveningStore.h"
#include "register/ArchiveFingerprint.h"
#include "register/RegisterTime.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace velmora {
namespace {

// What the user has already been told in this process: the same fault is said once, however
// many runs it keeps out of the register.
QSet<QString> s_told;

// A register held by another program is tried again this many times when the run ends, each
// try waiting the register's own busy timeout: a lock of a few seconds loses nothing, and a
// run never waits without end.
constexpr int completionTries = 3;

// A run's end that found the register held by another program, still to be written.
struct Waiting {
    QString databasePath;
    qint64 id = 0; // 0: the entry was never begun
    RunRecord run; // with its outcome, cards drawn and delivery
};
QList<Waiting> s_waiting;

QString shown(const QString &databasePath) {
    return QDir::toNativeSeparators(QFileInfo(databasePath).absoluteFilePath());
}

// Every run belongs to the current evening (begun on first need).
void joinEvening(QSqlDatabase db, qint64 id, QStringList *notices) {
    EveningStore evenings(db);
    if (!evenings.addRun(id)) {
        notices->append(QStringLiteral("La corsa n. %1 è nel registro ma non nella serata "
                                       "corrente: %2.")
                            .arg(id)
                            .arg(evenings.lastError()));
    }
}

// Begins the entry (in the current evening) when it has none, then writes the end of the run.
bool writeEnd(QSqlDatabase db, PrintRegister &reg, qint64 &id, const RunRecord &run,
              QStringList *notices) {
    if (id == 0) {
        id = reg.begin(run);
        if (id != 0) {
            joinEvening(db, id, notices);
        }
    }
    return id != 0 && reg.finish(id, run.outcome, run.cardsDrawn, run.delivered);
}

// Writes the waiting ends of the register at databasePath (as shown), dropping those written.
void writeWaiting(QSqlDatabase db, PrintRegister &reg, const QString &databasePath,
                  QStringList *notices) {
    for (qsizetype i = 0; i < s_waiting.size();) {
        Waiting &waiting = s_waiting[i];
        if (shown(waiting.databasePath) == shown(databasePath) &&
            writeEnd(db, reg, waiting.id, waiting.run, notices)) {
            s_waiting.removeAt(i);
        } else {
            ++i;
        }
    }
}

QString lostNotice(const QString &shownPath, const QString &reason) {
    return QStringLiteral("Il registro delle stampe \"%1\" non può essere scritto: %2. Di questa "
                          "corsa non resterà traccia nel registro.")
        .arg(shownPath, reason);
}

} // namespace

RunRegistration::RunRegistration(RunRecord run, const QString &databasePath)
    : m_databasePath(databasePath), m_run(std::move(run)) {
    m_run.started = QDateTime::currentDateTimeUtc();
    const std::optional<ArchiveFingerprint> print = ArchiveFingerprint::of(m_run.archivePath);
    m_run.archivePath = QDir::cleanPath(QFileInfo(m_run.archivePath).absoluteFilePath());
    m_run.archiveSize = print ? print->size : 0;
    m_run.archiveSha256 = print ? print->sha256 : QString();
    if (open()) {
        PrintRegister reg(m_database->connection());
        m_id = reg.begin(m_run);
        if (m_id != 0) {
            joinEvening(m_database->connection(), m_id, &m_notices);
        }
    }
    // A register that cannot be written now is tried again when the run ends; only then is the
    // user told, once, if the entry could not be written at all.
}

RunRegistration::~RunRegistration() = default;

RunJournal::Opener RunRegistration::opener(const QString &databasePath) {
    return [databasePath](RunRecord run) -> std::unique_ptr<RunJournal> {
        return std::make_unique<RunRegistration>(std::move(run), databasePath);
    };
}

QString RunRegistration::shownPath() const {
    return shown(m_databasePath);
}

bool RunRegistration::open() {
    if (m_database && m_database->isOpen()) {
        return true;
    }
    m_database = std::make_unique<RegisterDatabase>(m_databasePath);
    if (!m_database->notice().isEmpty()) {
        m_notices.append(m_database->notice());
    }
    if (!m_database->isOpen()) {
        m_reason = m_database->reason();
        m_busy = m_database->failure() == RegisterFailure::Kind::Busy;
        return false;
    }
    PrintRegister reg(m_database->connection());
    for (const RunRecord &lost : reg.markInterrupted()) {
        m_notices.append(QStringLiteral("La corsa n. %1 del %2 non è terminata: il programma si "
                                        "è chiuso durante la stampa. Nel registro risulta "
                                        "interrotta.")
                             .arg(lost.id)
                             .arg(RegisterTime::shown(lost.started)));
    }
    completeWaitingHere();
    return true;
}

void RunRegistration::completeWaitingHere() {
    PrintRegister reg(m_database->connection());
    writeWaiting(m_database->connection(), reg, m_databasePath, &m_notices);
}

bool RunRegistration::complete() {
    if (!open()) {
        return false;
    }
    PrintRegister reg(m_database->connection());
    // An entry that could not be begun (the register was held, or full, at the start) is
    // written now, whole.
    if (writeEnd(m_database->connection(), reg, m_id, m_run, &m_notices)) {
        return true;
    }
    m_reason = reg.lastError();
    m_busy = reg.lastFailure() == RegisterFailure::Kind::Busy;
    return false;
}

void RunRegistration::finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    m_run.outcome = outcome;
    m_run.cardsDrawn = cardsDrawn;
    m_run.delivered = delivered;
    for (int attempt = 0; attempt < completionTries; ++attempt) {
        m_busy = false;
        if (complete()) {
            return;
        }
        // Only a register held by another program may free itself in a moment.
        if (!m_busy) {
            break;
        }
    }
    if (m_busy) {
        s_waiting.append({m_databasePath, m_id, m_run}); // written later in this process
        return;
    }
    tell(lostNotice(shownPath(), m_reason));
}

QStringList RunRegistration::completeWaiting(int tries) {
    QStringList notices;
    while (!s_waiting.isEmpty()) {
        const QString path = s_waiting.first().databasePath;
        const auto waitingHere = [&path](const Waiting &w) {
            return shown(w.databasePath) == shown(path);
        };
        const auto anyLeft = [&] {
            return std::any_of(s_waiting.cbegin(), s_waiting.cend(), waitingHere);
        };
        QString reason;
        bool busy = true;
        for (int attempt = 0; attempt < tries && busy && anyLeft(); ++attempt) {
            RegisterDatabase database(path);
            if (!database.isOpen()) {
                reason = database.reason();
                busy = database.failure() == RegisterFailure::Kind::Busy;
                continue;
            }
            PrintRegister reg(database.connection());
            writeWaiting(database.connection(), reg, path, &notices);
            reason = reg.lastError();
            busy = reg.lastFailure() == RegisterFailure::Kind::Busy;
        }
        if (anyLeft()) {
            notices.append(lostNotice(shown(path), reason));
            s_waiting.removeIf(waitingHere);
        }
    }
    return notices;
}

void RunRegistration::tell(const QString &notice) {
    if (!s_told.contains(m_reason)) {
        s_told.insert(m_reason);
        m_notices.append(notice);
    }
}

} // namespace velmora
