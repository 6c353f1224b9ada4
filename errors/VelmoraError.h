#pragma once

#include <QString>
#include <exception>

namespace velmora {

// The program's one error type: a run-time error number with its Italian description.
// Lower layers throw it; the card drawing's trap and the windows report it.
class VelmoraError : public std::exception {
public:
    // Numbers used by this program, with the classic run-time error numbers.
    enum Number : int {
        Overflow = 6,
        TypeMismatch = 13,
        InvalidProcedureCall = 5,
        DeviceIo = 57,
        BadFileName = 52,
        FileNotFound = 53,
        InputPastEnd = 62,
        DiskFull = 61,
        PathNotFound = 76,
        PermissionDenied = 70,
        PrinterError = 482,
        FontNotFound = 380, // "Valore della proprietà non valido": the face is refused
        CancelPrintDialog = 32755,
        Unexpected = 51,
        BadRecordNumber = 63,
        OutOfMemory = 7,
        SubscriptOutOfRange = 9,
    };

    explicit VelmoraError(int number, QString description = {}, QString source = {});

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const char *what() const noexcept override { return m_what.constData(); }

    // The Italian description of a number; a number without an entry gets a generic text.
    static QString describe(int number);

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace velmora
