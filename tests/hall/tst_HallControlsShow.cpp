#include "hall/HallBoard.h"
#include "hall/HallControls.h"
#include "hall/HallState.h"
#include "hall/SpeechEngine.h"
#include "tests/support/FreePort.h"
#include "tests/support/HallAwards.h"
#include "tests/support/HttpProbe.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

using namespace velmora;
using testing::awardOf;

namespace {

class Silence : public SpeechEngine {
public:
    QString unavailableReason() const override { return {}; }
    void say(const QString &) override {}
};

} // namespace

// One hall state through the hall's controls: the hall's board and the phones show the same
// numbers before the last and the same prizes given, and a new game leaves no prize behind.
class HallControlsShowTest : public QObject {
    Q_OBJECT
private slots:
    void boardAndPhonesShowTheOneState();
};

void HallControlsShowTest::boardAndPhonesShowTheOneState() {
    Silence silence;
    HallControls controls(&silence);
    const QList<HallAward> given{
        awardOf(QStringLiteral("Ambo"), {QStringLiteral("00123")}, 2),
        awardOf(QStringLiteral("Terno"), {QStringLiteral("00017"), QStringLiteral("02210")}, 8)};
    const QString banner = QStringLiteral("Terno: cartelle N. 00017, N. 02210");
    // The phones list each card with its run.
    const QJsonArray listed{
        QStringLiteral("Ambo: cartella N. 00123 (corsa 1)"),
        QStringLiteral("Terno: cartelle N. 00017 (corsa 1), N. 02210 (corsa 1)")};
    // Given before the board is opened and the phones are switched on: both show it.
    controls.show(
        HallState::of(7, {12, 34, 1, 2, 3, 4, 5, 77}, QStringLiteral("Si gioca: Quaterna"), given));
    controls.openHallBoard();
    const quint16 port = testing::freePort();
    controls.findChild<QSpinBox *>(QStringLiteral("spnPorta"))->setValue(port);
    controls.findChild<QCheckBox *>(QStringLiteral("chkTelefoni"))->click();
    testing::HttpProbe phone(port, "GET", "/eventi");
    const auto boardSays = [&](const char *name) {
        return controls.hallBoard()->findChild<QLabel *>(QLatin1String(name))->text();
    };
    const auto phonesSay = [&](const char *key) {
        return QJsonDocument::fromJson(phone.lastEvent()).object()[QLatin1String(key)].toArray();
    };
    QVERIFY(phone.waitFor("\"partita\":7"));
    QCOMPARE(boardSays("hallPrevious"), QStringLiteral("Precedenti: 5  4  3  2  1"));
    QCOMPARE(phonesSay("precedenti"), QJsonArray({5, 4, 3, 2, 1}));
    QCOMPARE(boardSays("hallBanner"), banner);
    QCOMPARE(phonesSay("premi"), listed);

    // The next number: the banner goes, the phones still list the game's prizes.
    controls.show(HallState::of(7, {12, 34, 1, 2, 3, 4, 5, 77, 40},
                                QStringLiteral("Si gioca: Quaterna"), given));
    QVERIFY(phone.waitFor("\"ultimo\":40"));
    QCOMPARE(boardSays("hallPrevious"), QStringLiteral("Precedenti: 77  5  4  3  2"));
    QCOMPARE(phonesSay("precedenti"), QJsonArray({77, 5, 4, 3, 2}));
    QCOMPARE(boardSays("hallBanner"), QString());
    QCOMPARE(phonesSay("premi"), listed);

    // Another game, nothing drawn and nothing given yet.
    controls.show(HallState::of(8, {}, QStringLiteral("Si gioca: Ambo"), {}));
    QVERIFY(phone.waitFor("\"partita\":8"));
    QCOMPARE(boardSays("hallPrevious"), QString());
    QCOMPARE(phonesSay("precedenti"), QJsonArray());
    QCOMPARE(phonesSay("premi"), QJsonArray());
}

QTEST_MAIN(HallControlsShowTest)
#include "tst_HallControlsShow.moc"
