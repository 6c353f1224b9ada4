#pragma once

#include <QString>

namespace velmora {

// Italian words for why a file could not be read or written. The common causes have texts of
// our own; the system's text is kept only for a cause we do not know.
class FileErrorText {
public:
    // The reason behind a system error number (errno), e.g. "il disco è pieno".
    static QString reason(int errorNumber);

    // Why path cannot be written (created, or replaced through a file beside it), found by
    // looking at the path, its folder and the file system that holds it. errorNumber, the
    // error of the failed attempt, says it when nothing there tells more (0: unknown).
    static QString whyNotWritable(const QString &path, int errorNumber);

    // The error (errno) a write to path meets now, 0 when it goes through: a block is added to
    // the file (made, when it is not there) and taken away again. For writers that report no
    // failed write of their own, such as the PDF engine on a full disk.
    static int writeError(const QString &path);
};

} // namespace velmora
