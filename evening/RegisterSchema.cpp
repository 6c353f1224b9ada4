#include "evening/RegisterSchema.h"

#include "register/PrintRegister.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QDateTime>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {
namespace {

// The schema's versions, in PRAGMA user_version. A database from before the schema had a
// version reads 0; each step brings it one version up, in the transaction that also writes the
// new number, so a step is done whole and once.
constexpr int schemaVersion = 7;

// order drawn, positions from 1.
constexpr auto createGames = R"(
CREATE TABLE IF NOT EXISTS games (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started TEXT NOT NULL,
    ended TEXT
))";
constexpr auto createDrawn = R"(
CREATE TABLE IF NOT EXISTS drawn (
    game INTEGER NOT NULL REFERENCES games(id),
    position INTEGER NOT NULL,
    number INTEGER NOT NULL CHECK (number BETWEEN 1 AND 90),
    UNIQUE (game, number)
))";

// The evening ("serata"): its name and local date, when it was begun and closed (empty for
// the current one). Each run and game belongs to one evening; the cards in play are ranges of
// the numbers printed by one run, sold at a price per card in cents.
constexpr auto createEvenings = R"(
CREATE TABLE evenings (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT NOT NULL,
    date TEXT NOT NULL,
    created TEXT NOT NULL,
    closed TEXT
))";
constexpr auto createEveningRuns = R"(
CREATE TABLE evening_runs (
    run INTEGER PRIMARY KEY REFERENCES print_runs(id),
    evening INTEGER NOT NULL REFERENCES evenings(id)
))";
constexpr auto createEveningGames = R"(
CREATE TABLE evening_games (
    game INTEGER PRIMARY KEY REFERENCES games(id),
    evening INTEGER NOT NULL REFERENCES evenings(id)
))";
constexpr auto createCardsInPlay = R"(
CREATE TABLE cards_in_play (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    evening INTEGER NOT NULL REFERENCES evenings(id),
    run INTEGER NOT NULL REFERENCES print_runs(id),
    first_number INTEGER NOT NULL,
    last_number INTEGER NOT NULL,
    price_cents INTEGER NOT NULL CHECK (price_cents >= 0),
    CHECK (first_number <= last_number)
))";

// Every column that holds a time.
constexpr std::array<std::pair<const char *, const char *>, 4> timeColumns{{
    {"print_runs", "started"},
    {"print_runs", "ended"},
    {"games", "started"},
    {"games", "ended"},
}};

// Times written with no zone (the game store wrote local time) or with an offset, in UTC. A
// text that is no time at all is left as it was: nothing is lost.
bool timesToUtc(QSqlDatabase db, QSqlError *error) {
    for (const auto &[table, column] : timeColumns) {
        QSqlQuery select(db);
        if (!select.exec(QStringLiteral("SELECT rowid, %2 FROM %1 WHERE %2 IS NOT NULL")
                             .arg(QLatin1String(table), QLatin1String(column)))) {
            return Transaction::failed(select, error);
        }
        QList<std::pair<qint64, QString>> moved;
        while (select.next()) {
            const QString text = select.value(1).toString();
            const QString utc = RegisterTime::stored(RegisterTime::read(text));
            if (!utc.isEmpty() && utc != text) {
                moved.append({select.value(0).toLongLong(), utc});
            }
        }
        if (!Transaction::readToEnd(select, error)) {
            return false;
        }
        QSqlQuery update(db);
        update.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                           .arg(QLatin1String(table), QLatin1String(column)));
        for (const auto &[row, utc] : moved) {
            update.addBindValue(utc);
            update.addBindValue(row);
            if (!update.exec()) {
                return Transaction::failed(update, error);
            }
        }
    }
    return true;
}

