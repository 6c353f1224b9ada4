#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QKeyEvent;
class QLineEdit;

namespace velmora {

// The key filter of the number boxes (the print page's four boxes and the font-size box):
// install it on a box with installEventFilter. Of the typed characters, digits, the point and
// backspace pass; Enter moves the focus on, as Tab does; anything else beeps and is swallowed.
// Keys that type nothing (arrows, Delete, shortcuts) pass untouched. A paste, by key, by the
// middle button or from the context menu, is taken only when it is a number (digits, a point,
// a sign, spaces around) and leaves a number in the box; anything else beeps and the box keeps
// its text. Drops are refused.
class FiltroNumerico : public QObject {
    Q_OBJECT
public:
    enum class Action { Pass, MoveFocus, Reject };

    explicit FiltroNumerico(QObject *parent = nullptr);

    // What the filter does with one key press.
    static Action classify(const QKeyEvent &event);

    // The text a paste of `pasted` puts in place of the selection of a box holding `text`
    // from `selectionStart` for `selectionLength` characters, or nothing when the pasted text,
    // or the box's text with it, would not be a number.
    static std::optional<QString> pastedNumber(const QString &pasted, const QString &text,
                                               int selectionStart, int selectionLength);

    // The sound of a rejected key; the system beep unless replaced (tests count it).
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    // The text a middle click pastes: the mouse selection, or nothing where the platform has
    // none. Replaceable, as the beep is: the offscreen platform of the tests has no selection.
    using SelectionSource = std::function<std::optional<QString>()>;
    void setSelectionSource(SelectionSource source) { m_selection = std::move(source); }

signals:
    // A paste was taken into `box`.
    void pasted(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paste(QLineEdit *box, const QString &offered);
    void showContextMenu(QLineEdit *box, const QPoint &globalPos);
    void beep() const;

    std::function<void()> m_beep;
    SelectionSource m_selection;
};

} // namespace velmora
