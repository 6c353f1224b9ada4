#include "errors/VelmoraError.h"
#include "print/FontResolver.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/RecordingSurface.h"
#include "tests/support/PdfProbe.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace velmora::testing;

using namespace velmora;

namespace {
constexpr double pointsPerPixel = 72.0 / 300.0;
// "Within a pixel or two" of where the text was asked to go.
constexpr double pixelTolerance = 2.0;

int errorNumber(const std::function<void()> &action) {
    try {
        action();
    } catch (const VelmoraError &error) {
        return error.number();
    }
    return 0;
}
} // namespace

class TestPrinterSurface : public QObject {
    Q_OBJECT
private slots:
    void measuresComeFromThePageAndMargins_data();
    void measuresComeFromThePageAndMargins();
    void printPlacesTextAndMovesOneLineDown();
    void textWidthUsesTheFontsRealAdvances();
    void linesAndBoxesKeepThePrintPosition();
    void documentsAndPagesBeginOnFirstUse();
    void faceNames_data();
    void faceNames();
    void faceIsDecidedOncePerName();
    void badValuesAreRefusedAndChangeNothing_data();
    void badValuesAreRefusedAndChangeNothing();
    void qualityCannotChangeInsideADocument();
    void originOffsetMovesEveryDrawingNotThePosition_data();
    void originOffsetMovesEveryDrawingNotThePosition();
    void originOffsetKeepsItsPlaceOnThePaper();
    void pdfOriginOffsetMovesTheText();
    void pdfTextLandsWhereItWasPrinted_data();
    void pdfTextLandsWhereItWasPrinted();
    void pdfMarginsMoveTheOrigin();
    void pdfPagesAndDocuments();
    void pdfThatCannotBeWrittenIsReported();
};

void TestPrinterSurface::measuresComeFromThePageAndMargins_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("margin"); // mm, every side
    QTest::addColumn<int>("orientation");
    QTest::addColumn<double>("scaleWidth"); // printable pixels at 300 dpi
    QTest::addColumn<int>("height");        // whole page, twips
    // A4 is 210 x 297 mm (2480 x 3508 px), Letter 8.5 x 11 in (2550 x 3300 px).
    QTest::newRow("A4 portrait") << int(QPageSize::A4) << 0.0 << 1 << 2480.0 << 16838;
    QTest::newRow("A4 landscape") << int(QPageSize::A4) << 0.0 << 2 << 3508.0 << 11904;
    QTest::newRow("Letter portrait") << int(QPageSize::Letter) << 0.0 << 1 << 2550.0 << 15840;
    QTest::newRow("Letter landscape") << int(QPageSize::Letter) << 0.0 << 2 << 3300.0 << 12240;
    // A quarter-inch margin is 75 px at 300 dpi.
    QTest::newRow("A4 portrait, margins") << int(QPageSize::A4) << 6.35 << 1 << 2330.0 << 16838;
    QTest::newRow("Letter landscape, margins")
        << int(QPageSize::Letter) << 6.35 << 2 << 3150.0 << 12240;
}

