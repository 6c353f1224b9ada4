#pragma once

#include "rules/PrintedRuns.h"
#include "rules/PrizeCheck.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace velmora {

class CardArchive;

// A card in the hall: the run that printed it, the number on it and its numbers row by row.
// A card is known by its run and its printed number.
struct CardInPlay {
    qint64 run = 0;      // the run's register id; 0 for the range of the print page
    QString runLabel;    // "corsa 2"
    qint64 printed = 0;  // the number printed on it
    QString printedText; // as on paper ("00027" under archive numbering)
    int archiveCard = 0;
    CardRows rows;

    // Every card the runs put out, run by run in archive order: what the program takes as in
    // play until the sold cards are known. Throws VelmoraError when the archive cannot be read.
    static QList<CardInPlay> fromRuns(const QList<PrintedRun> &runs, CardArchive &archive);
    // "corsa 2" for a run of the register, its own label otherwise.
    static QString shortLabel(const PrintedRun &run);
    // "corsa 2": how the hall knows a run of the register by its id.
    static QString runName(qint64 run);
};

} // namespace velmora
