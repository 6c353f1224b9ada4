#include "app/EveningPrintCheck.h"

#include "errors/MessagePresenter.h"
#include "evening/EveningPrints.h"
#include "evening/EveningStore.h"
#include "register/RunRecord.h"

#include <QFileInfo>

namespace velmora {

QList<RunRecord> EveningPrintCheck::currentRuns(const QString &databasePath) {
    if (!QFileInfo::exists(databasePath)) {
        return {};
    }
    RegisterDatabase database(databasePath);
    if (!database.isOpen()) {
        return {};
    }
    const EveningStore store(database.connection());
    const std::optional<Evening> evening = store.openOne();
    return evening ? store.runs(evening->id) : QList<RunRecord>();
}

std::optional<int> EveningPrintCheck::proposedFirstCard() {
    const std::optional<int> next = EveningPrints::nextFirstCard(currentRuns());
    return next && *next <= PrintPlan::maxCard ? next : std::nullopt;
}

bool EveningPrintCheck::mayPrint(QWidget *parent, MessagePresenter &messages, const PrintPlan &plan,
                                 bool archiveNumbering) {
    const QString question =
        EveningPrints::overlap(currentRuns(), plan.first, plan.last, archiveNumbering);
    return question.isEmpty() || messages.conferma(parent, question);
}

} // namespace velmora
