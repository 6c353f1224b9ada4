#include "rules/ArchiveScan.h"

#include "print/CardArchive.h"

namespace velmora {

ArchiveScan::ArchiveScan(CardArchive &archive, qint64 first, qint64 count)
    : ArchiveScan([&archive](qint64 card) { return archive.read(card); }, archive.cardCount(),
                  first, count) {}

ArchiveScan::ArchiveScan(const std::function<RecordCartella(qint64)> &read, qint64 cards,
                         qint64 first, qint64 count) {
    if (first < 1 || count < 1 || first > cards) {
        return;
    }
    // Clipped before adding, so that no count typed on the command line overflows.
    const qint64 last = first + std::min(count, cards - first + 1) - 1;
    m_cards.reserve(last - first + 1);
    for (qint64 card = first; card <= last; ++card) {
        const RecordCartella record = read(card);
        m_cards.append({card, record.numeroArchivio(), CardRows::of(record)});
    }
}

QList<ArchiveScan::Win> ArchiveScan::reached(const NumberSet &drawn, Premio atLeast) const {
    QList<Win> wins;
    for (const Card &card : m_cards) {
        const Premio best = PrizeCheck::best(card.rows, drawn);
        if (best != Premio::Nessuno && best >= atLeast) {
            wins.append({&card, best});
        }
    }
    return wins;
}

} // namespace velmora
