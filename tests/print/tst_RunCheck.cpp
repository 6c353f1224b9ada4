#include "tests/support/CardFixture.h"

#include "print/CardArchive.h"
#include "print/CardLayout.h"
#include "print/PrintPlan.h"
#include "print/RunCheck.h"

#include <QtTest>

#include <array>

using namespace velmora;
using namespace velmora::testing;

class TestRunCheck : public QObject {
    Q_OBJECT

private slots:
    // Every text of a card must get a size the printer takes: the heading strip is the
    // smallest, the title the largest, and the box holds three digits.
    void fontSizesAtTheLimits_data() {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("said"); // empty: the run may go on
        QTest::newRow("landscape 7: strip of 0 points")
            << true << 7
            << "La dimensione del carattere 7 non si può stampare (la più piccola che si "
               "stampa è 8): scegliere una dimensione da 8 a 999";
        QTest::newRow("landscape 8") << true << 8 << "";
        QTest::newRow("landscape 999") << true << 999 << "";
        QTest::newRow("landscape 1000")
            << true << 1000
            << "La dimensione del carattere 1000 non si può stampare (oltre il "
               "massimo di 999)";
        QTest::newRow("portrait 5: strip of 0 points, the box's range advised")
            << false << 5
            << "(la più piccola che si stampa è 6): scegliere una dimensione da 8 a 999";
        QTest::newRow("portrait 6") << false << 6 << "";
        QTest::newRow("portrait 1000") << false << 1000 << "oltre il massimo di 999";
    }
    void fontSizesAtTheLimits() {
        QFETCH(bool, landscape);
        QFETCH(int, size);
        QFETCH(QString, said);
        Configurazione settings = colouredSettings();
        settings.Dimensione = qint16(size);
        const CardLayout &layout = landscape ? CardLayout::landscape() : CardLayout::portrait();
        const RunCheck::Result result =
            RunCheck::checkSettings(settings, layout, RunCheck::Place::Window);
        QVERIFY2(result.refusal.contains(said), qPrintable(result.refusal));
        QCOMPARE(result.ok(), said.isEmpty());
        QCOMPARE(RunCheck::minDimensione(), 8); // what the size box takes: both layouts print it
        QCOMPARE(RunCheck::maxDimensione(), 999);
    }

    // A size past the largest the size box takes (a settings file's) prints at that largest, and
    // the run is told so; a size the box takes prints as it is, unsaid.
    void sizePastTheBoxPrintsAtItsLargest() {
        std::array<int, 2> largestOf{};
        for (const auto &[orientation, size] : {std::pair{0, 16}, {0, 999}, {1, 8}, {1, 60}}) {
            Configurazione settings = colouredSettings();
            settings.Dimensione = qint16(size);
            settings.Orientamento = qint16(orientation);
            const RunCheck::Result result = RunCheck::checkSettings(
                settings, orientation == 0 ? CardLayout::landscape() : CardLayout::portrait(),
                RunCheck::Place::Window);
            const int largest = RunCheck::largestBoxDimensione(settings);
            largestOf.at(orientation) = largest;
            QVERIFY2(result.ok() && largest < 60, qPrintable(result.refusal));
            QCOMPARE(result.sizeNotice,
                     size <= largest ? QString()
                                     : QStringLiteral("La dimensione del carattere %1 è più grande "
                                                      "di quella che entra nelle cartelle: si "
                                                      "stampano con la dimensione %2.")
                                           .arg(size)
                                           .arg(largest));
        }
        // Each orientation's own limit: a landscape card's numbers take a larger size than a
        // portrait card's (25 and 23 points in the test's face).
        QVERIFY2(largestOf[0] > largestOf[1],
                 qPrintable(QStringLiteral("%1 %2").arg(largestOf[0]).arg(largestOf[1])));
    }

    // The refusal says where to change the setting: the appearance page, or the settings file
    // by its name.
    void refusalSaysWhereToChangeIt() {
        Configurazione settings = colouredSettings();
        settings.FontTombola = QString();
        const QString window =
            RunCheck::checkSettings(settings, CardLayout::landscape(), RunCheck::Place::Window)
                .refusal;
        QCOMPARE(window, QStringLiteral("Nessun carattere è indicato per le cartelle: sceglierne "
                                        "uno nell'elenco dei caratteri nella pagina 2 (aspetto "
                                        "della cartella)."));
        const QString file =
            RunCheck::checkSettings(settings, CardLayout::landscape(),
                                    RunCheck::Place::SettingsFile, QStringLiteral("/tmp/vel.cnf"))
                .refusal;
        QVERIFY2(file.endsWith(QStringLiteral("nella pagina 2 del programma e salvare la "
                                              "configurazione (file /tmp/vel.cnf).")),
                 qPrintable(file));
    }

