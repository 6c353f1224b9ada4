#include "ui/QbStyle3.h"

#include <QtTest>

using velmora::QbStyle3;

namespace {
const QColor white(255, 255, 255);
const QColor dark(102, 103, 103);
const QColor pressedGrey(140, 141, 141);
const QColor valueGrey(171, 173, 173);
const QColor back(212, 208, 200);

QColor side(const QbStyle3::Frame &frame, int ring, int which) {
    const auto &entry =
        frame.at(static_cast<std::size_t>(ring)).at(static_cast<std::size_t>(which));
    return entry ? *entry : QColor();
}
} // namespace

class TestQbStyle3 : public QObject {
    Q_OBJECT
private slots:
    void shadingRaisesRedAndScaledGreenAndBlue_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("amount");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("pressed grey") << QColor(128, 128, 128) << 12 << pressedGrey;
        QTest::newRow("value grey") << pressedGrey << 31 << valueGrey;
        QTest::newRow("dark grey") << QColor(128, 128, 128) << -26 << dark;
        QTest::newRow("no amount still scales") << QColor(10, 200, 50) << 0 << QColor(10, 201, 50);
        QTest::newRow("clamped high") << QColor(250, 255, 254) << 10 << QColor(255, 255, 255);
        QTest::newRow("clamped low") << QColor(3, 0, 2) << -5 << QColor(0, 0, 0);
        QTest::newRow("white at zero") << QColor(255, 255, 255) << 0 << QColor(255, 255, 255);
    }
    void shadingRaisesRedAndScaledGreenAndBlue() {
        QFETCH(QColor, colour);
        QFETCH(int, amount);
        QFETCH(QColor, expected);
        QCOMPARE(QbStyle3::shade(colour, amount), expected);
    }

    void namedGreysComeFromTheShading() {
        QCOMPARE(QbStyle3::pressedGrey(), pressedGrey);
        QCOMPARE(QbStyle3::valueGrey(), valueGrey);
        QCOMPARE(QbStyle3::darkGrey(), dark);
    }

    void faceAndFrameFollowTheState_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("value");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<bool>("over");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("middleLight"); // top and left of the middle ring
        QTest::addColumn<QColor>("outer");       // invalid when the outer ring is left out
        QTest::addColumn<QColor>("innerTop");
        QTest::addColumn<QColor>("innerBottom");

        QTest::newRow("push at rest") << true << 0 << false << false << false << false << back
                                      << white << QColor() << dark << white;
        QTest::newRow("push pressed over it")
            << true << 0 << false << true << true << true << pressedGrey << pressedGrey << QColor()
            << dark << white;
        QTest::newRow("push pressed, pointer moved off")
            << true << 0 << false << true << false << true << back << white << QColor() << dark
            << white;
        QTest::newRow("push disabled") << false << 0 << false << false << false << false << back
                                       << back << back << dark << dark;
        QTest::newRow("toggle on") << true << 1 << true << false << false << false << valueGrey
                                   << valueGrey << QColor() << dark << white;
        QTest::newRow("toggle held down, off") << true << 1 << false << false << true << true
                                               << back << back << QColor() << dark << white;
        QTest::newRow("option disabled keeps its frame")
            << false << 2 << true << false << false << false << valueGrey << valueGrey << QColor()
            << dark << white;
        QTest::newRow("option off") << true << 2 << false << false << true << false << back << white
                                    << QColor() << dark << white;
    }
    void faceAndFrameFollowTheState() {
        QFETCH(bool, enabled);
        QFETCH(int, mode);
        QFETCH(bool, value);
        QFETCH(bool, pressed);
        QFETCH(bool, over);
        QFETCH(bool, held);
        QFETCH(QColor, face);
        QFETCH(QColor, middleLight);
        QFETCH(QColor, outer);
        QFETCH(QColor, innerTop);
        QFETCH(QColor, innerBottom);
        QbStyle3::State state{enabled, mode, value, pressed, over, held, back};
        QCOMPARE(QbStyle3::faceColour(state), face);
        const QbStyle3::Frame frame = QbStyle3::frame(state);
        for (int s : {QbStyle3::Top, QbStyle3::Left, QbStyle3::Bottom, QbStyle3::Right}) {
            QCOMPARE(side(frame, QbStyle3::Outer, s), outer);
        }
        QCOMPARE(side(frame, QbStyle3::Middle, QbStyle3::Top), middleLight);
        QCOMPARE(side(frame, QbStyle3::Middle, QbStyle3::Left), middleLight);
        const QColor middleShadow = enabled || mode != 0 ? dark : back;
        QCOMPARE(side(frame, QbStyle3::Middle, QbStyle3::Bottom), middleShadow);
        QCOMPARE(side(frame, QbStyle3::Middle, QbStyle3::Right), middleShadow);
        QCOMPARE(side(frame, QbStyle3::Inner, QbStyle3::Top), innerTop);
        QCOMPARE(side(frame, QbStyle3::Inner, QbStyle3::Left), innerTop);
        QCOMPARE(side(frame, QbStyle3::Inner, QbStyle3::Bottom), innerBottom);
        QCOMPARE(side(frame, QbStyle3::Inner, QbStyle3::Right), innerBottom);
    }
};

QTEST_GUILESS_MAIN(TestQbStyle3)
#include "tst_QbStyle3.moc"