// Version 1: the print register and the game of the evening in one schema, every time in UTC.
// A database from before has the print register's table, perhaps the game's, and the game's
// times in local time.
bool toVersion1(QSqlDatabase db, QSqlError *error) {
    QSqlQuery create(db);
    for (const QString &statement : {PrintRegister::createTable(), QString::fromLatin1(createGames),
                                     QString::fromLatin1(createDrawn)}) {
        if (!create.exec(statement)) {
            return Transaction::failed(create, error);
        }
    }
    return timesToUtc(db, error);
}

// The local dates of every run and game, earliest first.
bool activityDates(QSqlDatabase db, QList<QDate> *dates, QSqlError *error) {
    QSqlQuery select(db);
    if (!select.exec(QStringLiteral("SELECT started FROM print_runs UNION ALL "
                                    "SELECT started FROM games"))) {
        return Transaction::failed(select, error);
    }
    while (select.next()) {
        const QDateTime time = RegisterTime::read(select.value(0).toString());
        if (time.isValid()) {
            dates->append(time.toLocalTime().date());
        }
    }
    std::sort(dates->begin(), dates->end());
    return Transaction::readToEnd(select, error);
}

// Version 2: the evening. The runs and games of a register from before belong to one first
// evening, closed, named after their dates ("Serata del 7/12/2026", or "Serate dal 14/7/2026
// al 7/12/2026" when they span several days); an empty register gets no evening.
bool toVersion2(QSqlDatabase db, QSqlError *error) {
    QSqlQuery create(db);
    for (const char *statement :
         {createEvenings, createEveningRuns, createEveningGames, createCardsInPlay}) {
        if (!create.exec(QLatin1String(statement))) {
            return Transaction::failed(create, error);
        }
    }
    QList<QDate> dates;
    if (!activityDates(db, &dates, error)) {
        return false;
    }
    if (dates.isEmpty()) {
        return true;
    }
    const auto shown = [](const QDate &date) { return date.toString(QStringLiteral("d/M/yyyy")); };
    const QString name =
        dates.first() == dates.last()
            ? QStringLiteral("Serata del %1").arg(shown(dates.first()))
            : QStringLiteral("Serate dal %1 al %2").arg(shown(dates.first()), shown(dates.last()));
    const QString now = RegisterTime::stored(QDateTime::currentDateTimeUtc());
    QSqlQuery insert(db);
    insert.prepare(
        QStringLiteral("INSERT INTO evenings (name, date, created, closed) VALUES (?, ?, ?, ?)"));
    insert.addBindValue(name);
    insert.addBindValue(dates.first().toString(Qt::ISODate));
    insert.addBindValue(now);
    insert.addBindValue(now);
    if (!insert.exec()) {
        return Transaction::failed(insert, error);
    }
    const qint64 evening = insert.lastInsertId().toLongLong();
    for (const char *link : {"INSERT INTO evening_runs (run, evening) SELECT id, ? FROM print_runs",
                             "INSERT INTO evening_games (game, evening) SELECT id, ? FROM games"}) {
        QSqlQuery copy(db);
        copy.prepare(QLatin1String(link));
        copy.addBindValue(evening);
        if (!copy.exec()) {
            return Transaction::failed(copy, error);
        }
    }
    return true;
}

// Runs a step's statements in order; false with *error at the first that fails.
template <std::size_t N>
bool runAll(QSqlDatabase db, const std::array<const char *, N> &statements, QSqlError *error) {
    QSqlQuery query(db);
    for (const char *statement : statements) {
        if (!query.exec(QLatin1String(statement))) {
            return Transaction::failed(query, error);
        }
    }
    return true;
}

