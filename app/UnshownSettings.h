#pragma once

#include "settings/Configurazione.h"

#include <QString>
#include <QStringList>

namespace velmora {

// Settings values that no box of the window can show (a damaged or foreign vel.cnf): a size
// the size box refuses, a first card that is no card number,
// a text with control characters (the calibration boxes show any value). Such a field takes its
// default, and the user is told once which fields, naming the file.
class UnshownSettings {
public:
    // Puts the default into each field that cannot be shown; returns the fields' names, in
    // the user's words, in record order (empty: everything can be shown).
    static QStringList fallBack(Configurazione &settings, const Configurazione &defaults);
    // The start-up notice for the fields fallBack() changed, naming the settings file.
    static QString notice(const QStringList &fields, const QString &settingsPath);
};

} // namespace velmora
