#include "errors/VelmoraError.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterSurface.h"
#include "print/PrinterTarget.h"
#include "tests/support/PdfProbe.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

class TestPrinterTarget : public QObject {
    Q_OBJECT
private slots:
    void settingsReadBackAndBadOnesAreRefused();
    void fileOutputThroughTheCurrentPrinter();
};

void TestPrinterTarget::settingsReadBackAndBadOnesAreRefused() {
    PrinterTarget target;
    QVERIFY(!target.deviceName().isEmpty());
    QVERIFY(!target.driverName().isEmpty());
    target.setCopies(3);
    QCOMPARE(target.copies(), 3);
    for (const int duplex : {3, 2, 1}) {
        try {
            target.setDuplex(duplex);
        } catch (const VelmoraError &error) {
            // Only a device without two-sided printing (a file, or a one-sided queue) may
            // refuse, and it stays one-sided.
            QVERIFY(duplex != 1);
            QCOMPARE(error.number(), 380);
            QCOMPARE(target.duplex(), 1);
            continue;
        }
        QCOMPARE(target.duplex(), duplex);
    }
    target.setOrientation(2);
    QCOMPARE(target.orientation(), 2);
    QCOMPARE(target.pageLayout().orientation(), QPageLayout::Landscape);
    for (const auto &refused : std::initializer_list<std::function<void()>>{
             [&] { target.setCopies(0); }, [&] { target.setDuplex(0); },
             [&] { target.setOrientation(0); }}) {
        try {
            refused();
            QFAIL("a value out of range was taken");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), 380);
        }
    }
    QCOMPARE(target.copies(), 3);
    QCOMPARE(target.duplex(), 1);
    QCOMPARE(target.orientation(), 2);
    QVERIFY(!target.selectPrinter(QStringLiteral("Stampante Inesistente 42")));
}

void TestPrinterTarget::fileOutputThroughTheCurrentPrinter() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("stampante.pdf"));
    PrinterTarget &target = CurrentPrinter::target();
    PrinterSurface &surface = CurrentPrinter::surface();
    target.selectPdfFile(file);
    QCOMPARE(target.port(), file);
    QCOMPARE(target.resolution(), 1200);
    surface.setOrientation(PrinterSurface::Landscape);
    QCOMPARE(target.orientation(), 2);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.print(QStringLiteral("Pagina"));
    // No other printer while the document is open.
    try {
        target.selectPdfFile(dir.filePath(QStringLiteral("altro.pdf")));
        QFAIL("the printer changed in the middle of a document");
    } catch (const VelmoraError &error) {
        QCOMPARE(error.number(), 482);
    }
    surface.newPage();
    surface.print(QStringLiteral("Seconda"));
    surface.endDoc();
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QCOMPARE(pdfPageCount(file), 2);
    const QSizeF page = pdfPageSize(file); // A4 landscape, in points
    QVERIFY(qAbs(page.width() - 841.89) < 1 && qAbs(page.height() - 595.28) < 1);
}

QTEST_MAIN(TestPrinterTarget)
#include "tst_PrinterTarget.moc"
