#pragma once

#include "register/PrintRegister.h"
#include "register/RegisterDatabase.h"

#include <QStringList>

#include <memory>

namespace velmora {

// The register's part in one print run: the entry written as the run starts and completed as
// it ends. The caller fills in what the run is (program, archive path and cards, range,
// numbering, destination); the start time and the archive's fingerprint are taken here. It never
// stops a print: a register that cannot be opened or written is noted in notices(), which also
// tells of a damaged register set aside and of runs found interrupted.
class RunRegistration {
public:
    explicit RunRegistration(RunRecord run,
                             const QString &databasePath = RegisterDatabase::defaultPath());
    ~RunRegistration();
    RunRegistration(const RunRegistration &) = delete;
    RunRegistration &operator=(const RunRegistration &) = delete;

    void finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered);

    // Italian messages for the user. That the register cannot be written is said once per
    // process, however many runs fail to write it.
    QStringList notices() const { return m_notices; }

private:
    void cannotWrite(const QString &why);

    std::unique_ptr<RegisterDatabase> m_database;
    qint64 m_id = 0;
    QStringList m_notices;
};

} // namespace velmora
