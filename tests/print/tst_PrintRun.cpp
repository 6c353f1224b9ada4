#include "tests/support/CardFixture.h"
#include "tests/support/PdfProbe.h"

#include "errors/CallTrail.h"
#include "errors/VelmoraError.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/RecordingSurface.h"

#include <QtTest>
#include <algorithm>
#include <limits>
#include <map>
#include <optional>

using namespace velmora::testing;

using namespace velmora;
using Text = RecordingSurface::Text;

namespace {

PrintPlan plan(const QString &first, const QString &count, bool landscape) {
    QString refusal;
    const auto made = PrintPlan::make(first, count, landscape, &refusal);
    if (!made) {
        qFatal("plan refused: %s", qPrintable(refusal));
    }
    return *made;
}

// The cards a recording shows, by their archive number ("00012" is card 12), with the page
// each is on and the position of its number.
struct Drawn {
    int page = 0;
    QPointF at;
};
std::map<int, Drawn> drawnCards(const RecordingSurface &surface) {
    std::map<int, Drawn> cards;
    for (const Text &t : surface.texts()) {
        if (t.text.size() == 5 && t.text.front() == u'0') {
            cards[t.text.toInt()] = {t.page, t.topLeft};
        }
    }
    return cards;
}

// Where the card number of a slot goes at the reference scale.
QPointF numberAt(bool landscape, int slot) {
    if (landscape) {
        const int i = slot - 1;
        return {(i % 2) * 410 * 4.0 + 315 * 4 + 50, (i / 2) * (198 * 3.8 + 75) + 5 * 3.8 + 2};
    }
    return {315 * 6.0, (slot - 1) * (175 * 6.0 + 100) - 20 + 5 * 6 + 2};
}

// A printer that refuses to begin a second page.
class NoSecondPage : public RecordingSurface {
protected:
    void beginNextPage() override {
        throw VelmoraError(VelmoraError::PrinterError, QStringLiteral("Errore della stampante"));
    }
};

} // namespace

class TestPrintRun : public QObject {
    Q_OBJECT

    Configurazione settings = colouredSettings();

private slots:
    void cleanup() { QCOMPARE(CallTrail::count(), 0); }

