#include "print/CancStampa.h"

#include "common/Twips.h"
#include "print/ScreenPointer.h"
#include "ui/qbButtons_H.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

using namespace velmora;

class TestCancStampa : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void everyWayOutGivesTheMainWindowBack_data();
    void everyWayOutGivesTheMainWindowBack();
    void unloadingTwiceIsHarmless();
    void progressSaysWhichCard();
};

void TestCancStampa::layout() {
    QWidget main;
    CancStampa window(&main);
    QCOMPARE(window.size(), Twips::size(3165, 1710));
    auto *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Fase di stampa"));
    QCOMPARE(label->geometry(), Twips::rect(270, 210, 2685, 345));
    QCOMPARE(label->font().pointSize(), 12);
    qbButtons_H *stop = window.stopButton();
    QCOMPARE(stop->geometry(), Twips::rect(1080, 720, 1095, 405));
    QVERIFY(stop->Caption().isEmpty());
    QVERIFY(!stop->Picture().isNull());
    // The picture is a red sign: its centre row is white (the bar), its edge red.
    const QImage sign = stop->Picture().image();
    QCOMPARE(sign.pixelColor(sign.width() / 2, sign.height() / 2), QColor(Qt::white));
    QVERIFY(sign.pixelColor(sign.width() / 2, sign.height() / 5).red() > 150);
    QVERIFY(sign.pixelColor(sign.width() / 2, sign.height() / 5).green() < 80);
    QCOMPARE(stop->toolTip(), QStringLiteral("Interrompi la stampa"));
    QCOMPARE(stop->accessibleName(), QStringLiteral("Interrompi la stampa"));
    QVERIFY(stop->focusPolicy() & Qt::TabFocus);
    QVERIFY(!window.progressBar()->accessibleName().isEmpty());
    QCOMPARE(window.parentWidget(), nullptr); // usable while the main window is disabled
}

void TestCancStampa::everyWayOutGivesTheMainWindowBack_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("stop button") << "button";
    QTest::newRow("space on the focused button") << "space";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "close";
}

void TestCancStampa::everyWayOutGivesTheMainWindowBack() {
    QFETCH(QString, how);
    QWidget main;
    main.show();
    main.setEnabled(false);
    main.setCursor(Qt::WaitCursor);
    ScreenPointer::setBusy(true);
    CancStampa window(&main);
    QSignalSpy unloaded(&window, &CancStampa::unloaded);
    window.mostra();
    QVERIFY(window.isVisible());
    QVERIFY(window.isLoaded());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (how == QLatin1String("button")) {
        QTest::mouseClick(window.stopButton(), Qt::LeftButton);
    } else if (how == QLatin1String("space")) {
        QCOMPARE(QApplication::focusWidget(), window.stopButton());
        QTest::keyClick(window.stopButton(), Qt::Key_Space);
    } else if (how == QLatin1String("escape")) {
        QTest::keyClick(&window, Qt::Key_Escape);
    } else {
        window.close();
    }
    QVERIFY(!window.isLoaded());
    QVERIFY(!window.isVisible());
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(main.isEnabled());
    QCOMPARE(main.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!ScreenPointer::isBusy());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestCancStampa::unloadingTwiceIsHarmless() {
    QWidget main;
    main.setEnabled(false);
    CancStampa window(&main);
    QSignalSpy unloaded(&window, &CancStampa::unloaded);
    window.mostra();
    window.unload();
    window.unload();
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(main.isEnabled());
    QVERIFY(!window.isLoaded());
    // A window whose main window has gone unloads all the same.
    auto *gone = new QWidget;
    CancStampa orphan(gone);
    orphan.mostra();
    delete gone;
    orphan.unload();
    QVERIFY(!orphan.isLoaded());
}

void TestCancStampa::progressSaysWhichCard() {
    QWidget main;
    CancStampa window(&main);
    window.mostra();
    QProgressBar *bar = window.progressBar();
    window.setProgress(1, 120);
    QCOMPARE(bar->text(), QStringLiteral("Cartella 1 di 120"));
    for (int done = 2; done <= 120; ++done) {
        window.setProgress(done, 120);
    }
    // However many repaints were skipped on the way, the last card is always shown.
    QCOMPARE(bar->text(), QStringLiteral("Cartella 120 di 120"));
    window.unload();
    window.setProgress(5, 120); // after unloading: ignored
    QCOMPARE(bar->value(), 120);
}

QTEST_MAIN(TestCancStampa)
#include "tst_CancStampa.moc"
