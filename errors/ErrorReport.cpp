#include "errors/ErrorReport.h"

#include <QDir>

namespace velmora {
namespace {

const QString crlf = QStringLiteral("\r\n");
// A failure outside any recording procedure has no entry to name.
const QString unknownProcedure = QStringLiteral("(sconosciuta)");
const QString unknownModule = QStringLiteral("(sconosciuto)");

QString joinPath(const QString &folder, const QString &name) {
    const QChar separator = QDir::separator();
    if (folder.isEmpty() || folder.endsWith(separator)) {
        return folder + name;
    }
    return folder + separator + name;
}

} // namespace

QString ErrorReport::version(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString ErrorReport::compose(const Failure &failure, std::span<const ErrCall> trail,
                             const ProgramInfo &program) {
    QString report =
        QStringLiteral("Errore n. %1: ").arg(failure.number) + failure.description + crlf;
    const bool known = !trail.empty();
    report += QStringLiteral("Procedura ") + (known ? trail.back().ProcName : unknownProcedure) +
              QStringLiteral(" nel modulo ") + (known ? trail.back().ModuleName : unknownModule);
    if (failure.line != 0) {
        report += crlf + QStringLiteral("alla riga %1").arg(failure.line);
    }
    report += crlf;
    if (trail.size() > 1) {
        report += crlf;
        // Nearest caller first, down to the outermost.
        for (std::size_t i = trail.size() - 1; i-- > 0;) {
            report += QStringLiteral("... chiamato da ") + trail[i].ModuleName + QLatin1Char('.') +
                      trail[i].ProcName + crlf;
        }
    }
    report += crlf + QStringLiteral("Programma: ") + joinPath(program.folder, program.title) +
              QStringLiteral(" (Ver. ") + version(program.major, program.minor, program.revision) +
              QLatin1Char(')');
    report += crlf + program.executablePath;
    return report;
}

} // namespace velmora
