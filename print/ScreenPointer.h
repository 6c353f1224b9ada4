#pragma once

namespace velmora {

// The program-wide busy pointer of a print run (the hourglass over every window), kept apart
// from anyone else's: setting it twice takes one step back, and back to normal only removes
// what this pointer put up.
class ScreenPointer {
public:
    static void setBusy(bool busy);
    static bool isBusy();
};

} // namespace velmora
