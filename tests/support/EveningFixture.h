#pragma once

#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
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

// A game of the current evening as the Tabellone plays it: each step draws its number (typed,
// clicked, drawn by the computer in turn) or, for 0, takes the last one back; then the claims
// are checked and the prizes given. The game's id; 0 when the register refused a change.
struct GameScript {
    QList<int> steps;
    QList<velmora::ClaimCheck> claims;
    QList<velmora::Award> awards;
    QStringList values;                                 // the prizes' values, in order
    QString tombolinoValue;                             // adds the second tombola when not empty
    QList<int> wholeToEach;                             // the prizes each card sharing gets whole
    std::optional<velmora::GameStore::Heading> heading; // the organiser's lines the game keeps
};

inline qint64 playGame(QSqlDatabase db, const GameScript &script) {
    velmora::GameStore store(db, script.heading
                                     ? std::function([&script] { return *script.heading; })
                                     : std::function<velmora::GameStore::Heading()>());
    if (!store.restore()) {
        return 0;
    }
    int drawn = 0;
    bool stored = true;
    const auto keep = [&stored](const velmora::GameStore::Change &change) {
        stored = stored && change.done();
    };
    for (const int step : script.steps) {
        keep(step == 0 ? store.undo() : store.draw(step, velmora::DrawSource(1 + drawn++ % 3)));
    }
    for (int prize = 0; prize < script.values.size(); ++prize) {
        keep(store.setPrizeValue(prize, script.values.at(prize)));
    }
    for (const int prize : script.wholeToEach) {
        keep(store.setPrizeWholeToEach(prize, true));
    }
    if (!script.tombolinoValue.isEmpty()) {
        keep(store.addTombolino());
        keep(store.setPrizeValue(int(store.prizes().prizes().size()) - 1, script.tombolinoValue));
    }
    for (const velmora::ClaimCheck &claim : script.claims) {
        stored = store.recordClaim(claim) && stored;
    }
    for (const velmora::Award &award : script.awards) {
        keep(store.award(award));
    }
    return stored ? store.gameId() : 0;
}

} // namespace velmora::testing
