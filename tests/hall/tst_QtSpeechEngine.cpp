#include "hall/QtSpeechEngine.h"

#include "tests/support/PrivateSpeechService.h"

#include <QStandardPaths>
#include <QTextToSpeech>
#include <QtTest>

#include <memory>

using namespace velmora;

// One real utterance through speech-dispatcher and espeak-ng's Italian voice, in a service of
// the test's own whose sound goes to libao's null driver: a machine without a sound card still
// speaks to the end.
class QtSpeechEngineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void anItalianNumberIsSpokenToTheEnd();

private:
    testing::PrivateSpeechService m_service;
};

void QtSpeechEngineTest::initTestCase() {
    QVERIFY(m_service.configure(testing::PrivateSpeechService::Audio::Null));
    if (const QString why = testing::PrivateSpeechService::missing(); !why.isEmpty()) {
        QSKIP(qPrintable(why));
    }
}

void QtSpeechEngineTest::anItalianNumberIsSpokenToTheEnd() {
    const auto engine = std::make_unique<QtSpeechEngine>();
    if (!engine->unavailableReason().isEmpty()) {
        QSKIP(qPrintable(engine->unavailableReason()));
    }
    QTextToSpeech *speech = engine->speech();
    QCOMPARE(speech->locale().language(), QLocale::Italian);
    bool spoke = false;
    connect(speech, &QTextToSpeech::stateChanged, this, [&spoke](QTextToSpeech::State state) {
        spoke = spoke || state == QTextToSpeech::Speaking;
    });
    int ended = 0;
    QString failed;
    engine->setListeners([&ended] { ++ended; },
                         [&failed](const QString &reason) { failed = reason; });
    engine->say(QStringLiteral("settantasette"));
    QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 30000);
    QVERIFY(spoke);
    QCOMPARE(speech->state(), QTextToSpeech::Ready);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
}

QTEST_GUILESS_MAIN(QtSpeechEngineTest)
#include "tst_QtSpeechEngine.moc"
