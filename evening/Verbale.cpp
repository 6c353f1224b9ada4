#include "evening/Verbale.h"

#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "print/RunArchives.h"
#include "register/CardTrace.h"
#include "register/RegisterFailure.h"
#include "settings/Configurazione.h"

#include <QFileInfo>
#include <QSqlError>

#include <algorithm>

namespace velmora {
namespace {

QString unreadable(const QString &why) {
    return QStringLiteral("Il verbale non si può leggere dal registro: %1.").arg(why);
}

QString unreadable(const QSqlDatabase &db, const QSqlError &error) {
    return unreadable(RegisterFailure::reason(error, db.databaseName()));
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
        run.archiveSha256 = record.archiveSha256;
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
    const QList<GameListing> games = evening ? store.games(evening->id) : QList<GameListing>();
    if (!store.lastError().isEmpty()) {
        *reason = unreadable(store.lastError());
    }
    return games;
}

qint64 Verbale::currentGame(QSqlDatabase db, QString *reason) {
    reason->clear();
    std::optional<GameStore::KeptGame> open;
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
    std::optional<GameStore::KeptGame> kept;
    if (!GameStore::readGame(db, game, &kept, &error) || !kept) {
        *reason = error.isValid()
                      ? unreadable(db, error)
                      : QStringLiteral("La partita n. %1 non è nel registro.").arg(game);
        return std::nullopt;
    }
    const EveningStore evenings(db);
    const std::optional<GamePlace> place = evenings.placeOf(game);
    if (!place) {
        *reason = unreadable(evenings.lastError());
        return std::nullopt;
    }
    Verbale verbale;
    verbale.registerPath = db.databaseName();
    verbale.game = game;
    verbale.started = kept->started;
    // The lines the game was played under; a game kept before games had them reads the
    // settings.
    const GameStore::Heading heading = kept->heading.value_or(
        GameStore::Heading{settings.Ditta.trimmed(), settings.Via.trimmed(), settings.Tel.trimmed(),
                           settings.Titolo.trimmed()});
    verbale.ditta = heading.ditta;
    verbale.via = heading.via;
    verbale.tel = heading.tel;
    verbale.title = heading.title;
    // A game kept before evenings were, or one the evening could not take, has no evening: its
    // record says so rather than borrow another's cards.
    if (place->evening != 0) {
        if (!readEvening(db, place->evening, &verbale, reason)) {
            return std::nullopt;
        }
        verbale.gameNumber = place->number;
    }
    PrizePlan plan;
    QList<GameStore::TakenBack> takenBack;
    if (!GameStore::readLog(db, game, &verbale.draws, &error) ||
        !GameStore::readPrizes(db, game, &plan, &error) ||
        !GameStore::readTakenBack(db, game, &takenBack, &error) ||
        !GameStore::readClaims(db, game, &verbale.claims, &error)) {
        *reason = unreadable(db, error);
        return std::nullopt;
    }
    verbale.prizes = plan.prizes();
    verbale.ended = GameStore::endOf(kept->started, kept->ended, verbale.draws, plan);
    for (const Award &award : plan.awards()) {
        const Prize prize = plan.prizes().value(award.prize);
        verbale.awards.append({prize.name, prize.value, award.cards, award.when, {}});
    }
    for (const GameStore::TakenBack &back : takenBack) {
        const Prize prize = plan.prizes().value(back.award.prize);
        verbale.awards.append(
            {prize.name, prize.value, back.award.cards, back.award.when, back.at});
    }
    std::stable_sort(verbale.awards.begin(), verbale.awards.end(),
                     [](const AwardLine &a, const AwardLine &b) { return a.awarded < b.awarded; });
    return verbale;
}

} // namespace velmora
