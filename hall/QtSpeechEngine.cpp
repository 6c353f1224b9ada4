#include "hall/QtSpeechEngine.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTextToSpeech>
#include <QTimer>

#include <algorithm>

namespace velmora {

namespace {

const QString preferredEngine = QStringLiteral("speechd");
const QString silentEnd = QStringLiteral(": i numeri non saranno annunciati a voce.");

// An utterance that has not ended by then was never played: a number with its saying takes
// two or three seconds, and a loaded machine may start it a few seconds late.
constexpr int graceMs = 5000;
constexpr int msPerCharacter = 100;

bool isItalian(const QLocale &locale) {
    return locale.language() == QLocale::Italian;
}

QString errorSentence(QTextToSpeech::ErrorReason reason, const QString &detail) {
    QString what;
    switch (reason) {
    case QTextToSpeech::ErrorReason::Initialization:
        what = QStringLiteral("Il motore di sintesi vocale non si avvia");
        break;
    case QTextToSpeech::ErrorReason::Configuration:
        what = QStringLiteral("Il motore di sintesi vocale non accetta la voce o la lingua");
        break;
    case QTextToSpeech::ErrorReason::Input:
        what = QStringLiteral("Il motore di sintesi vocale non riesce a leggere il testo");
        break;
    case QTextToSpeech::ErrorReason::Playback:
    case QTextToSpeech::ErrorReason::NoError:
        what = QStringLiteral("Il motore di sintesi vocale non riesce a riprodurre l'audio");
        break;
    }
    return detail.isEmpty() ? what + silentEnd
                            : what + QStringLiteral(" (%1)").arg(detail) + silentEnd;
}

// speech-dispatcher writes why it has no sound only in its log, in the runtime folder when it
// was started for this user (older releases: the cache folder). The last such line since the
// service last started, from the log's tail.
QString dispatcherAudioFailure() {
    const QString log = QStringLiteral("/speech-dispatcher/log/speech-dispatcher.log");
    QStringList places;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        places.append(runtime + log);
    }
    places.append(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + log);
    for (const QString &place : places) {
        QFile file(place);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        constexpr qint64 tail = 256 * 1024;
        file.seek(std::max<qint64>(0, file.size() - tail));
        const QByteArray text = file.read(tail);
        const qsizetype started = text.lastIndexOf("Speech Dispatcher started");
        const qsizetype failed = text.lastIndexOf("Opening audio failed");
        if (failed >= 0 && failed > started) {
            const qsizetype end = text.indexOf('\n', failed);
            return QString::fromUtf8(text.mid(failed, end < 0 ? -1 : end - failed)).trimmed();
        }
    }
    return {};
}

} // namespace

QtSpeechEngine::QtSpeechEngine(QObject *parent) : QObject(parent) {
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty()) {
        m_reason = QStringLiteral("Nessun motore di sintesi vocale è installato") + silentEnd;
        return;
    }
    m_speech = engines.contains(preferredEngine) ? new QTextToSpeech(preferredEngine, this)
                                                 : new QTextToSpeech(this);
    if (m_speech->state() == QTextToSpeech::Error) {
        m_reason = errorSentence(m_speech->errorReason(), m_speech->errorString());
        return;
    }
    const QList<QLocale> locales = m_speech->availableLocales();
    const auto italian = std::find_if(locales.cbegin(), locales.cend(), isItalian);
    if (italian == locales.cend()) {
        m_reason =
            QStringLiteral("Il motore di sintesi vocale non ha una voce italiana") + silentEnd;
        return;
    }
    m_speech->setLocale(*italian);
    if (!isItalian(m_speech->locale()) || m_speech->availableVoices().isEmpty()) {
        m_reason = QStringLiteral("Il motore di sintesi vocale non ha una voce per l'italiano (%1)")
                       .arg(italian->name()) +
                   silentEnd;
        return;
    }
    m_watch = new QTimer(this);
    m_watch->setSingleShot(true);
    connect(m_watch, &QTimer::timeout, this, &QtSpeechEngine::neverFinished);
    connect(m_speech, &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State state) { stateChanged(state); });
    connect(m_speech, &QTextToSpeech::errorOccurred, this,
            [this](QTextToSpeech::ErrorReason reason, const QString &detail) {
                fail(errorSentence(reason, detail));
            });
}

QString QtSpeechEngine::unavailableReason() const {
    return m_reason;
}

void QtSpeechEngine::say(const QString &text) {
    if (!m_reason.isEmpty()) {
        return;
    }
    // Watched from the first of the utterances waiting: the service says them in turn.
    if (!m_watch->isActive()) {
        m_watch->start(graceMs + msPerCharacter * int(text.size()));
    }
    m_speech->say(text);
}

void QtSpeechEngine::stateChanged(int state) {
    if (state == QTextToSpeech::Ready && m_watch->isActive()) {
        m_watch->stop();
        spokenToTheEnd();
    } else if (state == QTextToSpeech::Error) {
        fail(errorSentence(m_speech->errorReason(), m_speech->errorString()));
    }
}

void QtSpeechEngine::fail(const QString &reason) {
    if (!m_reason.isEmpty()) {
        return;
    }
    m_reason = reason;
    m_watch->stop();
    cannotBeHeard(m_reason);
}

// No Ready came since the utterance was given: never said to its end, or never begun (a
// service that takes the text and drops it never leaves Ready).
void QtSpeechEngine::neverFinished() {
    m_speech->stop();
    const QString audio = dispatcherAudioFailure();
    fail(audio.isEmpty()
             ? QStringLiteral("Il servizio vocale ha preso il testo ma non l'ha finito di dire: "
                              "nessuna uscita audio sembra funzionare") +
                   silentEnd
             : QStringLiteral("Il servizio vocale non riesce ad aprire l'uscita audio (%1)")
                       .arg(audio) +
                   silentEnd);
}

} // namespace velmora
