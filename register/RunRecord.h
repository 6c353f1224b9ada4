#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

// One print run as the register keeps it: what was asked for, from which archive, where it
// went and how it ended.
struct RunRecord {
    enum class Outcome { InProgress, Completed, Stopped, Failed, Interrupted };

    qint64 id = 0;
    QString program; // "velmora" or "velmora-pdf"
    QDateTime started;
    QDateTime ended; // invalid while in progress
    // The archive as it was when the run began.
    QString archivePath;
    qint64 archiveSize = 0;
    QString archiveSha256; // of the file's bytes, lower-case hex
    qint64 archiveCards = 0;
    int firstCard = 1;
    int cardsAsked = 0;
    int lastCard = 0; // raised so that the last page is full
    bool archiveNumbering = false;
    bool landscape = true;
    QString destination; // the printer or the PDF file, as the user would name it
    Outcome outcome = Outcome::InProgress;
    int cardsDrawn = 0;
    bool delivered = false; // the drawn pages reached the printer or the file
    qint64 pid = 0;         // of the program that ran it, to tell a live run from a dead one
    QString bootId;

    // The archive card drawn last; firstCard - 1 when none was.
    int lastCardDrawn() const { return firstCard + cardsDrawn - 1; }

    // Short Italian words for the table and the command line.
    QString outcomeText() const; // "completata", "fermata dopo la cartella 126", ...
    QString numberingText() const;

    // "il file prova.pdf": the destination of a run that writes a file. Such a file is put in
    // place whole when the run ends, so a run to a file that never ended delivered nothing.
    static QString fileDestination(const QString &shownName);
    bool toFile() const;

    // The stable key stored in the database for an outcome, and back.
    static QString outcomeKey(Outcome outcome);
    static std::optional<Outcome> outcomeFromKey(const QString &key);

    friend bool operator==(const RunRecord &, const RunRecord &) = default;
};

} // namespace velmora
