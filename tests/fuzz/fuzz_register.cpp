// What the program reads back from its register for a game and an evening: rows of any value,
// as a damaged, hand-edited or future register could hold them, are read without a crash, and
// what is read keeps the rules the windows rely on (a game's numbers 1..90 once each, a prize
// played that exists, each card in play inside a range sold of its run).
//
// Input: lines, each one byte choosing the table, then its values separated by tabs (a number
// is bound as a number, an empty value as null). The rows replace the register's for each
// input.

#include "FuzzCheck.h"
#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"

#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <array>
#include <cstdint>

using namespace velmora;

namespace {

constexpr std::array statements{
    "INSERT INTO games (started, ended) VALUES (?, ?)",
    "INSERT INTO drawn (game, position, number, drawn_at, source, taken_back) "
    "VALUES (?, ?, ?, ?, ?, ?)",
    "INSERT INTO prizes (game, position, kind, name, value) VALUES (?, ?, ?, ?, ?)",
    "INSERT INTO awards (game, prize, run, printed_number, archive_card, reached_at, awarded) "
    "VALUES (?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO claims (game, checked, run, printed_number, verdict) VALUES (?, ?, ?, ?, ?)",
    "INSERT INTO evenings (name, date, created, closed) VALUES (?, ?, ?, ?)",
    "INSERT INTO evening_games (game, evening) VALUES (?, ?)",
    "INSERT INTO evening_runs (run, evening) VALUES (?, ?)",
    "INSERT INTO cards_in_play (evening, run, first_number, last_number, price_cents) "
    "VALUES (?, ?, ?, ?, ?)",
    "INSERT INTO print_runs (program, started, archive_path, archive_size, archive_sha256, "
    "archive_cards, first_card, cards_asked, last_card, archive_numbering, landscape, "
    "destination, outcome, cards_drawn, delivered, pid, boot_id) VALUES ('velmora-pdf', ?, "
    "'/tmp/RidoDur.dat', 0, 'aa', 12000, ?, ?, ?, ?, 1, 'x.pdf', ?, ?, ?, 1, 'boot')",
};
constexpr std::array tables{"awards",       "claims",        "prizes", "drawn",    "evening_games",
                            "evening_runs", "cards_in_play", "games",  "evenings", "print_runs"};

QSqlDatabase database() {
    static QTemporaryDir dir;
    static RegisterDatabase db(dir.filePath(QStringLiteral("registro.sqlite")));
    return db.connection();
}

QVariant bound(const QString &value) {
    if (value.isEmpty()) {
        return QVariant();
    }
    bool number = false;
    const qlonglong n = value.toLongLong(&number);
    return number ? QVariant(n) : QVariant(value);
}

void checkGame(const Game &game) {
    QSet<int> seen;
    for (const int number : game.numbers()) {
        FUZZ_CHECK(number >= 1 && number <= 90 && !seen.contains(number));
        seen.insert(number);
    }
    FUZZ_CHECK(game.count() == seen.size());
}

void checkPrizes(const PrizePlan &plan) {
    FUZZ_CHECK(plan.playing() >= -1 && plan.playing() < plan.prizes().size());
    (void)plan.playingText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    QSqlDatabase db = database();
    FUZZ_CHECK(db.isOpen());
    QSqlQuery query(db);
    for (const char *table : tables) {
        query.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    }
    query.exec(QStringLiteral("DELETE FROM sqlite_sequence"));
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QLatin1String statement(statements.at(line.at(0).unicode() % statements.size()));
        query.prepare(statement);
        const QStringList values = line.mid(1).split(u'\t');
        for (qsizetype v = 0; v < statement.count(u'?'); ++v) {
            query.addBindValue(bound(values.value(v)));
        }
        query.exec(); // a row the schema refuses is simply not there
    }

    GameStore store(db);
    if (store.restore()) {
        checkGame(store.game());
        checkPrizes(store.prizes());
    }
    QSqlError error;
    for (qint64 id = 0; id <= 4; ++id) {
        std::optional<GameStore::KeptGame> kept;
        QList<DrawLogEntry> log;
        PrizePlan plan;
        QList<ClaimCheck> claims;
        if (GameStore::readGame(db, id, &kept, &error) && kept &&
            GameStore::readLog(db, id, &log, &error) &&
            GameStore::readPrizes(db, id, &plan, &error) &&
            GameStore::readClaims(db, id, &claims, &error)) {
            checkPrizes(plan);
            (void)GameStore::endOf(kept->started, kept->ended, log, plan);
        }
    }

    const EveningStore evenings(db);
    for (const Evening &evening : evenings.evenings()) {
        (void)evenings.runs(evening.id);
        (void)evenings.games(evening.id);
        const QList<SoldRange> sold = evenings.sold(evening.id);
        for (const SoldRange &range : sold) {
            FUZZ_CHECK(range.first <= range.last);
        }
        for (const PlayedCard &card : evenings.cardsInPlay(evening.id)) {
            FUZZ_CHECK(std::any_of(sold.cbegin(), sold.cend(), [&card](const SoldRange &range) {
                return range.run == card.run && range.first <= card.printedNumber &&
                       card.printedNumber <= range.last;
            }));
        }
    }
    (void)evenings.openOne();
    return 0;
}
