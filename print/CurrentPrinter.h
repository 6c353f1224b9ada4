#pragma once

namespace velmora {

class PrinterSurface;
class PrinterTarget;

// The program's current printer: the target that the print dialog chooses and the surface that
// the print run draws on. Made on first use (after the application object exists) and released
// when the application object goes.
class CurrentPrinter {
public:
    static PrinterTarget &target();
    static PrinterSurface &surface();
};

} // namespace velmora
