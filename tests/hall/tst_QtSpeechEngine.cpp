#include "hall/QtSpeechEngine.h"

#include "tests/support/TestFiles.h"

#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextToSpeech>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace velmora;

namespace {

// speech-dispatcher's own settings with the sound sent to libao, whose null driver plays
// nothing: a machine without a sound card still speaks to the end.
QByteArray silentDispatcherSettings() {
    return "LogLevel 3\n"
           "DefaultVolume 100\n"
           "AudioOutputMethod \"libao\"\n"
           "DefaultModule espeak-ng\n"
           "DefaultLanguage \"it\"\n";
}

} // namespace

// One real utterance through speech-dispatcher and espeak-ng's Italian voice. Everything the
// dispatcher reads and writes (settings, socket, pid file) is under the test's own folder, and
// the dispatcher it spawned is ended by its process id.
class QtSpeechEngineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void anItalianNumberIsSpokenToTheEnd();
    void cleanupTestCase();

private:
    QTemporaryDir m_home;
};

void QtSpeechEngineTest::initTestCase() {
    QVERIFY(m_home.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty() ||
        !QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))) {
        QSKIP("speech-dispatcher or Qt's speechd plugin is not installed (scripts/deps.sh run)");
    }
    const QString config = m_home.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/speech-dispatcher")));
    QVERIFY(testing::writeAll(config + QStringLiteral("/speech-dispatcher/speechd.conf"),
                              silentDispatcherSettings()));
    QVERIFY(testing::writeAll(m_home.filePath(QStringLiteral(".libao")), "default_driver=null\n"));
    const QString runtime = m_home.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("XDG_CACHE_HOME", m_home.filePath(QStringLiteral("cache")).toLocal8Bit());
}

void QtSpeechEngineTest::anItalianNumberIsSpokenToTheEnd() {
    const auto engine = std::make_unique<QtSpeechEngine>();
    if (!engine->unavailableReason().isEmpty()) {
        QSKIP(qPrintable(engine->unavailableReason()));
    }
    QTextToSpeech *speech = engine->speech();
    QCOMPARE(speech->locale().language(), QLocale::Italian);
    bool spoke = false;
    connect(speech, &QTextToSpeech::stateChanged, this, [&spoke](QTextToSpeech::State state) {
        spoke = spoke || state == QTextToSpeech::Speaking;
    });
    engine->say(QStringLiteral("settantasette"));
    QTRY_VERIFY_WITH_TIMEOUT(spoke, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(speech->state(), QTextToSpeech::Ready, 30000);
}

void QtSpeechEngineTest::cleanupTestCase() {
    if (!m_home.isValid()) {
        return;
    }
    QDirIterator pids(m_home.path(), {QStringLiteral("speech-dispatcher.pid")}, QDir::Files,
                      QDirIterator::Subdirectories);
    while (pids.hasNext()) {
        const qint64 pid = testing::readAll(pids.next()).trimmed().toLongLong();
        if (pid > 1) {
            ::kill(pid_t(pid), SIGTERM);
        }
    }
}

QTEST_GUILESS_MAIN(QtSpeechEngineTest)
#include "tst_QtSpeechEngine.moc"
