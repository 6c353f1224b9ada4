#pragma once

#include <QSqlDatabase>
#include <QString>

namespace velmora {

// The database the game is kept in: registro.sqlite in the user's data folder (the folder the
// archive is also looked for in), with write-ahead logging, one connection for the program.
class GameDatabase {
public:
    static QString defaultPath();
    // The open database; an invalid one, with an Italian reason in error, when it cannot be
    // opened.
    static QSqlDatabase open(const QString &path, QString *error);
};

} // namespace velmora
