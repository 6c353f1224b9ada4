#pragma once

#include "game/Game.h"

#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>

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
    // The database must be open; the tables are made when missing.
    explicit GameStore(QSqlDatabase database);

    // Reads the open game, or starts one when there is none. False, with lastError(), when the
    // database cannot be read or holds a damaged game (the game in memory then starts empty).
    bool restore();

    const Game &game() const { return m_game; }
    qint64 gameId() const { return m_gameId; }

    // As Game's own operations; false when the game did not change.
    bool draw(int number);
    bool remove(int number);
    int undo();
    // Closes the current game and starts an empty one.
    bool newGame();

    const QString &lastError() const { return m_error; }

private:
    bool createTables();
    bool openGame();
    bool writeDraw(int number);
    bool writeRemove(int number);
    // Runs one change in a transaction; records the failure in m_error.
    template <typename Change> bool inTransaction(Change change);
    bool fail(const QString &what, const QString &why);

    QSqlDatabase m_db;
    Game m_game;
    qint64 m_gameId = 0;
    QString m_error;
};

} // namespace velmora
