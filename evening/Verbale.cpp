#include "evening/Verbale.h"

#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "print/RunArchives.h"
#include "register/CardTrace.h"
#include "register/RegisterFailure.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"
#include "settings/Configurazione.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace velmora {
namespace {

QString unreadable(const QString &why) {
    return QStringLiteral("Il verbale non si può leggere dal registro: %1.").arg(why);
}

QString unreadable(const QSqlDatabase &db, const QSqlError &error) {
    return unreadable(RegisterFailure::reason(error, db.databaseName()));
}

// The game's times and the evening it belongs to (0 when none); false when it is not there.
struct GameRow {
    QDateTime started;
    QDateTime ended;
    qint64 evening = 0;
};

std::optional<GameRow> gameRow(QSqlDatabase db, qint64 game, QSqlError *error) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT g.started, g.ended, COALESCE(e.evening, 0) FROM games g "
                                 "LEFT JOIN evening_games e ON e.game = g.id WHERE g.id = ?"));
    query.addBindValue(game);
    if (!query.exec()) {
        Transaction::failed(query, error);
        return std::nullopt;
    }
    if (!query.next()) {
        return std::nullopt;
    }
    return GameRow{RegisterTime::read(query.value(0).toString()),
                   RegisterTime::read(query.value(1).toString()), query.value(2).toLongLong()};
}

// The game's place among the games of its evening, from 1.
int placeInEvening(QSqlDatabase db, qint64 evening, qint64 game) {
    QSqlQuery query(db);
    query.prepare(
        QStringLiteral("SELECT COUNT(*) FROM evening_games WHERE evening = ? AND game <= ?"));
    query.addBindValue(evening);
    query.addBindValue(game);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

// The runs of the evening with the printed numbers of their first and last card, read from
// the archive each run printed from while it is at hand as it was.
void addRuns(const QList<RunRecord> &records, Verbale *verbale) {
    RunArchives archives;
    const StoredNumber stored = archives.lookup();
    for (const RunRecord &record : records) {
        Verbale::Run run;
        run.id = record.id;
        run.numbering = record.numberingText();
        run.archiveFileName = QFileInfo(record.archivePath).fileName();
        if (const std::optional<CardTrace::Range> range = CardTrace::printedRange(record)) {
            run.firstArchiveCard = range->first;
            run.lastArchiveCard = range->last;
            run.firstPrinted = CardTrace::printedNumber(record, range->first, stored).value_or(0);
            run.lastPrinted = CardTrace::printedNumber(record, range->last, stored).value_or(0);
            run.delivered = range->last - range->first + 1;
            run.certain = range->certain;
        }
        verbale->runs.append(run);
        const auto same = [&record](const Verbale::Archive &archive) {
            return archive.path == record.archivePath && archive.sha256 == record.archiveSha256;
        };
        if (std::none_of(verbale->archives.cbegin(), verbale->archives.cend(), same)) {
            verbale->archives.append({record.archivePath, run.archiveFileName, record.archiveCards,
                                      record.archiveSha256});
        }
    }
}

// The evening's name and date, runs and cards in play; false with *reason when the register
// cannot be read.
bool readEvening(QSqlDatabase db, qint64 evening, Verbale *verbale, QString *reason) {
    const EveningStore store(db);
    const std::optional<Evening> found = store.evening(evening);
    if (!found) {
        *reason = unreadable(store.lastError());
        return false;
    }
    verbale->eveningName = found->name;
    verbale->eveningDate = found->date;
    const QList<RunRecord> runs = store.runs(evening);
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
        return false;
    }
    addRuns(runs, verbale);
    verbale->sold = store.sold(evening);
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
        return false;
    }
    for (const SoldRange &range : std::as_const(verbale->sold)) {
        verbale->soldCount += range.count();
        verbale->takingsCents += range.takingsCents();
    }
    return true;
}

} // namespace

QString Verbale::sourceText(DrawSource source) {
    switch (source) {
    case DrawSource::Typed:
        return QStringLiteral("digitato");
    case DrawSource::Clicked:
        return QStringLiteral("cliccato");
    case DrawSource::Computer:
        return QStringLiteral("estratto dal computer");
    case DrawSource::Unknown:
        break;
    }
    return {};
}

QList<GameListing> Verbale::gamesOfCurrentEvening(QSqlDatabase db, QString *reason) {
    reason->clear();
    const EveningStore store(db);
    const std::optional<Evening> evening = store.openOne();
    if (!evening) {
        if (!store.lastError().isEmpty()) {
            *reason = unreadable(store.lastError());
        }
        return {};
    }
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "SELECT g.id, g.started, g.ended, "
        "(SELECT COUNT(*) FROM drawn d WHERE d.game = g.id AND d.taken_back IS NULL) "
        "FROM games g JOIN evening_games e ON e.game = g.id WHERE e.evening = ? ORDER BY g.id"));
    query.addBindValue(evening->id);
    QList<GameListing> games;
    QSqlError error;
    if (!query.exec()) {
        *reason = unreadable(db, query.lastError());
        return {};
    }
    while (query.next()) {
        const QDateTime ended = RegisterTime::read(query.value(2).toString());
        games.append({query.value(0).toLongLong(), RegisterTime::read(query.value(1).toString()),
                      ended, query.value(3).toInt(), !ended.isValid()});
    }
    if (!Transaction::readToEnd(query, &error)) {
        *reason = unreadable(db, error);
        return {};
    }
    return games;
}

qint64 Verbale::currentGame(QSqlDatabase db, QString *reason) {
    reason->clear();
    std::optional<GameStore::OpenGame> open;
    QSqlError error;
    if (!GameStore::readOpenGame(db, &open, &error)) {
        *reason = unreadable(db, error);
        return 0;
    }
    return open ? open->id : 0;
}

std::optional<Verbale> Verbale::read(QSqlDatabase db, const Configurazione &settings, qint64 game,
                                     QString *reason) {
    QSqlError error;
    const std::optional<GameRow> row = gameRow(db, game, &error);
    if (!row) {
        *reason = error.isValid()
                      ? unreadable(db, error)
                      : QStringLiteral("La partita n. %1 non è nel registro.").arg(game);
        return std::nullopt;
    }
    Verbale verbale;
    verbale.registerPath = db.databaseName();
    verbale.game = game;
    verbale.started = row->started;
    verbale.ended = row->ended;
    verbale.ditta = settings.Ditta.trimmed();
    verbale.via = settings.Via.trimmed();
    verbale.tel = settings.Tel.trimmed();
    // A game kept before evenings were, or one the evening could not take, has no evening: its
    // record says so rather than borrow another's cards.
    if (row->evening != 0) {
        if (!readEvening(db, row->evening, &verbale, reason)) {
            return std::nullopt;
        }
        verbale.gameNumber = placeInEvening(db, row->evening, game);
    }
    PrizePlan plan;
    if (!GameStore::readLog(db, game, &verbale.draws, &error) ||
        !GameStore::readPrizes(db, game, &plan, &error) ||
        !GameStore::readClaims(db, game, &verbale.claims, &error)) {
        *reason = unreadable(db, error);
        return std::nullopt;
    }
    verbale.prizes = plan.prizes();
    for (const Award &award : plan.awards()) {
        const Prize prize = plan.prizes().value(award.prize);
        verbale.awards.append({prize.name, prize.value, award.cards, award.when});
    }
    return verbale;
}

} // namespace velmora
