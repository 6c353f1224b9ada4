#include "evening/GameStore.h"

#include "evening/EveningStore.h"
#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

namespace velmora {

GameStore::GameStore(QSqlDatabase database, std::function<Heading()> heading)
    : m_db(std::move(database)), m_heading(std::move(heading)) {}

GameStore::Change GameStore::fail(const QSqlError &error) {
    Change change = Change::failed(error, m_db.databaseName());
    // A change the game refused inside its transaction (a number the register does not hold as
    // drawn) is the register and the game disagreeing: it is said, and may be tried again.
    change.outcome = Change::Outcome::NotStored;
    return change;
}

bool GameStore::noted(const Change &change) {
    m_error = change.notStored()
                  ? QStringLiteral("La partita non può essere salvata nel registro: %1.")
                        .arg(change.reason)
                  : QString();
    return change.done();
}

GameStore::Change
GameStore::inTransaction(const std::function<bool(QSqlQuery &, QSqlError *)> &change) {
    const Change done = Change::made();
    if (!m_db.isOpen()) {
        return done; // no register at all: the user was told when the window opened
    }
    QSqlError error;
    if (!Transaction::run(
            m_db,
            [this, &change](QSqlError *stepError) {
                QSqlQuery query(m_db);
                return change(query, stepError);
            },
            &error)) {
        return fail(error);
    }
    return done;
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

GameStore::Change GameStore::openGame(const PrizePlan &plan) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Without a heading the game keeps none (nulls): its record reads the settings.
    const std::optional<Heading> heading =
        m_heading ? std::optional<Heading>(m_heading()) : std::nullopt;
    const qint64 closing = m_gameId;
    const QDateTime closedAt = endOf(m_started, now, m_log, m_prizes);
    qint64 opened = 0;
    const Change change = inTransaction([&](QSqlQuery &query, QSqlError *error) {
        if (closing != 0) {
            query.prepare(QStringLiteral("UPDATE games SET ended = ? WHERE id = ?"));
            query.addBindValue(RegisterTime::stored(closedAt));
            query.addBindValue(closing);
            if (!query.exec()) {
                return Transaction::failed(query, error);
            }
        }
        query.prepare(QStringLiteral("INSERT INTO games (started, organiser, organiser_street, "
                                     "organiser_phone, card_title) VALUES (?, ?, ?, ?, ?)"));
        query.addBindValue(RegisterTime::stored(now));
        if (heading) {
            for (const QString &line :
                 {heading->ditta, heading->via, heading->tel, heading->title}) {
                query.addBindValue(line.trimmed());
            }
        } else {
            for (int line = 0; line < 4; ++line) {
                query.addBindValue(QVariant());
            }
        }
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        opened = query.lastInsertId().toLongLong();
        // The game belongs to the evening being held (begun on first need).
        return writePrizes(query, opened, plan, error) &&
               EveningStore(m_db).addGameWithin(opened, error);
    });
    if (change.done()) {
        m_game = Game();
        m_log.clear();
        m_prizes = plan;
        m_gameId = opened;
        m_started = m_db.isOpen() ? now : QDateTime();
    }
    return change;
}

bool GameStore::writePrizes(QSqlQuery &query, qint64 game, const PrizePlan &plan,
                            QSqlError *error) {
    query.prepare(QStringLiteral("DELETE FROM prizes WHERE game = ?"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    query.prepare(QStringLiteral(
        "INSERT INTO prizes (game, position, kind, name, value, whole_to_each) VALUES (?, ?, ?, ?, "
        "?, ?)"));
    for (int index = 0; index < plan.prizes().size(); ++index) {
        const Prize &prize = plan.prizes().at(index);
        query.addBindValue(game);
        query.addBindValue(index + 1);
        query.addBindValue(int(prize.kind));
        query.addBindValue(prize.name);
        // An empty value is kept as an empty text: a null would break NOT NULL.
        query.addBindValue(prize.value.isEmpty() ? QStringLiteral("") : prize.value);
        query.addBindValue(prize.wholeToEach ? 1 : 0);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
    }
    return true;
}

namespace {

constexpr auto selectGames = "SELECT id, started, ended, organiser, organiser_street, "
                             "organiser_phone, card_title FROM games";

// The first game the query selects (selectGames' columns), if any.
bool readKept(QSqlQuery &query, std::optional<GameStore::KeptGame> *game, QSqlError *error) {
    game->reset();
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    if (query.next()) {
        *game = GameStore::KeptGame{query.value(0).toLongLong(),
                                    RegisterTime::read(query.value(1).toString()),
                                    RegisterTime::read(query.value(2).toString()),
                                    {}};
        // A game kept before games had a heading has none: its record reads the settings.
        if (!query.isNull(3)) {
            game->value().heading =
                GameStore::Heading{query.value(3).toString(), query.value(4).toString(),
                                   query.value(5).toString(), query.value(6).toString()};
        }
    }
    return Transaction::readToEnd(query, error); // no game is not an error
}

} // namespace

namespace {

// The awards of a game standing (takenBack null) or taken back, in the order given, with when
// each was taken back.
bool readAwards(QSqlDatabase db, qint64 game, QList<Award> *awards, QList<QDateTime> *takenBack,
                QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT prize, run, printed_number, archive_card, reached_at, "
                                 "awarded, taken_back FROM awards WHERE game = ? AND "
                                 "taken_back IS %1 NULL ORDER BY rowid")
                      .arg(takenBack ? QStringLiteral("NOT") : QString()));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    // The cards of one award are stored one after the other.
    while (query.next()) {
        const int prize = query.value(0).toInt() - 1;
        const QDateTime awarded = RegisterTime::read(query.value(5).toString());
        if (awards->isEmpty() || awards->constLast().prize != prize ||
            awards->constLast().when != awarded) {
            awards->append({prize, {}, awarded});
            if (takenBack) {
                takenBack->append(RegisterTime::read(query.value(6).toString()));
            }
        }
        awards->last().cards.append({query.value(1).toLongLong(), query.value(2).toLongLong(),
                                     query.value(3).toInt(), query.value(4).toInt()});
    }
    return Transaction::readToEnd(query, error);
}

} // namespace

bool GameStore::readOpenGame(QSqlDatabase db, std::optional<KeptGame> *open, QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QLatin1String(selectGames) +
                  QStringLiteral(" WHERE ended IS NULL ORDER BY id DESC LIMIT 1"));
    return readKept(query, open, error);
}

