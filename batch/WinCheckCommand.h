#pragma once

#include "batch/BatchOptions.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace velmora {

class CardArchive;

// velmora-pdf --vincite: the cards of a range (or of a printed run) that have a prize with the
// numbers drawn so far, one tab-separated line each: archive card, printed number, best prize,
// row ("-" for a tombola); with --in-gioco, the run.
class WinCheckCommand {
public:
    // Why the options of --vincite cannot be used (Italian), empty when they can. printing is
    // true when an option of printing (-o, --stampante, --orientamento) was given too.
    static QString refusal(const BatchOptions &options, bool printing);

    // Whether the cards come from the register's runs (--corsa, --in-gioco), each read from its
    // run's own archive, rather than from a range of the current one.
    static bool ofRegister(const BatchOptions &options);

    // A range of the archive. Exit status as BatchOptions says; messages on err.
    static int run(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                   QTextStream &err);
    // --corsa and --in-gioco: each run's cards from the archive it printed from, looked for
    // where it was and then in places (folders or archive files) when it moved. A run whose
    // archive is not found is said, none of its cards is read from another file, and the
    // status is exitFailed.
    static int runOfRegister(const BatchOptions &options, const QStringList &places,
                             QTextStream &out, QTextStream &err);

    // The lines of --help for these options.
    static QString helpText();

private:
    // --corsa: the cards the run put out.
    static int runOfRun(const BatchOptions &options, const QStringList &places, QTextStream &out,
                        QTextStream &err);
    // --in-gioco: the cards in play of the evening being held, each line ending with its run.
    static int runInPlay(const BatchOptions &options, const QStringList &places, QTextStream &out,
                         QTextStream &err);
};

} // namespace velmora
