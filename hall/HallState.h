#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace velmora {

// A card given a prize, as the hall knows it: the number printed on it ("00027" under archive
// numbering) and its run ("corsa 2").
struct HallCard {
    QString printed;
    QString run;

    // "N. 00027 (corsa 2)": the card as a list of prizes names it.
    QString named() const;
    // "N. 3 (corsa 1), N. 00009 (corsa 2)": the cards of a prize, each named as above.
    static QString names(const QList<HallCard> &cards);

    friend bool operator==(const HallCard &, const HallCard &) = default;
};

// A prize given in this game, with its cards.
struct HallAward {
    QString prize;         // "Ambo"
    QList<HallCard> cards; // one, or those that shared it
    int drawnBefore = 0;   // how many numbers stood when it was given

    // "Ambo: cartella N. 123", "Terno: cartelle N. 12, N. 34": what the hall reads.
    QString banner() const;
    // "Terno: cartelle N. 12 (corsa 1), N. 00034 (corsa 2)": the prize in the phones' list of
    // prizes given, each card with its run, since one number may be printed by several runs.
    QString listed() const;

    friend bool operator==(const HallAward &, const HallAward &) = default;
};

// What the hall may know of the game being played, worked out once from the register's data
// and drawn alike by the Tabellone, the hall's board and the phones: the numbers drawn in
// order, the last and the few before it, the count, the prize being played and the prizes given
// with their cards.
struct HallState {
    static constexpr int previousShown = 5;

    qint64 game = 0;         // the register's game; another id is another game
    QList<int> numbers;      // drawn, in order
    int last = 0;            // 0 before the first number
    QList<int> previous;     // up to previousShown numbers before the last, newest first
    QString playing;         // "Si gioca: Terno (10 euro)", "Tutti i premi sono stati assegnati."
    QList<HallAward> awards; // in the order given

    // The state of a game from its numbers in order, its prize being played and its awards.
    static HallState of(qint64 game, const QList<int> &numbers, const QString &playing,
                        const QList<HallAward> &awards);

    int count() const { return int(numbers.size()); }
    // "Precedenti: 12  34  5" as the hall reads it; empty before the second number.
    QString previousText() const;
    // The award given since the last number was drawn, which the hall's board shows as a
    // banner; nullptr when there is none.
    const HallAward *freshAward() const;

    friend bool operator==(const HallState &, const HallState &) = default;
};

} // namespace velmora
