#include "game/GameDesk.h"

#include "errors/VelmoraError.h"
#include "evening/GameStore.h"
#include "register/CardNumbering.h"
#include "rules/WinnerFinder.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>

namespace velmora {
namespace {

QString alreadyDrawn(int number) {
    return QStringLiteral("Il %1 è già estratto: solo \"Annulla ultimo\" toglie l'ultimo numero.")
        .arg(number);
}

// "Ambo: premio assegnato a N. 3 (corsa 1).": said when given, and again after a restart.
QString awardedText(const QString &prize, const QList<HallCard> &cards) {
    return QStringLiteral("%1: premio assegnato a %2.").arg(prize, HallCard::names(cards));
}

} // namespace

GameDesk::GameDesk(Seams seams)
    : m_seams(std::move(seams)), m_computerDraw(m_seams.randomBelow),
      m_archives(m_seams.archivePlaces) {}

GameDesk::Step GameDesk::unsavedStep(const QString &what, const QString &reason) {
    return {false, unsavedText(what, reason), true};
}

QString GameDesk::unsavedText(const QString &what, const QString &reason) {
    return QStringLiteral("%1: %2.").arg(what, reason);
}

GameDesk::Drawn GameDesk::drawNumber(int number, DrawSource source) {
    const GameStore::Change change = m_seams.store->draw(number, source);
    if (change.done()) {
        return {number, {}, false, number, source};
    }
    if (change.notStored()) {
        // Not on the board either: what is shown is what the register holds.
        return {0,
                unsavedText(QStringLiteral("Il %1 non è stato segnato, il registro non lo ha "
                                           "salvato")
                                .arg(number),
                            change.reason),
                true, number, source};
    }
    return {0, alreadyDrawn(number), false, number, source};
}

GameDesk::Drawn GameDesk::drawTyped(const QString &typed) {
    const QString number = typed.trimmed();
    if (number.isEmpty()) {
        return {0, QStringLiteral("Scrivere un numero da 1 a 90.")};
    }
    if (!NumberSet::inRange(number.toInt())) {
        return {0, QStringLiteral("Il %1 non è un numero della tombola: scrivere un numero da 1 "
                                  "a 90.")
                       .arg(number)};
    }
    return drawNumber(number.toInt(), DrawSource::Typed);
}

GameDesk::Drawn GameDesk::drawClicked(int number) {
    // A misclick on the evening must never change the draw: a drawn number stays drawn.
    return drawNumber(number, DrawSource::Clicked);
}

GameDesk::Drawn GameDesk::drawByComputer() {
    const int number = m_computerDraw.next(m_seams.store->game());
    if (number == 0) {
        return {0, QStringLiteral("Tutti i 90 numeri sono già estratti.")};
    }
    return drawNumber(number, DrawSource::Computer);
}

GameDesk::Drawn GameDesk::drawAgain(const Drawn &unsaved) {
    return drawNumber(unsaved.asked, unsaved.source);
}

GameDesk::Step GameDesk::undo() {
    const GameStore::Change change = m_seams.store->undo();
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("Il %1 non è stato tolto, il registro non lo ha "
                                          "salvato")
                               .arg(change.number),
                           change.reason);
    }
    return {change.done(),
            change.done() ? QStringLiteral("Tolto il %1.").arg(change.number) : QString()};
}

GameDesk::Step GameDesk::newGame() {
    const GameStore::Change change = m_seams.store->newGame();
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("La nuova partita non è iniziata, il registro non "
                                          "l'ha salvata"),
                           change.reason);
    }
    m_checked.reset();
    return {true, QStringLiteral("Nuova partita.")};
}

GameDesk::Step GameDesk::addTombolino() {
    const GameStore::Change change = m_seams.store->addTombolino();
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("Il Tombolino non è stato aggiunto, il registro non "
                                          "lo ha salvato"),
                           change.reason);
    }
    return {change.done(), {}};
}

