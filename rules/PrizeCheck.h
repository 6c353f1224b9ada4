#pragma once

#include "print/RecordCartella.h"
#include "rules/NumberSet.h"

#include <QList>
#include <QString>

#include <array>

namespace velmora {

// The prizes of a Tombola in the order they are claimed; a row prize is worth its count.
enum class Premio { Nessuno = 0, Ambo = 2, Terno = 3, Quaterna = 4, Cinquina = 5, Tombola = 15 };

// The numbers of one card, row by row (row 0 at the top).
struct CardRows {
    std::array<NumberSet, RecordCartella::rows> rows;

    static CardRows of(const RecordCartella &record);
    NumberSet all() const { return rows[0] | rows[1] | rows[2]; }
};

// Where a card stands against the numbers drawn.
struct CheckResult {
    std::array<int, RecordCartella::rows> perRow{}; // drawn numbers on each row
    Premio best = Premio::Nessuno;
    // The row of the best prize, or of the most numbers when there is none (the first such
    // row); -1 for a tombola, which takes the whole card.
    int row = 0;
    QList<int> numbers; // the drawn numbers that make the best prize (or the best row), rising
};

// The check of a claimed prize: pure, with no allocation beyond the result's list.
class PrizeCheck {
public:
    static Premio rowPrize(int drawnOnRow);
    static CheckResult check(const CardRows &card, const NumberSet &drawn);
    // Only the best prize: what a scan of thousands of cards needs.
    static Premio best(const CardRows &card, const NumberSet &drawn);

    // "Ambo", "Terno", "Quaterna", "Cinquina", "Tombola", "Nessun premio".
    static QString name(Premio premio);
    // "prima", "seconda", "terza".
    static QString rowName(int row);
    // In words: "Cinquina sulla seconda riga", "Tombola!", "Nessun premio: al massimo 1 numero
    // sulla prima riga", "Nessun premio: nessun numero estratto sulla cartella".
    static QString describe(const CheckResult &result);
};

} // namespace velmora
