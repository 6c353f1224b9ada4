#include "hall/HallBoard.h"
#include "hall/HallState.h"
#include "tests/support/HallAwards.h"

#include <QAccessible>
#include <QLabel>
#include <QtTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <cmath>

using namespace velmora;

namespace {

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double luminance(const QColor &colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor &a, const QColor &b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// A game well on: 40 numbers, the last 77.
QList<int> fortyNumbers() {
    QList<int> numbers;
    for (int number = 1; number <= 39; ++number) {
        numbers.append(number * 2);
    }
    numbers.append(77);
    return numbers;
}

// Where a widget's painting differs from its background, in its own coordinates.
QRect paintedPart(QWidget *widget) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = widget->palette().color(QPalette::Window).rgb();
    QRect painted;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != background) {
                painted |= QRect(x, y, 1, 1);
            }
        }
    }
    return painted;
}

QStringList heardNames;

void hear(QAccessibleEvent *event) {
    if (event->type() == QAccessible::NameChanged && event->accessibleInterface()) {
        heardNames.append(event->accessibleInterface()->text(QAccessible::Name));
    }
}

QString accessibleName(QWidget *widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class HallBoardTest : public QObject {
    Q_OBJECT
private slots:
    void everythingFitsAndStandsOut_data();
    void everythingFitsAndStandsOut();
    void aNewNumberIsToldToTheScreenReader();
    void escapeLeavesFullScreenAndClosingOnlyHides();
};

void HallBoardTest::everythingFitsAndStandsOut_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("projector 1024x768") << QSize(1024, 768);
    QTest::newRow("laptop 1366x768") << QSize(1366, 768);
    QTest::newRow("full HD 1920x1080") << QSize(1920, 1080);
    QTest::newRow("television 3840x2160") << QSize(3840, 2160);
}

void HallBoardTest::everythingFitsAndStandsOut() {
    QFETCH(QSize, screen);
    HallBoard board;
    board.show(HallState::of(
        1, fortyNumbers(), QStringLiteral("Si gioca: Cinquina (un cesto di prodotti)"),
        {testing::awardOf(QStringLiteral("Quaterna"),
                          {QStringLiteral("1234"), QStringLiteral("5678")}, 40)}));
    board.resize(screen);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QCOMPARE(board.size(), screen);

    const QList<QLabel *> labels = board.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 95); // 90 numbers, last, previous, count, prize, banner: nothing else
    auto *last = board.findChild<QLabel *>(QStringLiteral("hallLast"));
    for (const QLabel *label : labels) {
        const QFontMetrics metrics(label->font());
        if (label == last) {
            continue; // its digits are measured as painted, below
        }
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width() &&
                     metrics.height() <= label->contentsRect().height(),
                 qPrintable(label->objectName() + QLatin1String(" cut: ") + label->text()));
        QVERIFY2(board.rect().contains(label->geometry()), qPrintable(label->objectName()));
        for (const QLabel *other : labels) {
            QVERIFY2(
                other == label || !label->geometry().intersects(other->geometry()),
                qPrintable(label->objectName() + QLatin1String(" over ") + other->objectName()));
        }
    }
    QCOMPARE(last->text(), QStringLiteral("77"));
    // The digits as painted: about two fifths of the height, and whole (clear of the edges).
    const QRect digits = paintedPart(last);
    QVERIFY2(digits.height() >= screen.height() * 35 / 100 &&
                 last->rect().adjusted(1, 1, -1, -1).contains(digits),
             qPrintable(QStringLiteral("%1 in %2x%3")
                            .arg(digits.height())
                            .arg(last->width())
                            .arg(last->height())));
    QCOMPARE(board.findChild<QLabel *>(QStringLiteral("hallPrevious"))->text(),
             QStringLiteral("Precedenti: 78  76  74  72  70"));
    QCOMPARE(board.findChild<QLabel *>(QStringLiteral("hallCount"))->text(),
             QStringLiteral("Numeri estratti: 40"));
    QCOMPARE(board.findChild<QLabel *>(QStringLiteral("hallBanner"))->text(),
             QStringLiteral("Quaterna: cartelle N. 1234, N. 5678"));

    const auto *drawn = board.findChild<QLabel *>(QStringLiteral("hallNumber(77)"));
    const QPalette colours = drawn->palette();
    QVERIFY(drawn->autoFillBackground());
    QVERIFY(contrast(colours.color(QPalette::WindowText), colours.color(QPalette::Window)) >= 7.0);
    const auto *waiting = board.findChild<QLabel *>(QStringLiteral("hallNumber(1)"));
    QVERIFY(waiting->palette().color(QPalette::Window) != colours.color(QPalette::Window));
}

// The last number's name changes with each number, and the banner's with each award, with one
// event for the screen reader; the banner goes with the next number. Qt sends events only while
// the platform's accessibility is on, as it is when a screen reader listens; the offscreen
// platform has it off, so the test turns it on, as Qt's own tests do.
void HallBoardTest::aNewNumberIsToldToTheScreenReader() {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QVERIFY(QAccessible::isActive());
    HallBoard board;
    board.show();
    auto *last = board.findChild<QLabel *>(QStringLiteral("hallLast"));
    auto *banner = board.findChild<QLabel *>(QStringLiteral("hallBanner"));
    heardNames.clear();
    QAccessible::installUpdateHandler(hear);
    const QList<HallAward> ambo{
        testing::awardOf(QStringLiteral("Ambo"), {QStringLiteral("123")}, 2)};
    board.show(HallState::of(1, {8}, QString(), {}));
    QCOMPARE(accessibleName(last), QStringLiteral("Ultimo numero estratto: 8"));
    board.show(HallState::of(1, {8, 90}, QStringLiteral("Si gioca: Terno"), ambo));
    // The same number and award again, with another prize being played: not told again.
    board.show(HallState::of(1, {8, 90}, QStringLiteral("Si gioca: Terno (10 euro)"), ambo));
    QCOMPARE(accessibleName(last), QStringLiteral("Ultimo numero estratto: 90"));
    QCOMPARE(banner->text(), QStringLiteral("Ambo: cartella N. 123"));
    board.show(HallState::of(1, {8, 90, 3}, QStringLiteral("Si gioca: Terno"), ambo));
    QAccessible::installUpdateHandler(nullptr);
    QCOMPARE(banner->text(), QString());
    QCOMPARE(heardNames.filter(QStringLiteral("Ultimo")),
             QStringList({QStringLiteral("Ultimo numero estratto: 8"),
                          QStringLiteral("Ultimo numero estratto: 90"),
                          QStringLiteral("Ultimo numero estratto: 3")}));
    QCOMPARE(heardNames.filter(QStringLiteral("Ambo")),
             QStringList({QStringLiteral("Ambo: cartella N. 123")}));
}

void HallBoardTest::escapeLeavesFullScreenAndClosingOnlyHides() {
    QWidget organiser;
    organiser.show();
    auto *board = new HallBoard(&organiser);
    board->openOn(HallBoard::defaultScreen(organiser.screen()));
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QVERIFY(board->isFullScreen());
    QTest::keyClick(board, Qt::Key_Escape);
    QVERIFY(!board->isFullScreen());
    QTest::keyClick(board, Qt::Key_F11);
    QVERIFY(board->isFullScreen());
    QTest::keyClick(board, Qt::Key_F11);
    QVERIFY(!board->isFullScreen());
    board->close();
    QVERIFY(!board->isVisible());
    QVERIFY(organiser.findChild<HallBoard *>() == board); // kept, to be opened again
}

QTEST_MAIN(HallBoardTest)
#include "tst_HallBoard.moc"
