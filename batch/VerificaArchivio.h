#pragma once

#include "print/ArchiveFinding.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace velmora {

class CardArchive;

// The check of a card archive, or of a range of it, for the batch program: every card against
// the card rules, every series of six the range touches (series run 1-6, 7-12, ... as the
// archive is made), the cards of the range that repeat another card of the range, a short last
// record, and cards asked for that the archive does not hold.
class VerificaArchivio {
public:
    static constexpr qsizetype maxLinesPerCard = 20;
    static constexpr qsizetype maxLines = 1000;

    struct Report {
        QString archivePath;
        qint64 archiveCards = 0; // complete records of the archive
        qint64 first = 1;        // the range asked for
        qint64 last = 0;
        qint64 cardsChecked = 0;
        bool stopped = false;
        QList<ArchiveFinding> findings; // in card order
        // Cards of the range beyond the archive's end (they would print blank): first..last.
        qint64 missingFirst = 0;
        qint64 missingLast = -1;

        bool sound() const { return !stopped && findings.isEmpty() && missingLast < missingFirst; }
        // One line per fault: the card, what is wrong, and the rule; at most maxLinesPerCard
        // a card (then how many more) and about maxLines in all (then how many are not listed).
        QStringList lines() const;
        QString summary() const;
    };

    // first counts from 1; count empty means up to the last record. stop is asked between
    // cards: true ends the check early (the report says so).
    static Report check(CardArchive &archive, qint64 first, std::optional<qint64> count,
                        const std::function<bool()> &stop = {});

    // The rule a finding breaks, in a few Italian words.
    static QString ruleName(ArchiveRule rule);
    static QString line(const ArchiveFinding &finding);
};

} // namespace velmora
