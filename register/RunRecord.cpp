#include "register/RunRecord.h"

#include <array>
#include <utility>

namespace velmora {
namespace {

const std::array<std::pair<RunRecord::Outcome, const char *>, 5> keys{{
    {RunRecord::Outcome::InProgress, "in_progress"},
    {RunRecord::Outcome::Completed, "completed"},
    {RunRecord::Outcome::Stopped, "stopped"},
    {RunRecord::Outcome::Failed, "failed"},
    {RunRecord::Outcome::Interrupted, "interrupted"},
}};

} // namespace

QString RunRecord::outcomeKey(Outcome outcome) {
    for (const auto &[value, key] : keys) {
        if (value == outcome) {
            return QLatin1String(key);
        }
    }
    return {};
}

std::optional<RunRecord::Outcome> RunRecord::outcomeFromKey(const QString &key) {
    for (const auto &[value, name] : keys) {
        if (key == QLatin1String(name)) {
            return value;
        }
    }
    return std::nullopt;
}

QString RunRecord::outcomeText() const {
    switch (outcome) {
    case Outcome::InProgress:
        return QStringLiteral("in corso");
    case Outcome::Completed:
        return QStringLiteral("completata");
    case Outcome::Stopped:
        return cardsDrawn > 0 ? QStringLiteral("fermata dopo la cartella %1").arg(lastCardDrawn())
                              : QStringLiteral("fermata prima della prima cartella");
    case Outcome::Failed:
        return QStringLiteral("non riuscita");
    case Outcome::Interrupted:
        return QStringLiteral("interrotta");
    }
    return {};
}

namespace {
const QString filePrefix = QStringLiteral("il file ");
} // namespace

QString RunRecord::fileDestination(const QString &shownName) {
    return filePrefix + shownName;
}

bool RunRecord::toFile() const {
    return destination.startsWith(filePrefix);
}

QString RunRecord::numberingText() const {
    return archiveNumbering ? QStringLiteral("dell'archivio") : QStringLiteral("da 1");
}

} // namespace velmora
