#pragma once

#include "hall/SpeechEngine.h"

#include <QObject>

class QTextToSpeech;
class QTimer;

namespace velmora {

// Speech through Qt TextToSpeech with an Italian voice: speech-dispatcher's engine when it is
// installed (espeak-ng's Italian voice), Qt's default one otherwise. Whether anything is heard
// is known only from the service: its errors, and each utterance that goes back to Ready.
class QtSpeechEngine : public QObject, public SpeechEngine {
    Q_OBJECT
public:
    explicit QtSpeechEngine(QObject *parent = nullptr);

    QString unavailableReason() const override;
    void say(const QString &text) override;

    // The Qt object underneath, for watching an utterance go from speaking to ready.
    QTextToSpeech *speech() const { return m_speech; }

private:
    void stateChanged(int state);
    void fail(const QString &reason);
    void neverFinished();

    QTextToSpeech *m_speech = nullptr;
    QTimer *m_watch = nullptr;
    QString m_reason;
};

} // namespace velmora
