#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// The number a card carries on paper. Under archive numbering it is the card's archive number;
// numbered from 1 it is the card's place in its run: archive number - first card of the run + 1.
// The print, the board of the evening, velmora-pdf and the card tracing all read it here.
class CardNumbering {
public:
    // The number printed on the card whose archive number is archiveNumber.
    static qint64 printedValue(qint64 archiveNumber, bool archiveNumbering, qint64 firstCard);

    // The text printed under the card: under archive numbering the archive number as stored
    // (five characters, blanks kept); numbered from 1, the number preceded by a blank (none
    // before a minus). The archive number may have blanks around its digits; anything else
    // throws VelmoraError 13 when numbering from 1.
    static QString printedText(const QString &numeroArchivio, bool archiveNumbering,
                               qint64 firstCard);
};

} // namespace velmora
