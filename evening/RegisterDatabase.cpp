#include "evening/RegisterDatabase.h"

#include "errors/MessagePresenter.h"

#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <utility>

namespace velmora {
namespace {

constexpr auto fileName = "registro.sqlite";
constexpr auto driverName = "QSQLITE";

// The schema's versions, in PRAGMA user_version. A database from before the schema had a
// version reads 0; each step brings it one version up, in the transaction that also writes the
// new number, so a step is done whole and once.
constexpr int schemaVersion = 4;

// How long a change waits for another program holding the register before giving up.
constexpr int busyTimeoutMs = 5000;

// One row per print run; the outcome is written when the run starts ("in_progress") and
// again when it ends, so a run cut short by a crash still says so.
constexpr auto createRuns = R"(
CREATE TABLE IF NOT EXISTS print_runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    program TEXT NOT NULL,
    started TEXT NOT NULL,
    ended TEXT,
    archive_path TEXT NOT NULL,
    archive_size INTEGER NOT NULL,
    archive_sha256 TEXT NOT NULL,
    archive_cards INTEGER NOT NULL,
    first_card INTEGER NOT NULL,
    cards_asked INTEGER NOT NULL,
    last_card INTEGER NOT NULL,
    archive_numbering INTEGER NOT NULL,
    landscape INTEGER NOT NULL,
    destination TEXT NOT NULL,
    outcome TEXT NOT NULL,
    cards_drawn INTEGER NOT NULL DEFAULT 0,
    delivered INTEGER NOT NULL DEFAULT 0,
    pid INTEGER NOT NULL,
    boot_id TEXT NOT NULL
))";

// The games of the evening (ended is empty for the one being played) and their numbers in the
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
    for (const char *statement : {createRuns, createGames, createDrawn}) {
        if (!create.exec(QLatin1String(statement))) {
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
    QSqlQuery query(db);
    for (const char *statement : statements) {
        if (!query.exec(QLatin1String(statement))) {
            return Transaction::failed(query, error);
        }
    }
    return true;
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

using Step = bool (*)(QSqlDatabase, QSqlError *);
// steps[n] brings version n to n + 1.
constexpr std::array<Step, schemaVersion> steps{toVersion1, toVersion2, toVersion3, toVersion4};

QString uniqueConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("velmora-registro-%1").arg(counter.fetchAndAddRelaxed(1));
}

// The columns of each of our tables, as the statements above make them.
const QMap<QString, QStringList> &ourColumns() {
    static const QMap<QString, QStringList> columns{
        {QStringLiteral("print_runs"),
         QStringLiteral("id program started ended archive_path archive_size archive_sha256 "
                        "archive_cards first_card cards_asked last_card archive_numbering "
                        "landscape destination outcome cards_drawn delivered pid boot_id")
             .split(u' ')},
        {QStringLiteral("games"), {"id", "started", "ended"}},
        {QStringLiteral("drawn"), {"game", "position", "number"}},
        {QStringLiteral("evenings"), {"id", "name", "date", "created", "closed"}},
        {QStringLiteral("evening_runs"), {"run", "evening"}},
        {QStringLiteral("evening_games"), {"game", "evening"}},
        {QStringLiteral("cards_in_play"),
         {"id", "evening", "run", "first_number", "last_number", "price_cents"}},
        {QStringLiteral("prizes"), {"game", "position", "kind", "name", "value"}},
        {QStringLiteral("awards"),
         {"game", "prize", "run", "printed_number", "archive_card", "reached_at", "awarded"}},
        {QStringLiteral("claims"), {"game", "checked", "run", "printed_number", "verdict"}},
    };
    return columns;
}

// A database of another program: a table that is not ours, or one of ours without our
// columns. Such a file is never written into. False with *error when it cannot be read.
bool isForeign(QSqlDatabase db, bool *foreign, QSqlError *error) {
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

} // namespace

QString RegisterDatabase::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(fileName);
}

