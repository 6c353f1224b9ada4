#pragma once

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextToSpeech>

#include <algorithm>
#include <csignal>

namespace velmora::testing {

// A speech-dispatcher of the test's own: its settings, socket, pid file and log under a
// temporary folder that HOME and the XDG folders point to, so the next speech engine made
// spawns it there. Its sound goes to libao's null driver, which plays nothing yet lets every
// utterance end, or to a device that does not exist, which it cannot open. Ended by its pid.
class PrivateSpeechService {
public:
    enum class Audio { Null, Failing };

    ~PrivateSpeechService() { stop(); }

    // Why a test of the real voice cannot run here; empty when it can.
    static QString missing() {
        return QStandardPaths::findExecutable(QStringLiteral("speech-dispatcher")).isEmpty() ||
                       !QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))
                   ? QStringLiteral("speech-dispatcher or Qt's speechd plugin is not installed "
                                    "(scripts/deps.sh run)")
                   : QString();
    }

    // Settings for the service the next engine spawns; false when they could not be written.
    bool configure(Audio audio) {
        if (!m_home.isValid()) {
            return false;
        }
        const QString config = m_home.filePath(QStringLiteral("config/speech-dispatcher"));
        const QString runtime = m_home.filePath(QStringLiteral("run"));
        const QByteArray output =
            audio == Audio::Null ? QByteArray("AudioOutputMethod \"libao\"\n")
                                 : "AudioOutputMethod \"oss\"\nAudioOSSDevice \"" +
                                       m_home.filePath("no-such-device").toLocal8Bit() + "\"\n";
        if (!QDir().mkpath(config) || !QDir().mkpath(runtime) ||
            !writeAll(config + QStringLiteral("/speechd.conf"),
                      "LogLevel 3\nDefaultVolume 100\nDefaultModule espeak-ng\n"
                      "DefaultLanguage \"it\"\n" +
                          output) ||
            !writeAll(m_home.filePath(QStringLiteral(".libao")), "default_driver=null\n")) {
            return false;
        }
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        qputenv("XDG_CACHE_HOME", m_home.filePath(QStringLiteral("cache")).toLocal8Bit());
        return true;
    }

    // Whether a service was spawned here (since the last stop()) and runs.
    bool running() const {
        QDirIterator pids(m_home.path(), {QStringLiteral("speech-dispatcher.pid")}, QDir::Files,
                          QDirIterator::Subdirectories);
        while (pids.hasNext()) {
            const qint64 pid = readAll(pids.next()).trimmed().toLongLong();
            if (pid > 1 && ::kill(pid_t(pid), 0) == 0) {
                return true;
            }
        }
        return false;
    }

    // Ends the service spawned, as a restart of the speech service would, and waits for it to
    // be gone; true when none is left. One that lost its sound does not answer SIGTERM.
    bool stop() {
        if (!m_home.isValid()) {
            return true;
        }
        QList<pid_t> running;
        QDirIterator pids(m_home.path(), {QStringLiteral("speech-dispatcher.pid")}, QDir::Files,
                          QDirIterator::Subdirectories);
        while (pids.hasNext()) {
            const QString file = pids.next();
            const qint64 pid = readAll(file).trimmed().toLongLong();
            QFile::remove(file);
            if (pid > 1 && ::kill(pid_t(pid), SIGTERM) == 0) {
                running.append(pid_t(pid));
            }
        }
        const auto gone = [&running] {
            return std::all_of(running.cbegin(), running.cend(),
                               [](pid_t pid) { return ::kill(pid, 0) != 0; });
        };
        if (QTest::qWaitFor(gone, 5000)) {
            return true;
        }
        for (const pid_t pid : running) {
            ::kill(pid, SIGKILL);
        }
        return QTest::qWaitFor(gone, 30000);
    }

private:
    QTemporaryDir m_home;
};

} // namespace velmora::testing
