#pragma once

#include <QDateTime>
#include <QString>

namespace velmora {

// Times in the register's database: kept in UTC as ISO 8601 with the zone
// ("2026-12-07T20:15:00.000Z"), so that a register carried to another machine or read across a
// change of summer time still says when things happened; shown in the local time of whoever
// reads them.
class RegisterTime {
public:
    // The text kept in the database; empty for an invalid time.
    static QString stored(const QDateTime &time);
    // A kept text back; invalid for an empty or unreadable one. A text with no zone is taken as
    // local time, as the game store wrote them before times were kept in UTC.
    static QDateTime read(const QString &text);
    // For people: "07/12/2026 21:15" in local time; empty for an invalid time.
    static QString shown(const QDateTime &time);
    // For people, in local time in the format given ("HH:mm:ss"); empty for an invalid time.
    static QString shownAs(const QDateTime &time, const QString &format);
    // For the command line's columns: ISO 8601 in local time with its offset
    // ("2026-12-07T21:15:00+01:00"); empty for an invalid time.
    static QString shownIso(const QDateTime &time);
};

} // namespace velmora
