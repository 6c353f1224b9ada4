#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace velmora {

// The key filter of the number boxes (the print page's four boxes and the font-size box):
// install it on a box with installEventFilter. Of the typed characters, digits, the point and
// backspace pass; Enter moves the focus on, as Tab does; anything else beeps and is swallowed.
// Keys that type nothing (arrows, Delete, shortcuts such as Ctrl+V) pass untouched, so pasted
// text is not filtered: whoever reads a box takes the number at the start of its text.
class FiltroNumerico : public QObject {
    Q_OBJECT
public:
    enum class Action { Pass, MoveFocus, Reject };

    explicit FiltroNumerico(QObject *parent = nullptr);

    // What the filter does with one key press.
    static Action classify(const QKeyEvent &event);

    // The sound of a rejected key; the system beep unless replaced (tests count it).
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_beep;
};

} // namespace velmora
