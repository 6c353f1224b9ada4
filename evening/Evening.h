#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace velmora {

// One evening ("serata") of the register: the runs printed for it, its games and the cards
// sold for it belong to it. The current evening is the one not closed.
struct Evening {
    qint64 id = 0;
    QString name; // "Serata del 7/12/2026"
    QDate date;   // local date
    QDateTime created;
    QDateTime closed; // invalid for the current evening

    bool isClosed() const { return closed.isValid(); }
    // The name a new evening of that date gets.
    static QString defaultName(const QDate &date) {
        return QStringLiteral("Serata del %1").arg(date.toString(QStringLiteral("d/M/yyyy")));
    }
};

// Cards in play: the numbers first..last printed by one run, sold at one price per card.
struct SoldRange {
    qint64 id = 0;
    qint64 run = 0;
    int first = 0;
    int last = 0;
    qint64 priceCents = 0;

    int count() const { return last - first + 1; }
    qint64 takingsCents() const { return priceCents * count(); }
};

// One card in play, as the search for winners needs it.
struct PlayedCard {
    qint64 run = 0;
    int printedNumber = 0;
    int archiveCard = 0; // the archive record, from 1
};

} // namespace velmora
