#pragma once

#include "rules/PrintedRuns.h"
#include "rules/PrizeCheck.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace velmora {

class RunArchives;

// A card in the hall: the run that printed it, the number on it and its numbers row by row.
// A card is known by its run and its printed number.
struct CardInPlay {
    qint64 run = 0;      // the run's register id; 0 for the range of the print page
    QString runLabel;    // "corsa 2"
    qint64 printed = 0;  // the number printed on it
    QString printedText; // as on paper ("00027" under archive numbering)
    int archiveCard = 0;
    CardRows rows;

    // What the runs put out: their cards, and why those of a run left out cannot be checked.
    struct FromRuns {
        QList<CardInPlay> cards;
        QStringList unchecked; // RunArchives::missing, one a run
    };
    // Every card the runs put out, run by run in archive order, each read from its run's own
    // archive: what the program takes as in play until the sold cards are known. A run whose
    // archive is not found puts out none, and is said.
    static FromRuns fromRuns(const QList<PrintedRun> &runs, RunArchives &archives);
    // "corsa 2" for a run of the register, its own label otherwise.
    static QString shortLabel(const PrintedRun &run);
    // "corsa 2": how the hall knows a run of the register by its id.
    static QString runName(qint64 run);
};

} // namespace velmora