// Version 3: the numbers of a game become its draw log, each with its time and how it came
// (typed, clicked on the board, or drawn by the computer); a number taken back stays, marked
// with the time it was taken back, so the evening can be audited. The draw is the numbers not
// taken back, in the order of the log. A game also has its prizes in order and their awards.
// Numbers of games already stored keep their order; their time is the game's start and their
// source is unknown.
bool toVersion3(QSqlDatabase db, QSqlError *error) {
    static constexpr std::array statements{
        R"(CREATE TABLE drawn_log (
    game INTEGER NOT NULL REFERENCES games(id),
    position INTEGER NOT NULL,
    number INTEGER NOT NULL CHECK (number BETWEEN 1 AND 90),
    drawn_at TEXT,
    source TEXT NOT NULL DEFAULT 'unknown',
    taken_back TEXT
))",
        R"(INSERT INTO drawn_log (game, position, number, drawn_at, source)
    SELECT d.game, d.position, d.number, g.started, 'unknown'
    FROM drawn d LEFT JOIN games g ON g.id = d.game ORDER BY d.game, d.position, d.rowid)",
        "DROP TABLE drawn",
        "ALTER TABLE drawn_log RENAME TO drawn",
        // A number is in the draw once; taken back, it may be drawn again.
        "CREATE UNIQUE INDEX drawn_in_play ON drawn (game, number) WHERE taken_back IS NULL",
        R"(CREATE TABLE prizes (
    game INTEGER NOT NULL REFERENCES games(id),
    position INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    name TEXT NOT NULL,
    value TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (game, position)
))",
        // One row per card of an award; cards that reached the prize at the same draw share it.
        R"(CREATE TABLE awards (
    game INTEGER NOT NULL REFERENCES games(id),
    prize INTEGER NOT NULL,
    run INTEGER NOT NULL,
    printed_number INTEGER NOT NULL,
    archive_card INTEGER NOT NULL,
    reached_at INTEGER NOT NULL,
    awarded TEXT NOT NULL
))",
    };
    return runAll(db, statements, error);
}

// Version 4: the claims checked during a game, each with its time, the card shown (its run,
// 0 when not known, and printed number) and the verdict the organiser saw, in the order
// checked.
bool toVersion4(QSqlDatabase db, QSqlError *error) {
    QSqlQuery query(db);
    return query.exec(QStringLiteral(R"(CREATE TABLE claims (
    game INTEGER NOT NULL REFERENCES games(id),
    checked TEXT NOT NULL,
    run INTEGER NOT NULL,
    printed_number INTEGER NOT NULL,
    verdict TEXT NOT NULL
))")) || Transaction::failed(query, error);
}

// Version 5: a game keeps, from its start, the organiser's lines and the card title it is
// played under, so that its record names them whatever the settings say later. Games from
// before have none (null): their record reads the settings as it always did.
bool toVersion5(QSqlDatabase db, QSqlError *error) {
    QSqlQuery query(db);
    for (const char *column : {"organiser", "organiser_street", "organiser_phone", "card_title"}) {
        if (!query.exec(QStringLiteral("ALTER TABLE games ADD COLUMN %1 TEXT")
                            .arg(QLatin1String(column)))) {
            return Transaction::failed(query, error);
        }
    }
    return true;
}

// Version 6: what the record of a game needs to be signed, and how a shared prize is given.
// An evening keeps where it is held and the place its record is signed in, and the people who
// sign it (role and name, in order). A prize says whether the cards that share it each get the
// whole value (1) or divide it (0, as every prize did before).
bool toVersion6(QSqlDatabase db, QSqlError *error) {
    static constexpr std::array statements{
        "ALTER TABLE evenings ADD COLUMN venue TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE evenings ADD COLUMN signing_place TEXT NOT NULL DEFAULT ''",
        R"(CREATE TABLE signatories (
    evening INTEGER NOT NULL REFERENCES evenings(id),
    position INTEGER NOT NULL,
    role TEXT NOT NULL,
    name TEXT NOT NULL,
    PRIMARY KEY (evening, position)
))",
        "ALTER TABLE prizes ADD COLUMN whole_to_each INTEGER NOT NULL DEFAULT 0",
    };
    return runAll(db, statements, error);
}

