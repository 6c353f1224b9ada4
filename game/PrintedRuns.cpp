#include "game/PrintedRuns.h"

namespace velmora {

QList<PrintedMatch> findPrinted(const QList<PrintedRun> &runs, qint64 printedNumber) {
    QList<PrintedMatch> matches;
    for (int index = 0; index < runs.size(); ++index) {
        const PrintedRun &run = runs.at(index);
        const qint64 archiveCard =
            run.archiveNumbering ? printedNumber : run.firstCard + printedNumber - 1;
        if (printedNumber >= 1 && archiveCard >= run.firstCard &&
            archiveCard < run.firstCard + run.count) {
            matches.append({index, archiveCard});
        }
    }
    return matches;
}

} // namespace velmora
