#pragma once

#include "game/GameDesk.h"

#include <QSet>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

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
// count, the numbers before and undo; below, the check of a claimed card and the list of the
// cards that reached a prize. The game itself is the desk's: this window shows it and hands it
// the organiser's commands.
class Tabellone : public QWidget {
    Q_OBJECT
public:
    struct Seams {
        GameStore *store = nullptr;               // restored already; not owned
        const Configurazione *settings = nullptr; // colours, font, title of the card shown
        PrintedRunSource *runs = nullptr;         // not owned
        MessagePresenter *presenter = nullptr;    // not owned
        // Where a run's archive that moved is looked for; empty: the program's archive folders.
        QStringList archivePlaces;
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
    // After a number asked for, however: the refusal or the board, and the hall told.
    void showDrawn(GameDesk::Drawn drawn);
    // A change the register did not take: says why and asks whether to try again.
    bool tryAgain(const QString &why);
    // A change of the desk made again while the register does not take it and the organiser
    // asks to try again; its last outcome.
    template <typename Change> auto retried(Change change) {
        auto outcome = change();
        while (outcome.unsaved && tryAgain(outcome.said)) {
            outcome = change();
        }
        return outcome;
    }
    void drawTyped();
    void undo();
    void newGame();
    void openEvening();
    void openVerbale();
    void afterChange();
    void cardNumberEdited();
    // Checks the claimed card and keeps the claim in the register.
    void checkClaim();
    void showVerdict(const GameDesk::Verdict &verdict);
    void whoWon();
    // Fills the list of "Chi ha vinto?"; what to tell the organiser.
    QString showWinners();
    void awardClaim();
    void takeBackAward();
    // The hall as the organiser changed it, kept with the evening.
    void keepHall();
    // After a restart with a game under way: one notice offers the hall as it was.
    QWidget *buildResumeOffer();
    void resumeHall(const HallSetup &hall);
    // A key the hall's board got: the Tabellone takes the keyboard back, and the key does what
    // it does here.
    void callerKey(QKeyEvent *key);
    // The last number as large as its box allows, its digits whole.
    void fitLastNumber();
    void addTombolino();
    void prizeValueEdited(int row, int column);
    static void markWholeToEach(QTableWidgetItem *item, bool whole);
    // The value's tick changed: kept in the register; false when it did not change.
    bool wholeToEachEdited(int row);
    void showPrizes(const HallState &state);
    void say(const QString &text);
    void reportStoreError();

    Seams m_seams;
    GameDesk m_desk;
    std::array<QPushButton *, 90> m_numbers{};
    QLineEdit *m_entry = nullptr;
    QLabel *m_last = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_previous = nullptr;
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
    QPushButton *m_takeBack = nullptr;
    QFrame *m_resume = nullptr;
    QTableWidget *m_prizes = nullptr;
    QTableWidget *m_winners = nullptr;
    bool m_storeErrorShown = false;
    bool m_winnersAsked = false; // "Chi ha vinto?" answered in this game
    HallControls *m_hall = nullptr;
};

} // namespace velmora
