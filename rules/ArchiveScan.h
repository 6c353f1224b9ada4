#pragma once

#include "rules/PrizeCheck.h"

#include "print/RecordCartella.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace velmora {

class CardArchive;

// The cards of a stretch of the archive, read once and kept as rows of numbers, so that every
// new number drawn re-checks thousands of cards without touching the file again.
class ArchiveScan {
public:
    struct Card {
        qint64 archiveCard = 0; // record number, from 1
        QString numeroArchivio; // as stored: CardNumbering gives the text printed from it
        CardRows rows;
    };
    struct Win {
        const Card *card = nullptr;
        Premio best = Premio::Nessuno;
    };

    ArchiveScan() = default;
    // Cards first .. first + count - 1 (as many as the archive holds). Throws VelmoraError
    // when the archive cannot be read.
    ArchiveScan(CardArchive &archive, qint64 first, qint64 count);
    // The same of an archive of `cards` complete records, each read by read(card).
    ArchiveScan(const std::function<RecordCartella(qint64 card)> &read, qint64 cards, qint64 first,
                qint64 count);

    const QList<Card> &cards() const { return m_cards; }
    // The cards whose best prize is at least the one asked for, in archive order.
    QList<Win> reached(const NumberSet &drawn, Premio atLeast) const;

private:
    QList<Card> m_cards;
};

} // namespace velmora
