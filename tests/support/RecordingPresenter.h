#pragma once

#include "errors/MessagePresenter.h"

#include <QStringList>

namespace velmora::testing {

// Answers the window's messages without showing them and keeps them for the checks. Questions
// get `risposta`: by default no, so nothing unsaved is ever lost by a test.
class RecordingPresenter : public MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override { avvisi.append(text); }
    bool conferma(QWidget *, const QString &text) override {
        domande.append(text);
        return risposta;
    }
    QStringList avvisi;
    QStringList domande;
    bool risposta = false;
};

} // namespace velmora::testing
