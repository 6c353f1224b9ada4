#include "register/RunRegistration.h"

#include "register/ArchiveFingerprint.h"
#include "register/EveningStore.h"
#include "register/RegisterTime.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace velmora {
namespace {

// What the user has already been told in this process: the same fault is said once, however
// many runs it keeps out of the register.
QSet<QString> s_told;

// A register held by another program is tried again this many times when the run ends, each
// try waiting the register's own busy timeout: a lock of a few seconds loses nothing, and a
// run never waits without end.
constexpr int completionTries = 3;

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
        joinEvening();
    }
    // A register that cannot be written now is tried again when the run ends; only then is the
    // user told, once, if the entry could not be written at all.
}

RunRegistration::~RunRegistration() = default;

QString RunRegistration::shownPath() const {
    return QDir::toNativeSeparators(QFileInfo(m_databasePath).absoluteFilePath());
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
        m_notices.append(QStringLiteral("La stampa n. %1 del %2 non è terminata: il programma si "
                                        "è chiuso durante la stampa. Nel registro risulta "
                                        "interrotta.")
                             .arg(lost.id)
                             .arg(RegisterTime::shown(lost.started)));
    }
    return true;
}

bool RunRegistration::complete(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    if (!open()) {
        return false;
    }
    PrintRegister reg(m_database->connection());
    // An entry that could not be begun (the register was held, or full, at the start) is
    // written now, whole.
    if (m_id == 0) {
        m_id = reg.begin(m_run);
        joinEvening();
    }
    if (m_id != 0 && reg.finish(m_id, outcome, cardsDrawn, delivered)) {
        return true;
    }
    m_reason = reg.lastError();
    m_busy = reg.lastFailure() == RegisterFailure::Kind::Busy;
    return false;
}

void RunRegistration::joinEvening() {
    if (m_id == 0) {
        return;
    }
    EveningStore evenings(m_database->connection());
    if (!evenings.addRun(m_id)) {
        m_notices.append(QStringLiteral("La stampa n. %1 è nel registro ma non nella serata "
                                        "corrente: %2.")
                             .arg(m_id)
                             .arg(evenings.lastError()));
    }
}

void RunRegistration::finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    if (m_finished) {
        return;
    }
    m_finished = true;
    for (int attempt = 0; attempt < completionTries; ++attempt) {
        m_busy = false;
        if (complete(outcome, cardsDrawn, delivered)) {
            return;
        }
        // Only a register held by another program may free itself in a moment.
        if (!m_busy) {
            break;
        }
    }
    tell(QStringLiteral("Il registro delle stampe \"%1\" non può essere scritto: %2. Di questa "
                        "stampa non resterà traccia nel registro.")
             .arg(shownPath(), m_reason));
}

void RunRegistration::tell(const QString &notice) {
    if (!s_told.contains(m_reason)) {
        s_told.insert(m_reason);
        m_notices.append(notice);
    }
}

} // namespace velmora
