#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// What velmora-pdf asks of the games: the games of the current evening, or the record of one
// game as a PDF.
struct VerbaleQuery {
    enum class Kind { Games, Record };

    Kind kind = Kind::Games;
    qint64 game = 0; // --partita; 0: the game being played
    QString output;  // -o
};

} // namespace velmora