void TestPrinterSurface::measuresComeFromThePageAndMargins() {
    QFETCH(int, page);
    QFETCH(double, margin);
    QFETCH(int, orientation);
    QFETCH(double, scaleWidth);
    QFETCH(int, height);
    const QPageSize size{QPageSize::PageSizeId(page)};
    const QMarginsF margins(margin, margin, margin, margin);

    RecordingSurface recording(size, margins, 1200);
    PdfTarget target(QStringLiteral("unused.pdf"), size, margins);
    PainterSurface painter(target);
    for (PrinterSurface *surface :
         {static_cast<PrinterSurface *>(&recording), static_cast<PrinterSurface *>(&painter)}) {
        QCOMPARE(surface->printQuality(), 1200); // a high-resolution printer's start value
        QCOMPARE(surface->twipsPerPixelY(), 1.2);
        surface->setOrientation(orientation);
        surface->setPrintQuality(300);
        surface->setScaleMode(PrinterSurface::Pixels);
        QCOMPARE(surface->orientation(), orientation);
        QCOMPARE(surface->twipsPerPixelX(), 4.8);
        QCOMPARE(surface->twipsPerPixelY(), 4.8);
        QVERIFY2(qAbs(surface->scaleWidth() - scaleWidth) <= 1,
                 qPrintable(QString::number(surface->scaleWidth())));
        QVERIFY2(qAbs(surface->height() - height) <= 5,
                 qPrintable(QString::number(surface->height())));
        surface->setScaleMode(PrinterSurface::Centimetres);
        QVERIFY(qAbs(surface->scaleWidth() - scaleWidth / 300 * 2.54) < 0.01);
        QVERIFY(!surface->documentOpen()); // measuring begins nothing
    }
}

void TestPrinterSurface::printPlacesTextAndMovesOneLineDown() {
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("Arial"));
    surface.setFontSize(12); // 50 px at 300 dpi
    surface.setFontBold(true);
    surface.setForeColor(0x0000FF); // red
    surface.setCurrentX(100);
    surface.setCurrentY(200);
    surface.print(QStringLiteral("Tombola"));

    QCOMPARE(surface.texts().size(), std::size_t(1));
    const auto &text = surface.texts().front();
    QCOMPARE(text.topLeft, QPointF(100, 200));
    QCOMPARE(text.text, QStringLiteral("Tombola"));
    QCOMPARE(text.fontName, QStringLiteral("Arial"));
    QCOMPARE(text.fontSize, 12.0);
    QVERIFY(text.bold);
    QVERIFY(!text.italic);
    QCOMPARE(text.color, 0x0000FF);
    QVERIFY(!text.rotated);
    QCOMPARE(surface.currentX(), 0.0);
    // One line of a 50-pixel sans face: ascent, descent and gap come to about 1.15 em.
    const double line = surface.currentY() - 200;
    QVERIFY2(line > 54 && line < 60, qPrintable(QString::number(line)));

    // An empty text only moves down, by the same line.
    surface.setCurrentX(300);
    surface.print();
    QCOMPARE(surface.texts().size(), std::size_t(1));
    QCOMPARE(surface.currentX(), 0.0);
    QCOMPARE(surface.currentY(), 200 + 2 * line);

    // In centimetres the same place is reached by its own unit.
    surface.setScaleMode(PrinterSurface::Centimetres);
    surface.setCurrentX(2.54);
    surface.setCurrentY(1.27);
    surface.print(QStringLiteral("Cm"));
    QCOMPARE(surface.texts().back().topLeft, QPointF(300, 150));
    QVERIFY(qAbs(surface.currentY() - (1.27 + line / 300 * 2.54)) < 1e-9);
}

void TestPrinterSurface::textWidthUsesTheFontsRealAdvances() {
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("Arial"));
    surface.setFontSize(12);
    // Digits of this face advance 0.556 em, bold or not: 27.8 px of a 50 px em.
    for (const bool bold : {false, true}) {
        surface.setFontBold(bold);
        QVERIFY2(qAbs(surface.textWidth(QStringLiteral("0")) - 27.8) < 0.5,
                 qPrintable(QString::number(surface.textWidth(QStringLiteral("0")))));
        QVERIFY(qAbs(surface.textWidth(QStringLiteral("90")) -
                     2 * surface.textWidth(QStringLiteral("0"))) < 0.01);
    }
    QCOMPARE(surface.textWidth(QString()), 0.0);
    QVERIFY(surface.textWidth(QStringLiteral("WWW")) > surface.textWidth(QStringLiteral("iii")));
    const double pixels = surface.textWidth(QStringLiteral("Cartella"));
    surface.setScaleMode(PrinterSurface::Twips);
    QVERIFY(qAbs(surface.textWidth(QStringLiteral("Cartella")) - pixels * 4.8) < 1e-6);
    QVERIFY(!surface.documentOpen());
}

