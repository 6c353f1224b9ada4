#include "register/CardNumbering.h"

#include "common/ShownText.h"
#include "errors/VelmoraError.h"

namespace velmora {

qint64 CardNumbering::printedValue(qint64 archiveNumber, bool archiveNumbering, qint64 firstCard) {
    return archiveNumbering ? archiveNumber : archiveNumber - firstCard + 1;
}

QString CardNumbering::printedText(const QString &numeroArchivio, bool archiveNumbering,
                                   qint64 firstCard) {
    if (archiveNumbering) {
        return numeroArchivio;
    }
    const QString digits = numeroArchivio.trimmed();
    bool numeric = !digits.isEmpty();
    qint64 archiveNumber = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            numeric = false;
            break;
        }
        archiveNumber = archiveNumber * 10 + (c.unicode() - '0');
    }
    if (!numeric) {
        throw VelmoraError(VelmoraError::TypeMismatch,
                           QStringLiteral("Tipo non corrispondente: il numero d'archivio \"%1\" "
                                          "della cartella non è un numero")
                               .arg(ShownText::escaped(numeroArchivio)));
    }
    const qint64 number = printedValue(archiveNumber, false, firstCard);
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

} // namespace velmora
