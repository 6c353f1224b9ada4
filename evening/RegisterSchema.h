#pragma once

#include <QSqlDatabase>

class QSqlError;

namespace velmora {

// The one schema of the register (registro.sqlite): the print register's table and the
// evening's tables (the evenings with their runs, games and cards in play; each game's draw
// log, prizes, awards and claims), with the steps that bring an older file up to date, one
// version at a time. The version is kept in PRAGMA user_version; RegisterDatabase runs the steps.
class RegisterSchema {
public:
    // The version this program writes.
    static int version();
    // Brings a database of version `from` (0 up to version() - 1) one version up, inside the
    // caller's transaction; false with *error when the database refuses.
    static bool step(QSqlDatabase db, int from, QSqlError *error);
    // A database of another program: a table that is not ours, or one of ours without our
    // columns. Such a file is never written into. False with *error when it cannot be read.
    static bool isForeign(QSqlDatabase db, bool *foreign, QSqlError *error);
};

} // namespace velmora