RegisterDatabase::RegisterDatabase(const QString &path)
    : m_path(path), m_connectionName(uniqueConnectionName()) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(driverName))) {
        m_reason = QStringLiteral("manca il driver SQLite di Qt (pacchetto libqt6sql6-sqlite)");
        m_error = QStringLiteral("Il registro delle stampe non è disponibile: %1.").arg(m_reason);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_db = QSqlDatabase::addDatabase(QLatin1String(driverName), m_connectionName);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (openAndPrepare()) {
        return;
    }
    m_db.close();
    // Only a file SQLite calls damaged, or another program's database, is set aside; a full
    // disk, a read-only medium, a lock or missing permissions leave it exactly as it is.
    const bool existed = QFileInfo::exists(path);
    if ((!m_damaged && !m_foreign) || !existed) {
        m_error = QStringLiteral("Il registro delle stampe \"%1\" non si può usare: %2.")
                      .arg(shown, m_reason);
        return;
    }
    const QString aside = setAside(m_foreign ? "estraneo" : "danneggiato");
    if (aside.isEmpty()) {
        m_error = QStringLiteral("Il registro delle stampe \"%1\" non si può usare (%2) e non è "
                                 "stato possibile metterlo da parte.")
                      .arg(shown, m_reason);
        return;
    }
    const QString found = m_foreign ? QStringLiteral("Il file \"%1\" non è un registro delle "
                                                     "stampe di Velmora")
                                    : QStringLiteral("Il registro delle stampe \"%1\" è "
                                                     "danneggiato");
    m_setAside = aside;
    m_notice = (found + QStringLiteral(": è stato conservato come \"%2\" e ne è stato iniziato "
                                       "uno nuovo al suo posto."))
                   .arg(shown, QDir::toNativeSeparators(QFileInfo(aside).absoluteFilePath()));
    m_damaged = m_foreign = false;
    if (!openAndPrepare()) {
        m_db.close();
        m_error = QStringLiteral("Impossibile creare il registro delle stampe \"%1\": %2.")
                      .arg(shown, m_reason);
    }
}

RegisterDatabase::~RegisterDatabase() {
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool RegisterDatabase::failed(const QSqlError &error) {
    m_reason = RegisterFailure::reason(error, m_path);
    m_failure = RegisterFailure::kind(error, m_path);
    m_damaged = m_failure == RegisterFailure::Kind::Damaged;
    return false;
}

bool RegisterDatabase::openAndPrepare() {
    if (!m_db.open()) {
        return failed(m_db.lastError());
    }
    // A file that is not a database opens without complaint; the first read finds it out.
    QSqlQuery check(m_db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        return failed(check.lastError());
    }
    if (check.value(0).toString() != QLatin1String("ok")) {
        // The check's own report is many lines of SQLite's English: the user is told only that
        // the file is damaged.
        m_damaged = true;
        m_reason = QStringLiteral("il file del registro è danneggiato");
        return false;
    }
    check.finish();
    QSqlQuery read(m_db);
    if (!read.exec(QStringLiteral("PRAGMA user_version")) || !read.next()) {
        return failed(read.lastError());
    }
    const int found = read.value(0).toInt();
    read.finish();
    if (found > schemaVersion) {
        m_reason = QStringLiteral("è stato scritto da una versione più recente del programma "
                                  "(schema %1, questa versione conosce fino allo schema %2)")
                       .arg(found)
                       .arg(schemaVersion);
        return false;
    }
    QSqlError error;
    if (!isForeign(m_db, &m_foreign, &error)) {
        return failed(error);
    }
    if (m_foreign) {
        m_reason = QStringLiteral("il file non è un registro delle stampe di Velmora");
        return false;
    }
    QSqlQuery wal(m_db);
    if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        return failed(wal.lastError());
    }
    wal.finish();
    return migrate(found);
}

bool RegisterDatabase::migrate(int found) {
    for (int version = found; version < schemaVersion; ++version) {
        QSqlError error;
        const bool done = Transaction::run(
            m_db,
            [this, version](QSqlError *stepError) {
                if (!steps.at(std::size_t(version))(m_db, stepError)) {
                    return false;
                }
                // PRAGMA takes no bound value; the number is ours.
                QSqlQuery write(m_db);
                return write.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1)) ||
                       Transaction::failed(write, stepError);
            },
            &error);
        if (!done) {
            failed(error);
            m_reason = QStringLiteral("non è stato possibile aggiornarlo alla versione %1 (%2)")
                           .arg(version + 1)
                           .arg(m_reason);
            return false;
        }
    }
    return true;
}

int RegisterDatabase::currentSchemaVersion() {
    return schemaVersion;
}

QString RegisterDatabase::setAside(const char *tag) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QStringLiteral("%1.%2-%3").arg(m_path, QLatin1String(tag), stamp);
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = QStringLiteral("%1-%2").arg(base).arg(n);
    }
    if (!QFile::rename(m_path, target)) {
        return {};
    }
    // The log files belong to the damaged database: they go with it, never into the new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString companion = m_path + QLatin1String(suffix);
        if (QFileInfo::exists(companion)) {
            QFile::rename(companion, target + QLatin1String(suffix));
        }
    }
    return target;
}

std::unique_ptr<RegisterDatabase> RegisterDatabase::openTelling(QWidget *parent,
                                                                MessagePresenter &messages) {
    auto database = std::make_unique<RegisterDatabase>();
    if (!database->notice().isEmpty()) {
        messages.avviso(parent, database->notice());
    }
    if (!database->isOpen()) {
        messages.avviso(parent, database->error());
        return nullptr;
    }
    return database;
}

} // namespace velmora
