#pragma once

#include "hall/HallSetup.h"
#include "hall/HallState.h"

#include <QString>
#include <QWidget>

#include <memory>

class QCheckBox;
class QKeyEvent;
class QComboBox;
class QLabel;
class QPushButton;
class QScreen;

namespace velmora {

class HallBoard;
class NumberAnnouncer;
class PhoneBoardControls;
class SpeechEngine;

// The Tabellone's commands for the hall: the computer's draw (Estrai, F5), the numbers said
// aloud, and the "Tabellone per la sala" on the screen chosen for it and the board on the
// phones, which it keeps in step with the game.
class HallControls : public QWidget {
    Q_OBJECT
public:
    // speech: not owned; when null, Qt's own speech, started afresh each time announcing is
    // ticked (or the voice tried after it failed).
    explicit HallControls(SpeechEngine *speech, QWidget *parent = nullptr);
    ~HallControls() override;

    // After each number drawn, however: said aloud when announcing is on.
    void numberDrawn(int number);
    // The game as the hall sees it, for the hall's board (also when opened later) and the
    // phones.
    void show(const HallState &state);
    using QWidget::show;
    // The hall's board, opened full screen on the chosen screen.
    void openHallBoard();
    // Null until first opened.
    HallBoard *hallBoard() const { return m_board; }

    // The hall as it is now, for keeping with the evening.
    HallSetup setup() const;
    // Puts back the organiser's choices kept (the screen, the port, the smorfia), starting
    // nothing.
    void takeUp(const HallSetup &setup);
    // takeUp, and what was on comes back on: the hall's board on its screen, the phones' board
    // on its port, the voice.
    void resume(const HallSetup &setup);

signals:
    void drawRequested();
    // Something the organiser should read, once ("port taken"). What keeps the voice silent
    // is said beside "Annuncia i numeri" instead.
    void notice(const QString &text);
    // A notice said before is no longer true.
    void noticeOver(const QString &text);
    // The organiser changed the hall: setup() has it.
    void setupChanged();
    // A key the hall's board got, for the caller's window.
    void keyForCaller(QKeyEvent *event);

private:
    void fillScreens();
    QScreen *chosenScreen() const;
    void announcingToggled(bool on);
    // setupChanged, unless the setup is being put back.
    void changed();
    // Qt's own speech made anew (a service restarted since is reached again), or the one given.
    void freshSpeech();
    void tryVoice();
    void sayOfVoice(const QString &text);

    SpeechEngine *m_givenSpeech = nullptr;
    SpeechEngine *m_speech = nullptr;
    std::unique_ptr<SpeechEngine> m_ownSpeech;
    std::unique_ptr<NumberAnnouncer> m_announcer;
    bool m_trying = false; // "Prova la voce" waits for its sentence to end
    QPushButton *m_draw = nullptr;
    QCheckBox *m_announce = nullptr;
    QCheckBox *m_saying = nullptr;
    QPushButton *m_trial = nullptr;
    QLabel *m_voiceNotice = nullptr;
    QComboBox *m_screens = nullptr;
    HallBoard *m_board = nullptr;
    PhoneBoardControls *m_phones = nullptr;
    HallState m_state;
    bool m_boardOpen = false; // opened by the organiser and not closed since
    bool m_puttingBack = false;
};

} // namespace velmora
