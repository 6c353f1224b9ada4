#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "game/Tabellone.h"
#include "hall/HallBoard.h"
#include "hall/SpeechEngine.h"
#include "settings/Configurazione.h"
#include "tests/support/FreePort.h"
#include "tests/support/HttpProbe.h"
#include "tests/support/RecordingPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
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

class Silent : public SpeechEngine {
public:
    QString unavailableReason() const override { return {}; }
    void say(const QString &) override {}
};

// The program's evening on a register file: its database, the game restored from it and the
// Tabellone on the laptop's screen, as a start of the program makes them.
struct Evening {
    Evening(const QString &path, QScreen *laptop) : database(path), store(database.connection()) {
        QVERIFY(store.restore());
        Tabellone::Seams seams;
        seams.store = &store;
        seams.settings = &settings;
        seams.runs = &runs;
        seams.presenter = &presenter;
        seams.speech = &speech;
        window = std::make_unique<Tabellone>(std::move(seams));
        window->setScreen(laptop);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    template <typename T> T *child(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }

    RegisterDatabase database;
    GameStore store;
    Configurazione settings;
    NoRuns runs;
    testing::RecordingPresenter presenter;
    Silent speech;
    std::unique_ptr<Tabellone> window;
};

} // namespace

class HallTwoScreensTest : public QObject {
    Q_OBJECT
private slots:
    void hallBoardOpensFullScreenOnTheSecondScreen();
    void hallComesBackAfterARestart_data();
    void hallComesBackAfterARestart();
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

void HallTwoScreensTest::hallComesBackAfterARestart_data() {
    QTest::addColumn<int>("hallScreen"); // as the program lists them
    QTest::newRow("on the second screen") << 1;
    QTest::newRow("on the first screen") << 0;
}

// The program ends with a game under way, the hall's board open on the screen chosen for it, the
// phones' board on a port of the organiser's and the voice on; at the next start one notice
// offers it all back, and "Riprendi" brings it.
void HallTwoScreensTest::hallComesBackAfterARestart() {
    if (!skipReason.isEmpty()) {
        QSKIP(qPrintable(skipReason));
    }
    QFETCH(int, hallScreen);
    QScreen *laptop = QGuiApplication::primaryScreen();
    QScreen *hall = QGuiApplication::screens().at(hallScreen);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
    const quint16 port = testing::freePort();
    {
        Evening before(path, laptop);
        for (const char *number : {"12", "34"}) {
            QTest::keyClicks(before.child<QLineEdit>("txtNumero"), QLatin1String(number));
            QTest::keyClick(before.child<QLineEdit>("txtNumero"), Qt::Key_Return);
        }
        auto *screens = before.child<QComboBox>("cboSchermoSala");
        screens->setFocus();
        QTest::keyClick(screens, hallScreen == 0 ? Qt::Key_Home : Qt::Key_End);
        before.child<QSpinBox>("spnPorta")->setValue(port);
        before.child<QCheckBox>("chkTelefoni")->click();
        before.child<QCheckBox>("chkAnnuncia")->click();
        before.child<QPushButton>("cmdTabelloneSala")->click();
        QVERIFY(QTest::qWaitForWindowExposed(before.window->findChild<HallBoard *>()));
        QVERIFY(!before.child<QWidget>("fraRiprendi")->isVisible());
    } // the program ends with all of it on

    Evening after(path, laptop);
    QVERIFY(!after.window->findChild<HallBoard *>());
    QVERIFY(!after.child<QCheckBox>("chkTelefoni")->isChecked());
    QVERIFY(!after.child<QCheckBox>("chkAnnuncia")->isChecked());
    QVERIFY(after.child<QWidget>("fraRiprendi")->isVisible());
    QCOMPARE(after.child<QLabel>("lblRiprendi")->text(),
             QStringLiteral("Una partita era in corso quando il programma si è chiuso. Riprendi "
                            "la sala com'era: il tabellone per la sala sullo schermo %1, il "
                            "tabellone sui telefoni sulla porta %2 e l'annuncio dei numeri.")
                 .arg(hall->name())
                 .arg(port));
    QVERIFY(after.child<QLabel>("lblAvviso")
                ->text()
                .startsWith(
                    QStringLiteral("Partita in corso ripresa dal registro: 2 numeri estratti")));

    after.child<QPushButton>("cmdRiprendi")->click();
    auto *board = after.window->findChild<HallBoard *>();
    QVERIFY(board);
    QVERIFY(QTest::qWaitForWindowExposed(board));
    QVERIFY(board->isFullScreen());
    QCOMPARE(board->screen(), hall);
    QCOMPARE(board->geometry(), hall->geometry());
    QVERIFY(after.child<QCheckBox>("chkAnnuncia")->isChecked());
    QVERIFY(!after.child<QWidget>("fraRiprendi")->isVisible());
    testing::HttpProbe phone(port, "GET", "/eventi");
    QVERIFY(phone.waitFor("\"numeri\":[12,34]"));
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
