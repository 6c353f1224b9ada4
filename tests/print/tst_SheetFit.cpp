#include "errors/TestoVersione.h"
#include "print/CardArchive.h"
#include "print/CardContext.h"
#include "print/FontResolver.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PreviewPages.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/SheetFit.h"
#include "print/SizeFit.h"
#include "print/StampaCartella.h"
#include "print/TextFit.h"
#include "settings/SettingsFile.h"
#include "tests/support/CardFixture.h"
#include "tests/support/PdfProbe.h"

#include <QHash>
#include <QPageLayout>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

namespace {

constexpr int cards = 12;
constexpr double marginPoints = 10; // as velmora-pdf prints

// Wide capitals in words, as long as the box takes.
QString wide(int length) {
    QString text;
    while (text.size() < length) {
        text += QStringLiteral("WMWMW ");
    }
    text.truncate(length);
    return text.trimmed();
}

Configurazione fullBoxes() {
    Configurazione s = SettingsFile::defaults();
    s.Titolo = wide(30);
    s.Frase1 = wide(40);
    s.Frase2 = wide(40);
    s.Ditta = wide(30);
    s.Via = wide(33);
    s.Tel = wide(30);
    return s;
}

QStringList wordsOf(const QString &text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Prints cards 1..12 with the given layout to a PDF on A4 with velmora-pdf's margins; the sheet
// the cards were drawn as.
SheetFit::Sheet printSheet(const QString &file, const QString &archiveFolder,
                           const Configurazione &settings, bool landscape) {
    const double margin = marginPoints * 25.4 / 72;
    PdfTarget target(file, QPageSize(QPageSize::A4), QMarginsF(margin, margin, margin, margin));
    PainterSurface surface(target);
    surface.setOrientation(landscape ? PrinterSurface::Landscape : PrinterSurface::Portrait);
    surface.setPrintQuality(300);
    surface.setScaleMode(PrinterSurface::Pixels);
    CardArchive archive(archiveFolder);
    CardContext ctx(surface, archive, settings);
    const int perPage = landscape ? 6 : 3;
    for (int card = 1; card <= cards; ++card) {
        const int slot = (card - 1) % perPage + 1;
        if (slot == 1 && card > 1) {
            surface.newPage();
        }
        (landscape ? StampaCartella : StampaCartella2)(ctx, qint16(card), qint16(slot), 1);
    }
    const SheetFit::Sheet sheet =
        ctx.sheet(landscape ? CardLayout::landscape() : CardLayout::portrait());
    surface.endDoc();
    return sheet;
}

// Prints cards 1..12 as a print run does, to a PDF on A4 with velmora-pdf's margins; centred
// on the page unless told otherwise.
void runSheet(const QString &file, const QString &archiveFolder, const Configurazione &settings,
              bool landscape, bool centred = true) {
    const double margin = marginPoints * 25.4 / 72;
    PdfTarget target(file, QPageSize(QPageSize::A4), QMarginsF(margin, margin, margin, margin));
    target.setSheetCentring(centred);
    PainterSurface surface(target);
    CardArchive archive(archiveFolder);
    QString refusal;
    const auto plan =
        PrintPlan::make(QStringLiteral("1"), QString::number(cards), landscape, &refusal);
    QVERIFY2(plan, qPrintable(refusal));
    PrintRun run(surface, archive, settings, false);
    QCOMPARE(run.run(*plan, {}), PrintRun::Outcome::Completed);
}

// Where the first word of text is on page 1 (an empty box when it is not there).
QRectF firstBox(const QString &pdf, const QString &text) {
    const auto word = findWord(pdfWords(pdf), text);
    return word ? word->box : QRectF();
}

constexpr double pointsPerMillimetre = 72 / 25.4;

bool sameBox(const QRectF &a, const QRectF &b) {
    return qAbs(a.left() - b.left()) < 0.01 && qAbs(a.top() - b.top()) < 0.01 &&
           qAbs(a.right() - b.right()) < 0.01 && qAbs(a.bottom() - b.bottom()) < 0.01;
}

// The lines of each card and the cells of its grid, in PDF points, for a sheet printed by
// printSheet (from the corner inside the margins, at 300 dots per inch).
struct SheetMarks {
    QList<QRectF> cells; // inside the grid's lines
    QList<QRectF> lines; // every rule, outline and grid line as the strip of ink it is
    QList<double> thinRuleTops;
};

SheetMarks sheetMarks(bool landscape, const SheetFit::Sheet &sheet) {
    const CardLayout &l = landscape ? CardLayout::landscape() : CardLayout::portrait();
    constexpr int dpi = 300;
    const QPageLayout page(
        QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(marginPoints, marginPoints, marginPoints, marginPoints), QPageLayout::Point);
    const double fx = std::min(l.factorX(page.paintRectPixels(dpi).width()), sheet.capX);
    const double fy =
        std::min(l.factorY(page.fullRectPixels(dpi).height() * 1440.0 / dpi), sheet.capY);
    const double scale = 72.0 / dpi;
    SheetMarks marks;
    for (int slot = 0; slot < l.cardsPerPage; ++slot) {
        const int row = slot / l.columns;
        const double ox = (slot % l.columns) * l.columnU * fx;
        const double oy = row * (l.rowV * fy + l.rowPx) + l.topPx;
        const auto at = [&](double u, double v) {
            return QPointF(marginPoints + (ox + u * fx) * scale,
                           marginPoints + (oy + v * fy) * scale);
        };
        const auto strip = [&](QPointF a, QPointF b, int widthPx) {
            const double half = widthPx * scale / 2;
            marks.lines.append(QRectF(a, b).normalized().adjusted(-half, -half, half, half));
        };
        for (const CardLayout::Rule &r : l.rules) {
            const QPointF a = at(r.u1, r.v1), b = at(r.u2, r.v2);
            if (r.box) {
                strip(a, QPointF(b.x(), a.y()), r.width);
                strip(QPointF(a.x(), b.y()), b, r.width);
                strip(a, QPointF(a.x(), b.y()), r.width);
                strip(QPointF(b.x(), a.y()), b, r.width);
            } else {
                strip(a, b, r.width);
            }
        }
        marks.thinRuleTops.append(at(0, l.rules[0].v1).y() - l.rules[0].width * scale / 2);
        constexpr int gridPx = 2;
        QList<double> xs{l.gridLeftU}, ys{l.gridTopV};
        xs.append(QList<double>(l.gridColumnsU.begin(), l.gridColumnsU.end()));
        ys.append(QList<double>(l.gridRowsV.begin(), l.gridRowsV.end()));
        xs.append(l.gridRightU);
        ys.append(l.gridBottomV);
        for (double v : ys.mid(1, ys.size() - 2)) {
            strip(at(l.gridLeftU, v), at(l.gridRightU, v), gridPx);
        }
        for (double u : xs.mid(1, xs.size() - 2)) {
            strip(at(u, l.gridTopV), at(u, l.gridBottomV), gridPx);
        }
        const double half = gridPx * scale / 2;
        for (qsizetype c = 0; c + 1 < xs.size(); ++c) {
            for (qsizetype r = 0; r + 1 < ys.size(); ++r) {
                marks.cells.append(QRectF(at(xs[c], ys[r]), at(xs[c + 1], ys[r + 1]))
                                       .adjusted(half, half, -half, -half));
            }
        }
    }
    return marks;
}

// Two boxes that share more than a hair.
bool overlap(const QRectF &a, const QRectF &b) {
    const QRectF common = a.intersected(b);
    return common.width() >= 0.05 && common.height() >= 0.05;
}

// The first two words of page that share more than a hair, as a message; empty when none do.
// The two cards of a landscape row print the credit line at one place: that word counts once.
QString firstOverlap(const QVector<PdfWord> &words, int page) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            const PdfWord &a = words[i], &b = words[j];
            if (a.page == page && b.page == page && !(a.text == b.text && sameBox(a.box, b.box)) &&
                overlap(a.box, b.box)) {
                return QStringLiteral("\"%1\" overlaps \"%2\"").arg(a.text, b.text);
            }
        }
    }
    return {};
}

} // namespace

