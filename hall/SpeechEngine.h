#pragma once

#include <QString>

namespace velmora {

// What says a text aloud: the real one is QtSpeechEngine; tests put in their own.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Empty when the engine can speak Italian; otherwise why it cannot, in Italian.
    virtual QString unavailableReason() const = 0;
    virtual void say(const QString &text) = 0;
};

} // namespace velmora