void TestPrinterSurface::linesAndBoxesKeepThePrintPosition() {
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setCurrentX(7);
    surface.setCurrentY(9);
    surface.setDrawWidth(7);
    surface.line(48, 152, 1520, 152, 0x00FF00);
    surface.setDrawWidth(2);
    surface.line(48, 660, 1520, 152, 0xFF0000, true);
    surface.setScaleMode(PrinterSurface::Centimetres);
    surface.line(0, 0, 2.54, 2.54, 0);

    QCOMPARE(surface.lines().size(), std::size_t(3));
    const auto &rule = surface.lines()[0];
    QCOMPARE(rule.from, QPointF(48, 152));
    QCOMPARE(rule.to, QPointF(1520, 152));
    QCOMPARE(rule.width, 7);
    QCOMPARE(rule.color, 0x00FF00);
    QVERIFY(!rule.box);
    const auto &box = surface.lines()[1];
    QCOMPARE(box.from, QPointF(48, 660));
    QCOMPARE(box.to, QPointF(1520, 152));
    QCOMPARE(box.width, 2);
    QCOMPARE(box.color, 0xFF0000);
    QVERIFY(box.box);
    QCOMPARE(surface.lines()[2].to, QPointF(300, 300));
    QCOMPARE(surface.currentX(), 7 / 300.0 * 2.54);
    QCOMPARE(surface.currentY(), 9 / 300.0 * 2.54);
}

void TestPrinterSurface::documentsAndPagesBeginOnFirstUse() {
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    QVERIFY(!surface.documentOpen());
    surface.endDoc(); // nothing open: nothing happens
    QVERIFY(surface.documents().empty());

    surface.print(); // an empty line begins the document and its first page
    QVERIFY(surface.documentOpen());
    QCOMPARE(surface.page(), 1);
    surface.setCurrentX(50);
    surface.setCurrentY(60);
    surface.newPage();
    QCOMPARE(surface.page(), 2);
    QCOMPARE(surface.currentX(), 0.0);
    QCOMPARE(surface.currentY(), 0.0);
    surface.line(0, 0, 10, 10, 0);
    surface.endDoc();
    QVERIFY(!surface.documentOpen());
    QCOMPARE(surface.lines().back().page, 2);

    surface.line(0, 0, 10, 10, 0); // the next drawing begins a second document
    QCOMPARE(surface.lines().back().document, 2);
    QCOMPARE(surface.lines().back().page, 1);
    surface.killDoc();

    QCOMPARE(surface.documents().size(), std::size_t(2));
    QCOMPARE(surface.documents()[0].pages, 2);
    QVERIFY(surface.documents()[0].ended);
    QVERIFY(!surface.documents()[1].ended);
    QVERIFY(surface.documents()[1].killed);
    QVERIFY(!surface.documentOpen());
}

void TestPrinterSurface::faceNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reported"); // empty: the face does not exist
    QTest::addColumn<QString>("drawnLike");
    QTest::newRow("Arial") << "Arial"
                           << "Arial"
                           << "Liberation Sans";
    QTest::newRow("ARIAL") << "ARIAL"
                           << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("Courier New") << "courier new"
                                 << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("installed family") << "liberation serif"
                                      << "Liberation Serif"
                                      << "Liberation Serif";
    QTest::newRow("unknown: fontconfig's stand-in") << "Nessun Carattere"
                                                    << "Nessun Carattere"
                                                    << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("alias with a blank") << "Arial "
                                        << "Arial"
                                        << "Liberation Sans";
}

