#include "print/PrintPlan.h"

#include <QtTest>

using namespace velmora;

class TestPrintPlan : public QObject {
    Q_OBJECT

private slots:
    // The range from the texts of the boxes: rounding, 0 as 1, the last page filled up.
    void range_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("expectedFirst");
        QTest::addColumn<int>("expectedLast");
        QTest::addColumn<int>("pages");
        QTest::newRow("8 landscape from 1") << "1"
                                            << "8" << true << 1 << 12 << 2;
        QTest::newRow("7 landscape from 1") << "1"
                                            << "7" << true << 1 << 12 << 2;
        QTest::newRow("6 landscape from 10") << "10"
                                             << "6" << true << 10 << 15 << 1;
        QTest::newRow("4 portrait") << "1"
                                    << "4" << false << 1 << 6 << 2;
        QTest::newRow("3 portrait") << "5"
                                    << "3" << false << 5 << 7 << 1;
        QTest::newRow("empty first card") << ""
                                          << "6" << true << 1 << 6 << 1;
        QTest::newRow("first card 0") << "0"
                                      << "1" << true << 1 << 6 << 1;
        QTest::newRow("first 2.5 to even") << "2.5"
                                           << "6" << true << 2 << 7 << 1;
        QTest::newRow("first 3.5 to even") << "3.5"
                                           << "6" << true << 4 << 9 << 1;
        QTest::newRow("first 0.4 is 0, so 1") << "0.4"
                                              << "6" << true << 1 << 6 << 1;
        QTest::newRow("count 6.5 to even") << "1"
                                           << "6.5" << true << 1 << 6 << 1;
        QTest::newRow("count 0.5 to 0") << "1"
                                        << "0.5" << true << 1 << 0 << 0;
        QTest::newRow("count 0") << "1"
                                 << "0" << true << 1 << 0 << 0;
        QTest::newRow("count text") << "7"
                                    << "abc" << true << 7 << 6 << 0;
        QTest::newRow("negative count") << "7"
                                        << "-5" << true << 7 << 6 << 0;
        QTest::newRow("huge negative count") << "7"
                                             << "-99999999999999999999999" << true << 7 << 6 << 0;
        QTest::newRow("leading number") << "12abc"
                                        << "2 cartelle" << false << 12 << 14 << 1;
        QTest::newRow("up to 32766") << "1"
                                     << "32766" << true << 1 << 32766 << 5461;
        QTest::newRow("none from 32767") << "32767"
                                         << "0" << false << 32767 << 32766 << 0;
        QTest::newRow("up to 32767") << "32765"
                                     << "3" << false << 32765 << 32767 << 1;
    }
    void range() {
        QFETCH(QString, first);
        QFETCH(QString, count);
        QFETCH(bool, landscape);
        QFETCH(int, expectedFirst);
        QFETCH(int, expectedLast);
        QFETCH(int, pages);
        QString refusal;
        const auto plan = PrintPlan::make(first, count, landscape, &refusal);
        QVERIFY2(plan, qPrintable(refusal));
        QCOMPARE(int(plan->first), expectedFirst);
        QCOMPARE(int(plan->last), expectedLast);
        QCOMPARE(plan->cardsPerPage, landscape ? 6 : 3);
        QCOMPARE(plan->cardCount(), std::max(0, expectedLast - expectedFirst + 1));
        QCOMPARE(plan->pageCount(), pages);
        QVERIFY(refusal.isEmpty());
    }

    // Runs beyond the 16-bit card numbers are refused before anything is printed, saying the
    // largest run possible.
    void refusals_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("says");
        QTest::newRow("first above 32767") << "32768"
                                           << "1" << true << "32768";
        QTest::newRow("first far above") << "1000000000000"
                                         << "1" << true << "1000000000000";
        QTest::newRow("count above 32767") << "1"
                                           << "32768" << true << "al massimo 32766";
        QTest::newRow("last raised past 32767") << "32760"
                                                << "7" << true << "al massimo 6";
        QTest::newRow("last raised past, portrait") << "32760"
                                                    << "7" << false << "al massimo 6";
        QTest::newRow("no full page left") << "32765"
                                           << "1" << true << "nemmeno una pagina";
        QTest::newRow("count far above") << "100"
                                         << "99999999999999999999" << false << "al massimo 32667";
        QTest::newRow("negative first card") << "-3"
                                             << "6" << true << "da 1 a 32767";
    }
    void refusals() {
        QFETCH(QString, first);
        QFETCH(QString, count);
        QFETCH(bool, landscape);
        QFETCH(QString, says);
        QString refusal;
        QVERIFY(!PrintPlan::make(first, count, landscape, &refusal));
        QVERIFY2(refusal.contains(says), qPrintable(refusal));
        QVERIFY(!PrintPlan::make(first, count, landscape, nullptr));
    }

    // The largest run the refusal names is itself accepted.
    void largestRunNamedIsAccepted() {
        QString refusal;
        QVERIFY(!PrintPlan::make(QStringLiteral("101"), QStringLiteral("40000"), true, &refusal));
        const QRegularExpression largest(QStringLiteral("al massimo (\\d+)"));
        const auto match = largest.match(refusal);
        QVERIFY(match.hasMatch());
        const auto plan = PrintPlan::make(QStringLiteral("101"), match.captured(1), true, nullptr);
        QVERIFY(plan);
        QVERIFY(plan->last <= PrintPlan::maxCard);
        QVERIFY(!PrintPlan::make(QStringLiteral("101"),
                                 QString::number(match.captured(1).toInt() + 1), true, nullptr));
    }

    // A run whose cards asked for are all in the archive prints them, ending at the archive's
    // last card when the page would be filled past it. One asked for that is missing refuses
    // the run, naming the first missing card and the largest run from the first card, which
    // itself fits.
    void beyondTheArchive_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("last");     // the run's last card when it fits
        QTest::addColumn<QString>("says"); // empty: the run fits
        QTest::newRow("fits exactly") << "1"
                                      << "12" << true << 12 << 12 << "";
        QTest::newRow("filling passes the end") << "5996"
                                                << "4" << true << 6000 << 6000 << "";
        QTest::newRow("portrait, last card") << "5999"
                                             << "1" << false << 6000 << 6000 << "";
        QTest::newRow("one missing")
            << "1"
            << "11" << true << 10 << 0 << "la cartella 11 non c'è (sarebbe stampata";
        QTest::newRow("several missing")
            << "5"
            << "8" << false << 9 << 0 << "le cartelle da 10 a 12 non ci sono";
        QTest::newRow("first card missing")
            << "20"
            << "3" << true << 10 << 0 << "le cartelle da 20 a 22 non ci sono";
        QTest::newRow("room for one")
            << "10"
            << "2" << true << 10 << 0 << "se ne può stampare al massimo 1;";
        QTest::newRow("empty archive") << "1"
                                       << "3" << false << 0 << 0 << "contiene 0 cartelle";
    }
    void beyondTheArchive() {
        QFETCH(QString, first);
        QFETCH(QString, count);
        QFETCH(bool, landscape);
        QFETCH(int, held);
        QFETCH(int, last);
        QFETCH(QString, says);
        auto plan = PrintPlan::make(first, count, landscape, nullptr);
        QVERIFY(plan);
        const auto refusal = plan->fitToArchive(held, QStringLiteral("/a/RidoDur.dat"));
        QCOMPARE(refusal.has_value(), !says.isEmpty());
        if (!refusal) {
            QCOMPARE(int(plan->last), last);
            return;
        }
        QVERIFY2(refusal->contains(says), qPrintable(*refusal));
        QVERIFY(refusal->contains(QStringLiteral("/a/RidoDur.dat")));
        QVERIFY(!refusal->contains(QStringLiteral("  ")));
        const QRegularExpression largest(QStringLiteral("al massimo (\\d+)"));
        const auto match = largest.match(*refusal);
        if (match.hasMatch()) {
            auto fitting = PrintPlan::make(first, match.captured(1), landscape, nullptr);
            QVERIFY(fitting);
            QVERIFY(!fitting->fitToArchive(held, QString()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPrintPlan)
#include "tst_PrintPlan.moc"
