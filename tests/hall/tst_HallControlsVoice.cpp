#include "hall/HallControls.h"

#include "tests/support/PrivateSpeechService.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextToSpeech>
#include <QtTest>

using namespace velmora;

// "Annuncia i numeri" and "Prova la voce" on the real speech service, a speech-dispatcher of
// the test's own: a service that cannot open its sound is said beside the box, and after the
// service is mended and restarted, ticking the box again reaches it and the trial sentence is
// said to its end.
class HallControlsVoiceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void aVoiceNobodyHearsIsSaidAndTickingAgainReachesTheRestartedService();

private:
    testing::PrivateSpeechService m_service;
};

void HallControlsVoiceTest::initTestCase() {
    QVERIFY(m_service.configure(testing::PrivateSpeechService::Audio::Failing));
    if (const QString why = testing::PrivateSpeechService::missing(); !why.isEmpty()) {
        QSKIP(qPrintable(why));
    }
}

void HallControlsVoiceTest::aVoiceNobodyHearsIsSaidAndTickingAgainReachesTheRestartedService() {
    HallControls controls(nullptr);
    controls.show();
    auto *announce = controls.findChild<QCheckBox *>(QStringLiteral("chkAnnuncia"));
    auto *trial = controls.findChild<QPushButton *>(QStringLiteral("cmdProvaVoce"));
    auto *said = controls.findChild<QLabel *>(QStringLiteral("lblVoce"));
    QSignalSpy notices(&controls, &HallControls::notice);

    announce->click();
    QVERIFY2(said->isHidden(), qPrintable(said->text())); // nothing known to be wrong yet
    controls.numberDrawn(77);
    QTRY_VERIFY_WITH_TIMEOUT(said->text().contains(QStringLiteral("uscita audio")), 60000);
    QVERIFY2(said->text().contains(QStringLiteral("Opening audio failed")),
             qPrintable(said->text()));
    QVERIFY(said->isVisible() && announce->isChecked());
    QCOMPARE(notices.count(), 0); // beside the box, not among the Tabellone's notices

    QVERIFY(m_service.stop());
    QVERIFY(m_service.configure(testing::PrivateSpeechService::Audio::Null));
    announce->click();
    QVERIFY(said->isHidden());
    announce->click();
    QVERIFY2(said->isHidden(), qPrintable(said->text()));
    QTRY_VERIFY_WITH_TIMEOUT(m_service.running(), 30000); // reached: spawned anew
    trial->click();
    QTRY_COMPARE_WITH_TIMEOUT(
        said->text(), QStringLiteral("La frase di prova è stata detta fino alla fine."), 60000);
}

QTEST_MAIN(HallControlsVoiceTest)
#include "tst_HallControlsVoice.moc"
