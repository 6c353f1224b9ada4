#include "register/CardNumbering.h"

#include "common/ShownText.h"
#include "errors/VelmoraError.h"

namespace velmora {
namespace {

// The stored archive number read in base 10, blanks around it allowed; nothing otherwise.
std::optional<qint64> storedValue(const QString &numeroArchivio) {
    const QString digits = numeroArchivio.trimmed();
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

qint64 CardNumbering::printedValue(qint64 archiveNumber, bool archiveNumbering, qint64 firstCard) {
    return archiveNumbering ? archiveNumber : archiveNumber - firstCard + 1;
}

QString CardNumbering::printedText(const QString &numeroArchivio, bool archiveNumbering,
                                   qint64 firstCard) {
    if (archiveNumbering) {
        return numeroArchivio;
    }
    const std::optional<qint64> archiveNumber = storedValue(numeroArchivio);
    if (!archiveNumber) {
        throw VelmoraError(VelmoraError::TypeMismatch,
                           QStringLiteral("Tipo non corrispondente: il numero d'archivio \"%1\" "
                                          "della cartella non è un numero")
                               .arg(ShownText::escaped(numeroArchivio)));
    }
    const qint64 number = printedValue(*archiveNumber, false, firstCard);
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

std::optional<qint64> CardNumbering::printedNumber(const QString &numeroArchivio,
                                                   bool archiveNumbering, qint64 firstCard) {
    const std::optional<qint64> archiveNumber = storedValue(numeroArchivio);
    if (!archiveNumber) {
        return std::nullopt;
    }
    return printedValue(*archiveNumber, archiveNumbering, firstCard);
}

} // namespace velmora