GameDesk::Step GameDesk::setPrizeValue(int prize, const QString &value) {
    const GameStore::Change change = m_seams.store->setPrizeValue(prize, value);
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("Il valore del premio %1 non è stato cambiato, il "
                                          "registro non lo ha salvato")
                               .arg(m_seams.store->prizes().prizes().value(prize).name),
                           change.reason);
    }
    return {change.done(), {}};
}

GameDesk::Step GameDesk::setPrizeWholeToEach(int prize, bool whole) {
    const GameStore::Change change = m_seams.store->setPrizeWholeToEach(prize, whole);
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("La ripartizione del premio %1 non è stata cambiata, "
                                          "il registro non l'ha salvata")
                               .arg(m_seams.store->prizes().prizes().value(prize).name),
                           change.reason);
    }
    return {change.done(), {}};
}

QString GameDesk::resumedNotice() {
    const GameStore &store = *m_seams.store;
    if (!store.resumed()) {
        return {};
    }
    const int count = store.game().count();
    QString notice = QStringLiteral("Partita in corso ripresa dal registro: %1")
                         .arg(count == 1 ? QStringLiteral("1 numero estratto")
                                         : QStringLiteral("%1 numeri estratti").arg(count));
    // Each prize given, said as it was when given: the organiser sees who has it.
    const HallState state = hallState();
    if (state.awards.isEmpty()) {
        return notice + QStringLiteral(", nessun premio assegnato.");
    }
    notice += QLatin1Char('.');
    for (const HallAward &award : state.awards) {
        notice += QLatin1Char(' ') + awardedText(award.prize, award.cards);
    }
    return notice;
}

bool GameDesk::canAddTombolino() const {
    return m_seams.store->prizes().canAddTombolino();
}

const QList<CardInPlay> &GameDesk::cardsInPlay() {
    if (m_seams.cardsInPlay) {
        m_cardsInPlay = m_seams.cardsInPlay();
        return m_cardsInPlay;
    }
    QList<PrintedRun> runs = m_seams.runs->runs();
    auto sold = m_seams.soldCards ? m_seams.soldCards() : std::nullopt;
    // An archive not found is looked for again: it may have been put back.
    const bool again = !m_unchecked.isEmpty();
    if (m_cardsRuns && runs == *m_cardsRuns && sold == m_cardsSold && !again) {
        return m_cardsInPlay;
    }
    // Every card the runs put out: the archives are read again only when the runs change.
    if (!m_cardsRuns || runs != *m_cardsRuns || again) {
        CardInPlay::FromRuns put = CardInPlay::fromRuns(runs, m_archives);
        m_cardsPutOut = std::move(put.cards);
        m_unchecked = std::move(put.unchecked);
        m_cardsRuns = std::move(runs);
    }
    m_cardsSold = std::move(sold);
    if (!m_cardsSold) {
        m_cardsInPlay = m_cardsPutOut;
        return m_cardsInPlay;
    }
    m_cardsInPlay.clear();
    for (const CardInPlay &card : std::as_const(m_cardsPutOut)) {
        if (m_cardsSold->contains({card.run, card.printed})) {
            m_cardsInPlay.append(card);
        }
    }
    return m_cardsInPlay;
}

QString GameDesk::uncheckedNotice() const {
    if (m_seams.cardsInPlay || m_unchecked.isEmpty()) {
        return {};
    }
    return QStringLiteral("Attenzione: %1.").arg(m_unchecked.join(QStringLiteral("; ")));
}

QString GameDesk::winnersText() {
    const Game &game = m_seams.store->game();
    const PrizePlan &plan = m_seams.store->prizes();
    // Nothing to look for before the first number or after the last prize.
    if (game.count() == 0 || plan.playing() < 0) {
        return {};
    }
    try {
        const QList<CardInPlay> &cards = cardsInPlay();
        const QString said =
            cards.isEmpty() ? QStringLiteral("Nessuna cartella in gioco.")
                            : WinnerFinder::announce(
                                  cards, WinnerFinder::find(cards, game.numbers(), plan), plan);
        const QString unchecked = uncheckedNotice();
        return unchecked.isEmpty() ? said : said + QLatin1Char(' ') + unchecked;
    } catch (const VelmoraError &error) {
        return error.description();
    }
}