void TestPrinterSurface::faceNames() {
    QFETCH(QString, name);
    QFETCH(QString, reported);
    QFETCH(QString, drawnLike);
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontSize(20);
    surface.setFontName(QStringLiteral("Liberation Mono"));
    if (drawnLike.isEmpty() && !reported.isEmpty()) {
        const std::optional<FontResolver::Face> standIn = FontResolver::face(name);
        QVERIFY(standIn && standIn->standIn && !FontResolver::exists(name));
        QVERIFY(QFontDatabase::families().contains(standIn->family));
        drawnLike = standIn->family;
    }
    if (reported.isEmpty()) {
        QCOMPARE(errorNumber([&] { surface.setFontName(name); }), 380);
        QVERIFY(!FontResolver::exists(name));
        // The refused face leaves the previous one in place.
        QCOMPARE(surface.fontName(), QStringLiteral("Liberation Mono"));
        return;
    }
    surface.setFontName(name);
    QCOMPARE(surface.fontName(), reported);
    // It measures (and so prints) with the face it is aliased to.
    const QString sample = QStringLiteral("Tombola 1 90 WiW");
    const double width = surface.textWidth(sample);
    surface.setFontName(drawnLike);
    QCOMPARE(width, surface.textWidth(sample));
    surface.setFontName(QStringLiteral("Liberation Mono"));
    QVERIFY(surface.textWidth(sample) != width || drawnLike == QLatin1String("Liberation Mono"));
}

void TestPrinterSurface::faceIsDecidedOncePerName() {
    RecordingSurface surface;
    const int before = FontResolver::databaseLookups();
    for (int card = 0; card < 1000; ++card) {
        surface.setFontName(QStringLiteral("ARIAL"));
        surface.setFontName(QStringLiteral("Times New Roman"));
        surface.setFontName(QStringLiteral("Manca Del Tutto")); // a stand-in prints it
    }
    QVERIFY2(FontResolver::databaseLookups() - before <= 3,
             qPrintable(QString::number(FontResolver::databaseLookups() - before)));
}

void TestPrinterSurface::badValuesAreRefusedAndChangeNothing_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<double>("value");
    QTest::newRow("size 0") << 0 << 0.0;
    QTest::newRow("negative size") << 0 << -3.0;
    QTest::newRow("size not a number") << 0 << qQNaN();
    QTest::newRow("huge size") << 0 << 5000.0;
    QTest::newRow("width 0") << 1 << 0.0;
    QTest::newRow("colour beyond 24 bits") << 2 << double(0x1000000);
    QTest::newRow("negative colour") << 2 << -1.0;
    QTest::newRow("character unit") << 3 << 4.0;
    QTest::newRow("user unit") << 3 << 0.0;
    QTest::newRow("orientation 3") << 4 << 3.0;
    QTest::newRow("quality 0") << 5 << 0.0;
    QTest::newRow("position not a number") << 6 << qInf();
    QTest::newRow("line colour") << 7 << double(0x7FFFFFFF);
    QTest::newRow("offset across not a number") << 8 << qQNaN();
    QTest::newRow("offset down infinite") << 9 << -qInf();
}

void TestPrinterSurface::badValuesAreRefusedAndChangeNothing() {
    QFETCH(int, which);
    QFETCH(double, value);
    RecordingSurface surface;
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontSize(14);
    surface.setDrawWidth(3);
    surface.setForeColor(0x123456);
    surface.setOriginOffset(5, -7);
    const std::function<void()> actions[] = {
        [&] { surface.setFontSize(value); },
        [&] { surface.setDrawWidth(int(value)); },
        [&] { surface.setForeColor(qint32(qint64(value))); },
        [&] { surface.setScaleMode(int(value)); },
        [&] { surface.setOrientation(int(value)); },
        [&] { surface.setPrintQuality(int(value)); },
        [&] { surface.setCurrentX(value); },
        [&] { surface.line(0, 0, 1, 1, qint32(qint64(value))); },
        [&] { surface.setOriginOffset(value, 0); },
        [&] { surface.setOriginOffset(0, value); },
    };
    QCOMPARE(errorNumber(actions[which]), 380);
    QCOMPARE(surface.fontSize(), 14.0);
    QCOMPARE(surface.drawWidth(), 3);
    QCOMPARE(surface.foreColor(), 0x123456);
    QCOMPARE(surface.scaleMode(), int(PrinterSurface::Pixels));
    QCOMPARE(surface.orientation(), 1);
    QCOMPARE(surface.printQuality(), 300);
    QCOMPARE(surface.currentX(), 0.0);
    QCOMPARE(surface.originOffset(), QPointF(5, -7));
    QVERIFY(surface.lines().empty());
    QVERIFY(!surface.documentOpen());
}