    // Every record the run will print is read before the first card, the first and the last
    // of the range included; records outside the range, and archive numbers a run numbered by
    // the archive does not use, stop nothing.
    void damagedRecordInTheRangeStopsTheRun_data() {
        QTest::addColumn<int>("archiveCards");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("damaged");
        QTest::addColumn<bool>("archiveNumbers");
        QTest::addColumn<bool>("refused");
        QTest::newRow("first card of the range") << 20 << 4 << 9 << 4 << false << true;
        QTest::newRow("middle card") << 20 << 4 << 9 << 6 << false << true;
        QTest::newRow("last card of the range") << 20 << 4 << 9 << 9 << false << true;
        QTest::newRow("last card of the archive, page filled past it")
            << 8 << 7 << 12 << 8 << false << true;
        QTest::newRow("before the range") << 20 << 4 << 9 << 3 << false << false;
        QTest::newRow("after the range") << 20 << 4 << 9 << 10 << false << false;
        QTest::newRow("numbered by the archive") << 20 << 4 << 9 << 9 << true << false;
    }
    void damagedRecordInTheRangeStopsTheRun() {
        QFETCH(int, archiveCards);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, damaged);
        QFETCH(bool, archiveNumbers);
        QFETCH(bool, refused);
        ArchiveFixture fixture(archiveCards, [damaged](int n) {
            RecordCartella card = numberedCard(n);
            if (n == damaged) {
                card.setNumeroArchivio(QStringLiteral("A%1").arg(n));
            }
            return card;
        });
        CardArchive archive(fixture.folder());
        PrintPlan plan;
        plan.first = qint16(first);
        plan.last = qint16(last);
        const RunCheck::Result result = RunCheck::check(colouredSettings(), plan, archive,
                                                        archiveNumbers, RunCheck::Place::Window);
        QCOMPARE(result.ok(), !refused);
        if (refused) {
            QVERIFY2(
                result.refusal.startsWith(QStringLiteral("La cartella %1 dell'archivio \"%2\" è "
                                                         "danneggiata (")
                                              .arg(damaged)
                                              .arg(archive.path())),
                qPrintable(result.refusal));
            QVERIFY(result.refusal.endsWith(QStringLiteral("non è stato stampato nulla, "
                                                           "sostituire l'archivio con una copia "
                                                           "integra.")));
        }
    }

    // A face that is not installed prints with another one and is named once in the notice;
    // an installed face, or a Windows face whose metric twin is installed, is no stand-in.
    void standInFacesAreNamed_data() {
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("standIn");
        QTest::newRow("installed") << "Liberation Serif" << false;
        QTest::newRow("Windows face with its twin") << "Arial" << false;
        QTest::newRow("not installed") << "Carattere Inesistente" << true;
    }
    void standInFacesAreNamed() {
        QFETCH(QString, face);
        QFETCH(bool, standIn);
        Configurazione settings = colouredSettings();
        settings.FontTombola = face;
        const RunCheck::Result result =
            RunCheck::checkSettings(settings, CardLayout::landscape(), RunCheck::Place::Window);
        QVERIFY2(result.ok(), qPrintable(result.refusal));
        if (!standIn) {
            QVERIFY(result.standIns.isEmpty());
            return;
        }
        QCOMPARE(result.standIns.size(), 1);
        const FontResolver::Face &used = result.standIns.front();
        QCOMPARE(used.name, face);
        QVERIFY(!used.family.isEmpty() && used.family != face);
        QCOMPARE(RunCheck::standInNotice(result.standIns),
                 QStringLiteral("Il carattere \"%1\" non è installato: le cartelle si stampano "
                                "con \"%2\", il più simile tra quelli installati.")
                     .arg(face, used.family));
    }
};

QTEST_MAIN(TestRunCheck)
#include "tst_RunCheck.moc"
