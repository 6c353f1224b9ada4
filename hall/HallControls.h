#pragma once

#include "hall/HallState.h"

#include <QString>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
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
    // speech: not owned; when null, Qt's own speech, started the first time it is asked for.
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

signals:
    void drawRequested();
    // Something the organiser should read, once ("no Italian voice").
    void notice(const QString &text);

private:
    void fillScreens();
    QScreen *chosenScreen() const;
    void announcingToggled(bool on);

    SpeechEngine *m_speech = nullptr;
    std::unique_ptr<SpeechEngine> m_ownSpeech;
    std::unique_ptr<NumberAnnouncer> m_announcer;
    QPushButton *m_draw = nullptr;
    QCheckBox *m_announce = nullptr;
    QCheckBox *m_saying = nullptr;
    QComboBox *m_screens = nullptr;
    HallBoard *m_board = nullptr;
    PhoneBoardControls *m_phones = nullptr;
    HallState m_state;
};

} // namespace velmora
