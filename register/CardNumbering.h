#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

// The number a card carries on paper. Under archive numbering it is the number stored in the
// card's record; numbered from 1 it is that stored number - first card of the run + 1, which is
// the card's place in its run when the archive stores each record's position (the usual case).
// The print, the board of the evening, velmora-pdf and the card tracing all read it here.
class CardNumbering {
public:
    // The number printed on a card whose record stores archiveNumber.
    static qint64 printedValue(qint64 archiveNumber, bool archiveNumbering, qint64 firstCard);

    // The text printed under the card: under archive numbering the archive number as stored
    // (five characters, blanks kept); numbered from 1, the number preceded by a blank (none
    // before a minus). The archive number may have blanks around its digits; anything else
    // throws VelmoraError 13 when numbering from 1.
    static QString printedText(const QString &numeroArchivio, bool archiveNumbering,
                               qint64 firstCard);

    // The value of that text, as a player reads it off the card ("01101" is 1101); nothing when
    // the card carries no number made of digits.
    static std::optional<qint64> printedNumber(const QString &numeroArchivio, bool archiveNumbering,
                                               qint64 firstCard);
};

} // namespace velmora
