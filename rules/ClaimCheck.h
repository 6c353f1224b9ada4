#pragma once

#include <QDateTime>
#include <QString>

namespace velmora {

// A claim the organiser checked during a game: which card the player showed and what the
// check answered. Kept in the register so the record of the game can list every claim.
struct ClaimCheck {
    QDateTime checked;     // when it was checked, in UTC like every time the register keeps
    int run = 0;           // the print run the card came from (0 when unknown)
    int printedNumber = 0; // the card number the player showed
    QString verdict;       // the Italian verdict as shown to the organiser, one line
};

} // namespace velmora
