#include "register/RegisterTime.h"

namespace velmora {

QString RegisterTime::stored(const QDateTime &time) {
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime RegisterTime::read(const QString &text) {
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QString RegisterTime::shown(const QDateTime &time) {
    return shownAs(time, QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString RegisterTime::shownAs(const QDateTime &time, const QString &format) {
    return time.isValid() ? time.toLocalTime().toString(format) : QString();
}

QString RegisterTime::shownIso(const QDateTime &time) {
    if (!time.isValid()) {
        return {};
    }
    // A local time prints no offset: the same moment as a fixed offset prints it.
    const QDateTime local = time.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace velmora
