#include "hall/QtSpeechEngine.h"

#include <QLocale>
#include <QTextToSpeech>

#include <algorithm>

namespace velmora {

namespace {

const QString preferredEngine = QStringLiteral("speechd");

bool isItalian(const QLocale &locale) {
    return locale.language() == QLocale::Italian;
}

} // namespace

QtSpeechEngine::QtSpeechEngine(QObject *parent) : QObject(parent) {
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        m_reason = QStringLiteral("Nessun motore di sintesi vocale è installato: i numeri non "
                                  "saranno annunciati a voce.");
        return;
    }
    m_speech = engines.contains(preferredEngine) ? new QTextToSpeech(preferredEngine, this)
                                                 : new QTextToSpeech(this);
    if (m_speech->state() == QTextToSpeech::Error) {
        m_reason = QStringLiteral("Il motore di sintesi vocale non si avvia (%1): i numeri non "
                                  "saranno annunciati a voce.")
                       .arg(m_speech->errorString());
        return;
    }
    const QList<QLocale> locales = m_speech->availableLocales();
    const auto italian = std::find_if(locales.cbegin(), locales.cend(), isItalian);
    if (italian == locales.cend()) {
        m_reason = QStringLiteral("Il motore di sintesi vocale non ha una voce italiana: i "
                                  "numeri non saranno annunciati a voce.");
        return;
    }
    m_speech->setLocale(*italian);
}

QString QtSpeechEngine::unavailableReason() const {
    return m_reason;
}

void QtSpeechEngine::say(const QString &text) {
    if (m_reason.isEmpty()) {
        m_speech->say(text);
    }
}

} // namespace velmora
