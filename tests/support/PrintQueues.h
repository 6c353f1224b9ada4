#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The CUPS scheduler of the machine as the print tests use it: its command-line tools, and
// queues of a test's own, so that no test depends on a queue another one adds or removes.
namespace velmora::testing {

struct ToolOutcome {
    bool ok = false;
    QString output; // standard output and error together
};

// Runs a CUPS tool (lpstat, lpadmin, cupsdisable, ...) to its end, waiting up to two minutes:
// the spooler may be slow to answer while it converts a job.
inline ToolOutcome runTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            QString::fromLocal8Bit(process.readAll())};
}

inline bool schedulerRunning() {
    return runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")})
        .output.contains(QLatin1String("scheduler is running"));
}

// A queue made for one test and removed, with its jobs, when the object goes. Its jobs go
// through the cups-pdf backend of the queue `into` (cups-pdf:/NAME reads that queue's settings).
class OwnQueue {
public:
    OwnQueue(const QString &name, const QString &into) : m_name(name) {
        const ToolOutcome made =
            runTool(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                     QStringLiteral("cups-pdf:/") + into, QStringLiteral("-P"),
                     QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")});
        m_made = made.ok;
        m_error = made.output.trimmed();
    }
    ~OwnQueue() {
        if (m_made) {
            runTool(QStringLiteral("cancel"), {QStringLiteral("-a"), m_name});
            runTool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), m_name});
        }
    }
    OwnQueue(const OwnQueue &) = delete;
    OwnQueue &operator=(const OwnQueue &) = delete;

    const QString &name() const { return m_name; }
    bool made() const { return m_made; }
    // What lpadmin said when the queue could not be made.
    const QString &error() const { return m_error; }

private:
    QString m_name;
    bool m_made = false;
    QString m_error;
};

} // namespace velmora::testing
