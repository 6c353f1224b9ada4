#pragma once

#include "register/ArchiveFingerprint.h"
#include "register/CardTrace.h"
#include "register/RunRecord.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

// One printing of a stretch of the archive, as the check of a claimed card needs it. Which
// cards it put out, and the number printed on each, is CardTrace's answer for the record.
struct PrintedRun {
    RunRecord record;
    QString label;             // how the user knows the run ("corsa 3 del 7/12/2026 14:05")
    bool otherArchive = false; // printed from an archive other than the current one

    // The runs of the register that put out at least one card, in the order given, each
    // compared with the current archive (nullopt: none is found, so every run is of another).
    static QList<PrintedRun> fromRegister(const QList<RunRecord> &runs,
                                          const std::optional<ArchiveFingerprint> &current);
    // The range set on the print page, taken as printed; nothing for an empty range.
    static std::optional<PrintedRun> fromPrintPage(qint64 firstCard, qint64 count,
                                                   bool archiveNumbering);

    friend bool operator==(const PrintedRun &, const PrintedRun &) = default;
};

// A printed card found: which run, which archive card.
struct PrintedMatch {
    int run = -1; // index into the list searched
    int archiveCard = 0;
};

// Where the runs of the evening come from: the print register, or, without one, the range set
// on the print page.
class PrintedRunSource {
public:
    virtual ~PrintedRunSource() = default;
    // Throws VelmoraError (Italian) when the register cannot be read: that is never "no runs".
    virtual QList<PrintedRun> runs() const = 0;
    // What the window says when no run printed a number: where it looked.
    virtual QString sourceName() const = 0;
};

// The archive cards printed with a number, one per run that printed it, in the order of runs;
// stored reads the number a card's record stores, for archives whose numbers are not their
// places (without it, record N is taken to store N).
QList<PrintedMatch> findPrinted(const QList<PrintedRun> &runs, qint64 printedNumber,
                                const StoredNumber &stored = {});

} // namespace velmora
