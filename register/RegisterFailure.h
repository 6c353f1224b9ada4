#pragma once

#include <QString>

class QSqlError;

namespace velmora {

// What a failure of the register's database means for the user, from SQLite's own result code:
// only a file SQLite finds damaged may be set aside; a full disk, a read-only medium, a lock or
// missing permissions leave the file as it is. The reason is one Italian clause, never SQLite's
// English text, so that it fits in any message ("...: il disco è pieno.").
class RegisterFailure {
public:
    enum class Kind { Busy, Full, ReadOnly, Permissions, Damaged, Other };

    // path: the database's file, whose disk is looked at when SQLite reports an I/O error.
    static Kind kind(const QSqlError &error, const QString &path = {});
    static QString reason(const QSqlError &error, const QString &path = {});
    // Whether the error is a refusal this program wrote itself (Transaction::refused), not the
    // database's failure.
    static bool isRefusal(const QSqlError &error);
};

} // namespace velmora
