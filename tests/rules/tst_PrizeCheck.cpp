#include "print/SeriesGenerator.h"
#include "rules/Game.h"
#include "rules/PrizeCheck.h"

#include <QtTest>

#include <algorithm>
#include <numeric>
#include <random>

using namespace velmora;

namespace {

// Three rows of five, each number in the column of its tens.
const std::array<QList<int>, 3> handRows{{
    {3, 14, 27, 41, 58},
    {19, 33, 46, 65, 80},
    {8, 29, 51, 72, 88},
}};

RecordCartella handCard() {
    RecordCartella record;
    for (int row = 0; row < RecordCartella::rows; ++row) {
        for (const int number : handRows.at(row)) {
            const int column = std::min(number / 10, RecordCartella::columns - 1);
            record.setCellNumber(RecordCartella::cellIndex(column, row), number);
        }
    }
    record.setNumeroArchivio(QStringLiteral("00042"));
    return record;
}

NumberSet setOf(const QList<int> &numbers) {
    NumberSet set;
    for (const int number : numbers) {
        set.insert(number);
    }
    return set;
}

} // namespace

class TestPrizeCheck : public QObject {
    Q_OBJECT
private slots:
    void handBuiltCard_data();
    void handBuiltCard();
    void generatedSeriesAllMakeTombola();
    void parseList_data();
    void parseList();
    void gameRules();
};

void TestPrizeCheck::handBuiltCard_data() {
    QTest::addColumn<QList<int>>("drawn");
    QTest::addColumn<int>("best");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QList<int>>("made");

    QTest::newRow("nothing") << QList<int>{1, 2, 90} << int(Premio::Nessuno)
                             << "Nessun premio: nessun numero estratto sulla cartella"
                             << QList<int>{};
    QTest::newRow("one a row, first wins")
        << QList<int>{80, 3, 88} << int(Premio::Nessuno)
        << "Nessun premio: al massimo 1 numero sulla prima riga" << QList<int>{3};
    QTest::newRow("one on the third")
        << QList<int>{72} << int(Premio::Nessuno)
        << "Nessun premio: al massimo 1 numero sulla terza riga" << QList<int>{72};
    // Every prize on every row, with one number of each other row drawn as well.
    const QStringList prizes{"Ambo", "Terno", "Quaterna", "Cinquina"};
    const QStringList rows{"prima", "seconda", "terza"};
    for (int row = 0; row < 3; ++row) {
        for (int hits = 2; hits <= 5; ++hits) {
            QList<int> made = handRows.at(row).first(hits);
            QList<int> drawn = made;
            for (int other = 0; other < 3; ++other) {
                if (other != row) {
                    drawn.append(handRows.at(other).last());
                }
            }
            std::sort(made.begin(), made.end());
            QTest::addRow("%s on row %d", qPrintable(prizes.at(hits - 2)), row)
                << drawn << hits
                << QStringLiteral("%1 sulla %2 riga").arg(prizes.at(hits - 2), rows.at(row))
                << made;
        }
    }
    QTest::newRow("tie goes to the upper row") << QList<int>{33, 46, 51, 72} << int(Premio::Ambo)
                                               << "Ambo sulla seconda riga" << QList<int>{33, 46};
    QList<int> all = handRows[0] + handRows[1] + handRows[2];
    QList<int> sorted = all;
    std::sort(sorted.begin(), sorted.end());
    QTest::newRow("tombola") << (all + QList<int>{1, 2}) << int(Premio::Tombola) << "Tombola!"
                             << sorted;
    QList<int> allButOne = all;
    allButOne.removeOne(88);
    QTest::newRow("fourteen is two cinquine")
        << allButOne << int(Premio::Cinquina) << "Cinquina sulla prima riga"
        << QList<int>{3, 14, 27, 41, 58};
}

void TestPrizeCheck::handBuiltCard() {
    QFETCH(QList<int>, drawn);
    QFETCH(int, best);
    QFETCH(QString, words);
    QFETCH(QList<int>, made);
    const CardRows card = CardRows::of(handCard());
    const CheckResult result = PrizeCheck::check(card, setOf(drawn));
    QCOMPARE(int(result.best), best);
    QCOMPARE(PrizeCheck::describe(result), words);
    QCOMPARE(result.numbers, made);
    QCOMPARE(PrizeCheck::best(card, setOf(drawn)), result.best);
}

void TestPrizeCheck::generatedSeriesAllMakeTombola() {
    // Each number is on exactly one card of a series: a tombola comes with the last number of
    // a card, and after all 90 every card has one.
    SeriesGenerator generator(2026);
    const auto series = generator.nextSeries();
    std::array<CardRows, SeriesGenerator::seriesLength> cards;
    std::transform(series.begin(), series.end(), cards.begin(), CardRows::of);
    QList<int> order(90);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));

    Game game;
    std::array<int, SeriesGenerator::seriesLength> drawnOnCard{};
    for (const int number : order) {
        QVERIFY(game.draw(number));
        int owners = 0;
        for (std::size_t c = 0; c < cards.size(); ++c) {
            if (cards[c].all().contains(number)) {
                ++owners;
                ++drawnOnCard[c];
            }
            const bool full = drawnOnCard[c] == 15;
            QCOMPARE(PrizeCheck::best(cards[c], game.drawn()) == Premio::Tombola, full);
        }
        QCOMPARE(owners, 1);
    }
    for (const CardRows &card : cards) {
        QCOMPARE(PrizeCheck::check(card, game.drawn()).numbers.size(), 15);
    }
}

void TestPrizeCheck::parseList_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("numbers"); // empty with a non-empty reason: refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("list") << " 90, 1 ,45" << QList<int>{90, 1, 45} << "";
    QTest::newRow("empty") << "  " << QList<int>{} << "";
    QTest::newRow("leading zeros") << "08,015, 090" << QList<int>{8, 15, 90} << "";
    QTest::newRow("zero") << "1,0" << QList<int>{} << "0 non è tra 1 e 90";
    QTest::newRow("91") << "91" << QList<int>{} << "91 non è tra 1 e 90";
    QTest::newRow("repeat") << "5,6,5" << QList<int>{} << "5 compare due volte";
    QTest::newRow("text") << "5,sei" << QList<int>{} << "\"sei\" non è un numero";
    QTest::newRow("hole") << "5,,6" << QList<int>{} << "\"\" non è un numero";
}

void TestPrizeCheck::parseList() {
    QFETCH(QString, text);
    QFETCH(QList<int>, numbers);
    QFETCH(QString, reason);
    QString error;
    const std::optional<Game> game = Game::parse(text, &error);
    QCOMPARE(game.has_value(), reason.isEmpty());
    if (game) {
        QCOMPARE(game->numbers(), numbers);
    } else {
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
}

void TestPrizeCheck::gameRules() {
    Game game;
    QVERIFY(game.draw(7) && game.draw(90) && game.draw(33));
    QVERIFY(!game.draw(7));
    QVERIFY(!game.draw(91));
    QVERIFY(game.remove(90));
    QCOMPARE(game.numbers(), (QList<int>{7, 33}));
    QCOMPARE(game.undo(), 33);
    QCOMPARE(game.last(), 7);
    QVERIFY(!game.isDrawn(33) && !game.isDrawn(90));
    QCOMPARE(game.undo(), 7);
    QCOMPARE(game.undo(), 0);
}

QTEST_GUILESS_MAIN(TestPrizeCheck)
#include "tst_PrizeCheck.moc"
