#pragma once

#include <QString>

namespace velmora {

// A file written under a temporary name beside the one asked for, and renamed onto it only when
// complete: a failed or interrupted run never leaves a half-written file under that name, and
// an older file of that name stays as it was until the new one replaces it whole.
class OutputFile {
public:
    explicit OutputFile(QString requestedPath);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    const QString &requestedPath() const { return m_requested; }
    const QString &temporaryPath() const { return m_temporary; }

    // Checks that the file can be written there and reserves the temporary name (a hidden file
    // in the same folder, so the rename never crosses file systems). False: *error says why.
    bool reserve(QString *error);
    // Checks that the temporary file is a complete PDF, gives it the permissions a new file
    // would get, and renames it onto the requested name. False: *error says why, and the
    // temporary file is gone.
    bool commitPdf(QString *error);
    // Removes the temporary file (also done by the destructor unless committed).
    void discard();

private:
    QString m_requested;
    QString m_temporary;
    bool m_committed = false;
};

} // namespace velmora
