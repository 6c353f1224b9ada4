// The preview window: the run's pages, each drawn by the print run's own page drawing when it
// comes into view.

#include "print/AnteprimaStampa.h"
#include "print/ArchiveSearch.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PreviewPages.h"
#include "print/PreviewView.h"
#include "print/PrintRun.h"
#include "print/RecordingSurface.h"
#include "settings/SettingsFile.h"

#include "tests/support/CardFixture.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/RunFaults.h"
#include "tests/support/TestFiles.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>
#include <numeric>

using namespace velmora::testing;

using namespace velmora;

namespace {

const QString sampleFolder = QStringLiteral(VELMORA_BINARY_DIR "/data");
const QMarginsF marginsMm(5, 5, 5, 5);

QPageLayout paper() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, marginsMm,
                       QPageLayout::Millimeter);
}

Configurazione testSettings() {
    Configurazione settings = SettingsFile::defaults();
    settings.Titolo = QStringLiteral("Tombola di prova");
    settings.ParX = 2.5F; // a calibration, so the preview must move with the paper
    settings.ParY = -1.5F;
    return settings;
}

std::unique_ptr<PreviewPages> pagesOf(int cards, bool landscape, const QString &first = "1",
                                      bool archivio = false) {
    QString refusal;
    auto pages = PreviewPages::open({first, QString::number(cards), landscape, archivio},
                                    testSettings(), paper(), {sampleFolder}, &refusal);
    if (!pages) {
        qWarning() << refusal;
    }
    return pages;
}

// The preview window of a run, shown at 800 x 600; nothing when the run cannot be shown.
std::unique_ptr<AnteprimaStampa> shownPreview(int cards, bool landscape) {
    auto source = pagesOf(cards, landscape);
    if (!source) {
        return nullptr;
    }
    auto preview = std::make_unique<AnteprimaStampa>(std::move(source));
    preview->resize(800, 600);
    preview->show();
    if (!QTest::qWaitForWindowExposed(preview.get())) {
        return nullptr;
    }
    return preview;
}

// A text or line as the surface records it, without its place among all the records.
QStringList drawn(const RecordingSurface &surface, int page) {
    QStringList out;
    for (const auto &t : surface.texts()) {
        if (t.page == page) {
            out << QStringLiteral("T %1,%2 %3 %4 %5 %6 %7")
                       .arg(t.topLeft.x())
                       .arg(t.topLeft.y())
                       .arg(t.fontName)
                       .arg(t.fontSize)
                       .arg(t.color)
                       .arg(t.angle)
                       .arg(t.text);
        }
    }
    for (const auto &l : surface.lines()) {
        if (l.page == page) {
            out << QStringLiteral("L %1,%2 %3,%4 %5 %6 %7")
                       .arg(l.from.x())
                       .arg(l.from.y())
                       .arg(l.to.x())
                       .arg(l.to.y())
                       .arg(l.width)
                       .arg(l.color)
                       .arg(l.box);
        }
    }
    return out;
}

double correlation(const std::vector<double> &a, const std::vector<double> &b) {
    const double n = double(a.size());
    const double meanA = std::accumulate(a.begin(), a.end(), 0.0) / n;
    const double meanB = std::accumulate(b.begin(), b.end(), 0.0) / n;
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - meanA) * (b[i] - meanB);
        aa += (a[i] - meanA) * (a[i] - meanA);
        bb += (b[i] - meanB) * (b[i] - meanB);
    }
    return ab / std::sqrt(aa * bb);
}

} // namespace

