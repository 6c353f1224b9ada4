#pragma once

#include "batch/BatchOptions.h"

#include <QString>

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

    // Exit status as BatchOptions says; messages on err.
    static int run(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                   QTextStream &err);

    // The lines of --help for these options.
    static QString helpText();

private:
    // --in-gioco: the cards in play of the current evening, each line ending with its run.
    static int runInPlay(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                         QTextStream &err);
};

} // namespace velmora
