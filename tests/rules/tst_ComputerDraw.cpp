#include "rules/ComputerDraw.h"
#include "rules/Game.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>

using namespace velmora;

class ComputerDrawTest : public QObject {
    Q_OBJECT
private slots:
    void ninetyDrawsGiveEachNumberOnce();
    void eachDrawAsksTheSourceAmongTheNumbersLeft();
    void eachNumberIsAsLikelyAtEachPlace();
};

void ComputerDrawTest::ninetyDrawsGiveEachNumberOnce() {
    const ComputerDraw draw; // the system's source
    Game game;
    for (int i = 0; i < 90; ++i) {
        const int number = draw.next(game);
        QVERIFY2(game.draw(number), qPrintable(QString::number(number))); // in 1..90, new
    }
    QCOMPARE(game.count(), 90);
    QCOMPARE(draw.next(game), 0);
}

void ComputerDrawTest::eachDrawAsksTheSourceAmongTheNumbersLeft() {
    QList<int> bounds;
    // Always the last of those left: the draw follows the source, not a seed of its own.
    const ComputerDraw draw([&bounds](int bound) {
        bounds.append(bound);
        return bound - 1;
    });
    Game game;
    game.draw(90);
    QCOMPARE(draw.next(game), 89);
    game.draw(89);
    QCOMPARE(draw.next(game), 88);
    QCOMPARE(bounds, QList<int>({89, 88}));
}

// Whole games through the system source's own pick, from a seeded generator so the figures never
// change: at each of the 90 places each number comes out about as often as any other. A draw
// that holds back one number (the highest left, say) shows at once.
void ComputerDrawTest::eachNumberIsAsLikelyAtEachPlace() {
    constexpr int games = 2700;
    constexpr double expected = games / 90.0;
    QRandomGenerator generator(20261207);
    const ComputerDraw draw(ComputerDraw::from(generator));
    std::array<std::array<int, 90>, 90> seen{}; // [place][number - 1]
    for (int g = 0; g < games; ++g) {
        Game game;
        for (int place = 0; place < 90; ++place) {
            const int number = draw.next(game);
            QVERIFY(game.draw(number));
            ++seen[place][number - 1];
        }
    }
    double total = 0;
    for (int place = 0; place < 90; ++place) {
        double chiSquare = 0;
        for (const int count : seen[place]) {
            chiSquare += (count - expected) * (count - expected) / expected;
        }
        // 89 degrees of freedom: above 160 happens about once in 100,000 fair places.
        QVERIFY2(chiSquare < 160,
                 qPrintable(QStringLiteral("place %1: %2").arg(place + 1).arg(chiSquare)));
        total += chiSquare;
    }
    // 8010 degrees of freedom over all places: mean 8010, standard deviation about 127.
    QVERIFY2(total < 8010 + 4 * 127, qPrintable(QString::number(total)));
}

QTEST_GUILESS_MAIN(ComputerDrawTest)
#include "tst_ComputerDraw.moc"