bool GameStore::readGame(QSqlDatabase db, qint64 id, std::optional<KeptGame> *game,
                         QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QLatin1String(selectGames) + QStringLiteral(" WHERE id = ?"));
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
        QStringLiteral("SELECT kind, name, value, whole_to_each FROM prizes WHERE game = ? "
                       "ORDER BY position"));
    query.addBindValue(game);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    QList<Prize> prizes;
    while (query.next()) {
        prizes.append({Premio(query.value(0).toInt()), query.value(1).toString(),
                       query.value(2).toString(), query.value(3).toInt() != 0});
    }
    if (!Transaction::readToEnd(query, error)) {
        return false;
    }
    QList<Award> awards;
    if (!readAwards(db, game, &awards, nullptr, error)) {
        return false;
    }
    // A game stored before games had prizes plays the usual ones.
    *plan = prizes.isEmpty() ? PrizePlan() : PrizePlan(prizes, awards);
    return true;
}

bool GameStore::readTakenBack(QSqlDatabase db, qint64 game, QList<TakenBack> *awards,
                              QSqlError *error) {
    QList<Award> given;
    QList<QDateTime> at;
    if (!readAwards(db, game, &given, &at, error)) {
        return false;
    }
    for (qsizetype i = 0; i < given.size(); ++i) {
        awards->append({given.at(i), at.at(i)});
    }
    return true;
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
    m_resumed = false;
    m_hall.reset();
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
    if (m_gameId == 0 && !noted(openGame(PrizePlan()))) {
        return false;
    }
    // Without it the hall starts as at the first evening: nothing is lost of the game.
    if (m_db.isOpen() && !readHall(&error)) {
        m_hall.reset();
    }
    QList<int> numbers;
    for (const DrawLogEntry &entry : std::as_const(m_log)) {
        if (!entry.takenBack()) {
            numbers.append(entry.number);
        }
    }
    if (!Game::fromNumbers(numbers, m_game)) {
        // Kept as it is, to be looked at later; the evening goes on with a fresh game.
        const QString damaged = QStringLiteral("La partita salvata nel registro è danneggiata: "
                                               "ne inizia una nuova, la vecchia resta nel "
                                               "registro.");
        m_game = Game();
        m_error = noted(openGame(PrizePlan(m_prizes.prizes(), {})))
                      ? damaged
                      : damaged + QLatin1Char(' ') + m_error;
        return false;
    }
    m_resumed = !numbers.isEmpty() || !m_prizes.awards().isEmpty();
    return true;
}

