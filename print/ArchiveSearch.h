#pragma once

#include "print/CardArchive.h"

#include <QStringList>
#include <memory>

namespace velmora {

// Where the card archive is looked for, in order: the current directory, the user's data
// folder, the installed data folder (<prefix>/share/velmora, beside the program's bin folder),
// then the data folder beside the program. The first folder holding an archive is used.
class ArchiveSearch {
public:
    static QStringList folders();
    // Throws VelmoraError: 53 when no folder holds an archive, with an Italian message naming
    // every folder looked in; the archive's own error when the one found cannot be read.
    static std::unique_ptr<CardArchive> open();
    static std::unique_ptr<CardArchive> open(const QStringList &folders);
    // The file a print would read now: the archive of the first folder that holds one, or
    // empty when none does.
    static QString locate();

    // The archive as shown to the user: its full path and its number of cards.
    static QString describe(const CardArchive &archive);
    // Which archive a print would read from folders (empty: the usual ones), or that none is
    // found (a print says where it was looked for), or why the one found cannot be read.
    static QString describe(const QStringList &folders = {});
};

} // namespace velmora
