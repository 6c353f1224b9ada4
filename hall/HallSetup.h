#pragma once

#include <QString>

namespace velmora {

// How the organiser left the hall: the hall board's screen and whether it was open, the phones'
// board and its port, the numbers said aloud and with the smorfia. Kept with the evening, so
// that after a restart the hall can be taken up as it was.
struct HallSetup {
    static constexpr int defaultPort = 8090;

    QString screen; // the hall board's screen by name; empty: the one the program picks
    bool boardOpen = false;
    bool phonesOn = false;
    int port = defaultPort;
    bool voiceOn = false;
    bool smorfia = false;

    // Whether a restart has anything to bring back: a board open, the phones or the voice.
    bool anythingOn() const { return boardOpen || phonesOn || voiceOn; }
    // What a restart brings back, in words: "il tabellone per la sala sullo schermo HDMI-1, il
    // tabellone sui telefoni sulla porta 8123 e l'annuncio dei numeri".
    QString described() const;

    friend bool operator==(const HallSetup &, const HallSetup &) = default;
};

} // namespace velmora
