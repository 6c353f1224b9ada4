#include "ui/FiltroNumerico.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace velmora {

namespace {

bool isNumericCharacter(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

bool isNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    return number.match(text).hasMatch();
}

} // namespace

FiltroNumerico::FiltroNumerico(QObject *parent)
    : QObject(parent), m_beep([] { QApplication::beep(); }),
      m_selection([]() -> std::optional<QString> {
          const QClipboard *clipboard = QGuiApplication::clipboard();
          if (!clipboard->supportsSelection()) {
              return std::nullopt;
          }
          return clipboard->text(QClipboard::Selection);
      }) {
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

std::optional<QString> FiltroNumerico::pastedNumber(const QString &pasted, const QString &text,
                                                    int selectionStart, int selectionLength) {
    const QString number = pasted.trimmed();
    if (!isNumber(number)) {
        return std::nullopt;
    }
    const QString result = QString(text).replace(selectionStart, selectionLength, number);
    if (!isNumber(result)) {
        return std::nullopt;
    }
    return number;
}

void FiltroNumerico::beep() const {
    if (m_beep) {
        m_beep();
    }
}

void FiltroNumerico::paste(QLineEdit *box, const QString &offered) {
    if (box->isReadOnly()) {
        return;
    }
    const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int length = box->hasSelectedText() ? int(box->selectedText().size()) : 0;
    const auto number = pastedNumber(offered, box->text(), start, length);
    if (!number || box->text().size() - length + number->size() > box->maxLength()) {
        beep();
        return;
    }
    box->insert(*number);
    emit pasted(box);
}

void FiltroNumerico::showContextMenu(QLineEdit *box, const QPoint &globalPos) {
    // The box's own menu, with its paste going through the same check as Ctrl+V.
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    if (auto *pasteAction = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(pasteAction, &QAction::triggered, nullptr, nullptr);
        connect(pasteAction, &QAction::triggered, this,
                [this, box] { paste(box, QGuiApplication::clipboard()->text()); });
    }
    menu->exec(globalPos);
}

bool FiltroNumerico::eventFilter(QObject *watched, QEvent *event) {
    auto *box = qobject_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        break;
    case QEvent::ContextMenu:
        if (box) {
            showContextMenu(box, static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        // Only a middle click pastes, and only where there is a mouse selection.
        if (box && static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            if (const std::optional<QString> selection = m_selection()) {
                paste(box, *selection);
                return true;
            }
        }
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        event->ignore();
        return true;
    default:
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    if (box && key->matches(QKeySequence::Paste)) {
        paste(box, QGuiApplication::clipboard()->text());
        return true;
    }
    switch (classify(*key)) {
    case Action::Pass:
        return false;
    case Action::MoveFocus: {
        // A Tab sent to the box moves the focus to the next control in the tab order.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
    case Action::Reject:
        beep();
        return true;
    }
    return false;
}

} // namespace velmora
