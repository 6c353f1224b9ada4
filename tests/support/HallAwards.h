#pragma once

#include "hall/HallState.h"

#include <QStringList>

namespace velmora::testing {

// A prize given to the cards printed with those numbers (run "corsa 1") when drawnBefore
// numbers stood: awardOf("Ambo", {"123"}, 2) reads "Ambo: cartella N. 123".
inline HallAward awardOf(const QString &prize, const QStringList &printed, int drawnBefore) {
    HallAward award{prize, {}, drawnBefore};
    for (const QString &number : printed) {
        award.cards.append(HallCard{number, QStringLiteral("corsa 1")});
    }
    return award;
}

} // namespace velmora::testing