void TestPrinterSurface::qualityCannotChangeInsideADocument() {
    RecordingSurface surface(QPageSize(QPageSize::A4), {}, 1200);
    surface.setScaleMode(PrinterSurface::Centimetres);
    surface.setCurrentX(1.0);
    surface.setPrintQuality(300);
    QVERIFY(qAbs(surface.currentX() - 1.0) < 1e-9); // the position stays on the paper
    surface.print();
    surface.setPrintQuality(300); // the same value is no change
    QCOMPARE(errorNumber([&] { surface.setPrintQuality(600); }), 380);
    QCOMPARE(surface.printQuality(), 300);
    surface.endDoc();
    surface.setPrintQuality(600);
    QCOMPARE(surface.printQuality(), 600);
}

namespace {
// The same drawing of every kind, in pixels then centimetres, with the print positions seen
// along the way.
QList<QPointF> drawEveryKind(PrinterSurface &surface) {
    QList<QPointF> positions;
    const auto seen = [&] { positions.append({surface.currentX(), surface.currentY()}); };
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("Arial"));
    surface.setFontSize(12);
    surface.setCurrentX(100);
    surface.setCurrentY(200);
    surface.print(QStringLiteral("Tombola"));
    seen();
    surface.setDrawWidth(3);
    surface.line(48, 152, 1520, 152, 0x00FF00);
    surface.line(10.5, 20.25, 300, 400, 0xFF0000, true);
    seen();
    surface.drawRotatedText(2000, 1500, QStringLiteral("Arial"), -40, 900,
                            QStringLiteral("Velmora"));
    seen();
    surface.setScaleMode(PrinterSurface::Centimetres);
    surface.setCurrentX(2.54);
    surface.setCurrentY(1.27);
    surface.print(QStringLiteral("Cm"));
    seen();
    surface.newPage();
    surface.print(QStringLiteral("Seconda"));
    seen();
    return positions;
}
} // namespace

void TestPrinterSurface::originOffsetMovesEveryDrawingNotThePosition_data() {
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::newRow("right and down") << 118.0 << 236.0;
    QTest::newRow("left and up") << -591.0 << -12.0;
    QTest::newRow("across only") << 1.0 << 0.0;
    QTest::newRow("a fraction") << 0.5 << -0.25;
}

