#include "register/RunRegistration.h"

#include "register/ArchiveFingerprint.h"
#include "register/RegisterTime.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {
namespace {

bool s_toldCannotWrite = false;

} // namespace

RunRegistration::RunRegistration(RunRecord run, const QString &databasePath)
    : m_database(std::make_unique<RegisterDatabase>(databasePath)) {
    if (!m_database->notice().isEmpty()) {
        m_notices.append(m_database->notice());
    }
    if (!m_database->isOpen()) {
        cannotWrite(m_database->error());
        return;
    }
    PrintRegister reg(m_database->connection());
    for (const RunRecord &lost : reg.markInterrupted()) {
        m_notices.append(QStringLiteral("La stampa n. %1 del %2 non è terminata: il programma si "
                                        "è chiuso durante la stampa. Nel registro risulta "
                                        "interrotta.")
                             .arg(lost.id)
                             .arg(RegisterTime::shown(lost.started)));
    }
    run.started = QDateTime::currentDateTimeUtc();
    const std::optional<ArchiveFingerprint> print = ArchiveFingerprint::of(run.archivePath);
    run.archivePath = QDir::cleanPath(QFileInfo(run.archivePath).absoluteFilePath());
    run.archiveSize = print ? print->size : 0;
    run.archiveSha256 = print ? print->sha256 : QString();
    m_id = reg.begin(run);
    if (m_id == 0) {
        cannotWrite(reg.lastError());
    }
}

RunRegistration::~RunRegistration() = default;

void RunRegistration::finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) {
    if (m_id == 0) {
        return;
    }
    PrintRegister reg(m_database->connection());
    if (!reg.finish(m_id, outcome, cardsDrawn, delivered)) {
        cannotWrite(reg.lastError());
    }
    m_id = 0;
}

void RunRegistration::cannotWrite(const QString &why) {
    if (s_toldCannotWrite) {
        return;
    }
    s_toldCannotWrite = true;
    m_notices.append(QStringLiteral("Il registro delle stampe non può essere scritto (%1): la "
                                    "stampa prosegue, ma non ne resterà traccia nel registro.")
                         .arg(why));
}

} // namespace velmora
