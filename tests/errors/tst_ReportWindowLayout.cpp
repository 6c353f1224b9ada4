#include "errors/ReportWindowLayout.h"

#include <QtTest>

using velmora::ReportWindowLayout;

namespace {
// An 800 x 600 pixel screen at 15 twips a pixel: two thirds of its width is 8000 twips.
const QRectF screen(0, 0, 12000, 9000);
} // namespace

class TestReportWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void sizesTheWindowToTheReport_data() {
        QTest::addColumn<QSizeF>("text");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<QSizeF>("window");
        QTest::addColumn<QSizeF>("box");

        QTest::newRow("short line keeps the designed width")
            << QSizeF(2000, 195) << QSizeF(0, 0) << QSizeF(5070, 1895) << QSizeF(3855, 670);
        QTest::newRow("designed width includes the frame")
            << QSizeF(2000, 195) << QSizeF(120, 450) << QSizeF(5190, 1895) << QSizeF(3855, 670);
        QTest::newRow("exactly as wide as the box")
            << QSizeF(3855, 1170) << QSizeF(0, 0) << QSizeF(5070, 2870) << QSizeF(3855, 1645);
        QTest::newRow("wider than the box grows")
            << QSizeF(5000, 1170) << QSizeF(0, 0) << QSizeF(6335, 2870) << QSizeF(5000, 1645);
        QTest::newRow("wider than two thirds is capped")
            << QSizeF(9000, 1170) << QSizeF(0, 0) << QSizeF(8000, 2870) << QSizeF(6665, 1645);
        QTest::newRow("taller than two thirds of the width is capped")
            << QSizeF(3000, 8500) << QSizeF(0, 0) << QSizeF(5070, 8000) << QSizeF(3855, 7000);
        QTest::newRow("exactly two thirds tall is capped")
            << QSizeF(3000, 8000) << QSizeF(0, 0) << QSizeF(5070, 8000) << QSizeF(3855, 7000);
        QTest::newRow("both capped")
            << QSizeF(20000, 20000) << QSizeF(0, 0) << QSizeF(8000, 8000) << QSizeF(6665, 7000);
    }
    void sizesTheWindowToTheReport() {
        QFETCH(QSizeF, text);
        QFETCH(QSizeF, frame);
        QFETCH(QSizeF, window);
        QFETCH(QSizeF, box);
        const ReportWindowLayout layout = ReportWindowLayout::compute(text, screen, frame);
        QCOMPARE(layout.window.size(), window);
        QCOMPARE(layout.textBox, box);
        // Centred on the screen.
        QCOMPARE(layout.window.center(), screen.center());
        // Buttons 905 above the bottom edge, the send/copy links 50 from the right edge.
        QCOMPARE(layout.buttonTop, window.height() - 905);
        QCOMPARE(layout.sendMailLeft, window.width() - 795 - 50);
        // "&Riprova" centred, the other two 60 away on either side.
        QCOMPARE(layout.buttonLeft[1] * 2 + 1275, window.width());
        QCOMPARE(layout.buttonLeft[1] - (layout.buttonLeft[0] + 1275), 60.0);
        QCOMPARE(layout.buttonLeft[2] - (layout.buttonLeft[1] + 1275), 60.0);
    }

    void centresOnAScreenThatIsNotAtTheOrigin() {
        const QRectF second(12000, 1500, 12000, 9000);
        const ReportWindowLayout layout =
            ReportWindowLayout::compute(QSizeF(2000, 195), second, QSizeF(0, 0));
        QCOMPARE(layout.window.topLeft(),
                 QPointF(12000 + (12000 - 5070) / 2.0, 1500 + (9000 - 1895) / 2.0));
    }
};

QTEST_GUILESS_MAIN(TestReportWindowLayout)
#include "tst_ReportWindowLayout.moc"
