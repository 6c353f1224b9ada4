#include "evening/EveningStore.h"

#include "evening/RegisterDatabase.h"
#include "tests/support/EveningFixture.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;
using Outcome = RunRecord::Outcome;

// The evening's runs and cards in play, over a register of its own.
class tst_EveningStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<RegisterDatabase> m_db;
    qint64 m_evening = 0;

    // Four runs: 2, cards 101-130 numbered from 1; 3, cards 200-211 with the archive's numbers;
    // 4, stopped before its first card; 1, of an earlier evening. 1-10 of run 2 are sold at
    // 2,00 €.
    void freshEvening() {
        m_db = std::make_unique<RegisterDatabase>(m_dir.filePath(
            QStringLiteral("r%1.sqlite").arg(QRandomGenerator::global()->generate())));
        QVERIFY(m_db->isOpen());
        EveningStore store(m_db->connection());
        QCOMPARE(registerEveningRun(m_db->connection(), {Outcome::Completed, 300, 305, 6, true}),
                 1);
        QVERIFY(store.startNew());
        m_evening = store.current()->id;
        QCOMPARE(registerEveningRun(m_db->connection(), {Outcome::Completed, 101, 130, 30, true}),
                 2);
        QCOMPARE(
            registerEveningRun(m_db->connection(), {Outcome::Completed, 200, 211, 12, true, true}),
            3);
        QCOMPARE(registerEveningRun(m_db->connection(), {Outcome::Stopped, 1, 6, 0, false}), 4);
        QVERIFY2(store.addSold(m_evening, 2, {{1, 10}}, 200), qPrintable(store.lastError()));
    }

