#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"
#include "rules/ArchiveScan.h"

#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace velmora;

class TestArchiveScan : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readsTheStretchAsked_data();
    void readsTheStretchAsked();
    void reachedListsTheCardsWithAtLeastThePrize();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CardArchive> m_archive; // 60 cards
};

void TestArchiveScan::initTestCase() {
    QFile file(m_dir.filePath(CardArchive::fileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SeriesGenerator::makeArchive(60, 11));
    file.close();
    m_archive = std::make_unique<CardArchive>(m_dir.path());
}

void TestArchiveScan::readsTheStretchAsked_data() {
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("firstRead"); // 0: nothing read
    QTest::addColumn<int>("lastRead");
    const qint64 huge = std::numeric_limits<qint64>::max();
    QTest::newRow("a stretch inside") << qint64(13) << qint64(18) << 13 << 30;
    QTest::newRow("the first card alone") << qint64(1) << qint64(1) << 1 << 1;
    QTest::newRow("the last card alone") << qint64(60) << qint64(1) << 60 << 60;
    QTest::newRow("past the end: up to the last card") << qint64(55) << qint64(100) << 55 << 60;
    QTest::newRow("a count that would overflow") << qint64(2) << huge << 2 << 60;
    QTest::newRow("beyond the last card") << qint64(61) << qint64(5) << 0 << 0;
    QTest::newRow("card 0") << qint64(0) << qint64(5) << 0 << 0;
    QTest::newRow("no cards") << qint64(5) << qint64(0) << 0 << 0;
}

void TestArchiveScan::readsTheStretchAsked() {
    QFETCH(qint64, first);
    QFETCH(qint64, count);
    QFETCH(int, firstRead);
    QFETCH(int, lastRead);
    const ArchiveScan scan(*m_archive, first, count);
    QList<qint64> expected;
    for (int card = firstRead; card >= 1 && card <= lastRead; ++card) {
        expected.append(card);
    }
    QList<qint64> read;
    for (const ArchiveScan::Card &card : scan.cards()) {
        read.append(card.archiveCard);
        // Each card as the archive holds it: its own number and rows.
        const RecordCartella record = m_archive->read(card.archiveCard);
        QCOMPARE(card.numeroArchivio, record.numeroArchivio());
        QVERIFY(card.rows.rows == CardRows::of(record).rows);
    }
    QCOMPARE(read, expected);
}

void TestArchiveScan::reachedListsTheCardsWithAtLeastThePrize() {
    // Cards 13..30; the second row of card 20 drawn in full, and three numbers of the first row
    // of card 25.
    const ArchiveScan scan(*m_archive, 13, 18);
    const ArchiveScan::Card &cinquina = scan.cards().at(20 - 13);
    NumberSet drawn = cinquina.rows.rows[1];
    int taken = 0;
    for (int number = 1; number <= 90 && taken < 3; ++number) {
        if (scan.cards().at(25 - 13).rows.rows[0].contains(number)) {
            drawn.insert(number);
            ++taken;
        }
    }

    const auto cinquine = scan.reached(drawn, Premio::Cinquina);
    QCOMPARE(cinquine.size(), 1);
    QCOMPARE(cinquine.first().card->archiveCard, 20);
    QCOMPARE(cinquine.first().best, Premio::Cinquina);
    QList<qint64> terni;
    for (const ArchiveScan::Win &win : scan.reached(drawn, Premio::Terno)) {
        terni.append(win.card->archiveCard);
        QCOMPARE(win.best, PrizeCheck::best(win.card->rows, drawn));
        QVERIFY(win.best >= Premio::Terno);
    }
    QVERIFY(std::is_sorted(terni.cbegin(), terni.cend()));
    QVERIFY2(terni.contains(20) && terni.contains(25), qPrintable(QString::number(terni.size())));
    QVERIFY(scan.reached(NumberSet{}, Premio::Ambo).isEmpty());
}

QTEST_GUILESS_MAIN(TestArchiveScan)
#include "tst_ArchiveScan.moc"
