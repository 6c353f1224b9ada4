#include "evening/GameStore.h"

#include "evening/EveningStore.h"
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

namespace {

// How a source is kept in the log's table.
QString sourceText(DrawSource source) {
    switch (source) {
    case DrawSource::Typed:
        return QStringLiteral("typed");
    case DrawSource::Clicked:
        return QStringLiteral("clicked");
    case DrawSource::Computer:
        return QStringLiteral("computer");
    case DrawSource::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

DrawSource sourceOf(const QString &text) {
    for (const DrawSource source : {DrawSource::Typed, DrawSource::Clicked, DrawSource::Computer}) {
        if (text == sourceText(source)) {
            return source;
        }
    }
    return DrawSource::Unknown;
}

QVariant timeValue(const QDateTime &time) {
    return time.isValid() ? QVariant(RegisterTime::stored(time)) : QVariant();
}

} // namespace

bool GameStore::openGame() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const bool opened = inTransaction([this, now](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("INSERT INTO games (started) VALUES (?)"));
        query.addBindValue(RegisterTime::stored(now));
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        m_gameId = query.lastInsertId().toLongLong();
        m_started = now;
        return writePrizes(query, error);
    });
    // The game belongs to the evening being held (begun on first need); a game outside it is
    // still played and kept.
    if (opened) {
        EveningStore evenings(m_db);
        if (!evenings.addGame(m_gameId)) {
            m_error = QStringLiteral("La partita è nel registro ma non nella serata corrente: %1.")
                          .arg(evenings.lastError());
        }
    }
    return opened;
}

bool GameStore::writePrizes(QSqlQuery &query, QSqlError *error) {
    query.prepare(QStringLiteral("DELETE FROM prizes WHERE game = ?"));
    query.addBindValue(m_gameId);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    query.prepare(QStringLiteral(
        "INSERT INTO prizes (game, position, kind, name, value) VALUES (?, ?, ?, ?, ?)"));
    for (int index = 0; index < m_prizes.prizes().size(); ++index) {
        const Prize &prize = m_prizes.prizes().at(index);
        query.addBindValue(m_gameId);
        query.addBindValue(index + 1);
        query.addBindValue(int(prize.kind));
        query.addBindValue(prize.name);
        // An empty value is kept as an empty text: a null would break NOT NULL.
        query.addBindValue(prize.value.isEmpty() ? QStringLiteral("") : prize.value);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
    }
    return true;
}

namespace {

// The first game the query selects (id, started, ended), if any.
bool readKept(QSqlQuery &query, std::optional<GameStore::KeptGame> *game, QSqlError *error) {
    game->reset();
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    if (query.next()) {
        *game = GameStore::KeptGame{query.value(0).toLongLong(),
                                    RegisterTime::read(query.value(1).toString()),
                                    RegisterTime::read(query.value(2).toString())};
    }
    return Transaction::readToEnd(query, error); // no game is not an error
}

} // namespace

bool GameStore::readOpenGame(QSqlDatabase db, std::optional<KeptGame> *open, QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT id, started, ended FROM games WHERE ended IS NULL "
                                 "ORDER BY id DESC LIMIT 1"));
    return readKept(query, open, error);
}

bool GameStore::readGame(QSqlDatabase db, qint64 id, std::optional<KeptGame> *game,
                         QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT id, started, ended FROM games WHERE id = ?"));
    query.addBindValue(id);
    return readKept(query, game, error);
}

bool GameStore::readOpenGame(QSqlError *error) {
    std::optional<KeptGame> open;
    if (!readOpenGame(m_db, &open, error)) {
        return false;
    }
    if (!open) {
        return true;
    }
    m_gameId = open->id;
    m_started = open->started;
    return readLog(m_db, m_gameId, &m_log, error) && readPrizes(m_db, m_gameId, &m_prizes, error);
}

bool GameStore::readLog(QSqlDatabase db, qint64 game, QList<DrawLogEntry> *log, QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT number, drawn_at, source, taken_back FROM drawn "
                                 "WHERE game = ? ORDER BY position, rowid"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    while (query.next()) {
        log->append({query.value(0).toInt(), RegisterTime::read(query.value(1).toString()),
                     sourceOf(query.value(2).toString()),
                     RegisterTime::read(query.value(3).toString())});
    }
    return Transaction::readToEnd(query, error);
}