void TestPrinterSurface::originOffsetMovesEveryDrawingNotThePosition() {
    QFETCH(double, dx);
    QFETCH(double, dy);
    RecordingSurface plain;
    RecordingSurface shifted;
    shifted.setOriginOffset(dx, dy);
    QCOMPARE(shifted.originOffset(), QPointF(dx, dy));
    const QList<QPointF> plainPositions = drawEveryKind(plain);
    QCOMPARE(drawEveryKind(shifted), plainPositions);

    const QPointF by(dx, dy);
    QCOMPARE(shifted.texts().size(), plain.texts().size());
    QCOMPARE(shifted.texts().size(), std::size_t(4));
    for (std::size_t i = 0; i < plain.texts().size(); ++i) {
        const auto &a = plain.texts()[i];
        const auto &b = shifted.texts()[i];
        QCOMPARE(b.text, a.text);
        QCOMPARE(b.page, a.page);
        QCOMPARE(b.rotated, a.rotated);
        QCOMPARE(b.topLeft, a.topLeft + by);
        QCOMPARE(b.bounds, a.bounds.translated(by));
    }
    QCOMPARE(shifted.lines().size(), std::size_t(2));
    for (std::size_t i = 0; i < plain.lines().size(); ++i) {
        QCOMPARE(shifted.lines()[i].from, plain.lines()[i].from + by);
        QCOMPARE(shifted.lines()[i].to, plain.lines()[i].to + by);
        QCOMPARE(shifted.lines()[i].box, plain.lines()[i].box);
    }
    // Back to no offset: drawn exactly where the plain surface draws.
    shifted.setOriginOffset(0, 0);
    shifted.clearRecords();
    plain.clearRecords();
    drawEveryKind(plain);
    drawEveryKind(shifted);
    for (std::size_t i = 0; i < plain.texts().size(); ++i) {
        QCOMPARE(shifted.texts()[i].topLeft, plain.texts()[i].topLeft);
    }
    QCOMPARE(shifted.lines()[1].from, plain.lines()[1].from);
}

void TestPrinterSurface::originOffsetKeepsItsPlaceOnThePaper() {
    RecordingSurface surface(QPageSize(QPageSize::A4), {}, 300);
    surface.setOriginOffset(118, -59);
    surface.setPrintQuality(600);
    QCOMPARE(surface.originOffset(), QPointF(236, -118));
    surface.setPrintQuality(150);
    QCOMPARE(surface.originOffset(), QPointF(59, -29.5));
    // The offset outlives documents and pages.
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.print(QStringLiteral("a"));
    surface.endDoc();
    surface.print(QStringLiteral("b"));
    QCOMPARE(surface.texts().back().topLeft, QPointF(59, -29.5));
}

void TestPrinterSurface::pdfOriginOffsetMovesTheText() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QTemporaryDir dir;
    const auto printAt = [&dir](const QString &name, QPointF offset) {
        const QString file = dir.filePath(name);
        PdfTarget target(file);
        PainterSurface surface(target);
        surface.setPrintQuality(300);
        surface.setOriginOffset(offset.x(), offset.y());
        surface.setScaleMode(PrinterSurface::Pixels);
        surface.setFontName(QStringLiteral("Arial"));
        surface.setFontSize(12);
        surface.setCurrentX(600);
        surface.setCurrentY(900);
        surface.print(QStringLiteral("Spostata"));
        surface.endDoc();
        return findWord(pdfWords(file), QStringLiteral("Spostata"));
    };
    const auto plain = printAt(QStringLiteral("fermo.pdf"), {});
    // 20 mm right, 10 mm up.
    const auto moved = printAt(QStringLiteral("spostato.pdf"), {236, -118});
    QVERIFY(plain && moved);
    const double tolerance = 0.05; // pdftotext's rounding, points
    QVERIFY2(qAbs(moved->box.left() - plain->box.left() - 236 * pointsPerPixel) < tolerance,
             qPrintable(QString::number(moved->box.left() - plain->box.left())));
    QVERIFY2(qAbs(moved->box.top() - plain->box.top() + 118 * pointsPerPixel) < tolerance,
             qPrintable(QString::number(moved->box.top() - plain->box.top())));
}

void TestPrinterSurface::pdfTextLandsWhereItWasPrinted_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("size");
    QTest::newRow("top left") << 0 << 0 << "Arial" << 12.0;
    QTest::newRow("middle") << 1234 << 1717 << "Times New Roman" << 20.0;
    QTest::newRow("near the bottom right") << 2100 << 3300 << "Courier New" << 8.0;
}

