#include "app/FiltroNumerico.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace velmora {

namespace {

bool isNumericCharacter(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

} // namespace

FiltroNumerico::FiltroNumerico(QObject *parent)
    : QObject(parent), m_beep([] { QApplication::beep(); }) {
    setObjectName(QStringLiteral("FiltroNumerico"));
}

FiltroNumerico::Action FiltroNumerico::classify(const QKeyEvent &event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return Action::MoveFocus;
    }
    if (event.key() == Qt::Key_Backspace) {
        return Action::Pass;
    }
    // Only typed characters are filtered: keys with Ctrl, Alt or Meta are shortcuts, and keys
    // that type nothing printable (arrows, Tab, Delete, Escape) edit or move.
    const QString text = event.text();
    const auto shortcutModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (text.isEmpty() || (event.modifiers() & shortcutModifiers) ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); })) {
        return Action::Pass;
    }
    return std::all_of(text.begin(), text.end(), isNumericCharacter) ? Action::Pass
                                                                     : Action::Reject;
}

bool FiltroNumerico::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    switch (classify(*static_cast<QKeyEvent *>(event))) {
    case Action::Pass:
        return false;
    case Action::MoveFocus: {
        // A Tab sent to the box moves the focus to the next control in the tab order.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
    case Action::Reject:
        if (m_beep) {
            m_beep();
        }
        return true;
    }
    return false;
}

} // namespace velmora
