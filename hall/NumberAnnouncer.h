#pragma once

#include <QString>

#include <functional>

namespace velmora {

class SpeechEngine;

// Says each drawn number aloud in Italian, optionally followed by its saying of the smorfia.
// When the engine cannot speak Italian the organiser is told once, through notice, and the
// evening goes on in silence.
class NumberAnnouncer {
public:
    NumberAnnouncer(SpeechEngine &engine, std::function<void(const QString &)> notice);

    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    void setWithSaying(bool withSaying) { m_withSaying = withSaying; }
    bool withSaying() const { return m_withSaying; }

    // The words said for a number: "settantasette" or "settantasette, le gambe delle donne".
    QString textFor(int number) const;
    // Says the number when announcing is on; a number outside 1..90 is not said.
    void announce(int number);
    // "Prova la voce": a sentence like those of the evening, said whether announcing is on or
    // not; an engine that cannot speak is said again, since the organiser asked.
    void sayTrial();
    static QString trialSentence();

private:
    SpeechEngine &m_engine;
    std::function<void(const QString &)> m_notice;
    bool m_enabled = false;
    bool m_withSaying = false;
    bool m_told = false;
};

} // namespace velmora
