#pragma once

#include "register/EveningStore.h"
#include "register/RegisterDatabase.h"
#include "tests/support/RegisterFixture.h"

#include <QFile>

// Print runs of the current evening, written as the print writes them (RunRegistration joins
// each run to the evening).
namespace velmora::testing {

// The new run's id; 0 when the register refused it or the run could not join the evening.
inline qint64 registerEveningRun(QSqlDatabase db, const RunSpec &wanted,
                                 const velmora::ArchiveFingerprint &archive = {
                                     QStringLiteral("RidoDur.dat"), 59, QStringLiteral("00")}) {
    const qint64 id = registerRun(db, wanted, archive);
    return id != 0 && velmora::EveningStore(db).addRun(id) ? id : 0;
}

// A test that prints starts with no register at its usual place, so with no evening: what the
// evening printed before would change the first card proposed and ask before repeating it.
inline bool forgetEvenings() {
    const QString path = velmora::RegisterDatabase::defaultPath();
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
    return !QFile::exists(path);
}

} // namespace velmora::testing
