#include "appearance/FontControls.h"
#include "common/Twips.h"
#include "print/FontResolver.h"
#include "settings/Configurazione.h"
#include "ui/FiltroNumerico.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include <QtTest>

using velmora::Configurazione;
using velmora::FontControls;

class TestFontControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { velmora::Twips::overrideTwipsPerPixel(15); }

    void sizeIsAWholeNumberOrLeftAlone_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("size");
        QTest::newRow("whole") << "24" << 24;
        QTest::newRow("half down to even") << "8.5" << 8;
        QTest::newRow("half up to even") << "9.5" << 10;
        QTest::newRow("above half") << "8.7" << 9;
        QTest::newRow("the smallest the card prints") << "8" << 8;
        QTest::newRow("7: the heading strip would be 0 points") << "7" << 16;
        QTest::newRow("0 is refused") << "0" << 16;
        QTest::newRow("empty leaves it") << "" << 16;
        QTest::newRow("a point alone leaves it") << "." << 16;
        QTest::newRow("not all a number leaves it") << "1x" << 16;
        QTest::newRow("comma is not a separator") << "1,5" << 16;
    }
    void sizeIsAWholeNumberOrLeftAlone() {
        QFETCH(QString, typed);
        QFETCH(int, size);
        QWidget page;
        Configurazione settings;
        settings.Dimensione = 16;
        FontControls controls(&page, settings);
        controls.tombolaFontSize()->setText(QStringLiteral("16"));
        controls.tombolaFontSize()->setText(typed); // the whole text at once, as when pasted
        QCOMPARE(int(settings.Dimensione), size);
        // The tooltip gives the sizes the card prints, and says so when a number is refused.
        const QString tip = controls.tombolaFontSize()->toolTip();
        QVERIFY2(tip.contains(QRegularExpression(QStringLiteral("Da 8 a \\d+ punti"))),
                 qPrintable(tip));
        QCOMPARE(tip.startsWith(QStringLiteral("La dimensione %1 non si può stampare").arg(typed)),
                 typed == QLatin1String("7") || typed == QLatin1String("0"));
    }

    // The box takes sizes up to the largest at which the numbers fit their cells in the
    // orientation chosen, and says it in its tooltip; a larger size stored in the settings file
    // is shown and kept.
    void sizeBoxStopsWhereTheNumbersLeaveTheirCells_data() {
        QTest::addColumn<int>("orientamento");
        QTest::newRow("landscape") << 0;
        QTest::newRow("portrait") << 1;
    }
    void sizeBoxStopsWhereTheNumbersLeaveTheirCells() {
        QFETCH(int, orientamento);
        QWidget page;
        Configurazione settings;
        settings.FontTombola = QStringLiteral("Arial");
        settings.Orientamento = qint16(orientamento);
        settings.Dimensione = 40; // from an older settings file
        FontControls controls(&page, settings);
        controls.mostraConfigurazione();
        QLineEdit *box = controls.tombolaFontSize();
        QCOMPARE(box->text(), QStringLiteral("40"));
        QCOMPARE(int(settings.Dimensione), 40);

        const auto said =
            QRegularExpression(QStringLiteral("^Da 8 a (\\d+) punti: oltre, i numeri non entrano "
                                              "nelle caselle$"))
                .match(box->toolTip());
        QVERIFY2(said.hasMatch(), qPrintable(box->toolTip()));
        const int largest = said.captured(1).toInt();
        QVERIFY2(largest >= 16 && largest < 40, qPrintable(box->toolTip()));
        box->setText(QString::number(largest));
        QCOMPARE(int(settings.Dimensione), largest);
        box->setText(QString::number(largest + 1));
        QCOMPARE(int(settings.Dimensione), largest);
        QVERIFY2(box->toolTip().startsWith(
                     QStringLiteral("La dimensione %1 non si può stampare").arg(largest + 1)),
                 qPrintable(box->toolTip()));
    }

    void faceIsCutToItsFieldAndAnnounced() {
        QWidget page;
        Configurazione settings;
        FontControls controls(&page, settings);
        QSignalSpy changed(&controls, &FontControls::fontModificato);
        const QString longName = QStringLiteral("Un nome di carattere molto lungo davvero");
        controls.fontTombola()->setEditText(longName);
        QCOMPARE(settings.FontTombola.padded(), longName.left(30));
        QVERIFY(changed.count() >= 1);
        controls.fontTombola()->setEditText(QStringLiteral("Arial"));
        QCOMPARE(settings.FontTombola.padded(), QStringLiteral("Arial").leftJustified(30));
    }

    // A face that is not installed is named with the face that prints it; an installed face or a
    // Windows face with its metric twin says nothing.
    void standInFaceIsSaid() {
        QWidget page;
        Configurazione settings;
        FontControls controls(&page, settings);
        page.show();
        controls.fontTombola()->setEditText(QStringLiteral("Tahoma"));
        const auto face = velmora::FontResolver::face(QStringLiteral("Tahoma"));
        if (!face || !face->standIn) {
            QSKIP("Tahoma is installed here");
        }
        QVERIFY(controls.standIn()->isVisible());
        QCOMPARE(controls.standIn()->text(),
                 QStringLiteral("Non installato: si stampa con \"%1\"").arg(face->family));
        controls.fontTombola()->setEditText(QStringLiteral("Arial"));
        QVERIFY(!controls.standIn()->isVisible());
    }

    void styleBoxesWriteTheirBooleans() {
        QWidget page;
        Configurazione settings;
        settings.Grassetto = 1; // true as an older file may hold it
        FontControls controls(&page, settings);
        controls.mostraConfigurazione();
        QVERIFY(controls.chTipoCarattere(0)->isChecked());
        QCOMPARE(settings.Grassetto, qint16(1)); // shown, not rewritten
        QVERIFY(!controls.chTipoCarattere(1)->isChecked());

        QTest::mouseClick(controls.chTipoCarattere(1), Qt::LeftButton);
        QCOMPARE(settings.Corsivo, qint16(-1));
        controls.chTipoCarattere(0)->setChecked(false);
        QCOMPARE(settings.Grassetto, qint16(0));
        controls.chTipoCarattere(0)->setChecked(true);
        QCOMPARE(settings.Grassetto, qint16(-1));
        QCOMPARE(controls.chTipoCarattere(0)->text(), QStringLiteral("Grassetto"));
        QCOMPARE(controls.chTipoCarattere(1)->text(), QStringLiteral("Corsivo"));
        QCOMPARE(controls.chTipoCarattere(2), nullptr);
    }

    void fontListKeepsTheFaceShownAndItsLimit_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("listed");
        QTest::newRow("no command line") << 0 << 40;
        QTest::newRow("command line") << FontControls::maxFontsWithCommandLine << 25;
    }
    void fontListKeepsTheFaceShownAndItsLimit() {
        QFETCH(int, limit);
        QFETCH(int, listed);
        QStringList families;
        for (int i = 0; i < 40; ++i) {
            families << QStringLiteral("Carattere %1").arg(i);
            if (i % 5 == 0) {
                families << QString() << QStringLiteral("Carattere %1").arg(i); // skipped
            }
        }
        QWidget page;
        Configurazione settings;
        settings.FontTombola = QStringLiteral("Scelto");
        FontControls controls(&page, settings);
        controls.mostraConfigurazione();
        QSignalSpy changed(&controls, &FontControls::fontModificato);
        controls.riempiElencoFont(families, limit);
        QCOMPARE(controls.fontTombola()->count(), listed);
        QCOMPARE(controls.fontTombola()->itemText(0), QStringLiteral("Carattere 0"));
        QCOMPARE(controls.fontTombola()->itemText(1), QStringLiteral("Carattere 1"));
        QCOMPARE(controls.fontTombola()->currentText(), QStringLiteral("Scelto"));
        QCOMPARE(settings.FontTombola.trimmed(), QStringLiteral("Scelto"));
        QCOMPARE(changed.count(), 0);
    }

    // Typing a face starts it plain; picking one from the list keeps the style.
    void typingAFaceClearsBoldAndItalic_data() {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed") << true;
        QTest::newRow("picked from the list") << false;
    }
    void typingAFaceClearsBoldAndItalic() {
        QFETCH(bool, typed);
        QWidget page;
        Configurazione settings;
        settings.FontTombola = QStringLiteral("Uno");
        settings.setBold(true);
        settings.setItalic(true);
        FontControls controls(&page, settings);
        controls.riempiElencoFont({QStringLiteral("Uno"), QStringLiteral("Due")}, 0);
        controls.mostraConfigurazione(); // showing the stored face is no typing
        QVERIFY(controls.chTipoCarattere(0)->isChecked());
        QVERIFY(controls.chTipoCarattere(1)->isChecked());
        page.show();
        controls.fontTombola()->setFocus();
        if (typed) {
            QTest::keyClick(controls.fontTombola()->lineEdit(), Qt::Key_Backspace);
            QTest::keyClicks(controls.fontTombola()->lineEdit(), QStringLiteral("Z"));
        } else {
            QTest::keyClick(controls.fontTombola(), Qt::Key_Down); // "Uno", the first name
            QTest::keyClick(controls.fontTombola(), Qt::Key_Down); // then "Due"
        }
        QCOMPARE(settings.FontTombola.trimmed(),
                 typed ? QStringLiteral("UnZ") : QStringLiteral("Due"));
        QCOMPARE(controls.chTipoCarattere(0)->isChecked(), !typed);
        QCOMPARE(controls.chTipoCarattere(1)->isChecked(), !typed);
        QCOMPARE(settings.bold(), !typed);
        QCOMPARE(settings.italic(), !typed);
    }

    void sizeBoxTakesThreeFilteredCharacters() {
        QWidget page;
        Configurazione settings;
        settings.Dimensione = 16;
        FontControls controls(&page, settings);
        auto *filter = controls.tombolaFontSize()->findChild<velmora::FiltroNumerico *>();
        QVERIFY(filter);
        int beeps = 0;
        filter->setBeep([&beeps] { ++beeps; });
        page.show();
        controls.tombolaFontSize()->setFocus();
        QTest::keyClicks(controls.tombolaFontSize(), QStringLiteral("2a4-57"));
        QCOMPARE(controls.tombolaFontSize()->text(), QStringLiteral("245"));
        QCOMPARE(beeps, 2);
        QCOMPARE(int(settings.Dimensione), 245);
        controls.tombolaFontSize()->clear();
        QCOMPARE(int(settings.Dimensione), 245); // the empty box leaves it
    }

    void controlsSitOnThePageGrid() {
        QWidget page;
        Configurazione settings;
        FontControls controls(&page, settings);
        QCOMPARE(controls.fontTombola()->geometry(), QRect(26, 220, 192, 21));
        QCOMPARE(controls.tombolaFontSize()->geometry(), QRect(219, 220, 32, 21));
        QCOMPARE(controls.chTipoCarattere(0)->geometry(), QRect(269, 212, 103, 17));
        QCOMPARE(controls.chTipoCarattere(1)->geometry(), QRect(269, 230, 101, 17));
        QCOMPARE(controls.caption()->buddy(), controls.fontTombola());
    }
};

QTEST_MAIN(TestFontControls)
#include "tst_FontControls.moc"
