#pragma once

#include "rules/NumberSet.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// One game of the evening: the numbers drawn so far, in the order they came out, each 1..90 and
// never twice. Pure state; GameStore keeps it on disk.
class Game {
public:
    Game() = default;
    // A game as stored; false (and an empty game) when the list breaks the rules.
    static bool fromNumbers(const QList<int> &numbers, Game &game);
    // A list typed by the user, "1,2,3" (blanks around the numbers allowed; an empty text is a
    // game with nothing drawn). Nothing, with an Italian reason in error, for a number outside
    // 1..90, a repeat or anything that is not a number.
    static std::optional<Game> parse(const QString &text, QString *error);

    // Adds a number at the end; false, changing nothing, for a number outside 1..90 or one
    // already drawn.
    bool draw(int number);
    // Takes a drawn number out wherever it stands (a number marked by mistake); false when it
    // was not drawn.
    bool remove(int number);
    // Takes back the last number; 0 when nothing was drawn.
    int undo();

    const QList<int> &numbers() const { return m_numbers; }
    const NumberSet &drawn() const { return m_drawn; }
    bool isDrawn(int number) const { return m_drawn.contains(number); }
    int count() const { return int(m_numbers.size()); }
    // The last number drawn, 0 when none.
    int last() const { return m_numbers.isEmpty() ? 0 : m_numbers.constLast(); }

private:
    QList<int> m_numbers;
    NumberSet m_drawn;
};

} // namespace velmora