void TestPrinterSurface::pdfTextLandsWhereItWasPrinted() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, face);
    QFETCH(double, size);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("testo.pdf"));
    PdfTarget target(file);
    PainterSurface surface(target);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(face);
    surface.setFontSize(size);
    surface.setCurrentX(x);
    surface.setCurrentY(y);
    const QString word = QStringLiteral("Cinquina");
    const double width = surface.textWidth(word);
    surface.print(word);
    surface.endDoc();

    const auto found = findWord(pdfWords(file), word);
    QVERIFY2(found, "the word is not in the PDF");
    const QRectF box = found->box;
    QVERIFY2(qAbs(box.left() - x * pointsPerPixel) <= pixelTolerance * pointsPerPixel,
             qPrintable(QStringLiteral("left %1 pt").arg(box.left())));
    QVERIFY2(qAbs(box.top() - y * pointsPerPixel) <= pixelTolerance * pointsPerPixel,
             qPrintable(QStringLiteral("top %1 pt").arg(box.top())));
    QVERIFY2(qAbs(box.width() - width * pointsPerPixel) <= pixelTolerance * pointsPerPixel,
             qPrintable(QStringLiteral("width %1 pt, measured %2 px").arg(box.width()).arg(width)));
}

void TestPrinterSurface::pdfMarginsMoveTheOrigin() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("margini.pdf"));
    // A quarter inch left, half an inch at the top.
    PdfTarget target(file, QPageSize(QPageSize::Letter), QMarginsF(6.35, 12.7, 6.35, 6.35));
    PainterSurface surface(target);
    surface.setOrientation(PrinterSurface::Landscape);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.setFontName(QStringLiteral("Arial"));
    QCOMPARE(surface.scaleWidth(), 3150.0);
    surface.print(QStringLiteral("Origine"));
    surface.endDoc();
    const QSizeF page = pdfPageSize(file);
    QCOMPARE(page, QSizeF(792, 612));
    const auto found = findWord(pdfWords(file), QStringLiteral("Origine"));
    QVERIFY(found);
    QVERIFY(qAbs(found->box.left() - 18) <= pixelTolerance * pointsPerPixel);
    QVERIFY(qAbs(found->box.top() - 36) <= pixelTolerance * pointsPerPixel);
}

void TestPrinterSurface::pdfPagesAndDocuments() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pagine.pdf"));
    PdfTarget target(file);
    PainterSurface surface(target);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.print();
    for (const char *text : {"Uno", "Due", "Tre"}) {
        surface.print(QString::fromLatin1(text));
        if (QByteArray(text) != "Tre") {
            surface.newPage();
        }
    }
    surface.endDoc();
    QCOMPARE(pdfPageCount(file), 3);
    const auto words = pdfWords(file);
    QCOMPARE(findWord(words, QStringLiteral("Due"))->page, 2);
    QCOMPARE(findWord(words, QStringLiteral("Tre"))->page, 3);

    // After the end of a document the next drawing begins a new one.
    surface.line(0, 0, 300, 0, 0);
    QVERIFY(surface.documentOpen());
    surface.endDoc();
    QCOMPARE(pdfPageCount(file), 1);

    // An abandoned document leaves no file.
    surface.print(QStringLiteral("Annullata"));
    surface.killDoc();
    QVERIFY(!QFile::exists(file));
}

void TestPrinterSurface::pdfThatCannotBeWrittenIsReported() {
    QTemporaryDir dir;
    PdfTarget target(dir.filePath(QStringLiteral("manca/cartella/uscita.pdf")));
    PainterSurface surface(target);
    QCOMPARE(errorNumber([&] { surface.print(QStringLiteral("Niente")); }), 482);
    QVERIFY(!surface.documentOpen());
    // Pointed at a place that can be written, the same surface prints.
    const QString good = dir.filePath(QStringLiteral("uscita.pdf"));
    target.setFileName(good);
    surface.print(QStringLiteral("Ora"));
    surface.endDoc();
    QVERIFY(QFileInfo(good).size() > 0);
}

QTEST_MAIN(TestPrinterSurface)
#include "tst_PrinterSurface.moc"
