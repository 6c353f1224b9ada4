#pragma once

#include "print/FontResolver.h"

#include <QList>
#include <QStringList>

namespace velmora {

// The names of the face list, as a user recognises them: the families in the order the font
// database lists them, without the foundry that fontconfig appends to a family installed by
// more than one maker ("Nimbus Sans [urw]" is "Nimbus Sans"), each once, no empty names. A
// Windows face whose stand-in family is listed comes just before it, so a face that older
// settings files hold ("Arial") can be picked again.
class ElencoFont {
public:
    static QStringList nomi(const QStringList &families,
                            const QList<FontResolver::WindowsFace> &windowsFaces);
    // "Nimbus Sans [urw]" gives "Nimbus Sans"; a name without a foundry stays as it is.
    static QString senzaFonderia(const QString &family);
};

} // namespace velmora
