#pragma once

#include "hall/HallSetup.h"
#include "hall/HallState.h"
#include "print/RecordCartella.h"
#include "print/RunArchives.h"
#include "rules/CardInPlay.h"
#include "rules/ClaimCheck.h"
#include "rules/ComputerDraw.h"
#include "rules/DrawLog.h"
#include "rules/PrintedRuns.h"
#include "rules/PrizePlan.h"
#include "rules/WinnerFinder.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace velmora {

class GameStore;

// The game in progress as the organiser runs it, with no window: the numbers drawn and taken
// back, the cards in play and those that reached the prize being played, the check of a
// claimed card and the award of its prize, "Chi ha vinto?" and what the hall may know. Every
// change goes to the game store at once; the Tabellone only shows the answers.
class GameDesk {
public:
    struct Seams {
        GameStore *store = nullptr;       // restored already; not owned
        PrintedRunSource *runs = nullptr; // not owned
        // Where a run's archive that moved is looked for (folders, or archive files); empty:
        // the folders the program looks for the archive in. Each run's cards are read from its
        // own archive, never from another.
        QStringList archivePlaces;
        // The cards in the hall, among which the winners are found after each number; throws
        // VelmoraError when they cannot be read. When not set, every card the runs put out.
        std::function<QList<CardInPlay>()> cardsInPlay;
        // The cards sold this evening, by run and printed number; nothing while none were
        // entered, when every card the runs put out is taken as in play. Used when cardsInPlay
        // is not set.
        std::function<std::optional<QSet<std::pair<qint64, qint64>>>()> soldCards;
        // The computer's draw; when not set, the system's random source.
        ComputerDraw::RandomBelow randomBelow;
    };

    // A number asked for: the one drawn (0 when refused or not stored) and what to tell the
    // organiser. unsaved: the register did not take it, the notice says why; drawAgain() tries
    // the same number again.
    struct Drawn {
        int number = 0;
        QString notice;
        bool unsaved = false;
        int asked = 0;
        DrawSource source = DrawSource::Typed;
    };

    // A change of the game asked for: whether it was made and what to tell the organiser.
    // unsaved: the register did not take it, `said` tells why; the game is as it was and the
    // same change may be asked again.
    struct Step {
        bool done = false;
        QString said;
        bool unsaved = false;
    };

    // The claimed card's check, as the organiser reads it.
    struct Verdict {
        QString outcome; // "Cinquina sulla seconda riga"
        QString notice;  // the archive card and run, warnings, why it cannot be given the prize
        bool awardable = false;
        struct Card {
            RecordCartella record;
            QString printedText;
        };
        std::optional<Card> card;        // the card to show; nothing when none was found
        std::optional<ClaimCheck> claim; // what the register keeps; nothing when none was made
    };

    // The award of the checked claim: given, with "…: premio assegnato a …", or refused and why.
    struct Given {
        bool awarded = false;
        QString said;
        bool unsaved = false; // the register did not take it: see Step
    };

    // "Chi ha vinto?": the cards with at least a prize, a row of cells each (printed number,
    // archive card, best prize, its row, run), and the answer in words.
    struct Winners {
        QList<QStringList> rows;
        QString notice;
    };

    explicit GameDesk(Seams seams);

    const GameStore &store() const { return *m_seams.store; }

    Drawn drawTyped(const QString &typed);
    // A number pressed on the board; one drawn already stays drawn.
    Drawn drawClicked(int number);
    Drawn drawByComputer();
    // The number the register did not take, asked for again as it was.
    Drawn drawAgain(const Drawn &unsaved);
    // Takes back the last number; nothing to tell when none was drawn.
    Step undo();
    // Closes the game and starts one with the same prizes.
    Step newGame();
    Step addTombolino();
    Step setPrizeValue(int prize, const QString &value);
    // Whether each card sharing the prize gets its whole value, rather than a part of it.
    Step setPrizeWholeToEach(int prize, bool whole);
    // Whether the game has no second tombola yet.
    bool canAddTombolino() const;

    // What the organiser is told when the window opens on a game already under way: its
    // numbers and the prizes given; empty for a game not begun.
    QString resumedNotice();

    // The cards in play that reached the prize being played, in words; empty before the first
    // number and after the last prize.
    QString winnersText();

    // A claimed number typed: the labels of the runs that printed it, one to choose from.
    QStringList lookUpClaim(const QString &typed);
    // The verdict on the claim with the run chosen (an index into lookUpClaim's answer).
    Verdict verdict(int run);
    // verdict, and the claim kept in the register.
    Verdict checkClaim(int run);
    // Whether the last verdict found a card: the one an award goes to.
    bool hasCheckedCard() const { return m_checked.has_value(); }
    // The question before the award when cards in play reached the prize at an earlier draw
    // than the checked card and did not claim it, naming them; empty when there are none.
    QString earlierReached();
    // The prize to the checked card, shared as the organiser decided.
    Given awardClaim(WinnerFinder::Sharing sharing = WinnerFinder::Sharing::SameNumber);
    // The last prize given, taken back: "Ritirare …?" to ask first; nothing when none is given.
    std::optional<QString> takeBackQuestion();
    // Takes back the last prize given, by mistake: kept in the register as taken back, and the
    // prize is played again.
    Step takeBackAward();

    // The hall as the organiser left it, when a restart took up a game under way and the hall
    // had something on: what "Riprendi" brings back.
    std::optional<HallSetup> hallToResume() const;
    // Keeps the hall as it is now with the evening.
    Step keepHall(const HallSetup &hall);

    Winners whoWon(Premio prize);

    // What the hall may know of the game, from the store; awarded cards are named as printed
    // when they are among the cards in play, by number and run id otherwise.
    HallState hallState();

private:
    Drawn drawNumber(int number, DrawSource source);
    // A change the register did not take, in one sentence: "<what>: <why>."
    static QString unsavedText(const QString &what, const QString &reason);
    // A step the register did not take, said as unsavedText says it.
    static Step unsavedStep(const QString &what, const QString &reason);

    // The cards in play, read again only when the runs or the sold cards change (or a run's
    // archive was not found); throws VelmoraError.
    const QList<CardInPlay> &cardsInPlay();
    // "Attenzione: …" for the runs whose cards could not be read; empty when there are none.
    QString uncheckedNotice() const;
    HallCard hallCard(const QList<CardInPlay> &cards, const AwardedCard &won) const;
    // How many numbers stood when the award was given.
    int standingAt(const QDateTime &when) const;

    Seams m_seams;
    ComputerDraw m_computerDraw;
    std::optional<QList<PrintedRun>> m_cardsRuns; // the runs m_cardsPutOut was read from
    QList<CardInPlay> m_cardsPutOut;              // every card the runs put out
    QStringList m_unchecked;                      // the runs whose archive was not found, said
    std::optional<QSet<std::pair<qint64, qint64>>> m_cardsSold; // the sold cards it was kept for
    QList<CardInPlay> m_cardsInPlay; // those of them sold, when the sold cards are known

    // The claim being checked: the number typed, the runs that printed it and the card found.
    QString m_claimTyped;
    QList<PrintedRun> m_runs;
    QList<PrintedMatch> m_matches;
    QString m_runsError; // why the runs could not be read; empty when they were
    // The runs' archives, read once each, for the numbers their cards store.
    RunArchives m_archives;
    std::optional<std::pair<qint64, qint64>> m_checked; // run id and printed number
};

} // namespace velmora
