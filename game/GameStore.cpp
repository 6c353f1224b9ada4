#include "game/GameStore.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace velmora {
namespace {

QString now() {
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

} // namespace

GameStore::GameStore(QSqlDatabase database) : m_db(std::move(database)) {}

bool GameStore::fail(const QString &what, const QString &why) {
    m_error =
        QStringLiteral("La partita non può essere salvata nel registro (%1): %2").arg(what, why);
    return false;
}

template <typename Change> bool GameStore::inTransaction(Change change) {
    if (!m_db.transaction()) {
        return fail(QStringLiteral("transazione"), m_db.lastError().text());
    }
    QSqlQuery query(m_db);
    if (!change(query)) {
        const QString why = query.lastError().text();
        m_db.rollback();
        return fail(QStringLiteral("scrittura"), why);
    }
    if (!m_db.commit()) {
        const QString why = m_db.lastError().text();
        m_db.rollback();
        return fail(QStringLiteral("conferma"), why);
    }
    m_error.clear();
    return true;
}

bool GameStore::createTables() {
    return inTransaction([](QSqlQuery &query) {
        return query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS games ("
                                         " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                                         " started TEXT NOT NULL,"
                                         " ended TEXT)")) &&
               query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS drawn ("
                                         " game INTEGER NOT NULL REFERENCES games(id),"
                                         " position INTEGER NOT NULL,"
                                         " number INTEGER NOT NULL CHECK (number BETWEEN 1 AND 90),"
                                         " UNIQUE (game, number))"));
    });
}

bool GameStore::openGame() {
    return inTransaction([this](QSqlQuery &query) {
        query.prepare(QStringLiteral("INSERT INTO games (started) VALUES (?)"));
        query.addBindValue(now());
        if (!query.exec()) {
            return false;
        }
        m_gameId = query.lastInsertId().toLongLong();
        return true;
    });
}

bool GameStore::restore() {
    m_game = Game();
    m_gameId = 0;
    if (!createTables()) {
        return false;
    }
    QSqlQuery query(m_db);
    if (!query.exec(
            QStringLiteral("SELECT id FROM games WHERE ended IS NULL ORDER BY id DESC LIMIT 1"))) {
        return fail(QStringLiteral("lettura"), query.lastError().text());
    }
    if (!query.next()) {
        return openGame();
    }
    m_gameId = query.value(0).toLongLong();
    query.prepare(QStringLiteral("SELECT number FROM drawn WHERE game = ? ORDER BY position"));
    query.addBindValue(m_gameId);
    if (!query.exec()) {
        return fail(QStringLiteral("lettura"), query.lastError().text());
    }
    QList<int> numbers;
    while (query.next()) {
        numbers.append(query.value(0).toInt());
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
    return inTransaction([this, number](QSqlQuery &query) {
        query.prepare(
            QStringLiteral("INSERT INTO drawn (game, position, number) VALUES (?, ?, ?)"));
        query.addBindValue(m_gameId);
        query.addBindValue(m_game.count());
        query.addBindValue(number);
        return query.exec();
    });
}

bool GameStore::writeRemove(int number) {
    return inTransaction([this, number](QSqlQuery &query) {
        query.prepare(QStringLiteral("SELECT position FROM drawn WHERE game = ? AND number = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec() || !query.next()) {
            return false;
        }
        const qint64 position = query.value(0).toLongLong();
        query.prepare(QStringLiteral("DELETE FROM drawn WHERE game = ? AND number = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec()) {
            return false;
        }
        query.prepare(QStringLiteral(
            "UPDATE drawn SET position = position - 1 WHERE game = ? AND position > ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(position);
        return query.exec();
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
    const bool closed = inTransaction([this](QSqlQuery &query) {
        query.prepare(QStringLiteral("UPDATE games SET ended = ? WHERE id = ?"));
        query.addBindValue(now());
        query.addBindValue(m_gameId);
        return query.exec();
    });
    m_game = Game();
    return openGame() && closed;
}

} // namespace velmora
