#include "rules/CardInPlay.h"

#include "print/RunArchives.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "rules/ArchiveScan.h"

namespace velmora {

QString CardInPlay::shortLabel(const PrintedRun &run) {
    return run.record.id > 0 ? runName(run.record.id) : run.label;
}

QString CardInPlay::runName(qint64 run) {
    return QStringLiteral("corsa %1").arg(run);
}

CardInPlay::FromRuns CardInPlay::fromRuns(const QList<PrintedRun> &runs, RunArchives &archives) {
    FromRuns put;
    QList<CardInPlay> &cards = put.cards;
    for (const PrintedRun &run : runs) {
        const std::optional<CardTrace::Range> range = CardTrace::printedRange(run.record);
        if (!range) {
            continue;
        }
        const std::optional<QByteArray> archive = archives.bytesOf(run.record);
        if (!archive) {
            put.unchecked.append(RunArchives::missing(run.record));
            continue;
        }
        const ArchiveScan scan(
            [&archive](qint64 card) { return RunArchives::cardIn(*archive, int(card)); },
            archive->size() / RecordCartella::recordSize, range->first,
            range->last - range->first + 1);
        const QString label = shortLabel(run);
        for (const ArchiveScan::Card &card : scan.cards()) {
            const int archiveCard = int(card.archiveCard);
            cards.append(
                {run.record.id, label,
                 CardNumbering::printedNumber(card.numeroArchivio, run.record.archiveNumbering,
                                              run.record.firstCard)
                     .value_or(0),
                 CardNumbering::printedText(card.numeroArchivio, run.record.archiveNumbering,
                                            run.record.firstCard)
                     .trimmed(),
                 archiveCard, card.rows});
        }
    }
    return put;
}

} // namespace velmora
