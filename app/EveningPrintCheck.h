#pragma once

#include "evening/RegisterDatabase.h"
#include "print/PrintPlan.h"

#include <QList>

#include <optional>

class QWidget;

namespace velmora {

class MessagePresenter;
struct RunRecord;

// The print page's side of the evening: the first card it proposes, and the question asked
// before a print (from "Stampa" or "Salva PDF") that would repeat archive cards or printed
// numbers of the current evening. Only reads the register: no evening is begun here.
class EveningPrintCheck {
public:
    // The runs of the current evening; none when there is no register or no evening yet, or
    // the register cannot be read (the print then says so itself).
    static QList<RunRecord>
    currentRuns(const QString &databasePath = RegisterDatabase::defaultPath());

    // The card after the last archive card printed this evening; nothing when none was, or
    // it would be past the last card there can be.
    static std::optional<int> proposedFirstCard();

    // True when nothing would be repeated, or the user answers yes to the question naming it.
    static bool mayPrint(QWidget *parent, MessagePresenter &messages, const PrintPlan &plan,
                         bool archiveNumbering);
};

} // namespace velmora
