#pragma once

#include "print/RunArchives.h"
#include "rules/CardInPlay.h"
#include "rules/ClaimCheck.h"
#include "rules/ComputerDraw.h"
#include "rules/PrintedRuns.h"
#include "rules/PrizeCheck.h"

#include <QSet>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velmora {

class CardArchive;
class CardView;
class GameStore;
class HallControls;
class MessagePresenter;
class SpeechEngine;
struct Configurazione;

// The board of the evening: the 90 numbers in nine rows of ten, each a button that is checked
// while its number is drawn; a number typed and Enter draws it. Beside it the last number, the
// count and undo; below, the check of a claimed card and the list of the cards that reached a
// prize. Every change goes to the game store at once.
class Tabellone : public QWidget {
    Q_OBJECT
public:
    struct Seams {
        GameStore *store = nullptr;               // restored already; not owned
        const Configurazione *settings = nullptr; // colours, font, title of the card shown
        PrintedRunSource *runs = nullptr;         // not owned
        MessagePresenter *presenter = nullptr;    // not owned
        // The current archive; throws VelmoraError when there is none.
        std::function<std::unique_ptr<CardArchive>()> openArchive;
        // The cards in the hall, among which the winners are found after each number; throws
        // VelmoraError when they cannot be read. When not set, every card the runs put out.
        std::function<QList<CardInPlay>()> cardsInPlay;
        // The cards sold this evening, by run and printed number; nothing while none were
        // entered, when every card the runs put out is taken as in play. Used when cardsInPlay
        // is not set.
        std::function<std::optional<QSet<std::pair<qint64, qint64>>>()> soldCards;
        // Says the numbers aloud; when null, Qt's own speech. Not owned.
        SpeechEngine *speech = nullptr;
        // The computer's draw; when not set, the system's random source.
        ComputerDraw::RandomBelow randomBelow;
    };

    explicit Tabellone(Seams seams, QWidget *parent = nullptr);
    ~Tabellone() override;

    // The board button of a number 1..90; nullptr outside.
    QPushButton *numberButton(int number) const;
    // Shows the game as the store holds it (after start-up or a new game).
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBoard(QWidget *board);
    QWidget *buildDrawPanel();
    QWidget *buildCheckPanel();
    QWidget *buildWinnersPanel();
    QWidget *buildPrizesPanel();
    void boardClicked(int number);
    static QString alreadyDrawn(int number);
    void drawTyped();
    void drawByComputer();
    void undo();
    void newGame();
    void openEvening();
    void openVerbale();
    void afterChange();
    void cardNumberEdited();
    // Checks the claimed card and keeps the claim in the register.
    void checkClaim();
    // Shows the claimed card's verdict; the claim as checked, nothing when no card was checked.
    std::optional<ClaimCheck> checkCard();
    void whoWon();
    void awardClaim();
    void addTombolino();
    void prizeValueEdited(int row, int column);
    void showPrizes();
    void findWinners();
    // The cards in play, read again only when the runs change; throws VelmoraError.
    const QList<CardInPlay> &cardsInPlay();
    // The claimed card (the one shown), when there is one: its run and printed number.
    std::optional<std::pair<qint64, qint64>> claimedCard() const;
    void say(const QString &text);
    void reportStoreError();

    Seams m_seams;
    std::array<QPushButton *, 90> m_numbers{};
    QLineEdit *m_entry = nullptr;
    QLabel *m_last = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_gameStarted = nullptr;
    QLabel *m_notice = nullptr;
    QPushButton *m_undo = nullptr;
    QLineEdit *m_cardNumber = nullptr;
    QComboBox *m_run = nullptr;
    CardView *m_card = nullptr;
    QLabel *m_outcome = nullptr;
    QLabel *m_cardNotice = nullptr;
    QComboBox *m_prize = nullptr;
    QLabel *m_playing = nullptr;
    QLabel *m_reached = nullptr;
    QPushButton *m_award = nullptr;
    QPushButton *m_tombolino = nullptr;
    QTableWidget *m_prizes = nullptr;
    QList<CardInPlay> m_cardsPutOut; // every card the runs put out
    QList<CardInPlay> m_cardsInPlay; // those of them sold, when the sold cards are known
    QString m_cardsKey;              // the runs the cards put out were read from
    QTableWidget *m_winners = nullptr;
    QList<PrintedRun> m_runs;
    // The runs' archives, read once each, for the numbers their cards store.
    RunArchives m_archives;
    QList<PrintedMatch> m_matches;
    QString m_runsError; // why the runs could not be read; empty when they were
    bool m_storeErrorShown = false;
    HallControls *m_hall = nullptr;
    ComputerDraw m_computerDraw;
};

} // namespace velmora
