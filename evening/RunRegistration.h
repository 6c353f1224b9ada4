#pragma once

#include "evening/RegisterDatabase.h"
#include "print/RunJournal.h"
#include "register/PrintRegister.h"

#include <QStringList>

#include <memory>

namespace velmora {

// The register's part in one print run: the entry written as the run starts and completed as
// it ends. The caller fills in what the run is (program, archive path and cards, range,
// numbering, destination); the start time and the archive's fingerprint are taken here. It never
// stops a print. A register that cannot be written at the start (held by another program, a
// full disk) is tried again as the run ends, a register held for a while a few times over, and
// the entry is then written whole, in the current evening. An end still kept out by another program
// waits: the next run of this process writes it, or completeWaiting() as the program ends, so that
// only a program that died leaves an entry in progress. notices() says when an entry could not be
// written at all, and also tells of a register set aside and of runs found interrupted.
class RunRegistration : public RunJournal {
public:
    explicit RunRegistration(RunRecord run,
                             const QString &databasePath = RegisterDatabase::defaultPath());
    ~RunRegistration() override;
    RunRegistration(const RunRegistration &) = delete;
    RunRegistration &operator=(const RunRegistration &) = delete;

    // Once per run; later calls change nothing.
    void finish(RunRecord::Outcome outcome, int cardsDrawn, bool delivered) override;

    // Italian messages for the user. That the register cannot be written is said once per
    // process for each reason, however many runs fail to write it.
    QStringList notices() const override { return m_notices; }

    // Registers each run in the register at databasePath, as the print run asks.
    static RunJournal::Opener opener(const QString &databasePath = RegisterDatabase::defaultPath());

    // Writes the ends that found the register held by another program, trying each register
    // for at most `tries` busy timeouts; as the program ends. Gives a notice for each register
    // still held, whose entries are then lost.
    static QStringList completeWaiting(int tries = 3);

private:
    bool open();
    bool complete();
    void completeWaitingHere();
    void tell(const QString &notice);
    QString shownPath() const;

    QString m_databasePath;
    RunRecord m_run;
    std::unique_ptr<RegisterDatabase> m_database;
    qint64 m_id = 0;
    bool m_finished = false;
    QString m_reason;    // why the register could not be written, the last time it was tried
    bool m_busy = false; // ... because another program held it
    QStringList m_notices;
};

} // namespace velmora
