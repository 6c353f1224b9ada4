#pragma once

#include "settings/Configurazione.h"

#include <QByteArray>
#include <QString>

namespace velmora {

// The settings file vel.cnf: one 307-byte record, possibly followed by bytes that this
// program does not use and keeps. No windows here: failures come back as Italian texts.
class SettingsFile {
public:
    static constexpr const char *fileName = "vel.cnf";

    enum class LoadOutcome {
        Loaded,       // the file was there and has been read
        Created,      // the file was missing and now holds the defaults
        CreateFailed, // the file was missing and could not be created: the defaults are in use
        ReadFailed,   // the file is there but cannot be read: the record is untouched
    };

    struct LoadResult {
        LoadOutcome outcome = LoadOutcome::Loaded;
        QString error; // Italian, names the file; empty when nothing failed
        // Loaded from a file shorter than the record: the fields it does not cover hold their
        // defaults, and notice (Italian, naming the file) is to be told to the user once.
        bool incomplete = false;
        QString notice;
    };

    // The most bytes after the record that are read, and kept by a save; a longer file is
    // refused rather than cut.
    static constexpr qint64 maxTailSize = 1024 * 1024;

    struct SaveResult {
        bool ok = false;
        QString error;  // Italian, names the file; empty on success
        QString reason; // the cause alone, for a sentence that names the file itself
    };

    explicit SettingsFile(QString path);

    // The file in the program folder when it exists there or the folder can be written (a
    // portable copy); otherwise the one in the user's configuration folder.
    static QString choosePath(const QString &programDir, const QString &userConfigDir);
    // choosePath() for this process: the program folder and QStandardPaths::AppConfigLocation.
    static QString defaultPath();

    // The values of a file created at the first start.
    static Configurazione defaults();

    // Removes the spaces at both ends of every text field, as loaded values are shown.
    static void trimTexts(Configurazione &record);

    const QString &path() const { return m_path; }

    // Reads the record, or creates the file with the defaults when it is missing. A path that
    // is there but is not a regular file (a folder, a device, a FIFO) is refused unread.
    LoadResult load(Configurazione &record);

    // Writes the record as the first 307 bytes through a temporary file renamed over the old
    // one, so a failure never leaves a torn file; bytes beyond the record are kept.
    SaveResult save(const Configurazione &record);

private:
    QByteArray currentTail() const;

    QString m_path;
    QByteArray m_tail; // bytes after the record at the last load, used if the file vanished
};

} // namespace velmora
