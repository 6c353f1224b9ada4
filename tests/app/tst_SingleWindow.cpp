#include "app/SingleWindow.h"
#include "batch/BatchRun.h"
#include "evening/RegisterDatabase.h"
#include "tests/support/BatchExec.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;

// The program started twice on one register: the second start brings the first window forward
// and opens nothing, and velmora-pdf's commands that write wait for the register.
class TestSingleWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_config; // the programs' settings, never the user's

    void start(QProcess &velmora) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        velmora.setProcessEnvironment(environment);
        velmora.start(QStringLiteral(VELMORA_BINARY_DIR "/velmora"), {});
        QVERIFY(velmora.waitForStarted());
    }
    static bool listening() {
        QLocalSocket probe;
        probe.connectToServer(SingleWindow::serverName(RegisterDatabase::defaultPath()));
        return probe.waitForConnected(1000);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("velmora")); }

    void secondStartOpensNothingAndSaysSo() {
        QProcess first;
        start(first);
        QTRY_VERIFY_WITH_TIMEOUT(listening(), 60000);
        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitCode(), 0);
        const QString said = QString::fromUtf8(second.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Velmora è già aperto: il registro delle stampe")) &&
                     said.contains(QStringLiteral("portata in primo piano")),
                 qPrintable(said));
        QCOMPARE(first.state(), QProcess::Running);

        QString out, err;
        QCOMPARE(execBatch(QStringLiteral("--vendute 1-6 --corsa 1"), out, err,
                           [](BatchRun &run) { run.setRegisterWait(0); }),
                 BatchOptions::exitFailed);
        QVERIFY2(err.contains(QStringLiteral("è in uso da Velmora (processo %1): non è stato "
                                             "scritto nulla")
                                  .arg(first.processId())),
                 qPrintable(err));
        QVERIFY(!QFile::exists(RegisterDatabase::defaultPath())); // none of them opened it
        first.kill();
        QVERIFY(first.waitForFinished());
    }

    void laterStartBringsTheWindowForward() {
        QWidget window;
        window.showMinimized();
        SingleWindow single(RegisterDatabase::defaultPath());
        single.setWindow(&window);
        QCOMPARE(single.claim(), SingleWindow::Claim::Ours);
        QProcess later;
        start(later);
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 60000);
        QCOMPARE(later.exitCode(), 0);
        QVERIFY(!(window.windowState() & Qt::WindowMinimized));
    }
};

QTEST_MAIN(TestSingleWindow)
#include "tst_SingleWindow.moc"
