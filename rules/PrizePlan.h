#pragma once

#include "rules/PrizeCheck.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace velmora {

// One prize of a game: what makes it, the name the hall knows it by, what it is worth (free
// text, "10 euro" or "un cesto"; empty when not said) and, when cards share it, whether each
// gets the whole value rather than a part of it.
struct Prize {
    Premio kind = Premio::Nessuno;
    QString name;
    QString value;
    bool wholeToEach = false;
};

// A card given a prize: its run, the number printed on it, its archive card, and the position
// in the draw (from 1) of the number with which it reached the prize.
struct AwardedCard {
    qint64 run = 0;
    qint64 printed = 0;
    int archiveCard = 0;
    int reachedAt = 0;
};

// A prize given: to one card, or to the cards that reached it at the same draw.
struct Award {
    int prize = -1; // index into the game's prizes
    QList<AwardedCard> cards;
    QDateTime when;
};

// The prizes of a game in the order they are played, and those given so far. The prize being
// played is the first not yet given.
class PrizePlan {
public:
    // Ambo, Terno, Quaterna, Cinquina, Tombola, with no value.
    PrizePlan();
    PrizePlan(QList<Prize> prizes, QList<Award> awards);

    static QList<Prize> defaults();

    const QList<Prize> &prizes() const { return m_prizes; }
    const QList<Award> &awards() const { return m_awards; }

    // Index of the prize being played; -1 when every prize is given.
    int playing() const;
    bool isAwarded(int prize) const;
    // Whether the game has one tombola only, so that the Tombolino can be added.
    bool canAddTombolino() const;
    // Adds the second tombola, "Tombolino", at the end; false when the game has one already.
    bool addTombolino();
    bool setValue(int prize, const QString &value);
    bool setWholeToEach(int prize, bool whole);
    void record(const Award &award);
    // Takes back the prize's award, given by mistake: the prize is played again. False when
    // the prize was not given.
    bool takeBack(int prize);
    // True when the card was given a tombola: it does not play for the second one.
    bool madeTombola(qint64 run, qint64 printed) const;

    // "Si gioca: Terno (10 euro)", "Tutti i premi sono stati assegnati."
    QString playingText() const;

private:
    QList<Prize> m_prizes;
    QList<Award> m_awards;
};

} // namespace velmora
