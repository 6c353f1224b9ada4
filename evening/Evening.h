#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
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

// Where the evening is held and who signs the record of its games: the venue, the place written
// beside the date under the record, and the signatories in order, each with the role signed in.
struct Signing {
    struct Signer {
        QString role; // "Il presidente"
        QString name; // empty: written by hand
        friend bool operator==(const Signer &, const Signer &) = default;
    };
    QString venue;
    QString place;
    QList<Signer> signers;

    // The roles a record is signed in when none were entered, with no names.
    static QList<Signer> usualSigners() {
        return {{QStringLiteral("Il presidente"), {}},
                {QStringLiteral("Il segretario"), {}},
                {QStringLiteral("Il rappresentante incaricato"), {}}};
    }
    friend bool operator==(const Signing &, const Signing &) = default;
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

// One game of an evening, as a list of games shows it.
struct GameListing {
    qint64 game = 0;
    QDateTime started;
    QDateTime ended; // invalid while the game is being played
    int drawn = 0;   // numbers standing (taken-back ones not counted)
    bool current = false;
};

// Where a game stands among the games of its evening.
struct GamePlace {
    qint64 evening = 0; // 0: a game kept before evenings were, or one no evening took
    int number = 0;     // its place among the evening's games, from 1; 0 without an evening
};

// One card in play, as the search for winners needs it.
struct PlayedCard {
    qint64 run = 0;
    int printedNumber = 0;
    int archiveCard = 0; // the archive record, from 1
};

} // namespace velmora
