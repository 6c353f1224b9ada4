#pragma once

#include "evening/RegisterDatabase.h"
#include "register/ArchiveFingerprint.h"
#include "register/PrintRegister.h"
#include "register/RunRecord.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>

// Print runs written into a register as the print writes them: begun, then finished with an
// outcome (an in-progress run is left begun).
namespace velmora::testing {

struct RunSpec {
    velmora::RunRecord::Outcome outcome = velmora::RunRecord::Outcome::Completed;
    int first = 1;
    int last = 1;
    int drawn = 0;
    bool delivered = true;
    bool archiveNumbering = false;
};

// The new run's id; 0 when the register refused it.
inline qint64 registerRun(QSqlDatabase db, const RunSpec &wanted,
                          const velmora::ArchiveFingerprint &archive) {
    velmora::RunRecord run;
    run.program = QStringLiteral("velmora-pdf");
    run.started = QDateTime::currentDateTimeUtc();
    run.archivePath = archive.path;
    run.archiveSize = archive.size;
    run.archiveSha256 = archive.sha256;
    run.firstCard = wanted.first;
    run.cardsAsked = wanted.last - wanted.first + 1;
    run.lastCard = wanted.last;
    run.archiveNumbering = wanted.archiveNumbering;
    run.destination = QStringLiteral("prova.pdf");
    velmora::PrintRegister reg(db);
    const qint64 id = reg.begin(run);
    if (id == 0 || wanted.outcome == velmora::RunRecord::Outcome::InProgress) {
        return id;
    }
    return reg.finish(id, wanted.outcome, wanted.drawn, wanted.delivered) ? id : 0;
}

// How many runs the register at the usual place holds (none when there is no register yet).
inline qsizetype registeredRuns() {
    if (!QFileInfo::exists(velmora::RegisterDatabase::defaultPath())) {
        return 0;
    }
    velmora::RegisterDatabase database;
    return velmora::PrintRegister(database.connection()).runs().size();
}

} // namespace velmora::testing
