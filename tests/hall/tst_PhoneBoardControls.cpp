#include "hall/HallState.h"
#include "hall/PhoneBoardControls.h"
#include "hall/PhoneBoardServer.h"
#include "tests/support/FreePort.h"
#include "tests/support/HallAwards.h"
#include "tests/support/HttpProbe.h"
#include "tests/support/QrReader.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QtTest>

using namespace velmora;

// The switch of the board on the phones: the server on the organiser's port, the address to
// type with its QR code, and a taken port said without starting anything.
class PhoneBoardControlsTest : public QObject {
    Q_OBJECT
private slots:
    void tickingServesOnThePortAndShowsWhereToGo_data();
    void tickingServesOnThePortAndShowsWhereToGo();
    void takenPortIsSaidAndLeavesTheBoxUnticked();
};

void PhoneBoardControlsTest::tickingServesOnThePortAndShowsWhereToGo_data() {
    QTest::addColumn<QList<QHostAddress>>("addresses");
    QTest::addColumn<QString>("said");
    const QHostAddress hall(QStringLiteral("192.168.1.10"));
    QTest::newRow("one network") << QList<QHostAddress>{hall}
                                 << QStringLiteral("http://192.168.1.10:%1/");
    QTest::newRow("two networks") << QList<QHostAddress>{QHostAddress(QStringLiteral("10.0.0.7")),
                                                         hall}
                                  << QStringLiteral("http://10.0.0.7:%1/\nhttp://192.168.1.10:%1/");
    QTest::newRow("no network") << QList<QHostAddress>()
                                << QStringLiteral(
                                       "Nessuna rete: collega il computer alla rete della sala.");
}

void PhoneBoardControlsTest::tickingServesOnThePortAndShowsWhereToGo() {
    QFETCH(QList<QHostAddress>, addresses);
    QFETCH(QString, said);
    PhoneBoardControls controls(nullptr, [addresses] { return addresses; });
    controls.show();
    auto *on = controls.findChild<QCheckBox *>(QStringLiteral("chkTelefoni"));
    auto *port = controls.findChild<QSpinBox *>(QStringLiteral("spnPorta"));
    auto *address = controls.findChild<QLabel *>(QStringLiteral("lblIndirizzo"));
    auto *code = controls.findChild<QLabel *>(QStringLiteral("picCodiceQR"));
    auto *viewers = controls.findChild<QLabel *>(QStringLiteral("lblCollegati"));
    QVERIFY(!on->isChecked());
    QCOMPARE(port->value(), 8090);
    QVERIFY(!address->isVisible() && !code->isVisible() && !viewers->isVisible());
    // Given while the server was off: the first page still gets them.
    controls.show(
        HallState::of(1, {5, 12}, QStringLiteral("Si gioca: Terno"),
                      {testing::awardOf(QStringLiteral("Ambo"), {QStringLiteral("123")}, 2)}));

    const quint16 chosen = testing::freePort();
    QVERIFY(chosen != 0);
    port->setValue(chosen);
    on->setFocus();
    QTest::keyClick(on, Qt::Key_Space);
    QVERIFY(!port->isEnabled()); // the port is changed with the server off
    const QString expected = said.contains(QLatin1Char('%')) ? said.arg(chosen) : said;
    QVERIFY2(address->isVisible() && address->text().contains(expected),
             qPrintable(address->text()));
    QCOMPARE(address->accessibleName(), address->text());
    QCOMPARE(viewers->text(), QStringLiteral("Collegati: 0"));

    testing::HttpProbe page(chosen, "GET", "/eventi");
    QVERIFY(page.waitFor("Ambo: cartella N. 123 (corsa 1)"));
    QVERIFY2(page.lastEvent().contains("\"numeri\":[5,12]"), page.lastEvent().constData());
    QTRY_COMPARE(viewers->text(), QStringLiteral("Collegati: 1"));
    QCOMPARE(viewers->accessibleName(), viewers->text());

    // The first address's code, as a phone's camera reads it.
    QCOMPARE(code->isVisible(), !addresses.isEmpty());
    if (!addresses.isEmpty()) {
        const QString first =
            QStringLiteral("http://%1:%2/").arg(addresses.first().toString()).arg(chosen);
        QVERIFY2(code->accessibleName().contains(first), qPrintable(code->accessibleName()));
        QString failure;
        const std::optional<QString> read = testing::readQrCode(code->pixmap().toImage(), &failure);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        if (read) {
            QCOMPARE(*read, first);
        }
    }

    QTest::keyClick(on, Qt::Key_Space);
    QVERIFY(page.closedByServer());
    QVERIFY(!controls.server()->isRunning());
    QVERIFY(port->isEnabled());
    QVERIFY(!address->isVisible() && !code->isVisible() && !viewers->isVisible());
    testing::HttpProbe after(chosen, "GET", "/");
    QVERIFY(after.closedByServer());
    QCOMPARE(after.status(), 0);
}

void PhoneBoardControlsTest::takenPortIsSaidAndLeavesTheBoxUnticked() {
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any));
    PhoneBoardControls controls(
        nullptr, [] { return QList<QHostAddress>{QHostAddress(QStringLiteral("192.168.1.10"))}; });
    QSignalSpy notices(&controls, &PhoneBoardControls::notice);
    auto *on = controls.findChild<QCheckBox *>(QStringLiteral("chkTelefoni"));
    controls.findChild<QSpinBox *>(QStringLiteral("spnPorta"))->setValue(other.serverPort());
    on->click();
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(),
             QStringLiteral("La porta %1 è già usata da un altro programma: scegline un'altra.")
                 .arg(other.serverPort()));
    QVERIFY(!on->isChecked());
    QVERIFY(!controls.server()->isRunning());
    QVERIFY(!controls.findChild<QLabel *>(QStringLiteral("lblIndirizzo"))->isVisible());
}

QTEST_MAIN(PhoneBoardControlsTest)
#include "tst_PhoneBoardControls.moc"
