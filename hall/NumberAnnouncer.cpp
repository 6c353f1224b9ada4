#include "hall/NumberAnnouncer.h"

#include "hall/NumberWords.h"
#include "hall/SmorfiaSayings.h"
#include "hall/SpeechEngine.h"

namespace velmora {

NumberAnnouncer::NumberAnnouncer(SpeechEngine &engine, std::function<void(const QString &)> notice)
    : m_engine(engine), m_notice(std::move(notice)) {}

QString NumberAnnouncer::textFor(int number) const {
    const QString words = numberWords(number);
    if (!m_withSaying || words.isEmpty()) {
        return words;
    }
    return words + QStringLiteral(", ") + smorfiaSaying(number);
}

void NumberAnnouncer::announce(int number) {
    if (!m_enabled || numberWords(number).isEmpty()) {
        return;
    }
    const QString reason = m_engine.unavailableReason();
    if (!reason.isEmpty()) {
        if (!m_told && m_notice) {
            m_notice(reason);
        }
        m_told = true;
        return;
    }
    m_engine.say(textFor(number));
}

QString NumberAnnouncer::trialSentence() {
    return QStringLiteral("Prova della voce: ") + numberWords(90) + QStringLiteral(", ") +
           smorfiaSaying(90) + QLatin1Char('.');
}

void NumberAnnouncer::sayTrial() {
    const QString reason = m_engine.unavailableReason();
    if (!reason.isEmpty()) {
        if (m_notice) {
            m_notice(reason);
        }
        m_told = true;
        return;
    }
    m_engine.say(trialSentence());
}

} // namespace velmora
