#pragma once

#include <QString>

class QWidget;

namespace velmora {

// How the main window tells the user about a failure or asks a yes/no question. The window
// uses message boxes; tests put in their own answers.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // A failure the user must know about; returns when acknowledged.
    virtual void avviso(QWidget *parent, const QString &text) = 0;
    // A yes/no question; true for yes.
    virtual bool conferma(QWidget *parent, const QString &text) = 0;
};

} // namespace velmora
