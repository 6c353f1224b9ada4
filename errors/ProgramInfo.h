#pragma once

#include <QString>

namespace velmora {

// What the error report says about the running program.
class ProgramInfo {
public:
    QString folder;         // folder of the executable, native separators, no trailing one
    QString title;          // the program title, also the error window's caption
    QString executablePath; // full path of the running executable, native separators
    int major = 0;
    int minor = 0;
    int revision = 0;

    // The running program: its executable's location and the build's title and version.
    static ProgramInfo current();
};

} // namespace velmora
