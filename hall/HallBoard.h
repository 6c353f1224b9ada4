#pragma once

#include <QColor>
#include <QWidget>

#include <array>

class QLabel;
class QScreen;

namespace velmora {

struct HallState;

// "Tabellone per la sala": what the hall sees on the projector or the television, full screen
// and scaled to it: the 90 numbers with the drawn ones standing out, the last number very
// large, the five before it, the count, the prize being played and a banner when a prize is
// awarded. It shows only what the hall may know: nothing of the organiser's window. Closing
// it only hides it; the game goes on in the Tabellone.
class HallBoard : public QWidget {
    Q_OBJECT
public:
    // Drawn numbers: white on dark red, a contrast above 10:1.
    static const QColor drawnText;
    static const QColor drawnBackground;

    explicit HallBoard(QWidget *parent = nullptr);

    // The screen for the hall: another screen than the organiser's when there is one.
    static QScreen *defaultScreen(QScreen *organiser);
    // Full screen on that screen.
    void openOn(QScreen *screen);

    // The hall's state as it stands; a prize's banner stays until the next number is drawn.
    void show(const HallState &state);
    using QWidget::show;

signals:
    // The organiser closed it; not sent when the program ends with it open.
    void closed();
    // A key it got (clicked, it has the keyboard): the caller's window takes it, whatever it is
    // but the board's own Esc and F11.
    void keyForCaller(QKeyEvent *event);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *makeLabel(const char *name, const QColor &text);
    void arrange();
    void showWholeScreen();
    void paintNumber(int number, bool drawn);
    void setLast(int last);
    void setBanner(const QString &banner);

    std::array<QLabel *, 90> m_numbers{};
    QLabel *m_last = nullptr;
    QLabel *m_previous = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_playing = nullptr;
    QLabel *m_banner = nullptr;
    qint64 m_shownGame = -1;
    int m_shownCount = -1;
};

} // namespace velmora