private slots:
    void newEveningClosesAndKeepsTheCurrentOne() {
        m_db = std::make_unique<RegisterDatabase>(m_dir.filePath(QStringLiteral("n.sqlite")));
        EveningStore store(m_db->connection());
        const std::optional<Evening> first = store.current();
        QVERIFY2(first, qPrintable(store.lastError()));
        QCOMPARE(first->name, QStringLiteral("Serata del %1")
                                  .arg(QDate::currentDate().toString(QStringLiteral("d/M/yyyy"))));
        QCOMPARE(store.current()->id, first->id); // begun once
        QCOMPARE(registerEveningRun(m_db->connection(), {Outcome::Completed, 1, 6, 6, true}), 1);
        const std::optional<Evening> second = store.startNew();
        QVERIFY(second && second->id != first->id && !second->isClosed());
        const QList<Evening> all = store.evenings();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).id, second->id);
        QVERIFY(all.at(1).isClosed());
        QCOMPARE(store.runs(first->id).size(), 1);
        QVERIFY(store.runs(second->id).isEmpty());
    }

    // A range of a run's printed numbers is refused, naming the numbers, unless the run of this
    // evening delivered all of them and none is in play already.
    // A game's place among its evening's games; a register that cannot be read never gives a
    // place (the record would name a game "n. 0").
    void gamesKnowTheirPlaceInTheEvening() {
        freshEvening();
        EveningStore store(m_db->connection());
        QSqlQuery insert(m_db->connection());
        for (int game = 1; game <= 3; ++game) {
            QVERIFY(insert.exec(QStringLiteral("INSERT INTO games (started) VALUES ('x')")));
        }
        QVERIFY(store.addGame(2) && store.addGame(3));
        QCOMPARE(store.placeOf(3)->number, 2);
        QCOMPARE(store.placeOf(3)->evening, m_evening);
        QCOMPARE(store.placeOf(1)->evening, 0); // a game no evening took
        QCOMPARE(store.games(m_evening).size(), 2);
        QVERIFY(insert.exec(QStringLiteral("DROP TABLE evening_games")));
        QVERIFY(!store.placeOf(3));
        QVERIFY(!store.lastError().isEmpty());
    }

    void soldRanges_data() {
        QTest::addColumn<qint64>("run");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("total"); // cards in play, takings
        QTest::newRow("delivered") << qint64(2) << "11-30"
                                   << ""
                                   << "30 24,00 €";
        QTest::newRow("archive numbers") << qint64(3) << "200-205"
                                         << ""
                                         << "16 21,20 €";
        QTest::newRow("past the run's end")
            << qint64(2) << "25-35"
            << "la corsa 2 non ha consegnato le cartelle N. 31-35 (ha consegnato le cartelle "
               "N. 1-30)"
            << "10 20,00 €";
        QTest::newRow("numbers from 1 under archive numbering")
            << qint64(3) << "1-3"
            << "la corsa 3 non ha consegnato le cartelle N. 1-3 (ha consegnato le cartelle N. "
               "200-211)"
            << "10 20,00 €";
        QTest::newRow("already in play") << qint64(2) << "8-12"
                                         << "le cartelle N. 8-10 della corsa 2 sono già in gioco"
                                         << "10 20,00 €";
        QTest::newRow("touching the range in play")
            << qint64(2) << "10-20"
            << "le cartelle N. 10 della corsa 2 sono già in gioco"
            << "10 20,00 €";
        QTest::newRow("inside the range in play")
            << qint64(2) << "3-5"
            << "le cartelle N. 3-5 della corsa 2 sono già in gioco"
            << "10 20,00 €";
        QTest::newRow("around the range in play")
            << qint64(2) << "1-30"
            << "le cartelle N. 1-10 della corsa 2 sono già in gioco"
            << "10 20,00 €";
        QTest::newRow("two ranges that touch")
            << qint64(2) << "11-20,20-25"
            << "le cartelle N. 20 della corsa 2 sono già in gioco"
            << "10 20,00 €";
        QTest::newRow("one inside the other") << qint64(2) << "11-20,12"
                                              << "le cartelle N. 12 della corsa 2 sono già in gioco"
                                              << "10 20,00 €";
        QTest::newRow("next to the range in play") << qint64(2) << "11-11"
                                                   << ""
                                                   << "11 20,20 €";
        QTest::newRow("all or none") << qint64(2) << "11-12,5"
                                     << "le cartelle N. 5 della corsa 2 sono già in gioco"
                                     << "10 20,00 €";
        QTest::newRow("run that delivered nothing")
            << qint64(4) << "1-1"
            << "la corsa 4 non ha consegnato nessuna cartella"
            << "10 20,00 €";
        QTest::newRow("run of another evening") << qint64(1) << "300-300"
                                                << "la corsa 1 non è di questa serata"
                                                << "10 20,00 €";
    }

    void soldRanges() {
        QFETCH(qint64, run);
        QFETCH(QString, ranges);
        QFETCH(QString, refusal);
        QFETCH(QString, total);
        freshEvening();
        EveningStore store(m_db->connection());
        QCOMPARE(
            store.addSold(m_evening, run, *EveningStore::parseRanges(ranges, nullptr), 20).done(),
            refusal.isEmpty());
        QCOMPARE(store.lastError(), refusal);
        int count = 0;
        qint64 takings = 0;
        for (const SoldRange &s : store.sold(m_evening)) {
            count += s.count();
            takings += s.takingsCents();
        }
        QCOMPARE(QStringLiteral("%1 %2").arg(count).arg(EveningStore::money(takings)), total);
    }

    // Each card in play with its run and its archive card, found through the card tracing.
    void cardsInPlayNameTheirArchiveCards() {
        freshEvening();
        EveningStore store(m_db->connection());
        QVERIFY(store.removeSold(store.sold(m_evening).at(0).id));
        QVERIFY(store.addSold(m_evening, 3, {{210, 211}}, 0));
        QVERIFY(store.addSold(m_evening, 2, {{29, 29}, {30, 30}}, 0));
        QStringList shown;
        for (const PlayedCard &c : store.cardsInPlay(m_evening)) {
            shown << QStringLiteral("%1:%2:%3").arg(c.run).arg(c.printedNumber).arg(c.archiveCard);
        }
        QCOMPARE(shown.join(u' '), QStringLiteral("2:29:129 2:30:130 3:210:210 3:211:211"));
    }

    // A range a damaged register holds past the run's numbers, up to the largest number kept,
    // gives only the cards the run printed.
    void damagedRangeGivesOnlyTheRunsCards() {
        freshEvening();
        EveningStore store(m_db->connection());
        QSqlQuery insert(m_db->connection());
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO cards_in_play (evening, run, first_number, "
                                           "last_number, price_cents) VALUES (%1, 3, 210, "
                                           "2147483647, 0)")
                                .arg(m_evening)));
        QStringList shown;
        for (const PlayedCard &c : store.cardsInPlay(m_evening)) {
            shown << QStringLiteral("%1:%2").arg(c.run).arg(c.printedNumber);
        }
        QCOMPARE(shown.mid(10).join(u' '), QStringLiteral("3:210 3:211"));
    }

    // A range that is not one, as a hand edit may leave it, is said; no card comes of it.
    void rangeOfTextIsSaid() {
        freshEvening();
        EveningStore store(m_db->connection());
        QSqlQuery insert(m_db->connection());
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO cards_in_play (evening, run, first_number, "
                                           "last_number, price_cents) VALUES (%1, 2, 25, 'x30', 0)")
                                .arg(m_evening)));
        QVERIFY(store.cardsInPlay(m_evening).isEmpty());
        QCOMPARE(store.lastError(),
                 QStringLiteral("le cartelle in gioco n. 2 del registro non sono "
                                "un intervallo di numeri (25-x30)"));
    }

    void rangesAreRead_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read"); // or the start of the refusal
        QTest::newRow("ranges and one number") << " 1-120, 200 - 250,7"
                                               << "1-120 200-250 7-7";
        QTest::newRow("backwards") << "120-1"
                                   << "l'intervallo \"120-1\" va scritto";
        QTest::newRow("zero") << "0-4"
                              << "l'intervallo \"0-4\"";
        QTest::newRow("word") << "1-5,tutte"
                              << "\"tutte\" non è un numero";
        QTest::newRow("empty") << ""
                               << "manca un numero";
        QTest::newRow("double comma") << "1,,2"
                                      << "manca un numero";
    }

    void rangesAreRead() {
        QFETCH(QString, text);
        QFETCH(QString, read);
        QString error;
        const auto ranges = EveningStore::parseRanges(text, &error);
        QStringList shown;
        for (const auto &[first, last] : ranges.value_or(QList<std::pair<int, int>>{})) {
            shown << QStringLiteral("%1-%2").arg(first).arg(last);
        }
        QVERIFY2((ranges ? shown.join(u' ') : error).startsWith(read), qPrintable(error));
        QCOMPARE(bool(ranges), error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_EveningStore)
#include "tst_EveningStore.moc"
