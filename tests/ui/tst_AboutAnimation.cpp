#include "ui/AboutAnimation.h"

#include <QtTest>
#include <deque>

using velmora::AboutAnimation;

namespace {
// Hands out the numbers it was given, in order, and notes any draw beyond them.
class ScriptedRandom : public velmora::RandomSource {
public:
    ScriptedRandom(std::initializer_list<double> numbers) : m_numbers(numbers) {}
    explicit ScriptedRandom(const QList<double> &numbers)
        : m_numbers(numbers.begin(), numbers.end()) {}
    double next() override {
        if (m_numbers.empty()) {
            ++overdrawn;
            return 0.0;
        }
        const double value = m_numbers.front();
        m_numbers.pop_front();
        return value;
    }
    bool used() const { return m_numbers.empty() && overdrawn == 0; }
    int overdrawn = 0;

private:
    std::deque<double> m_numbers;
};

AboutAnimation::Geometry okButton(int left, int top, double windowWidth, double windowHeight) {
    return {left, top, 585, 555, windowWidth, windowHeight};
}
} // namespace

class TestAboutAnimation : public QObject {
    Q_OBJECT
private slots:
    void roundingTakesHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("2.4") << 2.4 << 2;
        QTest::newRow("2.6") << 2.6 << 3;
    }
    void roundingTakesHalvesToEven() {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(AboutAnimation::roundHalfEven(value), rounded);
    }

    void modeIsDrawnFromOneRandomNumber_data() {
        QTest::addColumn<double>("random");
        QTest::addColumn<int>("mode");
        QTest::newRow("zero") << 0.0 << 1;
        QTest::newRow("just under a tenth") << 0.0999 << 1;
        QTest::newRow("a tenth: 1.5 goes to 2") << 0.1 << 2;
        QTest::newRow("a quarter") << 0.25 << 2;
        QTest::newRow("a half: 3.5 goes to 4") << 0.5 << 4;
        QTest::newRow("0.85") << 0.85 << 5;
        QTest::newRow("0.9: 5.5 goes to 6") << 0.9 << 6;
        QTest::newRow("almost one") << 0.9999 << 6;
    }
    void modeIsDrawnFromOneRandomNumber() {
        QFETCH(double, random);
        QFETCH(int, mode);
        ScriptedRandom source{random};
        QCOMPARE(int(AboutAnimation::drawMode(source)), mode);
        QVERIFY(source.used());
    }

    void shuttleStaysInItsBand() {
        AboutAnimation::State state;
        state.animMode = 1;
        state.toggleOrCounter = 7; // anything but 0 or -1 counts as 0
        AboutAnimation::Geometry ok = okButton(2205, 3375, 5100, 4600);
        ScriptedRandom none{};
        AboutAnimation::tick(state, ok, none);
        QCOMPARE(ok.left, 2145); // it starts going left
        int lowest = ok.left;
        int highest = ok.left;
        for (int i = 0; i < 3000; ++i) {
            AboutAnimation::tick(state, ok, none);
            QVERIFY2(ok.left >= 180 - 60 && ok.left <= 4350 + 60,
                     qPrintable(QString::number(ok.left)));
            lowest = std::min(lowest, ok.left);
            highest = std::max(highest, ok.left);
        }
        QCOMPARE(ok.top, 3375);
        QVERIFY(lowest <= 180);
        QVERIFY(highest >= 4350);
        QCOMPARE(none.overdrawn, 0);
    }

    void stepsFollowTheirRandomNumbers_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<QList<double>>("randoms");
        QTest::addColumn<int>("newLeft");
        QTest::addColumn<int>("newTop");
        // Jitter: steps of 1 and 61 around -30; nothing keeps it in the window.
        QTest::newRow("jitter") << 2 << 10 << 20 << QList<double>{0.0, 0.9999} << -19 << 51;
        // Bounce, first tick: left turns right with fresh steps of 46.
        QTest::newRow("bounce start")
            << 3 << 2205 << 1000 << QList<double>{0.5, 0.5} << 2251 << 1046;
        // Drift at the left edge: fresh steps of 91, so it creeps 1 right and 1 down.
        QTest::newRow("drift at edge") << 4 << 20 << 1000 << QList<double>{0.5, 0.5} << 21 << 1001;
        // Drift away from the edges with no steps yet: 90 up and 90 left.
        QTest::newRow("drift idle") << 4 << 2000 << 1000 << QList<double>{} << 1910 << 910;
        QTest::newRow("still") << 6 << 2205 << 3375 << QList<double>{} << 2205 << 3375;
        QTest::newRow("unknown mode") << 9 << 2205 << 3375 << QList<double>{} << 2205 << 3375;
    }
    void stepsFollowTheirRandomNumbers() {
        QFETCH(int, mode);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(QList<double>, randoms);
        QFETCH(int, newLeft);
        QFETCH(int, newTop);
        AboutAnimation::State state;
        AboutAnimation::Geometry ok = okButton(left, top, 5100, 4600);
        ScriptedRandom random(randoms);
        AboutAnimation::step(mode, state, ok, random);
        QCOMPARE(ok.left, newLeft);
        QCOMPARE(ok.top, newTop);
        QVERIFY(random.used()); // each mode draws exactly its own numbers
    }

    void jumpsStartAtOnceAndAgainAfterAWaitOfZero() {
        AboutAnimation::State state;
        state.animMode = 5;
        AboutAnimation::Geometry ok = okButton(2205, 3375, 5000, 3601);
        // First tick: counter 0 has reached wait 0. X = 0.5*5000-585-1, Y = 0.5*3601-555+1
        // = 1246.5, which rounds to the even 1246; the wait drawn is 0.
        ScriptedRandom first{0.5, 0.5, 0.0};
        AboutAnimation::tick(state, ok, first);
        QVERIFY(first.used());
        QCOMPARE(ok.left, 1914);
        QCOMPARE(ok.top, 1246);
        // A wait of 0: the next tick jumps again, and draws a wait of 10.
        ScriptedRandom second{0.25, 0.75, 0.5};
        AboutAnimation::tick(state, ok, second);
        QVERIFY(second.used());
        QCOMPARE(ok.left, 664);
        QCOMPARE(ok.top, 2147);
        // Now it waits: ten ticks hold the target without drawing anything.
        ScriptedRandom waiting{};
        for (int i = 0; i < 9; ++i) {
            AboutAnimation::tick(state, ok, waiting);
            QCOMPARE(ok.left, 664);
        }
        QCOMPARE(waiting.overdrawn, 0);
        ScriptedRandom third{0.0, 0.0, 0.0};
        AboutAnimation::tick(state, ok, third);
        QVERIFY(third.used());
        QCOMPARE(ok.left, -586);
    }

    void theSixHundredthTickClosesOnlyOnce() {
        AboutAnimation::State state;
        state.animMode = 6;
        state.ticks = 598;
        AboutAnimation::Geometry ok = okButton(2205, 3375, 5100, 4600);
        ScriptedRandom none{};
        QVERIFY(!AboutAnimation::tick(state, ok, none));
        QVERIFY(AboutAnimation::tick(state, ok, none));
        QCOMPARE(state.ticks, 600);
        QVERIFY(!AboutAnimation::tick(state, ok, none));
    }
};

QTEST_GUILESS_MAIN(TestAboutAnimation)
#include "tst_AboutAnimation.moc"
