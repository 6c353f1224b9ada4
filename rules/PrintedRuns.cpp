#include "rules/PrintedRuns.h"

#include "register/CardTrace.h"
#include "register/RegisterTime.h"

#include <limits>

namespace velmora {

QList<PrintedRun> PrintedRun::fromRegister(const QList<RunRecord> &runs,
                                           const std::optional<ArchiveFingerprint> &current) {
    QList<PrintedRun> printed;
    for (const RunRecord &run : runs) {
        if (!CardTrace::printedRange(run)) {
            continue; // failed, or stopped before anything reached the printer or the file
        }
        const QString started =
            run.started.isValid() ? RegisterTime::shown(run.started) : QStringLiteral("?");
        printed.append({run, QStringLiteral("corsa %1 del %2").arg(run.id).arg(started),
                        !ArchiveFingerprint::sameArchive(current, run)});
    }
    return printed;
}

std::optional<PrintedRun> PrintedRun::fromPrintPage(qint64 firstCard, qint64 count,
                                                    bool archiveNumbering) {
    constexpr qint64 most = std::numeric_limits<int>::max();
    if (firstCard < 1 || count < 1 || firstCard > most || count > most - firstCard + 1) {
        return std::nullopt;
    }
    PrintedRun page;
    page.record.firstCard = int(firstCard);
    page.record.cardsAsked = int(count);
    page.record.lastCard = int(firstCard + count - 1);
    page.record.cardsDrawn = int(count);
    page.record.archiveNumbering = archiveNumbering;
    page.record.outcome = RunRecord::Outcome::Completed;
    page.record.delivered = true;
    page.label = QStringLiteral("stampa di pagina 4, cartelle %1-%2")
                     .arg(firstCard)
                     .arg(page.record.lastCard);
    return page;
}

QList<PrintedMatch> findPrinted(const QList<PrintedRun> &runs, qint64 printedNumber,
                                const StoredNumber &stored) {
    QList<PrintedMatch> matches;
    if (printedNumber < 1 || printedNumber > std::numeric_limits<int>::max()) {
        return matches;
    }
    for (int index = 0; index < runs.size(); ++index) {
        if (const std::optional<int> card =
                CardTrace::archiveCard(runs.at(index).record, int(printedNumber), stored)) {
            matches.append({index, *card});
        }
    }
    return matches;
}

} // namespace velmora
