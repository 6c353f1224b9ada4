#include "register/CardTrace.h"

#include <QTest>

using namespace velmora;

namespace {

using Outcome = RunRecord::Outcome;

RunRecord run(qint64 id, int first, int last, int drawn, bool archiveNumbers, Outcome outcome,
              bool delivered) {
    RunRecord r;
    r.id = id;
    r.firstCard = first;
    r.lastCard = last;
    r.cardsDrawn = drawn;
    r.archiveNumbering = archiveNumbers;
    r.outcome = outcome;
    r.delivered = delivered;
    return r;
}

// Six runs of one evening, each a case of its own.
const QList<RunRecord> evening{
    run(1, 120, 131, 12, false, Outcome::Completed, true),   // numbered from 1, from card 120
    run(2, 1, 18, 18, false, Outcome::Completed, true),      // numbered from 1, from card 1
    run(3, 100, 111, 12, true, Outcome::Completed, true),    // the archive's own numbers
    run(4, 1, 12, 6, false, Outcome::Stopped, false),        // stopped, nothing handed on
    run(5, 200, 205, 0, false, Outcome::Interrupted, false), // killed: end unknown
    run(6, 300, 305, 3, false, Outcome::Stopped, true),      // stopped after card 302
};

// An archive whose records do not store their positions: record N stores N + 1000.
std::optional<QString> shiftedNumber(const RunRecord &, int archiveCard) {
    return QStringLiteral("%1").arg(archiveCard + 1000, 5, 10, QLatin1Char('0'));
}

QStringList shown(const QList<CardPrinting> &found) {
    QStringList lines;
    for (const CardPrinting &p : found) {
        lines << QStringLiteral("%1:%2:%3%4")
                     .arg(p.runId)
                     .arg(p.archiveCard)
                     .arg(p.printedNumber)
                     .arg(p.certain ? "" : "?");
    }
    return lines;
}

} // namespace

class tst_CardTrace : public QObject {
    Q_OBJECT

private slots:
    // run:archive card:printed number, "?" when the run's end is unknown.
    void traces_data() {
        QTest::addColumn<bool>("shifted"); // from the archive whose record N stores N + 1000
        QTest::addColumn<bool>("byPrinted");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("N. 7 is in two runs")
            << false << true << 7 << QStringList{"1:126:7", "2:7:7"};
        QTest::newRow("N. 4: stopped run only as far as it got")
            << false << true << 4 << QStringList{"1:123:4", "2:4:4", "5:203:4?"};
        QTest::newRow("N. 13 beyond the first run")
            << false << true << 13 << QStringList{"2:13:13"};
        QTest::newRow("archive number printed as itself")
            << false << true << 105 << QStringList{"3:105:105"};
        QTest::newRow("N. 0 is no card") << false << true << 0 << QStringList{};
        QTest::newRow("card 126 printed as N. 7")
            << false << false << 126 << QStringList{"1:126:7"};
        QTest::newRow("card 111 under archive numbers")
            << false << false << 111 << QStringList{"3:111:111"};
        QTest::newRow("card 302, the last of a stopped run")
            << false << false << 302 << QStringList{"6:302:3"};
        QTest::newRow("card 303 never came out") << false << false << 303 << QStringList{};
        QTest::newRow("card 5: not from the run handed on nothing")
            << false << false << 5 << QStringList{"2:5:5"};
        QTest::newRow("card 205 of a killed run, not certain")
            << false << false << 205 << QStringList{"5:205:6?"};
    }

    void traces() {
        QFETCH(bool, shifted);
        QFETCH(bool, byPrinted);
        QFETCH(int, number);
        QFETCH(QStringList, expected);
        const StoredNumber stored = shifted ? StoredNumber(shiftedNumber) : StoredNumber();
        QCOMPARE(shown(byPrinted ? CardTrace::byPrintedNumber(evening, number, stored)
                                 : CardTrace::byArchiveCard(evening, number, stored)),
                 expected);
    }

    // Both ways agree for every card of every run, with either archive.
    void mappingsAreInverse() {
        for (const StoredNumber &stored : {StoredNumber(), StoredNumber(shiftedNumber)}) {
            for (const RunRecord &r : evening) {
                for (int card = 90; card <= 320; ++card) {
                    if (const auto number = CardTrace::printedNumber(r, card, stored)) {
                        QCOMPARE(CardTrace::archiveCard(r, *number, stored),
                                 std::optional<int>(card));
                    }
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_CardTrace)
#include "tst_CardTrace.moc"
