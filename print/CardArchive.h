#pragma once

#include "print/RecordCartella.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

namespace velmora {

// The card archive RidoDur.dat of a folder, open for reading: record N (59 bytes at
// (N - 1) x 59) is card N. The print run owns one for the length of a run and hands it to the
// card drawing. The archive is an input only: it is opened read-only, never created and never
// written. Failures throw VelmoraError with an Italian description naming the folder or file.
class CardArchive {
public:
    static inline const QString fileName = QStringLiteral("RidoDur.dat");

    // Opens the archive of the folder (found as locate() finds it), or the archive file itself
    // when folder names a file called RidoDur.dat. Throws VelmoraError:
    // 76 the folder does not exist, 53 no archive in it, 75 several archives differing only in
    // case or a file that cannot be read at random, 70 reading not permitted.
    explicit CardArchive(const QString &folder);
    CardArchive(const CardArchive &) = delete;
    CardArchive &operator=(const CardArchive &) = delete;

    // The archive file of a folder: RidoDur.dat itself when present; otherwise the one file
    // whose name matches it regardless of case (archives copied from other media often come as
    // RIDODUR.DAT). Empty when there is none, or more than one candidate and none exact.
    static QString locate(const QString &folder);

    // Card cardNumber (from 1), decoded: one seek and one 59-byte read. A card beyond the
    // last record reads as a blank record, and the missing part of a short last record as
    // blanks, so a run goes on. Throws VelmoraError 63 for a card number below 1 and 57 when
    // the file cannot be read.
    RecordCartella read(qint64 cardNumber);

    // Complete records in the file, counted when it was opened.
    qint64 cardCount() const { return m_size / RecordCartella::recordSize; }
    // True when the file ends in a short record (a damaged copy).
    bool hasIncompleteLastRecord() const { return m_size % RecordCartella::recordSize != 0; }
    QString path() const { return m_file.fileName(); }

private:
    // Opens the archive file path, read-only; throws as the constructor.
    void open(const QString &path);

    QFile m_file;
    qint64 m_size = 0;
};

} // namespace velmora
