#pragma once

#include "hall/SpeechEngine.h"

#include <QObject>

class QTextToSpeech;

namespace velmora {

// Speech through Qt TextToSpeech with an Italian voice: speech-dispatcher's engine when it is
// installed (espeak-ng's Italian voice), Qt's default one otherwise.
class QtSpeechEngine : public QObject, public SpeechEngine {
    Q_OBJECT
public:
    explicit QtSpeechEngine(QObject *parent = nullptr);

    QString unavailableReason() const override;
    void say(const QString &text) override;

    // The Qt object underneath, for watching an utterance go from speaking to ready.
    QTextToSpeech *speech() const { return m_speech; }

private:
    QTextToSpeech *m_speech = nullptr;
    QString m_reason;
};

} // namespace velmora