GameStore::Change GameStore::draw(int number, DrawSource source) {
    if (!NumberSet::inRange(number) || m_game.isDrawn(number)) {
        return {};
    }
    const DrawLogEntry entry{number, QDateTime::currentDateTimeUtc(), source, {}};
    Change change = inTransaction([this, entry](QSqlQuery &query, QSqlError *error) {
        // The position follows the last one stored, so that the order read back is the order
        // drawn.
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
    change.number = number;
    if (change.done()) {
        m_game.draw(number);
        m_log.append(entry);
    }
    return change;
}

GameStore::Change GameStore::remove(int number) {
    if (!m_game.isDrawn(number)) {
        return {};
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    Change change = inTransaction([this, number, now](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("UPDATE drawn SET taken_back = ? "
                                     "WHERE game = ? AND number = ? AND taken_back IS NULL"));
        query.addBindValue(RegisterTime::stored(now));
        query.addBindValue(m_gameId);
        query.addBindValue(number);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        return query.numRowsAffected() > 0 ||
               Transaction::refused(
                   QStringLiteral("il %1 non risulta estratto nel registro").arg(number), error);
    });
    change.number = number;
    if (change.done()) {
        m_game.remove(number);
        for (auto entry = m_log.rbegin(); entry != m_log.rend(); ++entry) {
            if (entry->number == number && !entry->takenBack()) {
                entry->takenBackAt = now;
                break;
            }
        }
    }
    return change;
}

GameStore::Change GameStore::undo() {
    const int number = m_game.last();
    return number == 0 ? Change{} : remove(number);
}

GameStore::Change GameStore::addTombolino() {
    return changePrizes([](PrizePlan &plan) { return plan.addTombolino(); });
}

GameStore::Change GameStore::setPrizeValue(int prize, const QString &value) {
    return changePrizes([&](PrizePlan &plan) { return plan.setValue(prize, value); });
}

GameStore::Change GameStore::setPrizeWholeToEach(int prize, bool whole) {
    return changePrizes([&](PrizePlan &plan) { return plan.setWholeToEach(prize, whole); });
}

GameStore::Change GameStore::changePrizes(const std::function<bool(PrizePlan &)> &edit) {
    PrizePlan plan = m_prizes;
    if (!edit(plan)) {
        return {};
    }
    const Change change = inTransaction([this, &plan](QSqlQuery &query, QSqlError *error) {
        return writePrizes(query, m_gameId, plan, error);
    });
    if (change.done()) {
        m_prizes = plan;
    }
    return change;
}

GameStore::Change GameStore::award(const Award &award) {
    if (award.prize < 0 || award.prize >= m_prizes.prizes().size() ||
        m_prizes.isAwarded(award.prize) || award.cards.isEmpty()) {
        return {};
    }
    Award stamped = award;
    stamped.when = QDateTime::currentDateTimeUtc();
    const Change change = inTransaction([this, stamped](QSqlQuery &query, QSqlError *error) {
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
    if (change.done()) {
        m_prizes.record(stamped);
    }
    return change;
}

GameStore::Change GameStore::takeBackAward(int prize) {
    if (!m_prizes.isAwarded(prize)) {
        return {};
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const Change change = inTransaction([this, prize, now](QSqlQuery &query, QSqlError *error) {
        query.prepare(QStringLiteral("UPDATE awards SET taken_back = ? "
                                     "WHERE game = ? AND prize = ? AND taken_back IS NULL"));
        query.addBindValue(RegisterTime::stored(now));
        query.addBindValue(m_gameId);
        query.addBindValue(prize + 1);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        return query.numRowsAffected() > 0 ||
               Transaction::refused(QStringLiteral("il premio non risulta assegnato nel registro"),
                                    error);
    });
    if (change.done()) {
        m_prizes.takeBack(prize);
    }
    return change;
}

bool GameStore::readHall(QSqlError *error) {
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT h.screen, h.board_open, h.phones_on, h.port, h.voice_on, "
                                 "h.smorfia FROM evening_hall h JOIN evening_games g "
                                 "ON g.evening = h.evening WHERE g.game = ?"));
    query.addBindValue(m_gameId);
    if (!query.exec()) {
        return Transaction::failed(query, error);
    }
    if (query.next()) {
        m_hall =
            HallSetup{query.value(0).toString(), query.value(1).toBool(), query.value(2).toBool(),
                      query.value(3).toInt(),    query.value(4).toBool(), query.value(5).toBool()};
    }
    return Transaction::readToEnd(query, error);
}

GameStore::Change GameStore::keepHall(const HallSetup &hall) {
    const Change change = inTransaction([this, &hall](QSqlQuery &query, QSqlError *error) {
        // One row an evening: the game's.
        query.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO evening_hall (evening, screen, board_open, phones_on, port, "
            "voice_on, smorfia) SELECT evening, ?, ?, ?, ?, ?, ? FROM evening_games WHERE game = "
            "?"));
        for (const QVariant &value :
             {QVariant(hall.screen.isEmpty() ? QStringLiteral("") : hall.screen),
              QVariant(hall.boardOpen), QVariant(hall.phonesOn), QVariant(hall.port),
              QVariant(hall.voiceOn), QVariant(hall.smorfia)}) {
            query.addBindValue(value);
        }
        query.addBindValue(m_gameId);
        if (!query.exec()) {
            return Transaction::failed(query, error);
        }
        return query.numRowsAffected() > 0 ||
               Transaction::refused(QStringLiteral("la partita non è di nessuna serata"), error);
    });
    if (change.done()) {
        m_hall = hall;
    }
    return change;
}

bool GameStore::recordClaim(const ClaimCheck &claim) {
    return noted(inTransaction([this, claim](QSqlQuery &query, QSqlError *error) {
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
    }));
}

GameStore::Change GameStore::newGame() {
    // The same prizes, values and Tombolino included, none given.
    return openGame(PrizePlan(m_prizes.prizes(), {}));
}

QDateTime GameStore::endOf(const QDateTime &started, const QDateTime &closed,
                           const QList<DrawLogEntry> &log, const PrizePlan &prizes) {
    if (!closed.isValid() && prizes.playing() >= 0) {
        return {}; // still being played
    }
    QDateTime last = started;
    const auto later = [&last](const QDateTime &time) {
        if (time.isValid() && (!last.isValid() || time > last)) {
            last = time;
        }
    };
    for (const DrawLogEntry &entry : log) {
        later(entry.drawnAt);
        later(entry.takenBackAt);
    }
    for (const Award &award : prizes.awards()) {
        later(award.when);
    }
    return last;
}

} // namespace velmora
