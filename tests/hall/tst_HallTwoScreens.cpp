#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "game/Tabellone.h"
#include "hall/HallBoard.h"
#include "settings/Configurazione.h"
#include "tests/support/RecordingPresenter.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;

namespace {

// An X server of the test's own on a free display, one X screen split by RandR monitors into a
// laptop's and a projector's, as a desktop with two outputs side by side shows them.
class TwoScreenServer {
public:
    // Why there are no two screens; empty when there are.
    QString start() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xrandr = QStandardPaths::findExecutable(QStringLiteral("xrandr"));
        if (xvfb.isEmpty() || xrandr.isEmpty()) {
            return QStringLiteral("Xvfb or xrandr is not installed (scripts/deps.sh test)");
        }
        // The server says the display it took on its standard output; it keeps the monitors set
        // when xrandr, its only client yet, leaves (without -noreset it would start afresh).
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                              QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("3286x1080x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp"), QStringLiteral("-noreset")});
        while (!m_server.canReadLine() && m_server.waitForReadyRead(30000)) {
        }
        const QByteArray number = m_server.readLine().trimmed();
        if (number.isEmpty()) {
            return QStringLiteral("Xvfb did not start: ") + m_server.readAllStandardError();
        }
        display = QLatin1Char(':') + QString::fromLatin1(number);
        for (const QStringList &monitor :
             {QStringList{QStringLiteral("LAPTOP"), QStringLiteral("1366/361x768/203+0+0"),
                          QStringLiteral("screen")},
              QStringList{QStringLiteral("PROJ"), QStringLiteral("1920/508x1080/286+1366+0"),
                          QStringLiteral("none")}}) {
            QProcess split;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), display);
            split.setProcessEnvironment(environment);
            split.start(xrandr, QStringList{QStringLiteral("--setmonitor")} + monitor);
            if (!split.waitForFinished(30000) || split.exitCode() != 0) {
                return QStringLiteral("xrandr --setmonitor failed: ") +
                       split.readAllStandardError();
            }
        }
        return {};
    }

    ~TwoScreenServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(30000);
        }
    }

    QString display;

private:
    QProcess m_server;
};

QString skipReason;

class NoRuns : public PrintedRunSource {
public:
    QList<PrintedRun> runs() const override { return {}; }
    QString sourceName() const override { return QStringLiteral("registro di prova"); }
};

} // namespace

class HallTwoScreensTest : public QObject {
    Q_OBJECT
private slots:
    void hallBoardOpensFullScreenOnTheSecondScreen();
};

void HallTwoScreensTest::hallBoardOpensFullScreenOnTheSecondScreen() {
    if (!skipReason.isEmpty()) {
        QSKIP(qPrintable(skipReason));
    }
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    QScreen *laptop = screens.at(0)->geometry().x() == 0 ? screens.at(0) : screens.at(1);
    QScreen *projector = laptop == screens.at(0) ? screens.at(1) : screens.at(0);
    QCOMPARE(laptop->geometry(), QRect(0, 0, 1366, 768));
    QCOMPARE(projector->geometry(), QRect(1366, 0, 1920, 1080));

    QTemporaryDir dir;
    RegisterDatabase database(dir.filePath(QStringLiteral("registro.sqlite")));
    GameStore store(database.connection());
    QVERIFY(store.restore());
    Configurazione settings;
    NoRuns runs;
    testing::RecordingPresenter presenter;
    Tabellone::Seams seams;
    seams.store = &store;
    seams.settings = &settings;
    seams.runs = &runs;
    seams.presenter = &presenter;
    Tabellone organiser(std::move(seams));
    organiser.setScreen(laptop);
    organiser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&organiser));

    QTest::mouseClick(organiser.findChild<QPushButton *>(QStringLiteral("cmdTabelloneSala")),
                      Qt::LeftButton);
    auto *board = organiser.findChild<HallBoard *>();
    QVERIFY(board);
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QVERIFY(board->isFullScreen());
    QCOMPARE(board->screen(), projector);
    QCOMPARE(board->geometry(), projector->geometry());
    QCOMPARE(organiser.screen(), laptop);
    QVERIFY(laptop->geometry().contains(organiser.geometry()));
}

// The X server comes first: Qt reads the screens when the application starts.
int main(int argc, char *argv[]) {
    TwoScreenServer server;
    skipReason = server.start();
    if (skipReason.isEmpty()) {
        qputenv("DISPLAY", server.display.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    HallTwoScreensTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HallTwoScreens.moc"