QStringList GameDesk::lookUpClaim(const QString &typed) {
    m_claimTyped = typed.trimmed();
    m_checked.reset();
    m_runsError.clear();
    try {
        m_runs = m_seams.runs->runs();
    } catch (const VelmoraError &error) {
        m_runs.clear();
        m_runsError = error.description(); // said by the verdict, not at every key typed
    }
    m_matches = findPrinted(m_runs, m_claimTyped.toLongLong(), m_archives.lookup());
    QStringList labels;
    for (const PrintedMatch &match : std::as_const(m_matches)) {
        labels.append(m_runs.at(match.run).label);
    }
    return labels;
}

GameDesk::Verdict GameDesk::verdict(int run) {
    Verdict verdict;
    m_checked.reset();
    if (m_claimTyped.isEmpty()) {
        verdict.notice = QStringLiteral("Scrivere il numero stampato sulla cartella.");
        return verdict;
    }
    if (!m_runsError.isEmpty()) {
        verdict.notice = m_runsError;
        return verdict;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (m_matches.isEmpty()) {
        verdict.notice = QStringLiteral("Nessuna cartella N. %1 risulta stampata (%2): può essere "
                                        "una copia o di un'altra serata.")
                             .arg(m_claimTyped, m_seams.runs->sourceName());
        // A card nobody printed is a claim checked too: the record shows it refused.
        verdict.claim = ClaimCheck{now, 0, m_claimTyped.toInt(), verdict.notice};
        return verdict;
    }
    const PrintedMatch match = m_matches.at(std::clamp(run, 0, int(m_matches.size()) - 1));
    const PrintedRun &printed = m_runs.at(match.run);
    if (!m_archives.available(printed.record)) {
        // Never a card of another file: the claim is kept as one that could not be checked.
        verdict.notice = RunArchives::missingSentence(printed.record);
        verdict.claim =
            ClaimCheck{now, int(printed.record.id), m_claimTyped.toInt(), verdict.notice};
        return verdict;
    }
    try {
        const RecordCartella record = m_archives.card(printed.record, match.archiveCard);
        const NumberSet &drawn = m_seams.store->game().drawn();
        const QString outcome =
            PrizeCheck::describe(PrizeCheck::check(CardRows::of(record), drawn));
        QStringList notes{QStringLiteral("Cartella %1 dell'archivio, %2.")
                              .arg(match.archiveCard)
                              .arg(printed.label)};
        if (m_matches.size() > 1) {
            notes.append(QStringLiteral("Questo numero è stato stampato in %1 corse: controllare "
                                        "la corsa scelta.")
                             .arg(m_matches.size()));
        }
        if (printed.otherArchive) {
            notes.append(QStringLiteral("Quella stampa usava un archivio diverso da quello "
                                        "attuale: la cartella è letta dal suo, \"%1\".")
                             .arg(QDir::toNativeSeparators(m_archives.foundPath(printed.record))));
        }
        // Whether the claim can be given the prize being played; if not, why, plainly.
        const PrizePlan &plan = m_seams.store->prizes();
        QString refusal;
        const bool awardable =
            WinnerFinder::award(cardsInPlay(), m_seams.store->game().numbers(), plan,
                                printed.record.id, m_claimTyped.toLongLong(), &refusal)
                .has_value();
        if (!awardable) {
            notes.append(refusal);
        }
        // What the organiser was told, in one line: the card's best and whether it wins.
        const QString said = awardable ? QStringLiteral("%1 — vince %2.")
                                             .arg(outcome, plan.prizes().at(plan.playing()).name)
                                       : QStringLiteral("%1 — %2").arg(outcome, refusal);
        verdict.outcome = outcome;
        verdict.notice = notes.join(QLatin1Char(' '));
        verdict.awardable = awardable;
        verdict.card =
            Verdict::Card{record, CardNumbering::printedText(record.numeroArchivio(),
                                                             printed.record.archiveNumbering,
                                                             printed.record.firstCard)};
        verdict.claim = ClaimCheck{now, int(printed.record.id), m_claimTyped.toInt(), said};
        m_checked = std::pair{printed.record.id, m_claimTyped.toLongLong()};
    } catch (const VelmoraError &error) {
        verdict = Verdict{};
        verdict.notice = error.description();
    }
    return verdict;
}

GameDesk::Verdict GameDesk::checkClaim(int run) {
    Verdict checked = verdict(run);
    if (checked.claim) {
        m_seams.store->recordClaim(*checked.claim);
    }
    return checked;
}

QString GameDesk::earlierReached() {
    if (!m_checked) {
        return {};
    }
    try {
        const QList<CardInPlay> &cards = cardsInPlay();
        const PrizePlan &plan = m_seams.store->prizes();
        const QList<WinnerFinder::Reached> before = WinnerFinder::earlier(
            cards, m_seams.store->game().numbers(), plan, m_checked->first, m_checked->second);
        if (before.isEmpty()) {
            return {};
        }
        QStringList named;
        for (const WinnerFinder::Reached &r : before) {
            named.append(WinnerFinder::reachedText(cards.at(r.card), r.reachedAt));
        }
        return QStringLiteral("%1 è stato fatto prima, e non reclamato, da: %2.\nDividere il "
                              "premio anche con queste cartelle? Per la regola della sala no: "
                              "si divide solo tra le cartelle che lo hanno fatto con lo stesso "
                              "numero.")
            .arg(plan.prizes().at(plan.playing()).name, named.join(QStringLiteral(", ")));
    } catch (const VelmoraError &) {
        return {}; // the award says why the cards cannot be read
    }
}

GameDesk::Given GameDesk::awardClaim(WinnerFinder::Sharing sharing) {
    if (!m_checked) {
        return {};
    }
    try {
        const QList<CardInPlay> &cards = cardsInPlay();
        const PrizePlan &plan = m_seams.store->prizes();
        QString refusal;
        const std::optional<Award> award =
            WinnerFinder::award(cards, m_seams.store->game().numbers(), plan, m_checked->first,
                                m_checked->second, &refusal, sharing);
        if (!award) {
            return {false, refusal};
        }
        const QString prize = plan.prizes().at(award->prize).name;
        QList<HallCard> winners;
        for (const AwardedCard &won : award->cards) {
            winners.append(hallCard(cards, won));
        }
        const GameStore::Change change = m_seams.store->award(*award);
        if (change.notStored()) {
            return {false,
                    unsavedText(QStringLiteral("%1 non è stato assegnato, il registro non lo ha "
                                               "salvato")
                                    .arg(prize),
                                change.reason),
                    true};
        }
        if (!change.done()) {
            return {false, QStringLiteral("%1 è già stato assegnato.").arg(prize)};
        }
        return {true, awardedText(prize, winners)};
    } catch (const VelmoraError &error) {
        return {false, error.description()};
    }
}

std::optional<QString> GameDesk::takeBackQuestion() {
    const HallState state = hallState();
    if (state.awards.isEmpty()) {
        return std::nullopt;
    }
    const HallAward &last = state.awards.constLast();
    return QStringLiteral("Ritirare %1, assegnato a %2? Il premio torna in gioco; nel registro "
                          "resta come ritirato.")
        .arg(last.prize, HallCard::names(last.cards));
}

GameDesk::Step GameDesk::takeBackAward() {
    const PrizePlan &plan = m_seams.store->prizes();
    if (plan.awards().isEmpty()) {
        return {};
    }
    const int prize = plan.awards().constLast().prize;
    const QString name = plan.prizes().value(prize).name;
    const GameStore::Change change = m_seams.store->takeBackAward(prize);
    if (change.notStored()) {
        return unsavedStep(
            QStringLiteral("Il premio %1 non è stato ritirato, il registro non lo ha salvato")
                .arg(name),
            change.reason);
    }
    return {change.done(),
            change.done() ? QStringLiteral("Premio ritirato: %1, che si gioca di nuovo.").arg(name)
                          : QString()};
}

std::optional<HallSetup> GameDesk::hallToResume() const {
    const GameStore &store = *m_seams.store;
    if (!store.resumed() || !store.keptHall() || !store.keptHall()->anythingOn()) {
        return std::nullopt;
    }
    return store.keptHall();
}

GameDesk::Step GameDesk::keepHall(const HallSetup &hall) {
    const GameStore::Change change = m_seams.store->keepHall(hall);
    if (change.notStored()) {
        return unsavedStep(QStringLiteral("La sala com'è ora non è stata salvata, il registro non "
                                          "l'ha salvata"),
                           change.reason);
    }
    return {change.done(), {}};
}

GameDesk::Winners GameDesk::whoWon(Premio prize) {
    Winners winners;
    const NumberSet &drawn = m_seams.store->game().drawn();
    try {
        for (const CardInPlay &card : cardsInPlay()) {
            if (WinnerFinder::counted(card, drawn, prize, m_seams.store->prizes()) ==
                Premio::Nessuno) {
                continue;
            }
            const CheckResult result = PrizeCheck::check(card.rows, drawn);
            winners.rows.append({card.printedText, QString::number(card.archiveCard),
                                 PrizeCheck::name(result.best), PrizeCheck::rowName(result.row),
                                 card.runLabel});
        }
    } catch (const VelmoraError &error) {
        return {{}, error.description()};
    }
    winners.notice =
        winners.rows.isEmpty()
            ? QStringLiteral("Nessuna cartella ha fatto %1.").arg(PrizeCheck::name(prize))
            : QStringLiteral("Cartelle con %1 o più: %2.")
                  .arg(PrizeCheck::name(prize))
                  .arg(winners.rows.size());
    if (const QString unchecked = uncheckedNotice(); !unchecked.isEmpty()) {
        winners.notice += QLatin1Char(' ') + unchecked;
    }
    return winners;
}

HallCard GameDesk::hallCard(const QList<CardInPlay> &cards, const AwardedCard &won) const {
    for (const CardInPlay &card : cards) {
        if (card.run == won.run && card.printed == won.printed) {
            return {card.printedText, card.runLabel};
        }
    }
    return {QString::number(won.printed), CardInPlay::runName(won.run)};
}

int GameDesk::standingAt(const QDateTime &when) const {
    const QList<DrawLogEntry> &log = m_seams.store->log();
    // A number of a log older than its times came before any award that has one.
    return int(std::count_if(log.cbegin(), log.cend(), [&when](const DrawLogEntry &entry) {
        const bool before = !entry.drawnAt.isValid() || entry.drawnAt <= when;
        return before && (!entry.takenBack() || entry.takenBackAt > when);
    }));
}

HallState GameDesk::hallState() {
    const PrizePlan &plan = m_seams.store->prizes();
    QList<CardInPlay> cards;
    if (!plan.awards().isEmpty()) {
        try {
            cards = cardsInPlay();
        } catch (const VelmoraError &) {
            // The hall still learns the cards by number and run; the Tabellone says the error.
        }
    }
    QList<HallAward> awards;
    for (const Award &award : plan.awards()) {
        HallAward shown;
        shown.prize = plan.prizes().value(award.prize).name;
        for (const AwardedCard &won : award.cards) {
            shown.cards.append(hallCard(cards, won));
        }
        shown.drawnBefore = standingAt(award.when);
        awards.append(shown);
    }
    return HallState::of(m_seams.store->gameId(), m_seams.store->game().numbers(),
                         plan.playingText(), awards);
}

} // namespace velmora
