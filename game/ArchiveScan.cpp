#include "game/ArchiveScan.h"

#include "print/CardArchive.h"

namespace velmora {

ArchiveScan::ArchiveScan(CardArchive &archive, qint64 first, qint64 count) {
    const qint64 last = std::min(first + count - 1, archive.cardCount());
    if (first < 1 || last < first) {
        return;
    }
    m_cards.reserve(last - first + 1);
    for (qint64 card = first; card <= last; ++card) {
        const RecordCartella record = archive.read(card);
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

QString ArchiveScan::printedNumber(const QString &numeroArchivio, bool archiveNumbering,
                                   qint64 firstCard) {
    if (archiveNumbering) {
        return numeroArchivio;
    }
    bool numeric = false;
    const qint64 value = numeroArchivio.trimmed().toLongLong(&numeric);
    return numeric ? QString::number(value - firstCard + 1) : QStringLiteral("?");
}

} // namespace velmora
