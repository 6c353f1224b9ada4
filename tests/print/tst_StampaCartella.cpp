#include "tests/support/CardFixture.h"

#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/VelmoraError.h"
#include "print/CardArchive.h"
#include "print/CardContext.h"
#include "print/CardLayout.h"
#include "print/RecordingSurface.h"
#include "print/StampaCartella.h"

#include <QtTest>
#include <optional>

using namespace velmora::testing;

using namespace velmora;
using Text = RecordingSurface::Text;

namespace {

// A page whose printable area is exactly widthPx x heightPx pixels at 300 dots per inch
// (72 points = 300 pixels).
QPageSize pageOfPixels(double widthPx, double heightPx) {
    return QPageSize(QSizeF(widthPx * 72 / 300, heightPx * 72 / 300), QPageSize::Point, {},
                     QPageSize::ExactMatch);
}

// A surface in the state a print run leaves it in: orientation, 300 dpi, pixels, document begun.
void prepare(RecordingSurface &surface, bool landscape) {
    surface.setOrientation(landscape ? PrinterSurface::Landscape : PrinterSurface::Portrait);
    surface.setPrintQuality(300);
    surface.print();
    surface.setScaleMode(PrinterSurface::Pixels);
    surface.clearRecords();
}

std::optional<Text> findText(const RecordingSurface &surface, const QString &text) {
    for (const Text &t : surface.texts()) {
        if (t.text == text) {
            return t;
        }
    }
    return std::nullopt;
}

int countText(const RecordingSurface &surface, const QString &text) {
    int n = 0;
    for (const Text &t : surface.texts()) {
        n += t.text == text ? 1 : 0;
    }
    return n;
}

// A surface that refuses to paint one text a given number of times, as a printer that fails.
class FailingSurface : public RecordingSurface {
public:
    using RecordingSurface::RecordingSurface;
    QString failingText;
    int failuresLeft = 0;

protected:
    void paintText(const QPointF &topLeft, const FontFace &face, const QString &text) override {
        if (text == failingText && failuresLeft > 0) {
            --failuresLeft;
            throw VelmoraError(VelmoraError::PrinterError,
                               QStringLiteral("Errore della stampante"));
        }
        RecordingSurface::paintText(topLeft, face, text);
    }
};

const QString lineMarker = QStringLiteral("alla riga ");

QString reportLine(const QString &report) {
    const qsizetype at = report.indexOf(lineMarker);
    return at < 0 ? QString() : report.mid(at + lineMarker.size()).section(QLatin1Char('\r'), 0, 0);
}

} // namespace

class TestStampaCartella : public QObject {
    Q_OBJECT

    Configurazione settings = colouredSettings();

private slots:
    void init() { settings = colouredSettings(); }
    void cleanup() { QCOMPARE(CallTrail::count(), 0); }