// Version 7: the hall as the organiser left it in each evening (the hall board's screen and
// whether it was open, the phones' board and its port, the voice and the smorfia), taken up
// again after a restart; and an award taken back, kept with the time it was taken back.
bool toVersion7(QSqlDatabase db, QSqlError *error) {
    static constexpr std::array statements{
        R"(CREATE TABLE evening_hall (
    evening INTEGER PRIMARY KEY REFERENCES evenings(id),
    screen TEXT NOT NULL DEFAULT '',
    board_open INTEGER NOT NULL DEFAULT 0,
    phones_on INTEGER NOT NULL DEFAULT 0,
    port INTEGER NOT NULL,
    voice_on INTEGER NOT NULL DEFAULT 0,
    smorfia INTEGER NOT NULL DEFAULT 0
))",
        "ALTER TABLE awards ADD COLUMN taken_back TEXT",
    };
    return runAll(db, statements, error);
}

using Step = bool (*)(QSqlDatabase, QSqlError *);
// steps[n] brings version n to n + 1.
constexpr std::array<Step, schemaVersion> steps{toVersion1, toVersion2, toVersion3, toVersion4,
                                                toVersion5, toVersion6, toVersion7};

// The columns of each of our tables, as the statements above make them. A column a later step
// adds to a table is not listed: a register of an older version, checked before its steps run,
// has the table without it.
const QMap<QString, QStringList> &ourColumns() {
    static const QMap<QString, QStringList> columns{
        {QStringLiteral("print_runs"), PrintRegister::columns()},
        {QStringLiteral("games"), {"id", "started", "ended"}},
        {QStringLiteral("drawn"), {"game", "position", "number"}},
        {QStringLiteral("evenings"), {"id", "name", "date", "created", "closed"}},
        {QStringLiteral("evening_runs"), {"run", "evening"}},
        {QStringLiteral("evening_games"), {"game", "evening"}},
        {QStringLiteral("cards_in_play"),
         {"id", "evening", "run", "first_number", "last_number", "price_cents"}},
        {QStringLiteral("prizes"), {"game", "position", "kind", "name", "value"}},
        {QStringLiteral("signatories"), {"evening", "position", "role", "name"}},
        {QStringLiteral("awards"),
         {"game", "prize", "run", "printed_number", "archive_card", "reached_at", "awarded"}},
        {QStringLiteral("claims"), {"game", "checked", "run", "printed_number", "verdict"}},
        {QStringLiteral("evening_hall"),
         {"evening", "screen", "board_open", "phones_on", "port", "voice_on", "smorfia"}},
    };
    return columns;
}

// A database of another program: a table that is not ours, or one of ours without our
// columns. Such a file is never written into. False with *error when it cannot be read.
} // namespace

bool RegisterSchema::isForeign(QSqlDatabase db, bool *foreign, QSqlError *error) {
    *foreign = false;
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                    "name NOT LIKE 'sqlite_%'"))) {
        return Transaction::failed(tables, error);
    }
    QStringList names;
    while (tables.next()) {
        names.append(tables.value(0).toString());
    }
    if (!Transaction::readToEnd(tables, error)) {
        return false;
    }
    for (const QString &name : names) {
        if (!ourColumns().contains(name)) {
            *foreign = true;
            return true;
        }
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(name))) {
            return Transaction::failed(info, error);
        }
        QStringList found;
        while (info.next()) {
            found.append(info.value(1).toString());
        }
        if (!Transaction::readToEnd(info, error)) {
            return false;
        }
        for (const QString &column : ourColumns().value(name)) {
            if (!found.contains(column)) {
                *foreign = true;
                return true;
            }
        }
    }
    return true;
}

int RegisterSchema::version() {
    return schemaVersion;
}

bool RegisterSchema::step(QSqlDatabase db, int from, QSqlError *error) {
    return steps.at(std::size_t(from))(std::move(db), error);
}

} // namespace velmora