bool GameStore::readPrizes(QSqlDatabase db, qint64 game, PrizePlan *plan, QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("SELECT kind, name, value FROM prizes WHERE game = ? ORDER BY position"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    QList<Prize> prizes;
    while (query.next()) {
        prizes.append(
            {Premio(query.value(0).toInt()), query.value(1).toString(), query.value(2).toString()});
    }
    if (!Transaction::readToEnd(query, error)) {
        return false;
    }
    query.prepare(QStringLiteral("SELECT prize, run, printed_number, archive_card, reached_at, "
                                 "awarded FROM awards WHERE game = ? ORDER BY rowid"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    // The cards of one award are stored one after the other.
    QList<Award> awards;
    while (query.next()) {
        const int prize = query.value(0).toInt() - 1;
        if (awards.isEmpty() || awards.constLast().prize != prize) {
            awards.append({prize, {}, RegisterTime::read(query.value(5).toString())});
        }
        awards.last().cards.append({query.value(1).toLongLong(), query.value(2).toLongLong(),
                                    query.value(3).toInt(), query.value(4).toInt()});
    }
    // A game stored before games had prizes plays the usual ones.
    *plan = prizes.isEmpty() ? PrizePlan() : PrizePlan(prizes, awards);
    return Transaction::readToEnd(query, error);
}

bool GameStore::readClaims(QSqlDatabase db, qint64 game, QList<ClaimCheck> *claims,
                           QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT checked, run, printed_number, verdict FROM claims "
                                 "WHERE game = ? ORDER BY rowid"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    while (query.next()) {
        claims->append({RegisterTime::read(query.value(0).toString()), query.value(1).toInt(),
                        query.value(2).toInt(), query.value(3).toString()});
    }
    return Transaction::readToEnd(query, error);
}

bool GameStore::restore() {
    m_game = Game();
    m_log.clear();
    m_prizes = PrizePlan();
    m_gameId = 0;
    m_started = {};
    QSqlError error;
    if (!readOpenGame(&error)) {
        // Nothing read is taken as the game: the board starts empty and the user is told.
        m_game = Game();
        m_log.clear();
        m_prizes = PrizePlan();
        m_gameId = 0;
        m_started = {};
        m_error = QStringLiteral("La partita salvata nel registro non si legge: %1.")
                      .arg(RegisterFailure::reason(error, m_db.databaseName()));
        return false;
    }
    if (m_gameId == 0) {
        return openGame();
    }
    QList<int> numbers;
    for (const DrawLogEntry &entry : std::as_const(m_log)) {
        if (!entry.takenBack()) {
            numbers.append(entry.number);
        }
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

bool GameStore::writeDraw(const DrawLogEntry &entry) {
    return inTransaction([this, entry](QSqlQuery &query, QSqlError *error) {
        // The position follows the last one stored, not the game in memory: after a change the
        // register refused, the two may differ, and the order read back must still be the
        // order drawn.
        query.prepare(QStringLiteral(
            "INSERT INTO drawn (game, position, number, drawn_at, source) "
            "SELECT ?, COALESCE(MAX(position), 0) + 1, ?, ?, ? FROM drawn WHERE game = ?"));
        query.addBindValue(m_gameId);
        query.addBindValue(entry.number);
        query.addBindValue(timeValue(entry.drawnAt));
        query.addBindValue(sourceText(entry.source));
        query.addBindValue(m_gameId);
        return query.exec() || Transaction::failed(query, error);
    });
}

bool GameStore::writeRemove(int number, const QDateTime &when) {
    return inTransaction([this, number, when](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("UPDATE drawn SET taken_back = ? "
                                     "WHERE game = ? AND number = ? AND taken_back IS NULL"));
        query.addBindValue(RegisterTime::stored(when));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        return query.numRowsAffected() > 0 ||
               Transaction::refused(
                   QStringLiteral("il %1 non risulta estratto nel registro").arg(number), error);
    });
}

bool GameStore::draw(int number, DrawSource source) {
    if (!m_game.draw(number)) {
        return false;
    }
    const DrawLogEntry entry{number, QDateTime::currentDateTimeUtc(), source, {}};
    m_log.append(entry);
    writeDraw(entry);
    return true;
}

bool GameStore::remove(int number) {
    if (!m_game.isDrawn(number)) {
        return false;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    writeRemove(number, now);
    m_game.remove(number);
    for (auto entry = m_log.rbegin(); entry != m_log.rend(); ++entry) {
        if (entry->number == number && !entry->takenBack()) {
            entry->takenBackAt = now;
            break;
        }
    }
    return true;
}

int GameStore::undo() {
    const int number = m_game.last();
    if (number != 0) {
        remove(number);
    }
    return number;
}

bool GameStore::addTombolino() {
    if (!m_prizes.addTombolino()) {
        return false;
    }
    inTransaction([this](QSqlQuery &query, QSqlError *error) { return writePrizes(query, error); });
    return true;
}

bool GameStore::setPrizeValue(int prize, const QString &value) {
    if (!m_prizes.setValue(prize, value)) {
        return false;
    }
    inTransaction([this](QSqlQuery &query, QSqlError *error) { return writePrizes(query, error); });
    return true;
}

bool GameStore::award(const Award &award) {
    if (award.prize < 0 || award.prize >= m_prizes.prizes().size() ||
        m_prizes.isAwarded(award.prize) || award.cards.isEmpty()) {
        return false;
    }
    Award stamped = award;
    stamped.when = QDateTime::currentDateTimeUtc();
    m_prizes.record(stamped);
    inTransaction([this, stamped](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("INSERT INTO awards (game, prize, run, printed_number, "
                                     "archive_card, reached_at, awarded) "
                                     "VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (const AwardedCard &card : stamped.cards) {
            query.addBindValue(m_gameId);
            query.addBindValue(stamped.prize + 1);
            query.addBindValue(card.run);
            query.addBindValue(card.printed);
            query.addBindValue(card.archiveCard);
            query.addBindValue(card.reachedAt);
            query.addBindValue(RegisterTime::stored(stamped.when));
            if (!query.exec()) {
                return Transaction::failed(query, error);
            }
        }
        return true;
    });
    return true;
}

bool GameStore::recordClaim(const ClaimCheck &claim) {
    return inTransaction([this, claim](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("INSERT INTO claims (game, checked, run, printed_number, "
                                     "verdict) VALUES (?, ?, ?, ?, ?)"));
        query.addBindValue(m_gameId);
        // A check with no time is kept as made now: the record lists claims by their time.
        query.addBindValue(RegisterTime::stored(
            claim.checked.isValid() ? claim.checked : QDateTime::currentDateTimeUtc()));
        query.addBindValue(claim.run);
        query.addBindValue(claim.printedNumber);
        // One line: the record gives each claim one row.
        query.addBindValue(claim.verdict.simplified());
        return query.exec() || Transaction::failed(query, error);
    });
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
    m_log.clear();
    m_prizes = PrizePlan();
    m_started = {};
    const bool opened = openGame();
    if (!closed && opened) {
        m_error = closeError; // the old game is still open in the register: say so
    }
    return opened && closed;
}

} // namespace velmora
