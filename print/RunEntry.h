#pragma once

#include "register/RunRecord.h"

#include <QString>

namespace velmora {

class CardArchive;
struct PrintPlan;

// The register entry of a run about to print: what it reads and what it prints, as plain
// values. The count asked for is the count box's text, as the user typed it.
RunRecord runEntry(const QString &program, const CardArchive &archive, const PrintPlan &plan,
                   const QString &countText, bool archiveNumbering, const QString &destination);

} // namespace velmora
