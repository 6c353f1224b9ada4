#include "hall/HallSetup.h"

#include <QStringList>

namespace velmora {

QString HallSetup::described() const {
    QStringList parts;
    if (boardOpen) {
        parts.append(screen.isEmpty()
                         ? QStringLiteral("il tabellone per la sala")
                         : QStringLiteral("il tabellone per la sala sullo schermo %1").arg(screen));
    }
    if (phonesOn) {
        parts.append(QStringLiteral("il tabellone sui telefoni sulla porta %1").arg(port));
    }
    if (voiceOn) {
        parts.append(smorfia ? QStringLiteral("l'annuncio dei numeri con la smorfia")
                             : QStringLiteral("l'annuncio dei numeri"));
    }
    if (parts.size() < 2) {
        return parts.join(QString());
    }
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

} // namespace velmora
