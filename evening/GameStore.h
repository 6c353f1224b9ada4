#pragma once

#include "evening/RegisterChange.h"
#include "hall/HallSetup.h"
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
// opens one with the same prizes.
//
// The game in memory changes only once the register has the change: what the board shows is
// always what the register holds, in its order. A change the register refuses leaves the game
// as it was and says why; it may be tried again. Only when the register could not be opened at
// all (the user is told when the window opens) is the game played in memory alone.
class GameStore {
public:
    // What a change came to: Refused (with no reason) when the game does not allow it, as a
    // number drawn already.
    using Change = RegisterChange;

    // The organiser's lines and the card title a game is played under, kept with the game
    // when it starts.
    struct Heading {
        QString ditta;
        QString via;
        QString tel;
        QString title;
    };

    // An open register database (RegisterDatabase): its schema holds the game's tables.
    // heading gives the lines a new game is kept with; when not set, none are kept and the
    // game's record names no organiser.
    explicit GameStore(QSqlDatabase database, std::function<Heading()> heading = {});

    // Reads the open game, or starts one when there is none. False, with lastError(), when the
    // database cannot be read or holds a damaged game (the game in memory then starts empty).
    bool restore();
    // Whether restore() took up a game already under way: numbers drawn or prizes given.
    bool resumed() const { return m_resumed; }

    const Game &game() const { return m_game; }
    qint64 gameId() const { return m_gameId; }
    // When the game began; invalid when it is not in the register.
    QDateTime started() const { return m_started; }

    // The draw log of the game: every number drawn, in order, taken-back ones included.
    const QList<DrawLogEntry> &log() const { return m_log; }
    // The game's prizes in order and those given.
    const PrizePlan &prizes() const { return m_prizes; }

    // As Game's own operations. A number taken back stays in the log, marked.
    Change draw(int number, DrawSource source = DrawSource::Typed);
    Change remove(int number);
    // Takes back the last number; Refused when none is drawn.
    Change undo();
    // Adds the second tombola; Refused when the game has one already.
    Change addTombolino();
    Change setPrizeValue(int prize, const QString &value);
    // Whether the cards sharing the prize each get its whole value (else they divide it).
    Change setPrizeWholeToEach(int prize, bool whole);
    // Records a prize given; the next one is then played.
    Change award(const Award &award);
    // Takes back a prize given by mistake: the award stays in the register, marked with the
    // time it was taken back, and the prize is played again. Refused when it was not given.
    Change takeBackAward(int prize);
    // Keeps a checked claim of the current game in the register at once; false, with
    // lastError(), when the register refuses it.
    bool recordClaim(const ClaimCheck &claim);
    // Closes the current game, its end the time of its last number or award, and starts one
    // with the same prizes and values, none given.
    Change newGame();

    // The hall as the organiser left it in the evening of the game, read by restore(); nothing
    // when none was kept.
    const std::optional<HallSetup> &keptHall() const { return m_hall; }
    // Keeps the hall as it is now with the evening of the game.
    Change keepHall(const HallSetup &hall);

    // Why restore() or recordClaim() failed; empty after they succeed. Changes say their own.
    const QString &lastError() const { return m_error; }

    // A game as the register keeps it: its id, start and end (invalid while it is played),
    // and the heading it was played under (nothing for a game kept before games had one).
    struct KeptGame {
        qint64 id = 0;
        QDateTime started;
        QDateTime ended;
        std::optional<Heading> heading;
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
    // The awards of a game that were taken back, in the order given (readPrizes has the others).
    // An award taken back, given by mistake, and when it was taken back.
    struct TakenBack {
        Award award;
        QDateTime at;
    };
    static bool readTakenBack(QSqlDatabase db, qint64 game, QList<TakenBack> *awards,
                              QSqlError *error);

    // When a game ended as its record says: the time of its last number or award once every
    // prize is given or the game was closed (its start when nothing happened); invalid while it
    // is being played.
    static QDateTime endOf(const QDateTime &started, const QDateTime &closed,
                           const QList<DrawLogEntry> &log, const PrizePlan &prizes);

private:
    // Opens a game with the plan's prizes (none given), closing the current one first when
    // there is one; the evening takes it in the same transaction.
    Change openGame(const PrizePlan &plan);
    bool readOpenGame(QSqlError *error);
    bool readHall(QSqlError *error);
    bool writePrizes(QSqlQuery &query, qint64 game, const PrizePlan &plan, QSqlError *error);
    // Applies edit to a copy of the prize plan and keeps it once the register has it; nothing
    // is written when edit changes nothing.
    Change changePrizes(const std::function<bool(PrizePlan &)> &edit);
    // Runs one change in a transaction. With no register open, the change is taken as done: the
    // game is played in memory.
    Change inTransaction(const std::function<bool(QSqlQuery &, QSqlError *)> &change);
    Change fail(const QSqlError &error);
    // Sets lastError() from a change of restore() or recordClaim(); whether it was done.
    bool noted(const Change &change);

    QSqlDatabase m_db;
    std::function<Heading()> m_heading;
    bool m_resumed = false;
    Game m_game;
    QList<DrawLogEntry> m_log;
    PrizePlan m_prizes;
    qint64 m_gameId = 0;
    QDateTime m_started;
    std::optional<HallSetup> m_hall;
    QString m_error;
};

} // namespace velmora
