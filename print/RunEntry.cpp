#include "print/RunEntry.h"

#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "settings/Decimal.h"

#include <algorithm>

namespace velmora {

RunRecord runEntry(const QString &program, const CardArchive &archive, const PrintPlan &plan,
                   const QString &countText, bool archiveNumbering, const QString &destination) {
    const std::optional<qint64> count = Decimal::fromText(countText).roundedHalfEven().toInt64();
    RunRecord run;
    run.program = program;
    run.archivePath = archive.path();
    run.archiveCards = archive.cardCount();
    run.firstCard = plan.first;
    run.cardsAsked = count ? int(std::clamp<qint64>(*count, 0, PrintPlan::maxCard)) : 0;
    run.lastCard = plan.last;
    run.archiveNumbering = archiveNumbering;
    run.landscape = plan.cardsPerPage == 6;
    run.destination = destination;
    return run;
}

} // namespace velmora