    // Six cards on an A4 landscape page: factors at their caps, slots two by three.
    void landscapeSlotOrigins_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("originX");
        QTest::addColumn<double>("originY");
        QTest::addColumn<QString>("strip");
        QTest::newRow("1") << 1 << 0.0 << 0.0 << "Prima frase";
        QTest::newRow("2") << 2 << 410 * 4.0 << 0.0 << "Prima frase";
        QTest::newRow("3") << 3 << 0.0 << 198 * 3.8 + 75 << "Pro Loco";
        QTest::newRow("4") << 4 << 410 * 4.0 << 198 * 3.8 + 75 << "Pro Loco";
        QTest::newRow("5") << 5 << 0.0 << 2 * 198 * 3.8 + 150 << "Seconda frase";
        QTest::newRow("6") << 6 << 410 * 4.0 << 2 * 198 * 3.8 + 150 << "Seconda frase";
    }
    void landscapeSlotOrigins() {
        QFETCH(int, slot);
        QFETCH(double, originX);
        QFETCH(double, originY);
        QFETCH(QString, strip);
        ArchiveFixture archive(3);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 2, qint16(slot), 1);
        QCOMPARE(CallTrail::count(), 0);

        const auto title = findText(surface, QStringLiteral("Tombola di Natale"));
        QVERIFY(title);
        QCOMPARE(title->topLeft, QPointF(originX + 12 * 4, originY + 0.5 * 3.8 + 2));
        QCOMPARE(title->fontSize, 22.0);
        QCOMPARE(title->color, settings.ColoreTitolo);
        QVERIFY(!title->bold);
        // Drawn on the page the surface had open before its records were cleared.
        QCOMPARE(title->document, 1);
        QCOMPARE(title->page, 1);
        QCOMPARE(int(surface.documents().size()), 1);
        const auto label = findText(surface, QStringLiteral("N."));
        QVERIFY(label);
        QCOMPARE(label->topLeft, QPointF(originX + 300 * 4 + 50, originY + 5 * 3.8 + 2));
        QCOMPARE(label->fontSize, 15.0);
        const auto number = findText(surface, QStringLiteral(" 2"));
        QVERIFY(number);
        QCOMPARE(number->topLeft, QPointF(originX + 315 * 4 + 50, originY + 5 * 3.8 + 2));
        QCOMPARE(number->color, settings.ColoreNumeroCartella);

        // The border and the grid outline, in card units from the slot's origin.
        const auto &lines = surface.lines();
        QCOMPARE(int(lines.size()), 4 + 2 + 8);
        QCOMPARE(lines[2].from, QPointF(originX + 12 * 4, originY + 40 * 3.8));
        QCOMPARE(lines[2].to, QPointF(originX + 380 * 4, originY + 174 * 3.8));
        QVERIFY(lines[2].box);
        QCOMPARE(lines[2].width, 7);
        QCOMPARE(lines[2].color, settings.ColoreBordo);
        QCOMPARE(lines[13].from, QPointF(originX + 336 * 4, originY + 44 * 3.8));
        QCOMPARE(lines[13].to, QPointF(originX + 336 * 4, originY + 170 * 3.8));
        QCOMPARE(lines[13].color, settings.ColoreGriglia);

        const auto heading = findText(surface, strip);
        QVERIFY(heading);
        QCOMPARE(heading->topLeft, QPointF(originX + 12 * 4, originY + 180 * 3.8));
        QCOMPARE(heading->fontSize, 9.0);
        QVERIFY(heading->bold);
        QCOMPARE(heading->color, settings.ColoreFrase);
        // Only the slot's own strip.
        int strips = 0;
        for (const QString &s : {QStringLiteral("Prima frase"), QStringLiteral("Pro Loco"),
                                 QStringLiteral("Seconda frase")}) {
            strips += countText(surface, s);
        }
        QCOMPARE(strips, 1);

        // The credit line, 20 px in on the line under the card number, reading down.
        int rotated = 0;
        for (const Text &t : surface.texts()) {
            if (t.rotated) {
                ++rotated;
                QCOMPARE(t.text, RigaCrediti);
                QCOMPARE(t.fontName, QStringLiteral("Arial"));
                QCOMPARE(t.escapement, 2700);
                QCOMPARE(t.logicalHeight, -25);
                QCOMPARE(t.color, 0);
                QCOMPARE(t.topLeft.x(), 20.0);
                QVERIFY(t.topLeft.y() > number->topLeft.y());
            }
        }
        QCOMPARE(rotated, 1);
    }

    // The card units shrink with a narrower or shorter printable area, never grow.
    void factorCaps_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("factorX");
        QTest::addColumn<double>("factorY");
        QTest::newRow("2000 px wide") << 2000.0 << 3400.0 << 4 * 2000 / 2367.917 << 3.8;
        QTest::newRow("3400 px wide") << 3400.0 << 3400.0 << 4.0 << 3.8;
        // 2000 px high is 9600 twips.
        QTest::newRow("short page") << 3400.0 << 2000.0 << 4.0 << 3.8 * 9600 / 11366;
    }
    void factorCaps() {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, factorX);
        QFETCH(double, factorY);
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface(pageOfPixels(width, height));
        surface.setPrintQuality(300);
        surface.print();
        surface.setScaleMode(PrinterSurface::Pixels);
        surface.clearRecords();
        QCOMPARE(surface.scaleWidth(), width);
        CardContext ctx(surface, cards, settings);
        // Slot 3: on a page this narrow the second column lies past the printable width.
        StampaCartella(ctx, 1, 3, 1);
        const double ox = 0;
        const double oy = 198 * factorY + 75;
        const auto label = findText(surface, QStringLiteral("N."));
        QVERIFY(label);
        QCOMPARE(label->topLeft, QPointF(ox + 300 * factorX + 50, oy + 5 * factorY + 2));
        const auto &thin = surface.lines().front();
        QCOMPARE(thin.from, QPointF(ox + 8 * factorX, oy + 28 * factorY));
        QCOMPARE(thin.to, QPointF(ox + 384 * factorX, oy + 28 * factorY));
    }

    // Dimensione 18 removes the pixel corrections; other sizes move title, number and cells.
    void pixelCorrections_data() {
        QTest::addColumn<int>("dimensione");
        QTest::newRow("18") << 18;
        QTest::newRow("16") << 16;
        QTest::newRow("24") << 24;
    }
    void pixelCorrections() {
        QFETCH(int, dimensione);
        settings.Dimensione = qint16(dimensione);
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 1, 1, 1);
        const double d = 18 - dimensione;
        QCOMPARE(findText(surface, QStringLiteral("Tombola di Natale"))->topLeft.y(),
                 0.5 * 3.8 + d);
        QCOMPARE(findText(surface, QStringLiteral(" 1"))->topLeft.y(), 5 * 3.8 + d);
        // Cell (column 0, row 0) holds 1, (column 1, row 1) 12, (column 0, row 2) 3.
        QCOMPARE(findText(surface, QStringLiteral("12"))->topLeft.y(), 96 * 3.8 + d / 2);
        QCOMPARE(findText(surface, QStringLiteral("12"))->fontSize, double(dimensione));
        QVERIFY(findText(surface, QStringLiteral("12"))->bold);
        QCOMPARE(findText(surface, QStringLiteral("21"))->topLeft.y(), 52 * 3.8 + d / 2);
        QCOMPARE(findText(surface, QStringLiteral("41"))->topLeft.y(), 53 * 3.8 + d / 2);
        QCOMPARE(findText(surface, QStringLiteral("23"))->topLeft.y(), 139 * 3.8 + d / 2);
    }

    // Numbers are centred in their column by the measured width, and take their row's colour.
    void numbersCentredAndColouredByRow() {
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 1, 2, 1);
        surface.setFontName(QStringLiteral("Arial"));
        surface.setFontSize(16);
        surface.setFontBold(true);
        const double ox = 410 * 4;
        const struct {
            QString text;
            int column;
            qint32 color;
        } cases[] = {{QStringLiteral("21"), 2, settings.ColorePrimaCinquina},
                     {QStringLiteral("82"), 8, settings.ColoreSecondaCinquina},
                     {QStringLiteral("43"), 4, settings.ColoreTerzaCinquina}};
        for (const auto &c : cases) {
            const auto t = findText(surface, c.text);
            QVERIFY2(t, qPrintable(c.text));
            const double w = surface.textWidth(c.text);
            QCOMPARE(t->topLeft.x(), ox + (13 + 40 * c.column) * 4.0 + (21 - w / 9.6) * 4);
            QCOMPARE(t->color, c.color);
        }
        QCOMPARE(countText(surface, QStringLiteral("  ")), 0);
    }

    // Blank cells and "00" print nothing on the landscape card, their text on the portrait one.
    void emptyCells_data() {
        QTest::addColumn<bool>("landscape");
        QTest::newRow("landscape") << true;
        QTest::newRow("portrait") << false;
    }
    void emptyCells() {
        QFETCH(bool, landscape);
        ArchiveFixture archive(1, [](int) {
            RecordCartella r = numberedCard(1);
            r.setCellText(0, QStringLiteral("00"));
            r.setCellText(1, QStringLiteral("  "));
            r.setCellText(5, QStringLiteral(" 0"));
            return r;
        });
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, landscape);
        CardContext ctx(surface, cards, settings);
        if (landscape) {
            StampaCartella(ctx, 1, 1, 1);
        } else {
            StampaCartella2(ctx, 1, 1, 1);
        }
        const int printedCells = landscape ? 15 - 1 : 27; // cell 0 held the 1
        int cells = 0;
        for (const Text &t : surface.texts()) {
            cells += t.bold && t.fontSize == (landscape ? 16.0 : 24.0) ? 1 : 0;
        }
        QCOMPARE(cells, printedCells);
        QCOMPARE(countText(surface, QStringLiteral("00")), landscape ? 0 : 1);
        QCOMPARE(countText(surface, QStringLiteral(" 0")), landscape ? 0 : 1);
        // Of the twelve empty cells one now holds " 0": eleven blank ones remain.
        QCOMPARE(countText(surface, QStringLiteral("  ")), landscape ? 0 : 11);
    }

    // Numbering from 1 counts from the run's first card; archive numbering prints the record's.
    void numbering_data() {
        QTest::addColumn<bool>("archiveNumbers");
        QTest::addColumn<int>("card");
        QTest::addColumn<int>("firstCard");
        QTest::addColumn<QString>("expected");
        QTest::newRow("from 1, first card") << false << 101 << 101 << " 1";
        QTest::newRow("from 1, later card") << false << 110 << 101 << " 10";
        QTest::newRow("archive") << true << 101 << 101 << "00101";
    }
    void numbering() {
        QFETCH(bool, archiveNumbers);
        QFETCH(int, card);
        QFETCH(int, firstCard);
        QFETCH(QString, expected);
        ArchiveFixture archive(110);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        CardContext ctx(surface, cards, settings, archiveNumbers);
        StampaCartella(ctx, qint16(card), 1, qint16(firstCard));
        const auto number = findText(surface, expected);
        const auto label = findText(surface, QStringLiteral("N."));
        QVERIFY(number && label);
        // In its place, unless it would touch "N.": then just clear of it.
        const double gap = number->bounds.left() - label->bounds.right();
        if (expected.startsWith(QLatin1Char(' '))) {
            QCOMPARE(number->topLeft.x(), 315 * 4.0 + 50);
        } else {
            // A fifth of the 15 pt em (62.5 px).
            QVERIFY2(qAbs(gap - 12.5) < 0.01, qPrintable(QString::number(gap)));
        }
    }

    // The Ditta line: Ditta bold, then Via and Tel in the regular face right after it.
    void dittaLine_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("rest");
        QTest::newRow("landscape slot 3") << true << 3 << "  Via Roma 1 0123 456";
        QTest::newRow("portrait slot 2") << false << 2 << "  Via Roma 1  0123 456";
    }
    void dittaLine() {
        QFETCH(bool, landscape);
        QFETCH(int, slot);
        QFETCH(QString, rest);
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, landscape);
        CardContext ctx(surface, cards, settings);
        if (landscape) {
            StampaCartella(ctx, 1, qint16(slot), 1);
        } else {
            StampaCartella2(ctx, 1, qint16(slot), 1);
        }
        const auto ditta = findText(surface, QStringLiteral("Pro Loco"));
        const auto tail = findText(surface, rest);
        QVERIFY(ditta);
        QVERIFY(tail);
        QVERIFY(ditta->bold);
        QVERIFY(!tail->bold);
        QCOMPARE(tail->topLeft.y(), ditta->topLeft.y());
        QCOMPARE(tail->color, settings.ColoreFrase);
        surface.setFontName(QStringLiteral("Arial"));
        surface.setFontSize(ditta->fontSize);
        surface.setFontBold(true);
        QCOMPARE(tail->topLeft.x(),
                 ditta->topLeft.x() + surface.textWidth(QStringLiteral("Pro Loco")));
        QCOMPARE(ditta->fontSize, landscape ? 9.0 : 16.5);
    }

    // Three cards on a portrait page: larger units, the column starting 20 px up.
    void portraitGeometry_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<double>("originY");
        QTest::addColumn<QString>("strip");
        QTest::newRow("1") << 1 << -20.0 << "Prima frase";
        QTest::newRow("2") << 2 << 175 * 6.0 - 20 + 100 << "Pro Loco";
        QTest::newRow("3") << 3 << 350 * 6.0 - 20 + 200 << "Seconda frase";
    }
    void portraitGeometry() {
        QFETCH(int, slot);
        QFETCH(double, originY);
        QFETCH(QString, strip);
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, false);
        CardContext ctx(surface, cards, settings);
        StampaCartella2(ctx, 1, qint16(slot), 1);
        QCOMPARE(CallTrail::count(), 0);
        const auto title = findText(surface, QStringLiteral("Tombola di Natale"));
        QVERIFY(title);
        QCOMPARE(title->topLeft, QPointF(12 * 6.0, originY + 0.4 * 6 + 2));
        QCOMPARE(title->fontSize, 6 * 22 / 4.0);
        const auto label = findText(surface, QStringLiteral("N."));
        QCOMPARE(label->topLeft, QPointF(300 * 6.0, originY + 5 * 6 + 2));
        QCOMPARE(label->fontSize, 6 * 15 / 4.0);
        QCOMPARE(findText(surface, QStringLiteral(" 1"))->topLeft.x(), 315 * 6.0);
        // No pixel correction on the cells: (column 1, row 1) holds 12.
        QCOMPARE(findText(surface, QStringLiteral("12"))->topLeft.y(), originY + 87 * 6);
        QCOMPARE(findText(surface, QStringLiteral("12"))->fontSize, 24.0);
        const auto &lines = surface.lines();
        QCOMPARE(int(lines.size()), 14);
        QCOMPARE(lines[2].from, QPointF(12 * 6.0, originY + 37 * 6));
        QCOMPARE(lines[2].to, QPointF(380 * 6.0, originY + 159 * 6));
        QCOMPARE(lines[4].from, QPointF(16 * 6.0, originY + 79 * 6));
        QCOMPARE(lines[13].to, QPointF(336 * 6.0, originY + 155 * 6));
        const auto heading = findText(surface, strip);
        QVERIFY(heading);
        QCOMPARE(heading->topLeft, QPointF(12 * 6.0, originY + 162 * 6));
        QCOMPARE(heading->fontSize, 16.5);
        for (const Text &t : surface.texts()) {
            if (t.rotated) {
                QCOMPARE(t.topLeft.x(), 30.0);
            }
        }
    }

    // A narrower printable area shrinks the portrait card and its fonts with FattoreX / 4.
    void portraitFontsScaleWithWidth() {
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface(pageOfPixels(2000, 3400));
        surface.setPrintQuality(300);
        surface.print();
        surface.setScaleMode(PrinterSurface::Pixels);
        surface.clearRecords();
        CardContext ctx(surface, cards, settings);
        StampaCartella2(ctx, 1, 1, 1);
        const double fx = 6 * 2000 / 2367.917;
        QCOMPARE(findText(surface, QStringLiteral("Tombola di Natale"))->fontSize, fx * 22 / 4);
        QCOMPARE(findText(surface, QStringLiteral("12"))->fontSize, fx * 16 / 4);
        QCOMPARE(findText(surface, QStringLiteral("Prima frase"))->fontSize, fx * 11 / 4);
        QCOMPARE(findText(surface, QStringLiteral("N."))->topLeft.x(), 300 * fx);
    }

    // A face that is not installed prints with the face fontconfig puts in its place: the card
    // is whole and nothing is reported.
    void missingFacePrintsWithItsStandIn() {
        settings.FontTombola = QStringLiteral("Carattere Inesistente");
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        ScriptedPresenter presenter;
        PresenterScope scope(presenter);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 1, 1, 1);
        QVERIFY(presenter.reports.isEmpty());
        const auto title = findText(surface, QStringLiteral("Tombola di Natale"));
        QVERIFY(title);
        QCOMPARE(title->fontName, QStringLiteral("Carattere Inesistente"));
        QVERIFY(findText(surface, QStringLiteral("12")));
        QVERIFY(findText(surface, QStringLiteral("Prima frase")));
        QCOMPARE(int(surface.lines().size()), 14);
    }

    // Retry runs the failed statement again until it succeeds; the text prints once.
    void retryUntilTheStepSucceeds() {
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        FailingSurface surface;
        prepare(surface, true);
        surface.failingText = QStringLiteral("N.");
        surface.failuresLeft = 3;
        ScriptedPresenter presenter;
        presenter.answers = {IDRETRY, IDRETRY, IDRETRY};
        PresenterScope scope(presenter);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 1, 1, 1);
        QCOMPARE(presenter.reports.size(), 3);
        const QString line = reportLine(presenter.reports[0]);
        QVERIFY(!line.isEmpty());
        QCOMPARE(reportLine(presenter.reports[1]), line);
        QCOMPARE(reportLine(presenter.reports[2]), line);
        QCOMPARE(countText(surface, QStringLiteral("N.")), 1);
        QVERIFY(findText(surface, QStringLiteral(" 1")));
        QVERIFY(findText(surface, QStringLiteral("Prima frase")));
    }

    // Terminate, or a window closed without an answer, leaves the card where it failed.
    void terminateLeavesTheCard_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("terminate") << IDABORT;
        QTest::newRow("closed") << NoAnswer;
    }
    void terminateLeavesTheCard() {
        QFETCH(int, answer);
        ArchiveFixture archive(1);
        CardArchive cards(archive.folder());
        FailingSurface surface;
        prepare(surface, true);
        surface.failingText = QStringLiteral("N.");
        surface.failuresLeft = 1;
        ScriptedPresenter presenter;
        presenter.answers = {answer};
        PresenterScope scope(presenter);
        CardContext ctx(surface, cards, settings);
        StampaCartella(ctx, 1, 1, 1);
        QCOMPARE(CallTrail::count(), 0);
        QCOMPARE(presenter.reports.size(), 1);
        QVERIFY(findText(surface, QStringLiteral("Tombola di Natale")));
        QVERIFY(!findText(surface, QStringLiteral(" 1")));
        QVERIFY(surface.lines().empty());
    }

    // A non-numeric archive number under numbering from 1 is reported; ignored, the card goes on
    // without its number. Archive numbering prints it as it stands.
    void nonNumericArchiveNumber_data() {
        QTest::addColumn<bool>("archiveNumbers");
        QTest::newRow("from 1") << false;
        QTest::newRow("archive") << true;
    }
    void nonNumericArchiveNumber() {
        QFETCH(bool, archiveNumbers);
        ArchiveFixture archive(1, [](int) {
            RecordCartella r = numberedCard(1);
            r.setNumeroArchivio(QStringLiteral("A-7 X"));
            return r;
        });
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        ScriptedPresenter presenter;
        presenter.answers = {IDIGNORE};
        PresenterScope scope(presenter);
        CardContext ctx(surface, cards, settings, archiveNumbers);
        StampaCartella(ctx, 1, 1, 1);
        QCOMPARE(presenter.reports.size(), archiveNumbers ? 0 : 1);
        if (!archiveNumbers) {
            QVERIFY(presenter.reports[0].contains(QStringLiteral("Tipo non corrispondente")));
        }
        QCOMPARE(countText(surface, QStringLiteral("A-7 X")), archiveNumbers ? 1 : 0);
        QVERIFY(findText(surface, QStringLiteral("Prima frase")));
    }

    // A card beyond the archive's last record draws with empty cells, without a report.
    void cardBeyondTheArchiveIsBlank() {
        ArchiveFixture archive(2);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        ScriptedPresenter presenter;
        presenter.answers = {IDIGNORE};
        PresenterScope scope(presenter);
        CardContext ctx(surface, cards, settings, true);
        StampaCartella(ctx, 9, 1, 1);
        QCOMPARE(presenter.reports.size(), 0);
        QVERIFY(findText(surface, QStringLiteral("Tombola di Natale")));
        QVERIFY(!findText(surface, QStringLiteral("12")));
    }

    // The events hook runs once inside each card.
    void pendingEventsRunOncePerCard() {
        ArchiveFixture archive(2);
        CardArchive cards(archive.folder());
        RecordingSurface surface;
        prepare(surface, true);
        int pumped = 0;
        CardContext ctx(surface, cards, settings, false, [&pumped] { ++pumped; });
        StampaCartella(ctx, 1, 1, 1);
        StampaCartella2(ctx, 2, 2, 1);
        QCOMPARE(pumped, 2);
    }
};

QTEST_MAIN(TestStampaCartella)
#include "tst_StampaCartella.moc"
