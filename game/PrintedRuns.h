#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace velmora {

// One printing of a stretch of the archive, as far as the check of a claimed card needs it.
struct PrintedRun {
    QString label;        // how the user knows the run ("Corsa 3 del 7/12, 14:05")
    qint64 firstCard = 1; // first archive card printed
    qint64 count = 0;     // cards printed
    bool archiveNumbering = false;
    bool otherArchive = false; // printed from an archive other than the current one
};

// A printed card found: which run, which archive card.
struct PrintedMatch {
    int run = -1; // index into the list searched
    qint64 archiveCard = 0;
};

// Where the runs of the evening come from: the print register, or, without one, the range set
// on the print page.
class PrintedRunSource {
public:
    virtual ~PrintedRunSource() = default;
    virtual QList<PrintedRun> runs() const = 0;
    // What the window says when no run printed a number: where it looked.
    virtual QString sourceName() const = 0;
};

// The archive cards printed with a number, one per run that printed it. Under archive
// numbering the printed number is the card's archive number, which is its record number in
// the archives this program uses; numbered from 1, card n of a run is its first card + n - 1.
QList<PrintedMatch> findPrinted(const QList<PrintedRun> &runs, qint64 printedNumber);

} // namespace velmora
