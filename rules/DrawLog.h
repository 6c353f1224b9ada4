#pragma once

#include <QDateTime>

namespace velmora {

// How a number came into the draw. Numbers stored before the source was kept are Unknown.
enum class DrawSource { Unknown, Typed, Clicked, Computer };

// One line of a game's draw log: a number, when and how it was drawn, and when it was taken
// back (invalid while it stands). Taken-back lines stay, so the order of the evening can be
// audited.
struct DrawLogEntry {
    int number = 0;
    QDateTime drawnAt; // invalid when not known
    DrawSource source = DrawSource::Unknown;
    QDateTime takenBackAt;

    bool takenBack() const { return takenBackAt.isValid(); }
};

} // namespace velmora