    // Cards slot by slot, a page after each full page, the document after the last card.
    void runs_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("firstCard");
        QTest::addColumn<int>("lastCard");
        QTest::addColumn<int>("pages");
        QTest::newRow("8 landscape from 1") << "1"
                                            << "8" << true << 1 << 12 << 2;
        QTest::newRow("6 landscape from 10") << "10"
                                             << "6" << true << 10 << 15 << 1;
        QTest::newRow("4 portrait") << "1"
                                    << "4" << false << 1 << 6 << 2;
        QTest::newRow("7 portrait from 0") << "0"
                                           << "7" << false << 1 << 9 << 3;
    }
    void runs() {
        QFETCH(QString, first);
        QFETCH(QString, count);
        QFETCH(bool, landscape);
        QFETCH(int, firstCard);
        QFETCH(int, lastCard);
        QFETCH(int, pages);
        ArchiveFixture archive(20);
        CardArchive cards(archive.folder());
        RecordingSurface surface(QPageSize(QPageSize::A4), {}, 600);
        PrintRun run(surface, cards, settings, true);
        QList<int> notices;
        QList<std::pair<int, int>> progress;
        QList<bool> busy;
        PrintRun::Hooks hooks;
        hooks.qualityNotice = [&notices](int dpi) { notices << dpi; };
        hooks.progress = [&progress](int done, int total) { progress.append({done, total}); };
        hooks.busyPointer = [&busy](bool on) { busy << on; };
        QCOMPARE(run.run(plan(first, count, landscape), hooks), PrintRun::Outcome::Completed);

        QCOMPARE(notices, QList<int>{600});
        QCOMPARE(surface.printQuality(), 300);
        QCOMPARE(surface.scaleMode(), int(PrinterSurface::Pixels));
        QCOMPARE(surface.orientation(),
                 int(landscape ? PrinterSurface::Landscape : PrinterSurface::Portrait));
        const int perPage = landscape ? 6 : 3;
        const auto drawn = drawnCards(surface);
        QCOMPARE(int(drawn.size()), lastCard - firstCard + 1);
        QCOMPARE(drawn.begin()->first, firstCard);
        QCOMPARE(drawn.rbegin()->first, lastCard);
        for (const auto &[card, where] : drawn) {
            const int index = card - firstCard;
            QCOMPARE(where.page, index / perPage + 1);
            // In its place, or moved right only as far as it takes to clear "N.".
            const QPointF at = numberAt(landscape, index % perPage + 1);
            QCOMPARE(where.at.y(), at.y());
            QVERIFY(where.at.x() >= at.x() && where.at.x() < at.x() + 25);
        }
        QCOMPARE(int(surface.documents().size()), 1);
        QCOMPARE(surface.documents()[0].pages, pages);
        QVERIFY(surface.documents()[0].ended);
        QCOMPARE(run.cardsDrawn(), lastCard - firstCard + 1);
        QCOMPARE(progress.size(), run.cardsDrawn());
        QCOMPARE(progress.back(), std::make_pair(run.cardsDrawn(), run.cardsDrawn()));
        QCOMPARE(busy.size(), 2 * pages);

        // Each page ends with a blank in Arial 6, black, after its last card.
        int pageEnds = 0;
        for (const Text &t : surface.texts()) {
            if (t.text == u" ") {
                ++pageEnds;
                QCOMPARE(t.fontName, QStringLiteral("Arial"));
                QCOMPARE(t.fontSize, 6.0);
                QCOMPARE(t.color, 0);
                QVERIFY(!t.bold);
            }
        }
        QCOMPARE(pageEnds, pages);
    }

    // Stopped runs end their document; a stop after a full page leaves no blank page behind.
    // A run that draws no card abandons its document, so nothing at all reaches the printer.
    void stopsAndEmptyRuns_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("stopAfter"); // -1: never
        QTest::addColumn<int>("drawnCards");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("outcome");
        QTest::newRow("stop after the third")
            << "12" << 3 << 3 << 1 << int(PrintRun::Outcome::Stopped);
        QTest::newRow("stop after a full page")
            << "12" << 6 << 6 << 1 << int(PrintRun::Outcome::Stopped);
        QTest::newRow("stop after the seventh")
            << "12" << 7 << 7 << 2 << int(PrintRun::Outcome::Stopped);
        QTest::newRow("stop at once") << "12" << 0 << 0 << 1 << int(PrintRun::Outcome::Stopped);
        QTest::newRow("count 0") << "0" << -1 << 0 << 1 << int(PrintRun::Outcome::Empty);
    }
    void stopsAndEmptyRuns() {
        QFETCH(QString, count);
        QFETCH(int, stopAfter);
        QFETCH(int, drawnCards);
        QFETCH(int, pages);
        QFETCH(int, outcome);
        ArchiveFixture archive(12);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        PrintRun run(surface, cards, settings, true);
        int done = 0;
        int stopChecks = 0;
        PrintRun::Hooks hooks;
        hooks.progress = [&done](int n, int) { done = n; };
        hooks.stopRequested = [&] {
            ++stopChecks;
            return stopAfter >= 0 && done >= stopAfter;
        };
        QCOMPARE(int(run.run(plan(QStringLiteral("1"), count, true), hooks)), outcome);
        QCOMPARE(run.cardsDrawn(), drawnCards);
        QCOMPARE(int(::drawnCards(surface).size()), drawnCards);
        QCOMPARE(stopChecks, stopAfter >= 0 ? drawnCards + 1 : 0);
        QCOMPARE(int(surface.documents().size()), 1);
        QCOMPARE(surface.documents()[0].ended, drawnCards > 0);
        QCOMPARE(surface.documents()[0].killed, drawnCards == 0);
        QCOMPARE(surface.documents()[0].pages, pages);
        QVERIFY(!surface.documentOpen());
    }

    // The printer already at 300 dots per inch brings no message; the message's text.
    void qualityNoticeOnlyWhenNot300() {
        ArchiveFixture archive(6);
        CardArchive cards(archive.folder());
        RecordingSurface surface(QPageSize(QPageSize::A4), {}, 300);
        PrintRun run(surface, cards, settings, false);
        int notices = 0;
        PrintRun::Hooks hooks;
        hooks.qualityNotice = [&notices](int) { ++notices; };
        run.run(plan(QStringLiteral("1"), QStringLiteral("6"), true), hooks);
        QCOMPARE(notices, 0);
        QCOMPARE(PrintRun::qualityMessage(600), QStringLiteral("Printer.PrintQuality =600"));
    }

    // Events run before each card's stop check and once inside each card; the orientation is
    // read again for every card.
    void hooksPerCard() {
        ArchiveFixture archive(6);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        PrintRun run(surface, cards, settings, true);
        int pumped = 0;
        int orientationReads = 0;
        PrintRun::Hooks hooks;
        hooks.pumpEvents = [&pumped] { ++pumped; };
        hooks.landscapeNow = [&orientationReads] {
            ++orientationReads;
            return true;
        };
        run.run(plan(QStringLiteral("1"), QStringLiteral("6"), true), hooks);
        QCOMPARE(pumped, 12);
        QCOMPARE(orientationReads, 6);
    }

    // A card whose drawing fails and is given up does not stop the run.
    void aCardGivenUpDoesNotStopTheRun() {
        // Archive numbers that are not numbers fail under numbering from 1.
        ArchiveFixture archive(6, [](int n) {
            RecordCartella card = numberedCard(n);
            card.setNumeroArchivio(QStringLiteral("A%1").arg(n));
            return card;
        });
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        ScriptedPresenter presenter; // answers terminate
        PresenterScope scope(presenter);
        PrintRun run(surface, cards, settings, false);
        QCOMPARE(run.run(plan(QStringLiteral("1"), QStringLiteral("6"), true), {}),
                 PrintRun::Outcome::Completed);
        QCOMPARE(presenter.reports.size(), 6);
        QCOMPARE(run.cardsDrawn(), 6);
        QVERIFY(surface.documents()[0].ended);
    }

    // A printer failing between pages ends the run with its error, the first page handed on.
    void printerFailureEndsTheDocument() {
        ArchiveFixture archive(12);
        CardArchive cards(archive.folder());
        NoSecondPage surface;
        PrintRun run(surface, cards, settings, true);
        try {
            run.run(plan(QStringLiteral("1"), QStringLiteral("12"), true), {});
            QFAIL("no error");
        } catch (const VelmoraError &e) {
            QCOMPARE(e.number(), int(VelmoraError::PrinterError));
        }
        QCOMPARE(run.cardsDrawn(), 6);
        QVERIFY(!surface.documentOpen());
        QVERIFY(surface.documents()[0].ended);
        QCOMPARE(surface.documents()[0].pages, 1);
    }

    // The calibration moves every text, turned text, line and page-end blank of a whole run
    // by exactly its pixels. The run sets the offset whatever the surface held before, and
    // gives the surface its own back afterwards.
    void calibrationShiftsTheWholeRun_data() {
        QTest::addColumn<float>("parX"); // mm down
        QTest::addColumn<float>("parY"); // mm right
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QPointF>("by"); // device pixels at 300 dpi
        QTest::newRow("10 down, 5 left, landscape") << 10.0f << -5.0f << true << QPointF(-59, 118);
        QTest::newRow("the limits, portrait") << -50.0f << 50.0f << false << QPointF(591, -591);
        QTest::newRow("below half a pixel") << 0.04f << -0.04f << true << QPointF(0, 0);
        QTest::newRow("none, portrait") << 0.0f << 0.0f << false << QPointF(0, 0);
    }
    void calibrationShiftsTheWholeRun() {
        QFETCH(float, parX);
        QFETCH(float, parY);
        QFETCH(bool, landscape);
        QFETCH(QPointF, by);
        ArchiveFixture archive(12);
        CardArchive cards(archive.folder());
        const PrintPlan twoPages = plan(QStringLiteral("1"), QStringLiteral("7"), landscape);

        RecordingSurface plain;
        PrintRun(plain, cards, settings, true).run(twoPages, {});

        Configurazione calibrated = settings;
        calibrated.ParX = parX;
        calibrated.ParY = parY;
        RecordingSurface shifted;
        const QPointF before(7, -9); // the surface's own, from before the run
        shifted.setOriginOffset(before.x(), before.y());
        QCOMPARE(PrintRun(shifted, cards, calibrated, true).run(twoPages, {}),
                 PrintRun::Outcome::Completed);
        QCOMPARE(shifted.originOffset(), before);

        QCOMPARE(shifted.texts().size(), plain.texts().size());
        QCOMPARE(shifted.lines().size(), plain.lines().size());
        QCOMPARE(shifted.documents().size(), plain.documents().size());
        const int pages = landscape ? 2 : 3; // 7 cards: a full last page of 6 or 3
        QCOMPARE(shifted.documents()[0].pages, pages);
        int turned = 0;
        int pageEnds = 0;
        for (std::size_t i = 0; i < plain.texts().size(); ++i) {
            const Text &a = plain.texts()[i];
            const Text &b = shifted.texts()[i];
            QCOMPARE(b.text, a.text);
            QCOMPARE(b.page, a.page);
            QCOMPARE(b.order, a.order);
            QCOMPARE(b.fontName, a.fontName);
            QCOMPARE(b.rotated, a.rotated);
            QCOMPARE(b.topLeft, a.topLeft + by);
            QCOMPARE(b.bounds, a.bounds.translated(by));
            turned += a.rotated ? 1 : 0;
            pageEnds += a.text == u" " ? 1 : 0;
        }
        QVERIFY(turned > 0);
        QCOMPARE(pageEnds, pages);
        for (std::size_t i = 0; i < plain.lines().size(); ++i) {
            const RecordingSurface::Line &a = plain.lines()[i];
            const RecordingSurface::Line &b = shifted.lines()[i];
            QCOMPARE(b.order, a.order);
            QCOMPARE(b.from, a.from + by);
            QCOMPARE(b.to, a.to + by);
            QCOMPARE(b.width, a.width);
            QCOMPARE(b.box, a.box);
        }
    }

    // A calibration beyond the limits (a settings file edited by hand) prints nothing at all,
    // and says which box to correct.
    void calibrationBeyondTheLimitsPrintsNothing_data() {
        QTest::addColumn<float>("parX");
        QTest::addColumn<float>("parY");
        QTest::addColumn<QString>("box");
        QTest::newRow("ParX 80") << 80.0f << 0.0f << "Parametro Altezza";
        QTest::newRow("ParY -50.5") << 1.0f << -50.5f << "Parametro Larghezza";
        QTest::newRow("ParX not a number")
            << std::numeric_limits<float>::quiet_NaN() << 0.0f << "Parametro Altezza";
    }
    void calibrationBeyondTheLimitsPrintsNothing() {
        QFETCH(float, parX);
        QFETCH(float, parY);
        QFETCH(QString, box);
        ArchiveFixture archive(6);
        CardArchive cards(archive.folder());
        Configurazione calibrated = settings;
        calibrated.ParX = parX;
        calibrated.ParY = parY;
        RecordingSurface surface(QPageSize(QPageSize::A4), {}, 600);
        surface.setOriginOffset(3, 4);
        int notices = 0;
        PrintRun::Hooks hooks;
        hooks.qualityNotice = [&notices](int) { ++notices; };
        PrintRun run(surface, cards, calibrated, true);
        try {
            run.run(plan(QStringLiteral("1"), QStringLiteral("6"), true), hooks);
            QFAIL("printed");
        } catch (const VelmoraError &e) {
            QCOMPARE(e.number(), 380);
            QVERIFY2(e.description().contains(box), qPrintable(e.description()));
        }
        QCOMPARE(run.cardsDrawn(), 0);
        QCOMPARE(notices, 0);
        QVERIFY(surface.documents().empty());
        QCOMPARE(surface.printQuality(), 600); // the printer was not touched
        QCOMPARE(surface.originOffset(), QPointF(3, 4));
    }

    // Printed to PDFs and read back: the calibrated run's words are the plain run's, each
    // moved by the calibration. Words near the page's edges are left out: the page clips
    // them differently once moved (the turned credit line starts above the top edge).
    void pdfCalibrationMovesEveryWord() {
        if (!pdfToolsAvailable()) {
            QSKIP("pdftotext and pdfinfo are not installed");
        }
        ArchiveFixture archive(6);
        CardArchive cards(archive.folder());
        QTemporaryDir dir;
        QSizeF pageSize;
        const auto printed = [&](const QString &name, float parX, float parY) {
            Configurazione calibrated = settings;
            calibrated.ParX = parX;
            calibrated.ParY = parY;
            const QString pdf = dir.filePath(name);
            PdfTarget target(pdf);
            PainterSurface surface(target);
            PrintRun(surface, cards, calibrated, true)
                .run(plan(QStringLiteral("1"), QStringLiteral("6"), true), {});
            pageSize = pdfPageSize(pdf);
            return pdfWords(pdf);
        };
        const auto plain = printed(QStringLiteral("ferma.pdf"), 0, 0);
        // 3 mm down and 2 mm right: 35 and 24 pixels.
        const auto moved = printed(QStringLiteral("spostata.pdf"), 3, 2);
        const double pt = 72.0 / 300;
        const QPointF by(24 * pt, 35 * pt);
        const double edge = 12;        // points
        const double tolerance = 0.05; // pdftotext's rounding, points
        const QRectF inner = QRectF(QPointF(0, 0), pageSize).adjusted(edge, edge, -edge, -edge);
        int checked = 0;
        for (const auto &word : plain) {
            if (!inner.contains(word.box)) {
                continue;
            }
            const bool found = std::any_of(moved.begin(), moved.end(), [&](const auto &m) {
                const QPointF shift = m.box.topLeft() - word.box.topLeft() - by;
                return m.text == word.text && qAbs(shift.x()) < tolerance &&
                       qAbs(shift.y()) < tolerance &&
                       qAbs(m.box.width() - word.box.width()) < tolerance;
            });
            QVERIFY2(found, qPrintable(QStringLiteral("\"%1\" at %2, %3 pt not moved")
                                           .arg(word.text)
                                           .arg(word.box.left())
                                           .arg(word.box.top())));
            ++checked;
        }
        QVERIFY2(checked > 6 * 15, qPrintable(QString::number(checked)));
    }

    // Printed to a PDF and read back: every number of every card of the sample archive is on
    // its card's page, in its own cell.
    void pdfHoldsEachCardsNumbersInPlace() {
        if (!pdfToolsAvailable()) {
            QSKIP("pdftotext and pdfinfo are not installed");
        }
        std::optional<CardArchive> sample;
        try {
            sample.emplace(QStringLiteral(VELMORA_BINARY_DIR "/data"));
        } catch (const VelmoraError &error) {
            QFAIL(qPrintable(QStringLiteral("no sample archive (the target "
                                            "velmora-sample-archive writes it): %1")
                                 .arg(error.description())));
        }
        CardArchive &cards = *sample;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("cartelle.pdf"));
        PdfTarget target(pdf);
        target.setSheetCentring(false); // the design's places, from the page's corner
        PainterSurface surface(target);
        PrintRun run(surface, cards, settings, true);
        QCOMPARE(run.run(plan(QStringLiteral("7"), QStringLiteral("12"), true), {}),
                 PrintRun::Outcome::Completed);
        QCOMPARE(pdfPageCount(pdf), 2);
        const auto words = pdfWords(pdf);
        const double pt = 72.0 / 300; // points per pixel
        int checked = 0;
        for (int card = 7; card <= 18; ++card) {
            const int index = card - 7;
            const int page = index / 6 + 1;
            const int slot = index % 6;
            const double ox = (slot % 2) * 410 * 4.0;
            const double oy = (slot / 2) * (198 * 3.8 + 75);
            const RecordCartella record = cards.read(card);
            // The archive number, a word of its own just right of its place after "N.".
            const auto number = findWord(words, record.numeroArchivio());
            QVERIFY2(number, qPrintable(record.numeroArchivio()));
            QCOMPARE(number->page, page);
            const double numberLeft = (ox + 315 * 4 + 50) * pt;
            QVERIFY(number->box.left() >= numberLeft && number->box.left() < numberLeft + 6);
            QVERIFY(std::abs(number->box.top() - (oy + 5 * 3.8 + 2) * pt) < 3);
            for (int k = 0; k < RecordCartella::cellCount; ++k) {
                if (!record.isFilled(k)) {
                    continue;
                }
                const int column = k / 3;
                const int row = k % 3;
                const QRectF cell(
                    QPointF((ox + (16 + 40 * column) * 4) * pt, (oy + (44 + 42 * row) * 3.8) * pt),
                    QPointF((ox + (56 + 40 * column) * 4) * pt, (oy + (86 + 42 * row) * 3.8) * pt));
                const QString text = QString::number(record.cellNumber(k));
                bool found = false;
                for (const auto &word : words) {
                    if (word.page == page && word.text == text &&
                        cell.contains(word.box.center())) {
                        found = true;
                        break;
                    }
                }
                QVERIFY2(found, qPrintable(QStringLiteral("card %1 cell %2 (%3) not in place")
                                               .arg(card)
                                               .arg(k)
                                               .arg(text)));
                ++checked;
            }
        }
        QCOMPARE(checked, 12 * 15);
    }

    // A printer that cannot print the whole sheet is named once, before the first card, with
    // how much is lost. The lower bounds are the design's own: the last heading strip's line
    // starts 198.0 mm (landscape) or 275.3 mm (portrait, at the factor of a 184.6 mm width)
    // below the corner; a PDF page, centred, is never warned about.
    void printableAreaSmallerThanTheSheet_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("marginMm");
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<double>("leastDownMm"); // 0: nothing said
        QTest::newRow("landscape, 12.7 mm margins") << true << 12.7 << false << 198.0 - 184.6;
        QTest::newRow("portrait, 12.7 mm margins") << false << 12.7 << false << 275.3 - 271.6;
        QTest::newRow("landscape, 4 mm margins") << true << 4.0 << false << 0.0;
        QTest::newRow("portrait, 4 mm margins") << false << 4.0 << false << 0.0;
        QTest::newRow("landscape PDF, 12.7 mm margins") << true << 12.7 << true << 0.0;
    }
    void printableAreaSmallerThanTheSheet() {
        QFETCH(bool, landscape);
        QFETCH(double, marginMm);
        QFETCH(bool, pdf);
        QFETCH(double, leastDownMm);
        ArchiveFixture archive(6);
        CardArchive cards(archive.folder());
        QTemporaryDir dir;
        const QMarginsF margins(marginMm, marginMm, marginMm, marginMm);
        RecordingSurface recording(QPageSize(QPageSize::A4), margins);
        PdfTarget target(dir.filePath(QStringLiteral("c.pdf")), QPageSize(QPageSize::A4), margins);
        PainterSurface painted(target);
        PrinterSurface &surface = pdf ? static_cast<PrinterSurface &>(painted) : recording;
        QStringList notices;
        int drawnBefore = -1;
        PrintRun run(surface, cards, settings, true);
        PrintRun::Hooks hooks;
        hooks.areaNotice = [&](const QString &notice) {
            notices.append(notice);
            drawnBefore = run.cardsDrawn();
        };
        QCOMPARE(run.run(plan(QStringLiteral("1"), QStringLiteral("6"), landscape), hooks),
                 PrintRun::Outcome::Completed);
        if (leastDownMm == 0) {
            QVERIFY2(notices.isEmpty(), qPrintable(notices.join(QLatin1Char('\n'))));
            return;
        }
        QCOMPARE(notices.size(), 1);
        QCOMPARE(drawnBefore, 0);
        const QString &notice = notices.first();
        static const QRegularExpression down(QStringLiteral("([0-9]+,[0-9]) mm in altezza"));
        const QRegularExpressionMatch by = down.match(notice);
        QVERIFY2(by.hasMatch(), qPrintable(notice));
        const double mm =
            QString(by.captured(1)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        // At most one strip line and a title's overhang more than the design's bound.
        QVERIFY2(mm >= leastDownMm && mm <= leastDownMm + 6, qPrintable(notice));
        QVERIFY(!notice.contains(QStringLiteral("in larghezza")));
        QVERIFY(notice.contains(QStringLiteral("Parametro Altezza")));
        QVERIFY(notice.contains(landscape ? QStringLiteral("orientamento verticale")
                                          : QStringLiteral("orientamento orizzontale")));
    }
};

QTEST_MAIN(TestPrintRun)
#include "tst_PrintRun.moc"
