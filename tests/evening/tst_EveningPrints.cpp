#include "evening/EveningPrints.h"

#include <QTest>

using namespace velmora;
using Outcome = RunRecord::Outcome;

namespace {

RunRecord run(qint64 id, int first, int drawn, bool archiveNumbers, bool delivered = true) {
    RunRecord r;
    r.id = id;
    r.firstCard = first;
    r.lastCard = first + drawn - 1;
    r.cardsAsked = drawn;
    r.cardsDrawn = drawn;
    r.archiveNumbering = archiveNumbers;
    r.outcome = delivered ? Outcome::Completed : Outcome::Stopped;
    r.delivered = delivered;
    return r;
}

} // namespace

// The next run of an evening: where it starts, and what it would repeat.
class tst_EveningPrints : public QObject {
    Q_OBJECT

private slots:
    void nextFirstCardFollowsTheEvening() {
        QCOMPARE(EveningPrints::nextFirstCard({}), std::nullopt);
        QCOMPARE(EveningPrints::nextFirstCard(
                     {run(1, 1, 24, false), run(2, 61, 30, true), run(3, 200, 6, false, false)}),
                 91);
    }

    void overlapIsNamed_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("archiveNumbers");
        QTest::addColumn<QString>("question"); // empty: none asked
        // The evening so far: run 1, cards 1-24 numbered from 1; run 2, cards 61-90 with the
        // archive's numbers; run 3 stopped before delivering cards 200-205.
        QTest::newRow("after the evening, archive numbers") << 91 << 120 << true << "";
        QTest::newRow("where run 3 delivered nothing") << 200 << 205 << true << "";
        QTest::newRow("numbered from 1 again")
            << 25 << 48 << false
            << "I numeri stampati N. 1-24 (corsa 1) sono già su altre cartelle di questa serata: "
               "in sala ci sarebbero due cartelle con lo stesso numero.\n"
               "Con la numerazione dell'archivio ogni cartella porta il proprio numero "
               "d'archivio.\nStampare lo stesso?";
        QTest::newRow("archive cards again")
            << 85 << 96 << true
            << "Le cartelle dell'archivio 85-90 (corsa 2) sono già state stampate in questa "
               "serata.\nI numeri stampati N. 85-90 (corsa 2) sono già su altre cartelle di "
               "questa serata: in sala ci sarebbero due cartelle con lo stesso numero.\n"
               "Stampare lo stesso?";
        QTest::newRow("archive numbers clash with the numbers from 1")
            << 13 << 30 << true
            << "Le cartelle dell'archivio 13-24 (corsa 1) sono già state stampate in questa "
               "serata.\nI numeri stampati N. 13-24 (corsa 1) sono già su altre cartelle di "
               "questa serata: in sala ci sarebbero due cartelle con lo stesso numero.\n"
               "Stampare lo stesso?";
        QTest::newRow("numbered from 1 over both runs")
            << 121 << 186 << false
            << "I numeri stampati N. 1-24 (corsa 1), N. 61-66 (corsa 2) sono già su altre "
               "cartelle di questa serata: in sala ci sarebbero due cartelle con lo stesso "
               "numero.\nCon la numerazione dell'archivio ogni cartella porta il proprio numero "
               "d'archivio.\nStampare lo stesso?";
    }

    void overlapIsNamed() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, archiveNumbers);
        QFETCH(QString, question);
        const QList<RunRecord> evening{run(1, 1, 24, false), run(2, 61, 30, true),
                                       run(3, 200, 6, false, false)};
        QCOMPARE(EveningPrints::overlap(evening, first, last, archiveNumbers), question);
    }
};

QTEST_GUILESS_MAIN(tst_EveningPrints)
#include "tst_EveningPrints.moc"