class tst_AnteprimaStampa : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!QFileInfo::exists(sampleFolder + u'/' + CardArchive::fileName)) {
            QSKIP("the build has not written the sample archive");
        }
    }

    // What no card of the run could be drawn with is refused before any page, in the words of
    // the print's own check.
    void refusesWhatThePrintRefuses_data() {
        QTest::addColumn<int>("cause");
        const QList<Cause> causes = runFaultCauses();
        for (int i = 0; i < causes.size(); ++i) {
            QTest::newRow(causes[i].name) << i;
        }
    }
    void refusesWhatThePrintRefuses() {
        QFETCH(int, cause);
        const Cause what = runFaultCauses().at(cause);
        QTemporaryDir folder;
        QVERIFY(writeAll(folder.filePath(CardArchive::fileName),
                         runFaultArchive(12, what.damagedCard)));
        Configurazione settings = SettingsFile::defaults();
        what.spoil(settings);
        QString refusal;
        const auto pages =
            PreviewPages::open({QStringLiteral("1"), QStringLiteral("12"), true, false}, settings,
                               paper(), {folder.path()}, &refusal);
        QVERIFY(!pages);
        QVERIFY2(refusal.contains(what.said), qPrintable(refusal));
    }

    // The window counts the run's pages and draws only those in view: the first on opening,
    // the last when sent to it, whatever the length of the run.
    void opensOnItsFirstPageAndDrawsOnlyWhatIsShown_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("pages");
        QTest::newRow("12 landscape") << 12 << true << 2;
        QTest::newRow("12 portrait") << 12 << false << 4;
        QTest::newRow("6000 landscape") << 6000 << true << 1000;
    }
    void opensOnItsFirstPageAndDrawsOnlyWhatIsShown() {
        QFETCH(int, cards);
        QFETCH(bool, landscape);
        QFETCH(int, pages);
        auto shown = shownPreview(cards, landscape);
        QVERIFY(shown);
        AnteprimaStampa &preview = *shown;
        PreviewView *view = preview.view();
        QCOMPARE(view->pageCount(), pages);
        QCOMPARE(preview.findChild<QLabel *>(QStringLiteral("lblPagine"))->text(),
                 QStringLiteral("di %1").arg(pages));
        auto *pageBox = preview.findChild<QSpinBox *>(QStringLiteral("txtPagina"));
        QCOMPARE(pageBox->maximum(), pages);
        QTRY_COMPARE(view->pagesDrawn(), 1);

        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(view->currentPage(), pages - 1);
        QCOMPARE(pageBox->value(), pages);
        QTRY_COMPARE(view->pagesDrawn(), 2);
    }

    // Leaving the whole-page view keeps the zoom it had; the zoom buttons go on from there,
    // and the whole-page view, one page or two abreast, fits the window again.
    void zoomAndWholePages() {
        auto shown = shownPreview(60, true);
        QVERIFY(shown);
        AnteprimaStampa &preview = *shown;
        PreviewView *view = preview.view();
        const auto press = [&preview](const char *name) {
            preview.findChild<QAbstractButton *>(QLatin1String(name))->click();
        };
        const double whole = view->scale();
        QVERIFY(whole > 0.05 && whole < 0.5);
        press("cmdPaginaIntera");
        QVERIFY(!view->fitToWindow());
        QCOMPARE(view->scale(), whole);
        press("cmdIngrandisci");
        QCOMPARE(view->scale(), whole * 1.25);
        press("cmdRiduci");
        press("cmdRiduci");
        QCOMPARE(view->scale(), whole / 1.25);
        press("cmdPaginaIntera");
        QCOMPARE(view->scale(), whole);
        press("cmdDuePagine");
        QVERIFY(view->scale() < whole);
        press("cmdSuccessiva");
        QCOMPARE(view->currentPage(), 2);
    }

    // A page of the preview is the page of the print run: the same texts and lines at the same
    // places, with the run's numbering and calibration, on the first page and on a later one.
    void pagesDrawWhatTheRunPrints_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("archivio");
        QTest::addColumn<int>("page");
        QTest::newRow("landscape, first page") << true << false << 0;
        QTest::newRow("landscape, second page, archive numbers") << true << true << 1;
        QTest::newRow("portrait, fourth page") << false << false << 3;
    }
    void pagesDrawWhatTheRunPrints() {
        QFETCH(bool, landscape);
        QFETCH(bool, archivio);
        QFETCH(int, page);
        auto pages = pagesOf(12, landscape, QStringLiteral("21"), archivio);
        QVERIFY(pages);
        RecordingSurface shown(QPageSize(QPageSize::A4), marginsMm);
        pages->drawPage(page, shown);

        RecordingSurface printed(QPageSize(QPageSize::A4), marginsMm);
        auto archive = ArchiveSearch::open({sampleFolder});
        const Configurazione settings = testSettings();
        PrintRun run(printed, *archive, settings, archivio);
        QCOMPARE(run.run(pages->plan(), {}), PrintRun::Outcome::Completed);

        const QStringList expected = drawn(printed, page + 1);
        QVERIFY(expected.size() > 100);
        QCOMPARE(drawn(shown, 1), expected);
        QCOMPARE(shown.documents().size(), std::size_t(1));
        QCOMPARE(shown.documents().front().pages, 1);
    }

    // A run up to the archive's last card: its cards, and the slots that fill up the page blank,
    // with no fault asked about.
    void aRunToTheArchivesEndLeavesItsLastSlotsBlank() {
        auto pages = pagesOf(4, true, QStringLiteral("5997"));
        QVERIFY(pages);
        ScriptedPresenter errors;
        PresenterScope scope(errors);
        RecordingSurface shown(QPageSize(QPageSize::A4), marginsMm);
        pages->drawPage(0, shown);
        QCOMPARE(errors.reports, QStringList());
        QCOMPARE(pages->pageCount(), 1);
        QCOMPARE(drawn(shown, 1).filter(QStringLiteral("N.")).size(), 4);
    }

    // What the screen shows is the PDF's page: the preview's image of the first page, and the
    // same page of the run's PDF rendered at the same size, differ only where edges are
    // smoothed differently.
    void imageLooksLikeThePdf() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
            QSKIP("poppler-utils are not installed");
        }
        constexpr int dpi = 50;
        auto pages = pagesOf(12, true);
        QVERIFY(pages);
        const QImage shown = pages->renderPage(0, double(dpi) / PrintRun::dotsPerInch)
                                 .convertToFormat(QImage::Format_Grayscale8);

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("run.pdf"));
        {
            PdfTarget target(pdf, QPageSize(QPageSize::A4), marginsMm);
            target.setSheetCentring(false); // the preview shows a printer's page, from its corner
            PainterSurface surface(target);
            auto archive = ArchiveSearch::open({sampleFolder});
            const Configurazione settings = testSettings();
            PrintRun run(surface, *archive, settings, false);
            QCOMPARE(run.run(pages->plan(), {}), PrintRun::Outcome::Completed);
        }
        const QString png = dir.filePath(QStringLiteral("page"));
        QVERIFY(toolOutput(QStringLiteral("pdftoppm"),
                           {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                            QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                            QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, png}));
        const QRect printable = pages->pageLayout().paintRectPixels(dpi);
        const QImage paperImage =
            QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
        QVERIFY(!paperImage.isNull());
        const QImage onPaper = paperImage.copy(QRect(printable.topLeft(), shown.size()));

        // Darkness of blocks of 10 by 10 pixels: edges smoothed differently (and hairlines,
        // which the PDF renderer widens to a whole pixel) change a block a little, a text or
        // line out of place changes it a lot.
        constexpr int block = 10;
        std::vector<double> a, b;
        for (int top = 0; top + block <= shown.height(); top += block) {
            for (int left = 0; left + block <= shown.width(); left += block) {
                double inkA = 0, inkB = 0;
                for (int y = top; y < top + block; ++y) {
                    for (int x = left; x < left + block; ++x) {
                        inkA += 255 - shown.constScanLine(y)[x];
                        inkB += 255 - onPaper.constScanLine(y)[x];
                    }
                }
                a.push_back(inkA);
                b.push_back(inkB);
            }
        }
        const double alike = correlation(a, b);
        QVERIFY2(alike > 0.9, qPrintable(QString::number(alike)));
    }
};

QTEST_MAIN(tst_AnteprimaStampa)
#include "tst_AnteprimaStampa.moc"
