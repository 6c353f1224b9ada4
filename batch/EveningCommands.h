#pragma once

#include "batch/BatchOptions.h"

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;
class QTextStream;

namespace velmora {

// The evening on velmora-pdf's command line: --serate, --vendute "1-120,200-250" --corsa R
// [--prezzo EURO], and --in-gioco for --vincite. Their options, their reading and their
// answers live here.
class EveningCommands {
public:
    static QList<QCommandLineOption> options();
    // True when the command line asks for the evenings or sells cards.
    static bool asked(const QCommandLineParser &parser);
    static BatchParsed parse(const QCommandLineParser &parser);
    static QString helpText();

    // Answers on out, one line each, tab-separated; exit status as BatchOptions says.
    static int exec(const EveningQuery &query, QTextStream &out, QTextStream &err,
                    const QString &databasePath);
};

} // namespace velmora
