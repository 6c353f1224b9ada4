#include "game/GameStore.h"

#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

namespace velmora {

GameStore::GameStore(QSqlDatabase database) : m_db(std::move(database)) {}

bool GameStore::fail(const QSqlError &error) {
    m_error = QStringLiteral("La partita non può essere salvata nel registro: %1.")
                  .arg(RegisterFailure::reason(error, m_db.databaseName()));
    return false;
}

bool GameStore::inTransaction(const std::function<bool(QSqlQuery &, QSqlError *)> &change) {
    QSqlError error;
    const bool done = Transaction::run(
        m_db,
        [this, &change](QSqlError *stepError) {
            QSqlQuery query(m_db);
            return change(query, stepError);
        },
        &error);
    if (!done) {
        return fail(error);
    }
    m_error.clear();
    return true;
}

bool GameStore::openGame() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return inTransaction([this, now](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("INSERT INTO games (started) VALUES (?)"));
        query.addBindValue(RegisterTime::stored(now));
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        m_gameId = query.lastInsertId().toLongLong();
        m_started = now;
        return true;
    });
}

bool GameStore::readOpenGame(QList<int> *numbers, QSqlError *error) {
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral(
            "SELECT id, started FROM games WHERE ended IS NULL ORDER BY id DESC LIMIT 1"))) {
        return Transaction::failed(query, error);
    }
    if (!query.next()) {
        return Transaction::readToEnd(query, error); // no open game: not an error
    }
    m_gameId = query.value(0).toLongLong();
    m_started = RegisterTime::read(query.value(1).toString());
    query.prepare(
        QStringLiteral("SELECT number FROM drawn WHERE game = ? ORDER BY position, rowid"));
    query.addBindValue(m_gameId);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    while (query.next()) {
        numbers->append(query.value(0).toInt());
    }
    return Transaction::readToEnd(query, error);
}

bool GameStore::restore() {
    m_game = Game();
    m_gameId = 0;
    m_started = {};
    QList<int> numbers;
    QSqlError error;
    if (!readOpenGame(&numbers, &error)) {
        // Nothing read is taken as the game: the board starts empty and the user is told.
        m_gameId = 0;
        m_started = {};
        m_error = QStringLiteral("La partita salvata nel registro non si legge: %1.")
                      .arg(RegisterFailure::reason(error, m_db.databaseName()));
        return false;
    }
    if (m_gameId == 0) {
        return openGame();
    }
    if (!Game::fromNumbers(numbers, m_game)) {
        // Kept as it is, to be looked at later; the evening goes on with a fresh game.
        m_error = QStringLiteral("La partita salvata nel registro è danneggiata: ne inizia una "
                                 "nuova, la vecchia resta nel registro.");
        const QString damaged = m_error;
        if (newGame()) {
            m_error = damaged;
        }
        return false;
    }
    return true;
}

bool GameStore::writeDraw(int number) {
    return inTransaction([this, number](QSqlQuery &query, QSqlError *error) {
        // The position follows the last one stored, not the game in memory: after a change the
        // register refused, the two may differ, and the order read back must still be the
        // order drawn.
        query.prepare(QStringLiteral(
            "INSERT INTO drawn (game, position, number) "
            "SELECT ?, COALESCE(MAX(position), 0) + 1, ? FROM drawn WHERE game = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        query.addBindValue(m_gameId);
        return query.exec() || Transaction::failed(query, error);
    });
}

bool GameStore::writeRemove(int number) {
    return inTransaction([this, number](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("SELECT position FROM drawn WHERE game = ? AND number = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        if (!query.next()) {
            return Transaction::readToEnd(query, error) &&
                   Transaction::refused(
                       QStringLiteral("il %1 non risulta estratto nel registro").arg(number),
                       error);
        }
        const qint64 position = query.value(0).toLongLong();
        query.prepare(QStringLiteral("DELETE FROM drawn WHERE game = ? AND number = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        query.prepare(QStringLiteral(
            "UPDATE drawn SET position = position - 1 WHERE game = ? AND position > ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(position);
        return query.exec() || Transaction::failed(query, error);
    });
}

bool GameStore::draw(int number) {
    if (!m_game.draw(number)) {
        return false;
    }
    writeDraw(number);
    return true;
}

bool GameStore::remove(int number) {
    if (!m_game.isDrawn(number)) {
        return false;
    }
    writeRemove(number);
    m_game.remove(number);
    return true;
}

int GameStore::undo() {
    const int number = m_game.last();
    if (number != 0) {
        remove(number);
    }
    return number;
}

bool GameStore::newGame() {
    const bool closed = inTransaction([this](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("UPDATE games SET ended = ? WHERE id = ?"));
        query.addBindValue(RegisterTime::stored(QDateTime::currentDateTimeUtc()));
        query.addBindValue(m_gameId);
        return query.exec() || Transaction::failed(query, error);
    });
    const QString closeError = m_error;
    m_game = Game();
    m_started = {};
    const bool opened = openGame();
    if (!closed && opened) {
        m_error = closeError; // the old game is still open in the register: say so
    }
    return opened && closed;
}

} // namespace velmora
