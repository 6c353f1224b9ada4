#include "appearance/CambioFont.h"
#include "appearance/CardGeometry.h"
#include "appearance/CardPicture.h"
#include "appearance/FitLabel.h"
#include "common/Twips.h"
#include "print/CardArchive.h"
#include "print/CardContext.h"
#include "print/RecordCartella.h"
#include "print/RecordingSurface.h"
#include "print/StampaCartella.h"
#include "settings/SettingsFile.h"
#include "tests/support/CardFixture.h"

#include <QLabel>
#include <QSet>
#include <QtTest>

using velmora::CardPicture;

class TestCardPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { velmora::Twips::overrideTwipsPerPixel(15); }

    // At 15 twips a pixel: left, top and height of a number label (420 twips = 28 pixels wide).
    void sampleNumbersSitInTheirColumns_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("8, first row") << 15 << "8" << QRect(23, 54, 28, 23);
        QTest::newRow("50, lower in the first row") << 20 << "50" << QRect(174, 55, 28, 21);
        QTest::newRow("32, first row") << 25 << "32" << QRect(114, 54, 28, 23);
        QTest::newRow("17, second row") << 18 << "17" << QRect(54, 85, 28, 21);
        QTest::newRow("84, second row") << 28 << "84" << QRect(265, 85, 28, 21);
        QTest::newRow("66, third row") << 19 << "66" << QRect(205, 114, 28, 21);
        QTest::newRow("89, third row") << 27 << "89" << QRect(266, 114, 28, 21);
    }
    void sampleNumbersSitInTheirColumns() {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QRect, rect);
        const CardPicture preview(CardPicture::Kind::Preview);
        const QLabel *label = preview.label6(index);
        QVERIFY(label);
        QCOMPARE(label->objectName(), QStringLiteral("Label6(%1)").arg(index));
        QCOMPARE(label->text(), text);
        QCOMPARE(label->geometry(), rect);
        // The decorative card shows the same number at the same place, 15 indices lower.
        const CardPicture decorative(CardPicture::Kind::Decorative);
        const QLabel *twin = decorative.label6(index - 15);
        QVERIFY(twin);
        QCOMPARE(twin->objectName(), QStringLiteral("Label6(%1)").arg(index - 15));
        QCOMPARE(twin->text(), text);
        QCOMPARE(twin->geometry(), rect);
        QCOMPARE(decorative.label6(index), nullptr);
    }

    // Every sample number stands in a cell of the column of its tens, as the cells of the
    // claimed card on the Tabellone are laid out.
    void everyNumberStandsInTheColumnOfItsTens() {
        const CardPicture preview(CardPicture::Kind::Preview);
        for (int index = 15; index < 30; ++index) {
            const QLabel *label = preview.label6(index);
            const int column = std::min(label->text().toInt() / 10, 8);
            const QPoint centre = label->geometry().center();
            const QPoint twips(qRound(velmora::Twips::fromPixels(centre.x())),
                               qRound(velmora::Twips::fromPixels(centre.y())));
            bool inColumn = false;
            for (int row = 0; row < velmora::RecordCartella::rows; ++row) {
                inColumn = inColumn || velmora::CardGeometry::cell(column, row).contains(twips);
            }
            QVERIFY2(inColumn, qPrintable(label->text()));
        }
    }

    void cardsCarryTheirOwnNames() {
        const CardPicture preview(CardPicture::Kind::Preview);
        const CardPicture decorative(CardPicture::Kind::Decorative);
        QCOMPARE(preview.objectName(), QStringLiteral("picCartella(0)"));
        QCOMPARE(decorative.objectName(), QStringLiteral("picCartella(2)"));
        QCOMPARE(preview.tombola()->objectName(), QStringLiteral("Tombola(1)"));
        QCOMPARE(decorative.tombola()->objectName(), QStringLiteral("Tombola(0)"));
        QCOMPARE(preview.lblNumeroCartella()->text(), QStringLiteral("N.   1"));
        QCOMPARE(decorative.frase()->objectName(), QStringLiteral("Frase(0)"));
        QCOMPARE(preview.size(), QSize(322, 181));
        QCOMPARE(preview.tombola()->geometry(), QRect(12, 7, 168, 15));
        QCOMPARE(preview.frase()->geometry(), QRect(13, 149, 292, 21));

        // Only the preview has strips and lines of its own, each named once.
        QSet<QString> names;
        for (const QWidget *w : preview.findChildren<QWidget *>()) {
            QVERIFY2(!names.contains(w->objectName()), qPrintable(w->objectName()));
            names.insert(w->objectName());
        }
        QCOMPARE(names.size(), 3 + 15 + 2 + 4 + 4 + 10);
        QVERIFY(preview.imgGriglia(0) && preview.imgGriglia(4));
        QCOMPARE(preview.imgGriglia(2), nullptr);
        QCOMPARE(preview.lnGriglia(9)->objectName(), QStringLiteral("lnGriglia(9)"));
        QCOMPARE(preview.lnGriglia(9)->geometry(), QRect(262, 48, 1, 89));
        QCOMPARE(preview.lnGriglia(0)->geometry(), QRect(22, 79, 273, 1));
        QCOMPARE(preview.imgBordoCartella(3)->geometry(), QRect(303, 39, 2, 107));
        QCOMPARE(decorative.findChildren<QWidget *>().size(), 3 + 15);
        QCOMPARE(decorative.picLineaSottile(), nullptr);
    }

    // Title and heading line show whole and inside their labels, as on the printed card: a
    // text that fits as it is; a longer one smaller; past 6 points cut with an ellipsis.
    void textsKeepToTheirLabels_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("smaller");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << "Tombola" << false << false;
        QTest::newRow("full title box") << QString(30, QLatin1Char('W')) << true << false;
        QTest::newRow("full heading line") << QString(95, QLatin1Char('W')) << true << true;
    }
    void textsKeepToTheirLabels() {
        QFETCH(QString, text);
        QFETCH(bool, smaller);
        QFETCH(bool, cut);
        const CardPicture preview(CardPicture::Kind::Preview);
        for (QLabel *label : {preview.tombola(), preview.frase()}) {
            QFont font = label->font();
            font.setPointSize(12);
            label->setFont(font);
            label->setText(text);
            const auto *fit = qobject_cast<const velmora::FitLabel *>(label);
            QVERIFY(fit);
            const QFont shown = fit->shownFont();
            QCOMPARE(label->font(), font); // the property stays as set
            QCOMPARE(QFontInfo(shown).pixelSize() < QFontInfo(font).pixelSize(), smaller);
            QVERIFY(QFontMetricsF(shown).horizontalAdvance(fit->shownText()) <=
                    label->contentsRect().width());
            if (label == preview.frase()) { // the wider label
                QCOMPARE(fit->shownText().endsWith(QStringLiteral("…")), cut);
                QVERIFY(QFontInfo(shown).pixelSize() >= 8); // 6 points on a 96 dpi screen
            }
        }
    }

    // Page 2's card and the printed card show the title and the numbers in the same faces:
    // the title as chosen, bold and italic or not; the numbers bold and upright always.
    void previewAndPrintShareTheirFaces_data() {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("plain, landscape") << false << false << true;
        QTest::newRow("bold, portrait") << true << false << false;
        QTest::newRow("italic, landscape") << false << true << true;
        QTest::newRow("bold italic, portrait") << true << true << false;
    }
    void previewAndPrintShareTheirFaces() {
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, landscape);
        velmora::Configurazione settings = velmora::SettingsFile::defaults();
        settings.FontTombola = QStringLiteral("DejaVu Serif");
        settings.setBold(bold);
        settings.setItalic(italic);
        velmora::SettingsFile::trimTexts(settings);
        CardPicture preview(CardPicture::Kind::Preview);
        CardPicture decorative(CardPicture::Kind::Decorative);
        velmora::CambioFont(preview, decorative, settings).esegui();

        velmora::testing::ArchiveFixture archive(1);
        velmora::CardArchive cards(archive.folder());
        velmora::RecordingSurface surface;
        surface.setOrientation(landscape ? velmora::PrinterSurface::Landscape
                                         : velmora::PrinterSurface::Portrait);
        surface.setPrintQuality(300);
        surface.setScaleMode(velmora::PrinterSurface::Pixels);
        velmora::CardContext ctx(surface, cards, settings);
        (landscape ? velmora::StampaCartella : velmora::StampaCartella2)(ctx, 1, 1, 1);

        const velmora::RecordCartella record = cards.read(1);
        QSet<QString> cells;
        for (int k = 0; k < velmora::RecordCartella::cellCount; ++k) {
            if (record.cellNumber(k) > 0) {
                cells.insert(ctx.cellText(record, k));
            }
        }
        int numbers = 0;
        bool title = false;
        QString previous;
        for (const auto &printed : surface.texts()) {
            const QLabel *label = nullptr;
            const bool cardNumber = previous == QStringLiteral("N.");
            previous = printed.text;
            if (printed.text == settings.Titolo) {
                label = preview.tombola();
                title = true;
            } else if (cells.contains(printed.text) && !cardNumber) {
                label = preview.label6(CardPicture::numberCount); // a number of page 2's card
                ++numbers;
            } else {
                continue;
            }
            const QString what = QStringLiteral("\"%1\"").arg(printed.text);
            QVERIFY2(printed.fontName.compare(label->font().families().first(),
                                              Qt::CaseInsensitive) == 0,
                     qPrintable(what + QStringLiteral(" in ") + printed.fontName));
            QVERIFY2(printed.bold == label->font().bold(), qPrintable(what));
            QVERIFY2(printed.italic == label->font().italic(), qPrintable(what));
        }
        QVERIFY(title);
        QCOMPARE(numbers, 15);
        QVERIFY(preview.label6(CardPicture::numberCount)->font().bold());
        QCOMPARE(preview.tombola()->font().italic(), italic);
    }
};

QTEST_MAIN(TestCardPicture)
#include "tst_CardPicture.moc"
