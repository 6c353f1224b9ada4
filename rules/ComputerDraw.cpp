#include "rules/ComputerDraw.h"

#include "rules/Game.h"

#include <QList>
#include <QRandomGenerator>

namespace velmora {

ComputerDraw::ComputerDraw(RandomBelow randomBelow)
    : m_randomBelow(randomBelow ? std::move(randomBelow) : RandomBelow(&systemRandomBelow)) {}

namespace {
int pickBelow(QRandomGenerator &generator, int bound) {
    return int(generator.bounded(quint32(bound)));
}
} // namespace

int ComputerDraw::systemRandomBelow(int bound) {
    return pickBelow(*QRandomGenerator::system(), bound);
}

ComputerDraw::RandomBelow ComputerDraw::from(QRandomGenerator &generator) {
    return [&generator](int bound) { return pickBelow(generator, bound); };
}

int ComputerDraw::next(const Game &game) const {
    QList<int> left;
    left.reserve(NumberSet::highest - game.count());
    for (int number = 1; number <= NumberSet::highest; ++number) {
        if (!game.isDrawn(number)) {
            left.append(number);
        }
    }
    if (left.isEmpty()) {
        return 0;
    }
    // A source that answers out of range is a fault of ours, not a reason to draw twice.
    const int picked = m_randomBelow(int(left.size()));
    return left.at(qBound(0, picked, int(left.size()) - 1));
}

} // namespace velmora
