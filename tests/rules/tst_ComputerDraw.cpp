#include "rules/ComputerDraw.h"
#include "rules/Game.h"

#include <QtTest>

using namespace velmora;

class ComputerDrawTest : public QObject {
    Q_OBJECT
private slots:
    void ninetyDrawsGiveEachNumberOnce();
    void eachDrawAsksTheSourceAmongTheNumbersLeft();
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

QTEST_GUILESS_MAIN(ComputerDrawTest)
#include "tst_ComputerDraw.moc"
