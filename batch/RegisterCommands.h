#pragma once

#include "batch/BatchOptions.h"
#include "register/RunRecord.h"

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;
class QTextStream;

namespace velmora {

// The print register on velmora-pdf's command line: --registro, --trova N [--corsa R],
// --numero-archivio A. Their options, their reading and their answers live here; the
// program's option parser and run only hand over to them.
class RegisterCommands {
public:
    static QList<QCommandLineOption> options();
    // True when the command line asks the register something.
    static bool asked(const QCommandLineParser &parser);
    // Reads the query; a usage error (a bad number, printing options beside it) says why.
    static BatchParsed parse(const QCommandLineParser &parser);
    static QString helpText();

    // Answers on out, one line each, tab-separated. Returns the exit status: 1 when the
    // register cannot be read or nothing matches a search.
    static int exec(const RegisterQuery &query, QTextStream &out, QTextStream &err,
                    const QString &databasePath);

    // One run as a line of --registro (without the line end), in the order helpText() gives.
    static QString listLine(const RunRecord &run);
};

} // namespace velmora
