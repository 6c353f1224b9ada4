#include "hall/NumberAnnouncer.h"
#include "hall/NumberWords.h"
#include "hall/SmorfiaSayings.h"
#include "hall/SpeechEngine.h"

#include <QtTest>

using namespace velmora;

namespace {

// Records what it is asked to say; unavailable when given a reason.
class RecordingEngine : public SpeechEngine {
public:
    QString reason;
    QStringList said;
    QString unavailableReason() const override { return reason; }
    void say(const QString &text) override { said.append(text); }
};

} // namespace

class NumberAnnouncerTest : public QObject {
    Q_OBJECT
private slots:
    void numbersAreSaidInItalian_data();
    void numbersAreSaidInItalian();
    void everyNumberHasWordsAndASaying();
    void eachDrawAsksTheEngineOnceWhenAnnouncingIsOn();
    void aMissingVoiceIsSaidOnceAndTheEveningGoesOnSilently();
    void theTrialIsSaidAnnouncingOrNotAndAMissingVoiceEachTimeAsked();
};

void NumberAnnouncerTest::numbersAreSaidInItalian_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("words");
    QTest::newRow("1") << 1 << "uno";
    QTest::newRow("8") << 8 << "otto";
    QTest::newRow("17") << 17 << "diciassette";
    QTest::newRow("18") << 18 << "diciotto";
    QTest::newRow("21") << 21 << "ventuno";
    QTest::newRow("23") << 23 << QStringLiteral("ventitré");
    QTest::newRow("28") << 28 << "ventotto";
    QTest::newRow("31") << 31 << "trentuno";
    QTest::newRow("38") << 38 << "trentotto";
    QTest::newRow("71") << 71 << "settantuno";
    QTest::newRow("77") << 77 << "settantasette";
    QTest::newRow("80") << 80 << "ottanta";
    QTest::newRow("81") << 81 << "ottantuno";
    QTest::newRow("88") << 88 << "ottantotto";
    QTest::newRow("90") << 90 << "novanta";
    QTest::newRow("0 is no number") << 0 << "";
    QTest::newRow("91 is no number") << 91 << "";
}

void NumberAnnouncerTest::numbersAreSaidInItalian() {
    QFETCH(int, number);
    QFETCH(QString, words);
    QCOMPARE(numberWords(number), words);
}

void NumberAnnouncerTest::everyNumberHasWordsAndASaying() {
    QSet<QString> words;
    for (int number = 1; number <= 90; ++number) {
        QVERIFY2(!smorfiaSaying(number).isEmpty(), qPrintable(QString::number(number)));
        words.insert(numberWords(number));
    }
    QCOMPARE(words.size(), 90);
    QVERIFY(smorfiaSaying(91).isEmpty());
}

void NumberAnnouncerTest::eachDrawAsksTheEngineOnceWhenAnnouncingIsOn() {
    RecordingEngine engine;
    NumberAnnouncer announcer(engine, nullptr);
    announcer.announce(5);
    QVERIFY(engine.said.isEmpty());

    announcer.setEnabled(true);
    announcer.announce(77);
    announcer.setWithSaying(true);
    announcer.announce(90);
    announcer.announce(0);
    QCOMPARE(engine.said,
             QStringList({"settantasette", QStringLiteral("novanta, ") + smorfiaSaying(90)}));
}

void NumberAnnouncerTest::aMissingVoiceIsSaidOnceAndTheEveningGoesOnSilently() {
    RecordingEngine engine;
    engine.reason = QStringLiteral("Il motore di sintesi vocale non ha una voce italiana.");
    QStringList notices;
    NumberAnnouncer announcer(engine, [&notices](const QString &text) { notices.append(text); });
    announcer.setEnabled(true);
    announcer.announce(1);
    announcer.announce(2);
    QCOMPARE(notices, QStringList{engine.reason});
    QVERIFY(engine.said.isEmpty());
}

void NumberAnnouncerTest::theTrialIsSaidAnnouncingOrNotAndAMissingVoiceEachTimeAsked() {
    RecordingEngine engine;
    QStringList notices;
    NumberAnnouncer announcer(engine, [&notices](const QString &text) { notices.append(text); });
    announcer.sayTrial();
    QCOMPARE(engine.said, QStringList{QStringLiteral("Prova della voce: novanta, la paura.")});
    engine.reason = QStringLiteral("Il motore di sintesi vocale non ha una voce italiana.");
    announcer.setEnabled(true);
    announcer.announce(1);
    announcer.sayTrial();
    QCOMPARE(notices, QStringList({engine.reason, engine.reason}));
    QCOMPARE(engine.said.size(), 1);
}

QTEST_GUILESS_MAIN(NumberAnnouncerTest)
#include "tst_NumberAnnouncer.moc"
