#include "rules/PrizeCheck.h"

#include <algorithm>

namespace velmora {
namespace {
constexpr int numbersOnCard = 15;
} // namespace

CardRows CardRows::of(const RecordCartella &record) {
    CardRows card;
    for (int column = 0; column < RecordCartella::columns; ++column) {
        for (int row = 0; row < RecordCartella::rows; ++row) {
            card.rows.at(row).insert(record.cellNumber(RecordCartella::cellIndex(column, row)));
        }
    }
    return card;
}

Premio PrizeCheck::rowPrize(int drawnOnRow) {
    switch (std::min(drawnOnRow, int(Premio::Cinquina))) {
    case 2:
        return Premio::Ambo;
    case 3:
        return Premio::Terno;
    case 4:
        return Premio::Quaterna;
    case 5:
        return Premio::Cinquina;
    default:
        return Premio::Nessuno;
    }
}

Premio PrizeCheck::best(const CardRows &card, const NumberSet &drawn) {
    int most = 0;
    int total = 0;
    int onCard = 0;
    for (const NumberSet &row : card.rows) {
        const int hits = (row & drawn).count();
        most = std::max(most, hits);
        total += hits;
        onCard += row.count();
    }
    // A card with a number missing (a damaged record) can still make a tombola of all it holds.
    if (onCard > 0 && total == onCard && onCard <= numbersOnCard) {
        return Premio::Tombola;
    }
    return rowPrize(most);
}

CheckResult PrizeCheck::check(const CardRows &card, const NumberSet &drawn) {
    CheckResult result;
    for (int row = 0; row < RecordCartella::rows; ++row) {
        result.perRow.at(row) = (card.rows.at(row) & drawn).count();
        if (result.perRow.at(row) > result.perRow.at(result.row)) {
            result.row = row;
        }
    }
    result.best = best(card, drawn);
    NumberSet made = card.rows.at(result.row) & drawn;
    if (result.best == Premio::Tombola) {
        result.row = -1;
        made = card.all() & drawn;
    }
    for (int number = NumberSet::lowest; number <= NumberSet::highest; ++number) {
        if (made.contains(number)) {
            result.numbers.append(number);
        }
    }
    return result;
}

QString PrizeCheck::name(Premio premio) {
    switch (premio) {
    case Premio::Ambo:
        return QStringLiteral("Ambo");
    case Premio::Terno:
        return QStringLiteral("Terno");
    case Premio::Quaterna:
        return QStringLiteral("Quaterna");
    case Premio::Cinquina:
        return QStringLiteral("Cinquina");
    case Premio::Tombola:
        return QStringLiteral("Tombola");
    case Premio::Nessuno:
        break;
    }
    return QStringLiteral("Nessun premio");
}

QString PrizeCheck::rowName(int row) {
    static const std::array<QString, RecordCartella::rows> names{
        QStringLiteral("prima"), QStringLiteral("seconda"), QStringLiteral("terza")};
    return row >= 0 && row < RecordCartella::rows ? names.at(row) : QString();
}

QString PrizeCheck::describe(const CheckResult &result) {
    if (result.best == Premio::Tombola) {
        return QStringLiteral("Tombola!");
    }
    const QString row = rowName(result.row);
    if (result.best != Premio::Nessuno) {
        return QStringLiteral("%1 sulla %2 riga").arg(name(result.best), row);
    }
    if (result.perRow.at(result.row) == 0) {
        return QStringLiteral("Nessun premio: nessun numero estratto sulla cartella");
    }
    return QStringLiteral("Nessun premio: al massimo 1 numero sulla %1 riga").arg(row);
}

} // namespace velmora
