#include "common/Twips.h"
#include "ui/AbuotForm.h"
#include "ui/qbButtons_H.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <deque>

using velmora::AboutAnimation;
using velmora::AbuotForm;
using velmora::qbButtons_H;

namespace {
class ScriptedRandom : public velmora::RandomSource {
public:
    ScriptedRandom(std::initializer_list<double> numbers) : m_numbers(numbers) {}
    double next() override {
        if (m_numbers.empty()) {
            return 0.0;
        }
        const double value = m_numbers.front();
        m_numbers.pop_front();
        return value;
    }

private:
    std::deque<double> m_numbers;
};

struct Mail {
    QString address;
    QString subject;
    int count = 0;
};
} // namespace

class TestAbuotForm : public QObject {
    Q_OBJECT

    QWidget mainWindow;
    Mail mail;
    int centred = 0;

    AbuotForm::Seams seams(std::initializer_list<double> randoms) {
        AbuotForm::Seams s;
        s.versionText = QStringLiteral("1.00.00");
        s.mainWindow = &mainWindow;
        s.sendMail = [this](const QString &address, const QString &subject) {
            mail.address = address;
            mail.subject = subject;
            ++mail.count;
        };
        s.centre = [this](QWidget *) { ++centred; };
        s.random = std::make_shared<ScriptedRandom>(randoms);
        return s;
    }

private slots:
    void initTestCase() { velmora::Twips::overrideTwipsPerPixel(15); }
    void init() {
        AbuotForm::animationState() = {};
        mainWindow.setEnabled(false);
        mail = {};
        centred = 0;
    }

    void loadShowsVersionDrawsTheModeAndCentres() {
        AbuotForm form(seams({0.9}));
        QCOMPARE(form.findChild<QLabel *>("lbVersion")->text(), QStringLiteral("v. 1.00.00"));
        QCOMPARE(form.findChild<QLabel *>("Label4")->text(), QStringLiteral("2018"));
        QCOMPARE(form.findChild<QLabel *>("Label2")->text(), QStringLiteral("by"));
        QCOMPARE(AbuotForm::animationState().animMode, qint16(6));
        QCOMPARE(centred, 1);
        QVERIFY(form.isAnimating());
        auto *ok = form.findChild<qbButtons_H *>("Ok");
        QCOMPARE(ok->Caption(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(147, 225, 39, 37));
        QVERIFY(ok->font().bold());
        QVERIFY(form.rect().contains(ok->geometry()));
        // The contact lines are shown whole.
        auto *contact = form.findChild<QLabel *>("Label1");
        const QStringList lines = contact->text().split(u'\n');
        QCOMPARE(lines.size(), 3);
        for (const QString &line : lines) {
            QVERIFY2(contact->fontMetrics().horizontalAdvance(line) <=
                         contact->contentsRect().width(),
                     qPrintable(line));
        }
        QVERIFY(contact->fontMetrics().lineSpacing() * 3 <= contact->contentsRect().height());
    }

    void mailLinkTurnsRedAndSendsWithTheTitle() {
        AbuotForm form(seams({0.0}));
        form.show();
        auto *link = form.findChild<QLabel *>("Label3");
        auto *contact = form.findChild<QLabel *>("Label1");
        QTest::mouseMove(link, {5, 5});
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QTest::mouseMove(contact, {5, 5});
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseMove(link, {5, 5});
        QTest::mouseMove(&form, {2, 2});
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::white));

        QTest::mouseClick(link, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(mail.count, 1);
        QCOMPARE(mail.address, link->text());
        QVERIFY(mail.address.contains(u'@'));
        QCOMPARE(mail.subject, QStringLiteral("Velmora 2018"));
    }

    void okClosesAndEnablesTheMainWindow_data() {
        QTest::addColumn<bool>("byScreenReader"); // its press action, else the mouse
        QTest::newRow("mouse") << false;
        QTest::newRow("screen reader") << true;
    }
    void okClosesAndEnablesTheMainWindow() {
        QFETCH(bool, byScreenReader);
        AbuotForm form(seams({0.9}));
        form.show();
        auto *ok = form.findChild<qbButtons_H *>("Ok");
        if (byScreenReader) {
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(ok);
            QVERIFY(button && button->actionInterface());
            QCOMPARE(button->role(), QAccessible::PushButton);
            QCOMPARE(button->text(QAccessible::Name), QStringLiteral("OK"));
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(mainWindow.isEnabled());
        QVERIFY(!form.isAnimating());
    }

    void theSixHundredthTickOfTheRunClosesTheWindow() {
        AbuotForm::animationState().ticks = 597;
        AbuotForm form(seams({0.9}));
        form.show();
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(AbuotForm::animationState().ticks, qint64(600));
        QVERIFY(mainWindow.isEnabled());

        // The count is kept: a later opening stays open past its own ticks.
        mainWindow.setEnabled(false);
        AbuotForm again(seams({0.9}));
        again.show();
        for (int i = 0; i < 700; ++i) {
            again.tick();
        }
        QVERIFY(again.isVisible());
        QVERIFY(!mainWindow.isEnabled());
    }

    void okMovesByTheModeOfTheOpeningAndTheStateIsKept() {
        AbuotForm shuttle(seams({0.0}));
        QCOMPARE(AbuotForm::animationState().animMode, qint16(1));
        shuttle.tick();
        QCOMPARE(shuttle.okPosition(), QPoint(2145, 3375));
        QCOMPARE(shuttle.findChild<qbButtons_H *>("Ok")->pos(), QPoint(143, 225));
        AbuotForm::animationState().toggleOrCounter = -1; // as if it had turned at the left
        shuttle.close();

        // The next opening draws a new mode but keeps the rest: back in shuttle mode, OK starts
        // from its place again and goes on to the right.
        AbuotForm next(seams({0.05}));
        next.tick();
        QCOMPARE(next.okPosition(), QPoint(2265, 3375));
        QCOMPARE(AbuotForm::animationState().ticks, qint64(2));
    }
};

QTEST_MAIN(TestAbuotForm)
#include "tst_AbuotForm.moc"
