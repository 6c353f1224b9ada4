#include "common/Twips.h"
#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/MsgErrorPresenter.h"
#include "errors/RecordingProcedure.h"
#include "errors/VelmoraError.h"
#include "errors/frmMsgError.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QUrlQuery>
#include <QtTest>
#include <functional>

using namespace velmora;

namespace {

const QString shortReport = QStringLiteral("Errore n. 6: Overflow");

QString multiLineReport() {
    return QStringLiteral("Errore n. 53: File non trovato\r\n"
                          "Procedura StampaCartella nel modulo RIDODUR\r\n"
                          "alla riga 2\r\n\r\n"
                          "Programma: /opt/velmora/Velmora 2018 (Ver. 1.00.0000)\r\n"
                          "/opt/velmora/velmora & co #1 è");
}

// Two thirds of the screen width, in twips.
double screenLimit() {
    return Twips::fromPixels(QGuiApplication::primaryScreen()->geometry().width()) / 1.5;
}

QPushButton *button(QWidget *window, int index) {
    return window->findChild<QPushButton *>(QStringLiteral("cmdResponse(%1)").arg(index));
}

// Runs check on the error window once it is open and modal, then ends it with finish.
void whenOpen(std::function<void(frmMsgError *)> check) {
    QTimer::singleShot(0, qApp, [check] {
        auto *window = qobject_cast<frmMsgError *>(QApplication::activeModalWidget());
        QVERIFY(window != nullptr);
        check(window);
    });
}

class MailCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

class TestFrmMsgError : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Twips::overrideTwipsPerPixel(15); }
    void cleanupTestCase() { Twips::overrideTwipsPerPixel(0); }

    void hasTheDesignedControls() {
        frmMsgError window;
        QCOMPARE(window.objectName(), QStringLiteral("frmMsgError"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Velmora 2018"));
        for (const char *name :
             {"picExclamation", "picCritical", "txtErrorMessage", "picSendMail"}) {
            QVERIFY2(window.findChild<QWidget *>(QString::fromLatin1(name)), name);
        }
        const QStringList texts{"Label1:Si è verificato il seguente errore:", "lblSend:&Send",
                                "lblCopy:&Copy"};
        for (const QString &pair : texts) {
            const QString name = pair.section(QLatin1Char(':'), 0, 0);
            auto *label = window.findChild<QLabel *>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), pair.section(QLatin1Char(':'), 1));
        }
        QCOMPARE(button(&window, 0)->text(), QStringLiteral("&Termina"));
        QCOMPARE(button(&window, 1)->text(), QStringLiteral("&Riprova"));
        QCOMPARE(button(&window, 2)->text(), QStringLiteral("&Ignora"));
        QCOMPARE(
            window.findChild<QLabel *>(QStringLiteral("lblSend"))->parentWidget()->objectName(),
            QStringLiteral("picSendMail"));
    }

    void sizesItselfToTheReport_data() {
        // Widths in twips of the widest line; each row names the rule it must take.
        QTest::addColumn<int>("lines");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("capHeight");
        QTest::addColumn<QString>("widthRule");
        QTest::newRow("one short line") << 1 << 1500.0 << false << "designed";
        QTest::newRow("several lines, still narrow") << 6 << 3000.0 << false << "designed";
        QTest::newRow("taller than two thirds of the screen width")
            << 400 << 1500.0 << true << "designed";
        QTest::newRow("wider than the designed box") << 3 << 6000.0 << false << "grown";
        QTest::newRow("wider than two thirds of the screen") << 3 << 30000.0 << false << "capped";
        QTest::newRow("tall and wide") << 400 << 30000.0 << true << "capped";
    }
    void sizesItselfToTheReport() {
        QFETCH(int, lines);
        QFETCH(double, width);
        QFETCH(bool, capHeight);
        QFETCH(QString, widthRule);
        frmMsgError window;
        const QFontMetrics metrics(window.font());
        QString row;
        while (Twips::fromPixels(metrics.horizontalAdvance(row)) < width) {
            row += QLatin1Char('W');
        }
        const QStringList rows(lines, row);
        window.LoadReport(rows.join(QStringLiteral("\r\n")));

        const double textHeight = Twips::fromPixels(lines * metrics.height());
        const double textWidth = Twips::fromPixels(metrics.horizontalAdvance(row));
        const double limit = screenLimit();
        QCOMPARE(textHeight >= limit, capHeight);
        QCOMPARE(textWidth <= 3855   ? "designed"
                 : textWidth < limit ? "grown"
                                     : "capped",
                 widthRule);
        auto *box = window.findChild<QPlainTextEdit *>(QStringLiteral("txtErrorMessage"));
        const QRect outer = window.frameGeometry();

        if (!capHeight) {
            QCOMPARE(outer.height(), Twips::toPixels(textHeight + 1700));
            QCOMPARE(box->height(), Twips::toPixels(textHeight + 475));
        } else {
            QCOMPARE(outer.height(), Twips::toPixels(limit));
            QCOMPARE(box->height(), Twips::toPixels(limit - 1000));
        }
        if (widthRule == QLatin1String("designed")) {
            QCOMPARE(outer.width(), Twips::toPixels(5070));
            QCOMPARE(box->width(), Twips::toPixels(3855));
        } else if (widthRule == QLatin1String("grown")) {
            // The box is as wide as its widest line with the box's own margins around it.
            QVERIFY(qAbs(outer.width() - box->width() - Twips::toPixels(1335)) <= 1);
        } else {
            QCOMPARE(outer.width(), Twips::toPixels(limit));
            QCOMPARE(box->width(), Twips::toPixels(limit - 1335));
        }
        QCOMPARE(box->pos(), Twips::point(840, 600));
        QCOMPARE(box->toPlainText().split(QLatin1Char('\n')), rows);

        // Centred on the screen, within a pixel of rounding.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(outer.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(outer.center().y() - screen.center().y()) <= 1);

        // Buttons 905 above the bottom, 60 apart, centred on "&Riprova".
        const int top = outer.height() - Twips::toPixels(905);
        QVERIFY(qAbs(button(&window, 1)->y() - top) <= 1);
        QCOMPARE(button(&window, 0)->y(), button(&window, 1)->y());
        QCOMPARE(button(&window, 2)->y(), button(&window, 1)->y());
        const int gap = Twips::toPixels(60);
        QCOMPARE(button(&window, 1)->x() - button(&window, 0)->geometry().right() - 1, gap);
        QCOMPARE(button(&window, 2)->x() - button(&window, 1)->geometry().right() - 1, gap);
        QVERIFY(qAbs(button(&window, 1)->geometry().center().x() - window.width() / 2) <= 1);
        // The send/copy links follow the right edge.
        auto *links = window.findChild<QWidget *>(QStringLiteral("picSendMail"));
        QVERIFY(qAbs(window.width() - links->geometry().right() - 1 - Twips::toPixels(50)) <= 1);

        // Shown, the report box needs no sideways scrolling unless the width was capped.
        window.show();
        QCoreApplication::processEvents();
        QCOMPARE(box->horizontalScrollBar()->maximum() > 0, widthRule == QLatin1String("capped"));
        // Once its frame is known the window is sized with it and centred again.
        const QRect framed = window.frameGeometry();
        QCOMPARE(framed.height(), outer.height());
        QVERIFY(qAbs(framed.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(framed.center().y() - screen.center().y()) <= 1);
    }

    void eachButtonGivesItsAnswer_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("answer");
        QTest::newRow("Termina") << 0 << IDABORT;
        QTest::newRow("Riprova") << 1 << IDRETRY;
        QTest::newRow("Ignora") << 2 << IDIGNORE;
        QTest::newRow("closed without an answer") << -1 << NoAnswer;
    }
    void eachButtonGivesItsAnswer() {
        QFETCH(int, index);
        QFETCH(int, answer);
        frmMsgError window;
        bool topMostWhileOpen = false;
        QWidget *focused = nullptr;
        whenOpen([&](frmMsgError *open) {
            topMostWhileOpen = open->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            focused = open->focusWidget();
            if (index < 0) {
                open->close();
            } else {
                QTest::mouseClick(button(open, index), Qt::LeftButton);
            }
        });
        QCOMPARE(window.ShowReport(multiLineReport()), answer);
        QCOMPARE(window.ErrResponse(), answer);
        QVERIFY(topMostWhileOpen);
        QCOMPARE(focused, button(&window, 1));
        QVERIFY(!window.isVisible());
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void anAnswerDoesNotCarryOverToTheNextShowing() {
        frmMsgError window;
        whenOpen([](frmMsgError *open) { QTest::mouseClick(button(open, 2), Qt::LeftButton); });
        QCOMPARE(window.ShowReport(shortReport), IDIGNORE);
        bool topMostAgain = false;
        whenOpen([&](frmMsgError *open) {
            topMostAgain = open->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            open->reject();
        });
        QCOMPARE(window.ShowReport(shortReport), NoAnswer);
        QVERIFY(topMostAgain);
    }

    void copyPutsTheExactReportOnTheClipboard() {
        frmMsgError window;
        QGuiApplication::clipboard()->setText(QStringLiteral("prima"));
        window.LoadReport(multiLineReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.findChild<QWidget *>(QStringLiteral("lblCopy")), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), multiLineReport());
        // The access key of "&Copy" does the same.
        QGuiApplication::clipboard()->setText(QStringLiteral("prima"));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), multiLineReport());
    }

    void sendHandsTheReportToTheMailClient() {
        MailCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        frmMsgError window;
        window.LoadReport(multiLineReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *send = window.findChild<QWidget *>(QStringLiteral("lblSend"));
        QTest::mouseClick(send, Qt::LeftButton);
        send->setFocus();
        QTest::keyClick(send, Qt::Key_Space);
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(catcher.opened.size(), 2);
        QCOMPARE(QUrlQuery(catcher.opened.first())
                     .queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 multiLineReport());
        QVERIFY(window.isVisible());
    }

    void linksTurnRedUnderThePointer() {
        frmMsgError window;
        window.LoadReport(shortReport);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *send = window.findChild<QLabel *>(QStringLiteral("lblSend"));
        auto *copy = window.findChild<QLabel *>(QStringLiteral("lblCopy"));
        auto *links = window.findChild<QWidget *>(QStringLiteral("picSendMail"));
        const QColor red(255, 0, 0);
        const QColor normal = window.palette().color(QPalette::ButtonText);
        QVERIFY(normal != red);

        QTest::mouseMove(send, send->rect().center());
        QCOMPARE(send->palette().color(QPalette::WindowText), red);
        QTest::mouseMove(copy, copy->rect().center());
        QCOMPARE(copy->palette().color(QPalette::WindowText), red);
        // Leaving a link keeps it red until the pointer crosses the free area.
        QCOMPARE(send->palette().color(QPalette::WindowText), red);
        QTest::mouseMove(links, QPoint(2, links->height() - 2));
        QCOMPARE(send->palette().color(QPalette::WindowText), normal);
        QCOMPARE(copy->palette().color(QPalette::WindowText), normal);
    }

    void focusOnTheReportSelectsAllOfIt() {
        frmMsgError window;
        window.LoadReport(multiLineReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *box = window.findChild<QPlainTextEdit *>(QStringLiteral("txtErrorMessage"));
        box->setFocus(Qt::TabFocusReason);
        QCOMPARE(box->textCursor().selectedText().size(), box->toPlainText().size());
    }

    void theInstalledWindowAnswersTheStepRunner() {
        MsgErrorPresenter presenter;
        ErrorPresenter *previous = ErrorPresenter::install(&presenter);
        QString shown;
        int attempts = 0;
        whenOpen([&](frmMsgError *open) {
            shown = open->reportText();
            QTest::mouseClick(button(open, 1), Qt::LeftButton);
        });
        RecordingProcedure::run(QStringLiteral("RIDODUR"), QStringLiteral("StampaCartella"), 2,
                                [&](int line) {
                                    if (line == 2 && attempts++ == 0) {
                                        throw VelmoraError(VelmoraError::TypeMismatch);
                                    }
                                });
        ErrorPresenter::install(previous);
        QCOMPARE(attempts, 2);
        QVERIFY(shown.startsWith(QStringLiteral("Errore n. 13: Tipo non corrispondente\r\n"
                                                "Procedura StampaCartella nel modulo RIDODUR\r\n"
                                                "alla riga 2\r\n")));
        QCOMPARE(CallTrail::count(), 0);
    }
};

QTEST_MAIN(TestFrmMsgError)
#include "tst_frmMsgError.moc"
