#pragma once

#include <QList>
#include <QString>

namespace velmora {

// The one way a PDF file is written: checked first, so that no output ever replaces a file the
// run reads or something that is not a plain file, then written under a temporary name beside
// the file asked for and renamed onto it only when complete, so a failed or interrupted run
// never leaves a half-written file and an older file of that name stays whole until replaced.
// A symbolic link to a file is followed: the file it leads to is written and the link stays.
// The name "-" is standard output: the PDF is made in a temporary file and copied there.
class SafeOutput {
public:
    // A file the run reads, which the output must never be: its path and how it is named to
    // the user ("l'archivio delle cartelle").
    struct KeptFile {
        QString path;
        QString what;
    };

    explicit SafeOutput(const QString &requestedPath);
    ~SafeOutput();
    SafeOutput(const SafeOutput &) = delete;
    SafeOutput &operator=(const SafeOutput &) = delete;

    static bool isStandardOutput(const QString &requestedPath);

    // The file asked for, made absolute ("-" for standard output).
    const QString &requestedPath() const { return m_requested; }
    // The name the user gave, as shown in messages ("standard output" for "-").
    QString shownName() const;
    // The file to be replaced: the requested one, or the file its symbolic link leads to.
    const QString &targetPath() const { return m_target; }
    const QString &temporaryPath() const { return m_temporary; }

    // Refuses (false, *error in Italian naming the file) an output that is one of the kept
    // files (the same file, whatever its name), an existing path that is not a regular file,
    // an existing file that is not a PDF (saying what it looks like), a read-only PDF (also to
    // root), another user's PDF, or one that cannot be written.
    bool check(const QList<KeptFile> &kept, QString *error) const;
    // Checks as check(), removes the temporary files that killed runs left in the folder, and
    // reserves the temporary file.
    bool reserve(const QList<KeptFile> &kept, QString *error);
    // Checks that the temporary file is a complete PDF, gives it the permissions of the file it
    // replaces (or of a new file), and renames it onto the target (or copies it to standard
    // output). False: *error says why, and the temporary file is gone.
    bool commitPdf(QString *error);
    // Removes the temporary file (also done by the destructor unless committed).
    void discard();

    // Why writing the temporary file failed, in Italian, naming the requested file, when the
    // disk or the folder tells it (full, read-only, gone); empty otherwise.
    QString writeFailure() const;

private:
    bool checkTarget(const QList<KeptFile> &kept, QString *error) const;
    bool copyToStandardOutput(QString *error);

    QString m_requested;
    QString m_target;
    QString m_temporary;
    bool m_toStandardOutput = false;
    bool m_committed = false;
};

} // namespace velmora