class TestSheetFit : public QObject {
    Q_OBJECT
    static void bothOrientations() {
        QTest::addColumn<bool>("landscape");
        QTest::newRow("landscape") << true;
        QTest::newRow("portrait") << false;
    }

private slots:
    void everyTextWholeOnThePaperAndApart_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("longTexts");
        // At its floor size the landscape name line of three full boxes of capitals is
        // wider than its card: only there may a text end cut, with an ellipsis.
        QTest::addColumn<bool>("nameLineMayBeCut");
        QTest::newRow("landscape, defaults") << true << false << false;
        QTest::newRow("landscape, long texts") << true << true << true;
        QTest::newRow("portrait, defaults") << false << false << false;
        QTest::newRow("portrait, long texts") << false << true << false;
    }
    void everyTextWholeOnThePaperAndApart() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        }
        QFETCH(bool, landscape);
        QFETCH(bool, longTexts);
        QFETCH(bool, nameLineMayBeCut);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        Configurazione settings = longTexts ? fullBoxes() : SettingsFile::defaults();
        SettingsFile::trimTexts(settings);
        printSheet(file, archive.folder(), settings, landscape);

        const QSizeF paper = pdfPageSize(file);
        const auto words = pdfWords(file);
        QVERIFY(!words.isEmpty());
        const int pages = pdfPageCount(file);
        QCOMPARE(pages, landscape ? 2 : 4);

        // Each word once per page (the two cards of a landscape row draw the credit line at
        // one place: the same word in the same box counts once); on the paper; apart.
        QVector<PdfWord> distinct;
        for (const auto &w : words) {
            QVERIFY2(w.box.left() >= 0 && w.box.top() >= 0 && w.box.right() <= paper.width() &&
                         w.box.bottom() <= paper.height(),
                     qPrintable(QStringLiteral("\"%1\" leaves the paper").arg(w.text)));
            bool repeated = false;
            for (const auto &d : distinct) {
                repeated =
                    repeated || (d.page == w.page && d.text == w.text && sameBox(d.box, w.box));
            }
            if (!repeated) {
                for (const auto &d : distinct) {
                    const QRectF overlap = d.box.intersected(w.box);
                    QVERIFY2(d.page != w.page || overlap.width() < 0.05 || overlap.height() < 0.05,
                             qPrintable(QStringLiteral("\"%1\" overlaps \"%2\" on page %3")
                                            .arg(w.text, d.text)
                                            .arg(w.page)));
                }
                distinct.push_back(w);
            }
        }
        QHash<QString, int> found; // "page|word" -> times
        for (const auto &w : distinct) {
            ++found[QStringLiteral("%1|%2").arg(w.page).arg(w.text)];
        }
        const auto count = [&found](int page, const QString &word) {
            return found.value(QStringLiteral("%1|%2").arg(page).arg(word));
        };

        const int perPage = landscape ? 6 : 3;
        for (int page = 1; page <= pages; ++page) {
            QHash<QString, int> expected;
            for (int slot = 1; slot <= perPage; ++slot) {
                for (const QString &w : wordsOf(settings.Titolo.trimmed())) {
                    ++expected[w];
                }
                ++expected[QStringLiteral("N.")];
                ++expected[QString::number((page - 1) * perPage + slot)];
            }
            const int strips = landscape ? 2 : 1; // cards per strip kind on a page
            for (const QString &w :
                 wordsOf(settings.Frase1.trimmed()) + wordsOf(settings.Frase2.trimmed())) {
                expected[w] += strips;
            }
            const QStringList name = wordsOf(settings.Ditta.trimmed()) +
                                     wordsOf(settings.Via.trimmed()) +
                                     wordsOf(settings.Tel.trimmed());
            for (const QString &w : name) {
                if (!nameLineMayBeCut) {
                    expected[w] += strips;
                }
            }
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                QVERIFY2(count(page, it.key()) >= it.value(),
                         qPrintable(QStringLiteral("page %1: \"%2\" %3 times, not %4")
                                        .arg(page)
                                        .arg(it.key())
                                        .arg(count(page, it.key()))
                                        .arg(it.value())));
            }
            if (nameLineMayBeCut) {
                QVERIFY(count(page, name.first()) >= strips);
            }
            // The credit line whole, reading down, once per card (portrait) or row (landscape).
            for (const QString &w : wordsOf(RigaCrediti)) {
                QCOMPARE(count(page, w), w == QStringLiteral("-") ? 6 : 3);
            }
        }
        for (const auto &w : distinct) {
            if (w.text == QStringLiteral("Velmora")) {
                QVERIFY(w.box.height() > w.box.width());
            }
        }
    }

    // At every size up to the largest the size box takes, and beyond it for a size stored by
    // an older program: each number inside its cell, the title above the thin rule, no text
    // on a line of the card and no two texts on each other.
    void textsKeepClearOfTheLinesAtEverySize_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("size");
        for (const bool landscape : {true, false}) {
            const int largest = SizeFit::largestDimensione(
                landscape ? CardLayout::landscape() : CardLayout::portrait(),
                FontResolver::resolve(SettingsFile::defaults().FontTombola.trimmed()).family);
            for (const int size : {8, 16, 24, 32, largest}) {
                QTest::addRow("%s, %d", landscape ? "landscape" : "portrait", size)
                    << landscape << size;
            }
        }
    }
    void textsKeepClearOfTheLinesAtEverySize() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        }
        QFETCH(bool, landscape);
        QFETCH(int, size);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        Configurazione settings = SettingsFile::defaults();
        settings.Dimensione = qint16(size);
        const SheetMarks marks =
            sheetMarks(landscape, printSheet(file, archive.folder(), settings, landscape));
        const auto words = pdfWords(file);
        QVERIFY(!words.isEmpty());
        const auto where = [](const PdfWord &w) {
            return QStringLiteral("\"%1\" on page %2 at (%3, %4)-(%5, %6)")
                .arg(w.text)
                .arg(w.page)
                .arg(w.box.left(), 0, 'f', 1)
                .arg(w.box.top(), 0, 'f', 1)
                .arg(w.box.right(), 0, 'f', 1)
                .arg(w.box.bottom(), 0, 'f', 1);
        };
        // A word's box read back is its face's full height, the descent below the letters'
        // foot included: the foot is where the letters (capitals, digits) end.
        const auto face = FontResolver::pointFace(
            FontResolver::resolve(settings.FontTombola.trimmed()).family, 100, false, false, 72);
        const double descent = face->metrics.descent() / (face->ascent + face->metrics.descent());
        const auto letters = [descent](const QRectF &box) {
            return box.adjusted(0, 0, 0, -descent * box.height());
        };
        int numbers = 0;
        for (qsizetype i = 0; i < words.size(); ++i) {
            const PdfWord &w = words[i];
            for (const QRectF &cell : marks.cells) {
                if (cell.contains(w.box.center())) {
                    QVERIFY2(cell.contains(w.box), qPrintable(where(w) + " leaves its cell"));
                    ++numbers;
                }
            }
            for (const QRectF &line : marks.lines) {
                QVERIFY2(!overlap(line, letters(w.box)), qPrintable(where(w) + " is on a line"));
            }
            if (wordsOf(settings.Titolo.trimmed()).contains(w.text)) {
                const bool clear = std::any_of(
                    marks.thinRuleTops.cbegin(), marks.thinRuleTops.cend(), [&](double top) {
                        return letters(w.box).bottom() <= top && w.box.top() > top - 60;
                    });
                QVERIFY2(clear, qPrintable(where(w) + " is not above its thin rule"));
            }
            for (qsizetype j = 0; j < i; ++j) {
                // The two cards of a landscape row print the credit line at one place.
                const bool same = words[j].text == w.text && sameBox(words[j].box, w.box);
                QVERIFY2(words[j].page != w.page || same || !overlap(words[j].box, w.box),
                         qPrintable(where(w) + " overlaps " + where(words[j])));
            }
        }
        QCOMPARE(numbers, cards * 15);
    }

    // Whatever size the settings hold, past the size box's largest too, and with every text at
    // its length in a wide face and bold: each card of the first page shows "N.", its number and
    // its fifteen numbers, no two texts on each other, and all ink 5 mm from the paper's edges.
    void everyCardWholeAtAnySize_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("face"); // empty: the default face and texts
        for (const int size : {8, 18, 20, 25, 40, 100, 999}) {
            QTest::addRow("landscape, %d", size) << true << size << QString();
        }
        for (const int size : {8, 25, 60, 999}) {
            QTest::addRow("portrait, %d", size) << false << size << QString();
        }
        QTest::newRow("landscape, 16, long texts") << true << 16 << QStringLiteral("DejaVu Sans");
        QTest::newRow("portrait, 25, long texts") << false << 25 << QStringLiteral("URW Bookman");
        QTest::newRow("landscape, 999, long texts") << true << 999 << QStringLiteral("URW Bookman");
    }
    void everyCardWholeAtAnySize() {
        if (!pdfPicturesAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo, pdftoppm) is not installed");
        }
        QFETCH(bool, landscape);
        QFETCH(int, size);
        QFETCH(QString, face);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        Configurazione settings = face.isEmpty() ? SettingsFile::defaults() : fullBoxes();
        if (!face.isEmpty()) {
            settings.FontTombola = face;
            settings.setBold(true);
        }
        settings.Dimensione = qint16(size);
        runSheet(file, archive.folder(), settings, landscape);

        QVector<PdfWord> words = pdfWords(file);
        words.removeIf([](const PdfWord &w) { return w.page != 1; });
        QHash<QString, int> found;
        for (const PdfWord &w : words) {
            ++found[w.text];
            // The heading strip too is read at the smallest sizes (a word's box is its line's).
            QVERIFY2(w.text != QStringLiteral("Grande") || w.box.height() >= TextFit::legiblePoints,
                     qPrintable(QStringLiteral("\"Grande\" %1 pt high").arg(w.box.height())));
        }
        const int perPage = landscape ? 6 : 3;
        QHash<QString, int> expected{{QStringLiteral("N."), perPage}};
        CardArchive cardArchive(archive.folder());
        for (int card = 1; card <= perPage; ++card) {
            ++expected[QString::number(card)];
            const RecordCartella record = cardArchive.read(qint16(card));
            for (int k = 0; k < RecordCartella::cellCount; ++k) {
                if (record.cellNumber(k) > 0) {
                    ++expected[QString::number(record.cellNumber(k))];
                }
            }
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(found.value(it.key()) >= it.value(),
                     qPrintable(QStringLiteral("\"%1\" %2 times, not %3")
                                    .arg(it.key())
                                    .arg(found.value(it.key()))
                                    .arg(it.value())));
        }
        const QString overlapping = firstOverlap(words, 1);
        QVERIFY2(overlapping.isEmpty(), qPrintable(overlapping));
        const QRectF inner = QRectF(QPointF(0, 0), pdfPageSize(file))
                                 .marginsRemoved(QMarginsF(5, 5, 5, 5) * pointsPerMillimetre);
        const QRectF ink = pdfInkBoxes(file).value(0);
        QVERIFY2(inner.contains(ink), qPrintable(QStringLiteral("ink from %1, %2 to %3, %4 mm")
                                                     .arg(ink.left() / pointsPerMillimetre)
                                                     .arg(ink.top() / pointsPerMillimetre)
                                                     .arg(ink.right() / pointsPerMillimetre)
                                                     .arg(ink.bottom() / pointsPerMillimetre)));
    }

    // The preview of a print to a PDF shows the sheet where the file puts it, fitted and centred.
    void previewOfAPdfShowsTheSheetWhereTheFileHasIt_data() { bothOrientations(); }
    void previewOfAPdfShowsTheSheetWhereTheFileHasIt() {
        if (!pdfPicturesAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo, pdftoppm) is not installed");
        }
        QFETCH(bool, landscape);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        Configurazione settings = SettingsFile::defaults();
        settings.Dimensione = 25; // a sheet fitted to keep off the edges
        runSheet(file, archive.folder(), settings, landscape);
        const QRectF printed = pdfInkBoxes(file).value(0);

        const double margin = marginPoints * 25.4 / 72;
        const QPageLayout paper(QPageSize(QPageSize::A4),
                                landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
        QString refusal;
        const auto pages =
            PreviewPages::open({QStringLiteral("1"), QString::number(cards), landscape, false},
                               settings, paper, {archive.folder()}, &refusal, true);
        QVERIFY2(pages, qPrintable(refusal));
        constexpr double scale = 0.5; // 150 image pixels an inch, as the PDF is read
        const double pointsPerPixel = 72 / (PrintRun::dotsPerInch * scale);
        const QRect shown = inkBox(pages->renderPage(0, scale));
        const QRectF onPaper(QPointF(marginPoints, marginPoints) +
                                 QPointF(shown.topLeft()) * pointsPerPixel,
                             QSizeF(shown.size()) * pointsPerPixel);
        const double far = std::max(
            {qAbs(printed.left() - onPaper.left()), qAbs(printed.top() - onPaper.top()),
             qAbs(printed.right() - onPaper.right()), qAbs(printed.bottom() - onPaper.bottom())});
        QVERIFY2(far < 1,
                 qPrintable(QStringLiteral("the preview is %1 pt off the printed ink").arg(far)));
    }

    // A PDF page has no printer margin: a default sheet keeps every mark, text or line, at
    // least 5 mm from every edge, so a home printer loses none of it.
    void defaultPdfKeepsFiveMillimetresFromEveryEdge_data() { bothOrientations(); }
    void defaultPdfKeepsFiveMillimetresFromEveryEdge() {
        if (!pdfPicturesAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo, pdftoppm) is not installed");
        }
        QFETCH(bool, landscape);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        runSheet(file, archive.folder(), SettingsFile::defaults(), landscape);

        const QRectF paper(QPointF(0, 0), pdfPageSize(file));
        const QRectF inner = paper.marginsRemoved(QMarginsF(5, 5, 5, 5) * pointsPerMillimetre);
        const auto outside = [&inner](const QRectF &box) {
            return QStringLiteral("(%1, %2)-(%3, %4) mm")
                .arg(box.left() / pointsPerMillimetre, 0, 'f', 1)
                .arg(box.top() / pointsPerMillimetre, 0, 'f', 1)
                .arg(box.right() / pointsPerMillimetre, 0, 'f', 1)
                .arg(box.bottom() / pointsPerMillimetre, 0, 'f', 1);
        };
        const auto words = pdfWords(file);
        QVERIFY(!words.isEmpty());
        // A word's box read back is its font's full height, taller than its letters: across
        // it is the text's own width, down the ink below says where the letters are.
        for (const auto &w : words) {
            QVERIFY2(w.box.left() >= inner.left() && w.box.right() <= inner.right(),
                     qPrintable(QStringLiteral("\"%1\" at %2").arg(w.text, outside(w.box))));
        }
        const QList<QRectF> ink = pdfInkBoxes(file);
        QCOMPARE(ink.size(), landscape ? 2 : 4);
        for (const QRectF &box : ink) {
            QVERIFY2(inner.contains(box), qPrintable(QStringLiteral("ink at ") + outside(box)));
        }
    }

    // The name line ends inside its own card's border, and the two cards of a landscape row
    // print it alike: at one size, to the same place within the card.
    void nameLineInsideItsCard_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("factorX");  // pixels per card unit across
        QTest::addColumn<double>("columnPx"); // from one column's origin to the next
        QTest::newRow("landscape") << true << 4.0 << 410 * 4.0;
        QTest::newRow("portrait") << false << 6.0 << 0.0;
    }
    void nameLineInsideItsCard() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        }
        QFETCH(bool, landscape);
        QFETCH(double, factorX);
        QFETCH(double, columnPx);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        Configurazione settings = SettingsFile::defaults();
        settings.Ditta = QStringLiteral("Ditta Esempio Lunghissima Srl");
        settings.Via = QStringLiteral("Via dei Mille 1234, Quartiere Nord");
        settings.Tel = QStringLiteral("Telefono 0123 456789 int. 12345");
        SettingsFile::trimTexts(settings);
        printSheet(file, archive.folder(), settings, landscape);

        const double pointsPerPixel = 72.0 / 300;
        const double margin = marginPoints;
        const auto words = pdfWords(file);
        QVector<PdfWord> ditta;
        for (const auto &w : words) {
            if (w.page == 1 && w.text == QStringLiteral("Ditta")) {
                ditta.push_back(w);
            }
        }
        QCOMPARE(ditta.size(), landscape ? 2 : 1);
        QVector<double> endsInCard; // from each card's origin to the line's last word's end
        for (const auto &start : ditta) {
            const int column =
                columnPx > 0 && start.box.left() > margin + columnPx * pointsPerPixel ? 1 : 0;
            const double origin = margin + column * columnPx * pointsPerPixel;
            const double border = origin + 380 * factorX * pointsPerPixel;
            double end = start.box.right();
            for (const auto &w : words) {
                if (w.page == 1 && qAbs(w.box.top() - start.box.top()) < 1 &&
                    w.box.left() >= start.box.left() && w.box.left() < border) {
                    QVERIFY2(w.box.right() <= border,
                             qPrintable(QStringLiteral("\"%1\" ends %2 pt past the border")
                                            .arg(w.text)
                                            .arg(w.box.right() - border)));
                    end = std::max(end, w.box.right());
                }
            }
            endsInCard.push_back(end - origin);
            QCOMPARE(start.box.height(), ditta.first().box.height());
        }
        QVERIFY(qAbs(endsInCard.first() - endsInCard.last()) < 0.5);
    }

    // The file says what it holds and what made it: the archive cards, the program and its
    // version, and when.
    void pdfNamesItsCardsAndItsMaker() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdfinfo) is not installed");
        }
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("foglio.pdf"));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        runSheet(file, archive.folder(), SettingsFile::defaults(), true);
        const QString info =
            toolOutput(QStringLiteral("pdfinfo"), {QStringLiteral("-isodates"), file})
                .value_or(QString());
        const auto field = [&info](const QString &name) {
            const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(name),
                                          QRegularExpression::MultilineOption);
            return line.match(info).captured(1).trimmed();
        };
        QCOMPARE(field(QStringLiteral("Title")), QStringLiteral("Cartelle 1-%1").arg(cards));
        // "Velmora 1.00": major and minor of the about window's "1.00.00".
        QCOMPARE(field(QStringLiteral("Creator")),
                 QStringLiteral("Velmora ") + TestoVersione().section(QLatin1Char('.'), 0, 1));
        const QDateTime created =
            QDateTime::fromString(field(QStringLiteral("CreationDate")), Qt::ISODate);
        QVERIFY2(created.isValid(), qPrintable(info));
        QVERIFY(created >= before && created <= QDateTime::currentDateTimeUtc().addSecs(1));
    }

    // ParX and ParY move the centred sheet as they move a printer's; without centring the
    // sheet is where the drawing puts it, from the corner inside the margins.
    void sheetPlacement_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<float>("parX"); // mm down
        QTest::addColumn<float>("parY"); // mm right
        QTest::newRow("landscape, centred, moved") << true << true << 3.0f << -4.0f;
        QTest::newRow("portrait, centred, moved") << false << true << -2.0f << 6.0f;
        QTest::newRow("landscape, from the corner") << true << false << 0.0f << 0.0f;
        QTest::newRow("portrait, from the corner, moved") << false << false << 2.0f << 1.0f;
    }
    void sheetPlacement() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        }
        QFETCH(bool, landscape);
        QFETCH(bool, centred);
        QFETCH(float, parX);
        QFETCH(float, parY);
        ArchiveFixture archive(cards);
        QTemporaryDir dir;
        const QString reference = dir.filePath(QStringLiteral("riferimento.pdf"));
        const QString moved = dir.filePath(QStringLiteral("spostato.pdf"));
        Configurazione settings = SettingsFile::defaults();
        if (centred) {
            runSheet(reference, archive.folder(), settings, landscape);
        } else {
            printSheet(reference, archive.folder(), settings, landscape);
        }
        settings.ParX = parX;
        settings.ParY = parY;
        runSheet(moved, archive.folder(), settings, landscape, centred);

        const QRectF before = firstBox(reference, QStringLiteral("Tombola"));
        const QRectF after = firstBox(moved, QStringLiteral("Tombola"));
        QVERIFY(!before.isNull() && !after.isNull());
        const QPointF shift = (after.topLeft() - before.topLeft()) / pointsPerMillimetre;
        // Whole pixels at 300 dots per inch: within a tenth of a millimetre.
        QVERIFY2(qAbs(shift.x() - parY) < 0.1 && qAbs(shift.y() - parX) < 0.1,
                 qPrintable(QStringLiteral("moved %1, %2 mm").arg(shift.x()).arg(shift.y())));
    }
};

QTEST_MAIN(TestSheetFit)
#include "tst_SheetFit.moc"
