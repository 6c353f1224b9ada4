#pragma once

#include "rules/ClaimCheck.h"
#include "rules/DrawLog.h"
#include "rules/Game.h"
#include "rules/PrizePlan.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class QSqlError;
class QSqlQuery;

namespace velmora {

// Keeps the game of the evening in the register's database: every change is written at once,
// in one transaction, so a crash or a closed window loses nothing, and the next start carries
// on with the same game. "Nuova partita" closes the current game (kept, with its numbers) and
// opens an empty one.
//
// A change the database refuses still changes the game in memory, so the evening goes on;
// lastError() then says why in Italian, until a later write succeeds.
class GameStore {
public:
    // An open register database (RegisterDatabase): its schema holds the game's tables.
    explicit GameStore(QSqlDatabase database);

    // Reads the open game, or starts one when there is none. False, with lastError(), when the
    // database cannot be read or holds a damaged game (the game in memory then starts empty).
    bool restore();

    const Game &game() const { return m_game; }
    qint64 gameId() const { return m_gameId; }
    // When the game began; invalid when it is not in the register.
    QDateTime started() const { return m_started; }

    // The draw log of the game: every number drawn, in order, taken-back ones included.
    const QList<DrawLogEntry> &log() const { return m_log; }
    // The game's prizes in order and those given.
    const PrizePlan &prizes() const { return m_prizes; }

    // As Game's own operations; false when the game did not change. A number taken back stays
    // in the log, marked.
    bool draw(int number, DrawSource source = DrawSource::Typed);
    bool remove(int number);
    int undo();
    // Adds the second tombola; false when the game has one already.
    bool addTombolino();
    bool setPrizeValue(int prize, const QString &value);
    // Records a prize given; the next one is then played.
    bool award(const Award &award);
    // Keeps a checked claim of the current game in the register at once; false, with
    // lastError(), when the register refuses it.
    bool recordClaim(const ClaimCheck &claim);
    // Closes the current game and starts an empty one.
    bool newGame();

    const QString &lastError() const { return m_error; }

    // A game as the register keeps it: its id, start and end (invalid while it is played).
    struct KeptGame {
        qint64 id = 0;
        QDateTime started;
        QDateTime ended;
    };
    // The game being played: the newest not ended, taken up again at each start; nothing when
    // there is none. False when the register cannot be read.
    static bool readOpenGame(QSqlDatabase db, std::optional<KeptGame> *open, QSqlError *error);
    // Any game by its id; nothing when there is none of that id.
    static bool readGame(QSqlDatabase db, qint64 id, std::optional<KeptGame> *game,
                         QSqlError *error);

    // What the register keeps of any game, as restore() reads the open one: its draw log in
    // order, its prizes and awards, and the claims checked in the order checked. False with
    // *error when the register cannot be read.
    static bool readLog(QSqlDatabase db, qint64 game, QList<DrawLogEntry> *log, QSqlError *error);
    static bool readPrizes(QSqlDatabase db, qint64 game, PrizePlan *prizes, QSqlError *error);
    static bool readClaims(QSqlDatabase db, qint64 game, QList<ClaimCheck> *claims,
                           QSqlError *error);

private:
    bool openGame();
    bool readOpenGame(QSqlError *error);
    bool writePrizes(QSqlQuery &query, QSqlError *error);
    bool writeDraw(const DrawLogEntry &entry);
    bool writeRemove(int number, const QDateTime &when);
    // Runs one change in a transaction; records the failure in m_error, clears it on success.
    bool inTransaction(const std::function<bool(QSqlQuery &, QSqlError *)> &change);
    bool fail(const QSqlError &error);

    QSqlDatabase m_db;
    Game m_game;
    QList<DrawLogEntry> m_log;
    PrizePlan m_prizes;
    qint64 m_gameId = 0;
    QDateTime m_started;
    QString m_error;
};

} // namespace velmora
