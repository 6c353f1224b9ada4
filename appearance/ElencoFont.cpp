#include "appearance/ElencoFont.h"

namespace velmora {

QString ElencoFont::senzaFonderia(const QString &family) {
    const QString trimmed = family.trimmed();
    if (!trimmed.endsWith(u']')) {
        return trimmed;
    }
    const qsizetype open = trimmed.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? trimmed.left(open).trimmed() : trimmed;
}

QStringList ElencoFont::nomi(const QStringList &families,
                             const QList<FontResolver::WindowsFace> &windowsFaces) {
    QStringList names;
    const auto add = [&names](const QString &name) {
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive)) {
            names.append(name);
        }
    };
    for (const QString &family : families) {
        const QString name = senzaFonderia(family);
        for (const FontResolver::WindowsFace &face : windowsFaces) {
            if (name.compare(face.family, Qt::CaseInsensitive) == 0) {
                add(face.windowsName);
            }
        }
        add(name);
    }
    return names;
}

} // namespace velmora
