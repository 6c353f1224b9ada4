#pragma once

#include "batch/BatchOptions.h"

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;
class QTextStream;

namespace velmora {

// The record of a game on velmora-pdf's command line: --verbale [--partita P] -o FILE.pdf and
// --partite. Their options, their reading and their answers live here.
class VerbaleCommands {
public:
    static QList<QCommandLineOption> options();
    // True when the command line asks for a record or the list of games.
    static bool asked(const QCommandLineParser &parser);
    static BatchParsed parse(const QCommandLineParser &parser);
    static QString helpText();

    // The list on out, one game a line, tab-separated, or the record written to its file;
    // what went wrong on err as one sentence. Never writes over the register, the archives of
    // the evening's runs or the settings file at settingsPath. The record is the register's
    // alone: no setting changes it.
    static int exec(const VerbaleQuery &query, const QString &settingsPath, QTextStream &out,
                    QTextStream &err, const QString &databasePath);
};

} // namespace velmora
