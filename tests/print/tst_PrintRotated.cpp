#include "errors/VelmoraError.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintRotated.h"
#include "print/RecordingSurface.h"
#include "tests/support/PdfProbe.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

class TestPrintRotated : public QObject {
    Q_OBJECT
private slots:
    void fontHeight_data();
    void fontHeight();
    void escapement_data();
    void escapement();
    void drawsAtThePositionWithoutMovingIt_data();
    void drawsAtThePositionWithoutMovingIt();
    void overflowDrawsNothing();
    void pdfTextReadsDownwards();
};

void TestPrintRotated::fontHeight_data() {
    QTest::addColumn<double>("fontSize");
    QTest::addColumn<double>("twipsPerPixel");
    QTest::addColumn<int>("height");
    QTest::newRow("12 pt at 600 dpi") << 12.0 << 2.4 << -100;
    QTest::newRow("6 pt at 300 dpi") << 6.0 << 4.8 << -25;
    QTest::newRow("10 pt at 1200 dpi") << 10.0 << 1.2 << -167;
    QTest::newRow("half to even, down") << 3.0 << 4.8 << -12; // -12.5
    QTest::newRow("half to even, up") << 9.0 << 4.8 << -38;   // -37.5
    QTest::newRow("screen") << 8.25 << 15.0 << -11;
}

void TestPrintRotated::fontHeight() {
    QFETCH(double, fontSize);
    QFETCH(double, twipsPerPixel);
    QFETCH(int, height);
    QCOMPARE(rotatedFontHeight(fontSize, twipsPerPixel), height);
}

void TestPrintRotated::escapement_data() {
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("escapement"); // 0 with overflow set: error 6
    QTest::addColumn<bool>("overflow");
    QTest::newRow("0") << 0 << 0 << false;
    QTest::newRow("270 degrees") << 270 << 2700 << false;
    QTest::newRow("largest") << 3276 << 32760 << false;
    QTest::newRow("most negative") << -3276 << -32760 << false;
    QTest::newRow("3277 overflows") << 3277 << 0 << true;
    QTest::newRow("-3277 overflows") << -3277 << 0 << true;
    QTest::newRow("32767 overflows") << 32767 << 0 << true;
}

void TestPrintRotated::escapement() {
    QFETCH(int, angle);
    QFETCH(int, escapement);
    QFETCH(bool, overflow);
    try {
        QCOMPARE(int(rotatedEscapement(qint16(angle))), escapement);
        QVERIFY(!overflow);
    } catch (const VelmoraError &error) {
        QVERIFY(overflow);
        QCOMPARE(error.number(), 6);
    }
}

void TestPrintRotated::drawsAtThePositionWithoutMovingIt_data() {
    QTest::addColumn<int>("angle");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<bool>("upright"); // the drawn box is taller than wide
    QTest::newRow("horizontal") << 0 << 0.0 << false;
    QTest::newRow("270 reads downwards") << 270 << 270.0 << true;
    QTest::newRow("-90 is 270") << -90 << 270.0 << true;
    QTest::newRow("90 reads upwards") << 90 << 90.0 << true;
}

void TestPrintRotated::drawsAtThePositionWithoutMovingIt() {
    QFETCH(int, angle);
    QFETCH(double, degrees);
    QFETCH(bool, upright);
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("ARIAL"));
    surface.setFontSize(6);
    surface.setFontBold(true); // not used by the turned text
    surface.setFontItalic(true);
    surface.setForeColor(0x102030);
    surface.setCurrentX(20.4);
    surface.setCurrentY(1200.6);
    const QString credit = QStringLiteral("Stampato con Velmora");
    PrintRotated(surface, credit, qint16(angle));

    QCOMPARE(surface.currentX(), 20.4);
    QCOMPARE(surface.currentY(), 1200.6);
    QCOMPARE(surface.texts().size(), std::size_t(1));
    const auto &text = surface.texts().front();
    QVERIFY(text.rotated);
    QCOMPARE(text.text, credit);
    QCOMPARE(text.topLeft, QPointF(20, 1201));
    QCOMPARE(text.fontName, QStringLiteral("Arial"));
    QCOMPARE(text.logicalHeight, -25);
    QCOMPARE(text.fontSize, 25.0);
    QCOMPARE(text.escapement, angle * 10);
    QCOMPARE(text.angle, degrees);
    QVERIFY(!text.bold);
    QVERIFY(!text.italic);
    QCOMPARE(text.color, 0x102030);
    QCOMPARE(text.bounds.height() > text.bounds.width(), upright);
    if (degrees == 90.0) {
        // Turned about its top-left corner: the text climbs from the print position.
        QVERIFY(qAbs(text.bounds.bottom() - 1201) < 0.5);
        QVERIFY(qAbs(text.bounds.left() - 20) < 0.5);
    } else if (degrees == 270.0) {
        // It goes down from the print position, its letters' tops towards the right.
        QVERIFY(qAbs(text.bounds.top() - 1201) < 0.5);
        QVERIFY(qAbs(text.bounds.right() - 20) < 0.5);
    } else {
        QVERIFY(qAbs(text.bounds.top() - 1201) < 0.5);
    }
}

void TestPrintRotated::overflowDrawsNothing() {
    RecordingSurface surface;
    try {
        PrintRotated(surface, QStringLiteral("Troppo"), 3277);
        QFAIL("an angle of 3277 must overflow");
    } catch (const VelmoraError &error) {
        QCOMPARE(error.number(), 6);
    }
    QVERIFY(surface.texts().empty());
    QVERIFY(!surface.documentOpen());
}

void TestPrintRotated::pdfTextReadsDownwards() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ruotato.pdf"));
    PdfTarget target(file);
    PainterSurface surface(target);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("Arial"));
    surface.setFontSize(12);
    surface.setCurrentX(600);
    surface.setCurrentY(2400);
    PrintRotated(surface, QStringLiteral("Primo Secondo"), 270);
    surface.endDoc();

    const auto words = pdfWords(file);
    const auto first = findWord(words, QStringLiteral("Primo"));
    const auto second = findWord(words, QStringLiteral("Secondo"));
    QVERIFY2(first && second, "the turned words are not in the PDF");
    QVERIFY(first->box.height() > first->box.width());
    QVERIFY(second->box.height() > second->box.width());
    // Read downwards: the second word is below the first, and the first starts at the position.
    QVERIFY(second->box.top() > first->box.bottom());
    constexpr double pointsPerPixel = 72.0 / 300.0;
    QVERIFY2(qAbs(first->box.top() - 2400 * pointsPerPixel) <= 2 * pointsPerPixel,
             qPrintable(QString::number(first->box.top())));
    QVERIFY2(qAbs(first->box.right() - 600 * pointsPerPixel) <= 2 * pointsPerPixel,
             qPrintable(QString::number(first->box.right())));
}

QTEST_MAIN(TestPrintRotated)
#include "tst_PrintRotated.moc"
