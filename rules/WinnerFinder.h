#pragma once

#include "rules/CardInPlay.h"
#include "rules/PrizePlan.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmora {

// Which cards in play have reached the prize being played, after each number drawn, and the
// award of a checked claim. Pure: the draw, the cards and the prizes are given.
class WinnerFinder {
public:
    struct Reached {
        int card = -1; // index into the cards in play
        Premio best = Premio::Nessuno;
        int reachedAt = 0; // position in the draw, from 1, of the number that made it
    };

    // Whom a prize is shared with: the rule of the hall is only the cards that reached it with
    // the same number as the claimed one; the organiser may also give a share to those that
    // reached it earlier and did not claim it.
    enum class Sharing { SameNumber, WithEarlier };

    // The cards whose best prize is the one being played or a later one, in the order they
    // reached it (those that reached it with the same number in the order given); a card given
    // a tombola does not play for the second. Empty when every prize is given.
    static QList<Reached> find(const QList<CardInPlay> &cards, const QList<int> &draw,
                               const PrizePlan &plan);
    // The card's best prize when it counts for atLeast, Nessuno when it does not: it has at
    // least that prize, and while a tombola is played a card given one does not count for it.
    // The one rule of the winners found at the draw and of "Chi ha vinto?".
    static Premio counted(const CardInPlay &card, const NumberSet &drawn, Premio atLeast,
                          const PrizePlan &plan);
    // The position in the draw (from 1) at which the card first had at least the prize; 0 when
    // it has not.
    static int reachedAt(const CardRows &card, const QList<int> &draw, Premio atLeast);

    // The award of the prize being played to the claimed card (its run and printed number),
    // shared with every card in play that reached it at the same draw, and with sharing
    // WithEarlier also with those that reached it before. Nothing, with the Italian reason in
    // refusal, for a card not in play, one without the prize, or a prize already given.
    static std::optional<Award> award(const QList<CardInPlay> &cards, const QList<int> &draw,
                                      const PrizePlan &plan, qint64 run, qint64 printed,
                                      QString *refusal, Sharing sharing = Sharing::SameNumber);
    // The cards that reached the prize being played at a draw before the claimed card did: the
    // prize is still to be given, so none of them claimed it. Empty when the claimed card has
    // not reached it.
    static QList<Reached> earlier(const QList<CardInPlay> &cards, const QList<int> &draw,
                                  const PrizePlan &plan, qint64 run, qint64 printed);
    // "N. 123 (corsa 2) estr. 15": a card found, with the draw at which it reached
    // the prize.
    static QString reachedText(const CardInPlay &card, int reachedAt);

    // "Terno: 2 cartelle in gioco — N. 123 (corsa 2) estr. 7, N. 456 (corsa 2)
    // estr. 9"; the first few cards are named, the rest counted.
    static QString announce(const QList<CardInPlay> &cards, const QList<Reached> &reached,
                            const PrizePlan &plan);
};

} // namespace velmora
