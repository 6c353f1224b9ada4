#include "ui/CentraFinestra.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

using namespace velmora;

class TestCentraFinestra : public QObject {
    Q_OBJECT
private slots:
    void centresOnTheScreen_data();
    void centresOnTheScreen();
    void minimisedAndMaximisedWindowsStay_data();
    void minimisedAndMaximisedWindowsStay();
    void oversizedWindowKeepsItsTitleBarOnScreen();
};

void TestCentraFinestra::oversizedWindowKeepsItsTitleBarOnScreen() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(area.width() + 200, area.height() + 300);
    CentraFinestra(&window);
    // Overhangs left and right alike; the top stays at the screen's top.
    QCOMPARE(window.pos(), area.topLeft() + QPoint(-100, 0));
}

void TestCentraFinestra::centresOnTheScreen_data() {
    QTest::addColumn<int>("leftOffset"); // wanted offsets from the screen's corner
    QTest::addColumn<int>("topOffset");
    // Offsets that share no set bit, and a zero offset, are centred like any other.
    QTest::newRow("offsets 256 and 128") << 256 << 128;
    QTest::newRow("left offset 0") << 0 << 100;
    QTest::newRow("equal offsets") << 100 << 100;
}

void TestCentraFinestra::centresOnTheScreen() {
    QFETCH(int, leftOffset);
    QFETCH(int, topOffset);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(area.width() - 2 * leftOffset, area.height() - 2 * topOffset);
    window.move(area.topLeft() + QPoint(3, 5));
    CentraFinestra(&window);
    QCOMPARE(window.pos(), area.topLeft() + QPoint(leftOffset, topOffset));
    QCOMPARE(window.size(), QSize(area.width() - 2 * leftOffset, area.height() - 2 * topOffset));
}

void TestCentraFinestra::minimisedAndMaximisedWindowsStay_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("minimised") << int(Qt::WindowMinimized);
    QTest::newRow("maximised") << int(Qt::WindowMaximized);
}

void TestCentraFinestra::minimisedAndMaximisedWindowsStay() {
    QFETCH(int, state);
    QWidget window;
    window.resize(200, 100);
    window.move(7, 9);
    window.setWindowState(Qt::WindowState(state));
    CentraFinestra(&window);
    QCOMPARE(window.pos(), QPoint(7, 9));
}

QTEST_MAIN(TestCentraFinestra)
#include "tst_CentraFinestra.moc"
