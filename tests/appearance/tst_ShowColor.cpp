#include "appearance/ShowColor.h"

#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace velmora;

namespace {
// Answers the colour dialog once it is up, from the event loop it runs.
void answerDialog(std::function<void(QColorDialog *)> answer) {
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            answerDialog(answer);
            return;
        }
        answer(dialog);
    });
}
} // namespace

class TestShowColor : public QObject {
    Q_OBJECT
private slots:
    void confirmSetsTheTargetsTextColour();
    void cancelChangesNothing();
    void customColoursStartBlackAtEveryCall();
    void foreColorRoundTrips_data();
    void foreColorRoundTrips();
};

void TestShowColor::confirmSetsTheTargetsTextColour() {
    QWidget owner;
    QLabel target(QStringLiteral("Titolo"), &owner);
    SetForeColor(&target, 0x00FF00);
    bool solidOnly = false;
    QWidget *parent = nullptr;
    QColor start;
    answerDialog([&](QColorDialog *dialog) {
        solidOnly = !dialog->testOption(QColorDialog::ShowAlphaChannel);
        parent = dialog->parentWidget();
        start = dialog->currentColor();
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    QVERIFY(ShowColor(&owner, &target));
    QVERIFY(solidOnly);
    QCOMPARE(parent, &owner);
    QCOMPARE(start, QColor(Qt::black)); // the target's colour is not preselected
    QCOMPARE(ForeColor(&target), 0x1E140A);
    QCOMPARE(target.palette().color(QPalette::WindowText), QColor(10, 20, 30));
}

void TestShowColor::cancelChangesNothing() {
    QLabel target(QStringLiteral("Numero"));
    SetForeColor(&target, 0x0000FF);
    answerDialog([](QColorDialog *dialog) {
        dialog->setCurrentColor(QColor(200, 100, 50));
        dialog->reject();
    });
    QVERIFY(!ShowColor(nullptr, &target));
    QCOMPARE(ForeColor(&target), 0x0000FF);
}

void TestShowColor::customColoursStartBlackAtEveryCall() {
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, Qt::yellow); // left over from elsewhere
    }
    QLabel target(QStringLiteral("Griglia"));
    QList<QColor> seen;
    const auto recordAndDefine = [&](QColorDialog *dialog) {
        for (int i = 0; i < QColorDialog::customCount(); ++i) {
            seen.push_back(QColorDialog::customColor(i));
        }
        QColorDialog::setCustomColor(5, Qt::red); // the user defines a custom colour
        dialog->setCurrentColor(Qt::red);
        dialog->accept();
    };
    answerDialog(recordAndDefine);
    QVERIFY(ShowColor(nullptr, &target));
    answerDialog(recordAndDefine);
    QVERIFY(ShowColor(nullptr, &target));

    QCOMPARE(QColorDialog::customCount(), 16);
    QCOMPARE(seen.size(), 32);
    for (const QColor &color : seen) {
        QCOMPARE(color, QColor(Qt::black));
    }
}

void TestShowColor::foreColorRoundTrips_data() {
    QTest::addColumn<qint32>("bgr");
    QTest::addColumn<QColor>("color");
    QTest::newRow("red is the low byte") << qint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << qint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("white") << qint32(0xFFFFFF) << QColor(255, 255, 255);
}

void TestShowColor::foreColorRoundTrips() {
    QFETCH(qint32, bgr);
    QFETCH(QColor, color);
    QLabel label;
    SetForeColor(&label, bgr);
    QCOMPARE(label.palette().color(QPalette::WindowText), color);
    QCOMPARE(ForeColor(&label), bgr);
}

QTEST_MAIN(TestShowColor)
#include "tst_ShowColor.moc"
