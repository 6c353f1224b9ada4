#pragma once

#include <QString>

#include <functional>

namespace velmora {

// What says a text aloud: the real one is QtSpeechEngine; tests put in their own.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Empty when the engine can speak Italian; otherwise why it cannot, in Italian.
    virtual QString unavailableReason() const = 0;
    virtual void say(const QString &text) = 0;

    // What happens after say(), which only a running speech service knows: an utterance said
    // to its end, or nothing heard and why (in Italian), found out only then (a service that
    // reports an error, or one that takes the text and never finishes it).
    void setListeners(std::function<void()> spoken, std::function<void(const QString &)> failed) {
        m_spoken = std::move(spoken);
        m_failed = std::move(failed);
    }

protected:
    void spokenToTheEnd() const {
        if (m_spoken) {
            m_spoken();
        }
    }
    void cannotBeHeard(const QString &reason) const {
        if (m_failed) {
            m_failed(reason);
        }
    }

private:
    std::function<void()> m_spoken;
    std::function<void(const QString &)> m_failed;
};

} // namespace velmora
