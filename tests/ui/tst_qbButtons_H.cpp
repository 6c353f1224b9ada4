#include "errors/VelmoraError.h"
#include "ui/qbButtons_H.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using velmora::qbButtons_H;
using velmora::QbPicture;
using velmora::VelmoraError;

namespace {
QWidget *underPointer = nullptr;

QImage checkerImage(int edge) {
    QImage image(edge, edge, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = edge / 4; y < edge * 3 / 4; ++y) {
        for (int x = edge / 4; x < edge * 3 / 4; ++x) {
            image.setPixelColor(x, y, Qt::red);
        }
    }
    return image;
}
} // namespace

class TestQbButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window;

    qbButtons_H *addButton(QWidget *container, const QString &caption, QRect geometry) {
        auto *button = new qbButtons_H(container);
        button->setCaption(caption);
        button->setGeometry(geometry);
        button->show();
        return button;
    }

private slots:
    void initTestCase() {
        qbButtons_H::setPointerQuery([] { return underPointer; });
    }
    void init() {
        underPointer = nullptr;
        window = std::make_unique<QWidget>();
        window->resize(400, 300);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    void hoverRaisesEnterOnceAndExitAfterLeaving() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("Esci"), {10, 10, 80, 30});
        QSignalSpy over(button, &qbButtons_H::MouseOnButton);
        QSignalSpy moves(button, &qbButtons_H::MouseMove);
        underPointer = button;
        QTest::mouseMove(button, {20, 15});
        QTest::mouseMove(button, {30, 16});
        QTest::mouseMove(button, {40, 17});
        QCOMPARE(over.count(), 1);
        QCOMPARE(over.at(0).at(0).toBool(), true);
        QVERIFY(button->isHovering());
        QVERIFY(moves.count() >= 1);

        // The pointer goes to another window: no leave message reaches the button, the poll
        // notices it.
        QWidget elsewhere;
        underPointer = &elsewhere;
        QTRY_COMPARE(over.count(), 2);
        QCOMPARE(over.at(1).at(0).toBool(), false);
        QVERIFY(!button->isHovering());

        // Coming back raises the entry again.
        underPointer = button;
        QTest::mouseMove(button, {25, 15});
        QCOMPARE(over.count(), 3);
        QCOMPARE(over.at(2).at(0).toBool(), true);
    }

    void onlyTheLeftButtonClicks_data() {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("clicks");
        QTest::newRow("left") << Qt::LeftButton << 1 << 1;
        QTest::newRow("right") << Qt::RightButton << 2 << 0;
        QTest::newRow("middle") << Qt::MiddleButton << 4 << 0;
    }
    void onlyTheLeftButtonClicks() {
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(int, number);
        QFETCH(int, clicks);
        qbButtons_H *button = addButton(window.get(), QStringLiteral("?"), {10, 10, 80, 30});
        QSignalSpy down(button, &qbButtons_H::MouseDown);
        QSignalSpy up(button, &qbButtons_H::MouseUp);
        QSignalSpy click(button, &qbButtons_H::Click);
        QTest::mouseClick(button, mouseButton, Qt::ShiftModifier, {12, 8});
        QCOMPARE(down.count(), 1);
        QCOMPARE(up.count(), 1);
        const QList<QVariant> args = down.at(0);
        QCOMPARE(args.at(0).toInt(), number);
        QCOMPARE(args.at(1).toInt(), int(qbButtons_H::ShiftKey));
        QCOMPARE(args.at(2).toInt(), 12);
        QCOMPARE(args.at(3).toInt(), 8);
        QCOMPARE(click.count(), clicks);
        QVERIFY(!button->isPressed());
    }

    void releasingOffTheButtonClearsThePressWithoutClicking() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("Avanti"), {10, 10, 80, 30});
        QSignalSpy click(button, &qbButtons_H::Click);
        QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
        QVERIFY(button->isPressed());
        QTest::mouseRelease(button, Qt::LeftButton, {}, {200, 200});
        QVERIFY(!button->isPressed());
        QCOMPARE(click.count(), 0);
    }

    void doubleClickClicksTwice() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("Avanti"), {10, 10, 80, 30});
        QSignalSpy click(button, &qbButtons_H::Click);
        QSignalSpy doubled(button, &qbButtons_H::DoubleClick);
        QTest::mouseClick(button, Qt::LeftButton, {}, {10, 10});
        QTest::mouseDClick(button, Qt::LeftButton, {}, {10, 10});
        QTest::mouseRelease(button, Qt::LeftButton, {}, {10, 10});
        QCOMPARE(doubled.count(), 1);
        QCOMPARE(doubled.at(0).at(0).toInt(), 1);
        QCOMPARE(click.count(), 2);
    }

    void toggleFlipsItsValue() {
        qbButtons_H *button =
            addButton(window.get(), QStringLiteral("Grassetto"), {10, 10, 80, 30});
        button->setMode(qbButtons_H::ToggleButton);
        QSignalSpy click(button, &qbButtons_H::Click);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(button->Value());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!button->Value());
        QCOMPARE(click.count(), 2);
        button->setValue(true);
        button->setMode(qbButtons_H::PushButton);
        QVERIFY(!button->Value());
    }

    void optionsFormOneGroupPerContainer() {
        QWidget *other = new QWidget(window.get());
        other->setGeometry(200, 0, 200, 100);
        other->show();
        std::array<qbButtons_H *, 3> options{};
        for (int i = 0; i < 3; ++i) {
            options.at(i) = addButton(window.get(), QStringLiteral("Opzione %1").arg(i),
                                      {10, 10 + 40 * i, 80, 30});
            options.at(i)->setMode(qbButtons_H::OptionButton);
        }
        qbButtons_H *alone = addButton(other, QStringLiteral("Altra"), {10, 10, 80, 30});
        alone->setMode(qbButtons_H::OptionButton);
        alone->setValue(true);
        QCOMPARE(options[0]->optionGroup().size(), 3);

        QSignalSpy click1(options[1], &qbButtons_H::Click);
        QTest::mouseClick(options[1], Qt::LeftButton);
        QCOMPARE(click1.count(), 1);
        QVERIFY(options[1]->Value());

        // Clicking the option already chosen changes nothing and raises no Click.
        QTest::mouseClick(options[1], Qt::LeftButton);
        QCOMPARE(click1.count(), 1);
        QVERIFY(options[1]->Value());

        QSignalSpy click2(options[2], &qbButtons_H::Click);
        QTest::mouseClick(options[2], Qt::LeftButton);
        QCOMPARE(click2.count(), 1);
        QVERIFY(options[2]->Value());
        QVERIFY(!options[1]->Value());
        QVERIFY(!options[0]->Value());
        QVERIFY(alone->Value()); // another container is another group

        // Setting the value from code clears the others too; a member that leaves the mode
        // leaves the group.
        options[0]->setValue(true);
        QVERIFY(!options[2]->Value());
        options[0]->setMode(qbButtons_H::PushButton);
        QCOMPARE(options[1]->optionGroup().size(), 2);
        delete options[1];
        QCOMPARE(options[2]->optionGroup().size(), 1);
        options[2]->setValue(true);
        QVERIFY(options[2]->Value());
    }

    void arrowKeyUpSelectsAnOption() {
        qbButtons_H *a = addButton(window.get(), QStringLiteral("A"), {10, 10, 80, 30});
        qbButtons_H *b = addButton(window.get(), QStringLiteral("B"), {10, 50, 80, 30});
        a->setMode(qbButtons_H::OptionButton);
        b->setMode(qbButtons_H::OptionButton);
        a->setValue(true);
        QSignalSpy keyDown(b, &qbButtons_H::KeyDown);
        QTest::keyRelease(b, Qt::Key_Down);
        QVERIFY(b->Value());
        QVERIFY(!a->Value());
        QTest::keyPress(b, Qt::Key_Down);
        QCOMPARE(keyDown.count(), 0); // arrows go to the container, not to KeyDown
    }

    void spacePressAndReleaseActivates() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("Stampa"), {10, 10, 80, 30});
        button->setFocus();
        QSignalSpy click(button, &qbButtons_H::Click);
        QSignalSpy keyUp(button, &qbButtons_H::KeyUp);
        QTest::keyPress(button, Qt::Key_Space);
        QVERIFY(button->isPressed());
        QCOMPARE(click.count(), 0);
        // Holding the bar repeats the press; only the release activates, once.
        QTest::simulateEvent(button, true, Qt::Key_Space, {}, QStringLiteral(" "), true);
        QTest::keyRelease(button, Qt::Key_Space);
        QVERIFY(!button->isPressed());
        QCOMPARE(click.count(), 1);
        QCOMPARE(keyUp.count(), 1);
        // A release without a press (focus came mid-press) does nothing.
        QTest::keyRelease(button, Qt::Key_Space);
        QCOMPARE(click.count(), 1);
    }

    void accessKeyActivates_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("clicks");
        QTest::newRow("marked letter") << "&Avanti >" << int(Qt::Key_A) << 1;
        QTest::newRow("last marker wins") << "&File &Edit" << int(Qt::Key_E) << 1;
        QTest::newRow("earlier marker is not a key") << "&File &Edit" << int(Qt::Key_F) << 0;
        QTest::newRow("doubled ampersand marks nothing") << "A && B" << int(Qt::Key_B) << 0;
        QTest::newRow("literal then key") << "Tom && &Jerry" << int(Qt::Key_J) << 1;
    }
    void accessKeyActivates() {
        QFETCH(QString, caption);
        QFETCH(int, key);
        QFETCH(int, clicks);
        qbButtons_H *button = addButton(window.get(), caption, {10, 10, 80, 30});
        QSignalSpy click(button, &qbButtons_H::Click);
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), Qt::AltModifier);
        QCOMPARE(click.count(), clicks);
    }

    void enterAndEscapeReachDefaultAndCancelPushButtons() {
        qbButtons_H *ok = addButton(window.get(), QStringLiteral("OK"), {10, 10, 80, 30});
        qbButtons_H *stop = addButton(window.get(), QStringLiteral("Stop"), {10, 50, 80, 30});
        qbButtons_H *toggle = addButton(window.get(), QStringLiteral("T"), {10, 90, 80, 30});
        ok->setDefault(true);
        stop->setCancel(true);
        toggle->setMode(qbButtons_H::ToggleButton);
        toggle->setDefault(true);
        QSignalSpy okClick(ok, &qbButtons_H::Click);
        QSignalSpy stopClick(stop, &qbButtons_H::Click);
        QSignalSpy toggleClick(toggle, &qbButtons_H::Click);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCOMPARE(okClick.count(), 1);
        QCOMPARE(stopClick.count(), 1);
        QCOMPARE(toggleClick.count(), 0);
        ok->setEnabled(false);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QCOMPARE(okClick.count(), 1);
    }

    void hoverColoursFollowTheirPlainColoursUnlessLocked_data() {
        QTest::addColumn<int>("locks");
        QTest::addColumn<int>("gradientMode");
        QTest::addColumn<bool>("foreFollows");
        QTest::addColumn<bool>("backFollows");
        QTest::newRow("unlocked") << 0 << 0 << true << true;
        QTest::newRow("unlocked with a gradient") << 0 << 2 << true << true;
        QTest::newRow("face locked") << 1 << 0 << true << false;
        QTest::newRow("caption locked") << 2 << 0 << false << true;
        QTest::newRow("both locked") << 3 << 2 << false << false;
    }
    void hoverColoursFollowTheirPlainColoursUnlessLocked() {
        QFETCH(int, locks);
        QFETCH(int, gradientMode);
        QFETCH(bool, foreFollows);
        QFETCH(bool, backFollows);
        qbButtons_H *button = addButton(window.get(), QStringLiteral("Stampa"), {10, 10, 80, 30});
        const QColor gradient(70, 80, 90);
        const QColor hoverFore(1, 1, 1);
        const QColor hoverBack(2, 2, 2);
        button->setForeColor(QColor(10, 20, 30));
        button->setBackColor(QColor(40, 50, 60));
        button->setGradientColor(gradient);
        button->setGradientMode(gradientMode);
        button->setHoverForeColor(hoverFore);
        button->setHoverBackColor(hoverBack);

        // Setting the locks brings each unlocked hover colour back to its plain colour (the
        // gradient's end colour for a gradient face); a locked one keeps its own.
        button->setHoverColorLocks(locks);
        const auto hoverBackNow = [&](const QColor &back) {
            return backFollows ? (gradientMode != 0 ? gradient : back) : hoverBack;
        };
        QCOMPARE(button->HoverForeColor(), foreFollows ? button->ForeColor() : hoverFore);
        QCOMPARE(button->HoverBackColor(), hoverBackNow(button->BackColor()));

        // A plain colour changed afterwards carries along the hover colour that follows it.
        const QColor fore(100, 0, 0);
        const QColor back(0, 100, 0);
        button->setForeColor(fore);
        button->setBackColor(back);
        QCOMPARE(button->HoverForeColor(), foreFollows ? fore : hoverFore);
        QCOMPARE(button->HoverBackColor(), hoverBackNow(back));

        // Resetting gives every colour its system default, locked or not, and keeps the locks.
        button->ResetDefaultColors();
        const QPalette palette = QApplication::palette(button);
        QCOMPARE(button->ForeColor(), palette.color(QPalette::ButtonText));
        QCOMPARE(button->BackColor(), palette.color(QPalette::Button));
        QCOMPARE(button->GradientColor(), palette.color(QPalette::Button));
        QCOMPARE(button->HoverForeColor(), palette.color(QPalette::ButtonText));
        QCOMPARE(button->HoverBackColor(), button->BackColor());
        QCOMPARE(button->HoverColorLocks(), locks);
    }

    void propertyStoreRoundTripsAndLeavesDefaultsOut() {
        qbButtons_H *fresh = addButton(window.get(), QString(), {10, 10, 80, 30});
        QVariantMap bare = fresh->writeProperties();
        QStringList keys = bare.keys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"cback", "font", "mode", "value"}));

        qbButtons_H *source = addButton(window.get(), QStringLiteral("&Salva"), {10, 50, 80, 30});
        source->setButtonStyle(3);
        source->setCaptionAlign(0); // left: must not come back centred
        source->setCaptionStyle(1);
        source->setMode(qbButtons_H::ToggleButton);
        source->setValue(true);
        source->setBackColor(QColor(10, 20, 30));
        source->setForeColor(QColor(200, 0, 0));
        source->setHoverBackColor(QColor(1, 2, 3));
        source->setGradientMode(2);
        source->setPicture(QbPicture(checkerImage(16), QbPicture::Kind::Bitmap));
        source->setPictureSize(2);
        source->setShowFocusRect(false);
        source->setMousePointer(11);
        QFont font(QStringLiteral("Arial"), 12);
        font.setBold(true);
        source->setFont(font);
        const QVariantMap written = source->writeProperties();
        for (const QString &key : written.keys()) {
            QCOMPARE(key, key.toLower());
        }
        QCOMPARE(written.value("imgsize").toInt(), 32);
        QVERIFY(!written.contains("shape"));
        QVERIFY(!written.contains("enabled"));

        qbButtons_H *copy = addButton(window.get(), QString(), {10, 90, 80, 30});
        QCOMPARE(copy->readProperties(written), QStringList());
        QCOMPARE(copy->writeProperties(), written);
        QCOMPARE(copy->CaptionAlign(), 0);
        QCOMPARE(copy->Caption(), QStringLiteral("&Salva"));
        QVERIFY(copy->Value());
        QVERIFY(copy->font().bold());

        // Keys are matched without regard to case; absent keys take their documented values.
        qbButtons_H *mixed = addButton(window.get(), QStringLiteral("x"), {10, 130, 80, 30});
        mixed->setCaptionStyle(2);
        QCOMPARE(mixed->readProperties({{"BackStyle", 3}, {"Caption", "Esci"}}), QStringList());
        QCOMPARE(mixed->ButtonStyle(), 3);
        QCOMPARE(mixed->Caption(), QStringLiteral("Esci"));
        QCOMPARE(mixed->CaptionAlign(), 2);
        QCOMPARE(mixed->CaptionStyle(), 0);
        QCOMPARE(mixed->HoverBackColor(), mixed->BackColor());
    }

    void badStoredValuesAreReportedAndSkipped() {
        qbButtons_H *button = addButton(window.get(), QString(), {10, 10, 80, 30});
        button->setButtonStyle(3);
        const QStringList notices = button->readProperties({{"backstyle", 9},
                                                            {"mode", "push"},
                                                            {"value", true},
                                                            {"cfore", "verde"},
                                                            {"imgsize", 20}});
        QCOMPARE(notices.size(), 5);
        QVERIFY(notices.first().contains(QStringLiteral("backstyle")));
        QCOMPARE(button->ButtonStyle(), 3); // out of range: the old value stays
        QCOMPARE(button->Mode(), 0);
        QVERIFY(!button->Value());
    }

    void conflictingSettingsAreRefused() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("OK"), {10, 10, 80, 30});
        QVERIFY_THROWS_EXCEPTION(VelmoraError, button->setValue(true));
        QVERIFY(!button->Value());
        QVERIFY_THROWS_EXCEPTION(VelmoraError, button->setCustomClick(3));
        QCOMPARE(button->CustomClick(), 0);
        QVERIFY_THROWS_EXCEPTION(VelmoraError, button->setButtonShape(7)); // no picture yet
        QCOMPARE(button->ButtonShape(), 0);
        QVERIFY_THROWS_EXCEPTION(
            VelmoraError, button->setMouseIcon(QbPicture(checkerImage(16), QbPicture::Kind::Jpeg)));

        button->setPictureAlign(4);
        QCOMPARE(button->CaptionAlign(), 2);
        try {
            button->setCaptionAlign(0);
            QFAIL("a left caption under a centred picture was taken");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), 380);
            QVERIFY(error.description().contains(QStringLiteral("center aligned")));
        }
        QCOMPARE(button->CaptionAlign(), 2);

        button->setPicture(QbPicture(checkerImage(32), QbPicture::Kind::Bitmap));
        button->setButtonShape(8);
        QVERIFY_THROWS_EXCEPTION(VelmoraError, button->setPictureSize(3));
        // An icon cannot shape a button: the picture is taken and the outline becomes a rectangle.
        QVERIFY_THROWS_EXCEPTION(
            VelmoraError, button->setPicture(QbPicture(checkerImage(16), QbPicture::Kind::Icon)));
        QCOMPARE(button->ButtonShape(), 0);
        QCOMPARE(button->Picture().kind(), QbPicture::Kind::Icon);

        // Out-of-range values are ignored.
        button->setButtonStyle(3);
        button->setButtonStyle(8);
        button->setMode(-1);
        button->setGradientMode(5);
        QCOMPARE(button->ButtonStyle(), 3);
        QCOMPARE(button->Mode(), 0);
        QCOMPARE(button->GradientMode(), 0);
    }

    void styleThreeDrawsItsThreeFrames() {
        qbButtons_H *button = addButton(window.get(), QString(), {10, 10, 60, 30});
        button->setButtonStyle(3);
        const QColor back(0, 200, 0);
        button->setBackColor(back);
        const QColor dark(102, 103, 103);
        QImage image = button->grab().toImage();
        QCOMPARE(image.pixelColor(0, 15), back);               // outer ring left out
        QCOMPARE(image.pixelColor(30, 1), QColor(Qt::white));  // middle top
        QCOMPARE(image.pixelColor(30, 28), dark);              // middle bottom
        QCOMPARE(image.pixelColor(2, 15), dark);               // inner left
        QCOMPARE(image.pixelColor(57, 15), QColor(Qt::white)); // inner right
        QCOMPARE(image.pixelColor(30, 15), back);              // face

        underPointer = button;
        QTest::mousePress(button, Qt::LeftButton, {}, {30, 15});
        QTest::mouseMove(button, {31, 15});
        image = button->grab().toImage();
        QCOMPARE(image.pixelColor(30, 15), QColor(140, 141, 141));
        QCOMPARE(image.pixelColor(30, 1), QColor(140, 141, 141)); // the light side sinks
        QTest::mouseRelease(button, Qt::LeftButton, {}, {30, 15});

        button->setEnabled(false);
        image = button->grab().toImage();
        QCOMPARE(image.pixelColor(0, 15), back);
        QCOMPARE(image.pixelColor(30, 1), back);
        QCOMPARE(image.pixelColor(57, 15), dark);
    }

    void everyStyleAndShapePaints() {
        qbButtons_H *button = addButton(window.get(), QStringLiteral("&Prova"), {10, 10, 90, 40});
        button->setPicture(QbPicture(checkerImage(24), QbPicture::Kind::Bitmap));
        int painted = 0;
        for (int style = 0; style < 8; ++style) {
            for (int shape = 0; shape < 9; ++shape) {
                for (int align = 0; align < 6; ++align) {
                    button->setButtonStyle(style);
                    button->setButtonShape(shape);
                    button->setPictureAlign(align);
                    button->setGradientMode(style % 5);
                    button->setCaptionStyle(style % 3);
                    painted += button->grab().isNull() ? 0 : 1;
                }
            }
        }
        QCOMPARE(painted, 8 * 9 * 6);
        button->setButtonShape(2);
        QVERIFY(!button->mask().isEmpty());
        button->setButtonShape(0);
        QVERIFY(button->mask().isEmpty());
    }
};

QTEST_MAIN(TestQbButtons)
#include "tst_qbButtons_H.moc"
