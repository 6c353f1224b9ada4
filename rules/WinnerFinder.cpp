#include "rules/WinnerFinder.h"

#include <QStringList>

#include <algorithm>

namespace velmora {
namespace {

constexpr int namedAtMost = 10;

NumberSet setOf(const QList<int> &draw) {
    NumberSet drawn;
    for (const int number : draw) {
        drawn.insert(number);
    }
    return drawn;
}

} // namespace

QList<WinnerFinder::Reached> WinnerFinder::find(const QList<CardInPlay> &cards,
                                                const QList<int> &draw, const PrizePlan &plan) {
    QList<Reached> reached;
    const int prize = plan.playing();
    if (prize < 0) {
        return reached;
    }
    const Premio atLeast = plan.prizes().at(prize).kind;
    const NumberSet drawn = setOf(draw);
    for (int index = 0; index < cards.size(); ++index) {
        const CardInPlay &card = cards.at(index);
        const Premio best = counted(card, drawn, atLeast, plan);
        if (best != Premio::Nessuno) {
            reached.append({index, best, reachedAt(card.rows, draw, atLeast)});
        }
    }
    std::stable_sort(reached.begin(), reached.end(),
                     [](const Reached &a, const Reached &b) { return a.reachedAt < b.reachedAt; });
    return reached;
}

Premio WinnerFinder::counted(const CardInPlay &card, const NumberSet &drawn, Premio atLeast,
                             const PrizePlan &plan) {
    const Premio best = PrizeCheck::best(card.rows, drawn);
    if (best == Premio::Nessuno || best < atLeast) {
        return Premio::Nessuno;
    }
    // Once every tombola is given, asking for one names all the cards that made it.
    const int playing = plan.playing();
    const bool tombolaPlayed = playing >= 0 && plan.prizes().at(playing).kind == Premio::Tombola;
    if (atLeast == Premio::Tombola && tombolaPlayed && plan.madeTombola(card.run, card.printed)) {
        return Premio::Nessuno;
    }
    return best;
}

int WinnerFinder::reachedAt(const CardRows &card, const QList<int> &draw, Premio atLeast) {
    // Walked back from the last number, which most cards found at the draw reached it with:
    // the position is that of the number whose removal takes the prize away.
    NumberSet drawn = setOf(draw);
    const auto has = [atLeast](Premio best) { return best != Premio::Nessuno && best >= atLeast; };
    if (!has(PrizeCheck::best(card, drawn))) {
        return 0;
    }
    const NumberSet onCard = card.all();
    for (auto position = draw.size(); position > 0; --position) {
        const int number = draw.at(position - 1);
        if (!onCard.contains(number)) {
            continue;
        }
        drawn.remove(number);
        if (!has(PrizeCheck::best(card, drawn))) {
            return int(position);
        }
    }
    return 0;
}

std::optional<Award> WinnerFinder::award(const QList<CardInPlay> &cards, const QList<int> &draw,
                                         const PrizePlan &plan, qint64 run, qint64 printed,
                                         QString *refusal, Sharing sharing) {
    const auto refuse = [refusal](const QString &reason) {
        if (refusal) {
            *refusal = reason;
        }
        return std::nullopt;
    };
    const int prize = plan.playing();
    if (prize < 0) {
        return refuse(QStringLiteral("Tutti i premi sono stati assegnati."));
    }
    const Prize &playing = plan.prizes().at(prize);
    const auto claimed = std::find_if(cards.cbegin(), cards.cend(), [&](const CardInPlay &c) {
        return c.run == run && c.printed == printed;
    });
    if (claimed == cards.cend()) {
        return refuse(QStringLiteral("La cartella N. %1 non è tra le cartelle in gioco: non può "
                                     "vincere.")
                          .arg(printed));
    }
    const QString name =
        QStringLiteral("La cartella N. %1 (%2)").arg(claimed->printedText, claimed->runLabel);
    const Premio best = PrizeCheck::best(claimed->rows, setOf(draw));
    if (playing.kind == Premio::Tombola && plan.madeTombola(run, printed)) {
        return refuse(
            QStringLiteral("%1 ha già vinto una tombola: si gioca il %2.").arg(name, playing.name));
    }
    if (best == Premio::Nessuno || best < playing.kind) {
        if (best != Premio::Nessuno) {
            return refuse(QStringLiteral("%1 ha fatto %2, premio già assegnato: si gioca ora %3.")
                              .arg(name, PrizeCheck::name(best), playing.name));
        }
        return refuse(QStringLiteral("%1 non ha fatto %2.").arg(name, playing.name));
    }
    // Everyone who reached it with the same number shares it; those before only if so decided.
    const QList<Reached> reached = find(cards, draw, plan);
    const int when = reachedAt(claimed->rows, draw, playing.kind);
    Award award;
    award.prize = prize;
    for (const Reached &r : reached) {
        if (r.reachedAt == when || (sharing == Sharing::WithEarlier && r.reachedAt < when)) {
            const CardInPlay &card = cards.at(r.card);
            award.cards.append({card.run, card.printed, card.archiveCard, r.reachedAt});
        }
    }
    return award;
}

QList<WinnerFinder::Reached> WinnerFinder::earlier(const QList<CardInPlay> &cards,
                                                   const QList<int> &draw, const PrizePlan &plan,
                                                   qint64 run, qint64 printed) {
    const QList<Reached> reached = find(cards, draw, plan);
    const auto claimed = std::find_if(reached.cbegin(), reached.cend(), [&](const Reached &r) {
        return cards.at(r.card).run == run && cards.at(r.card).printed == printed;
    });
    if (claimed == reached.cend()) {
        return {};
    }
    // In the order they reached it: all those before the claimed card's draw.
    return reached.mid(0, std::find_if(reached.cbegin(), reached.cend(),
                                       [when = claimed->reachedAt](const Reached &r) {
                                           return r.reachedAt >= when;
                                       }) -
                              reached.cbegin());
}

QString WinnerFinder::reachedText(const CardInPlay &card, int reachedAt) {
    return QStringLiteral("N. %1 (%2) estr. %3")
        .arg(card.printedText, card.runLabel)
        .arg(reachedAt);
}

QString WinnerFinder::announce(const QList<CardInPlay> &cards, const QList<Reached> &reached,
                               const PrizePlan &plan) {
    const int prize = plan.playing();
    if (prize < 0) {
        return plan.playingText();
    }
    const QString name = plan.prizes().at(prize).name;
    if (reached.isEmpty()) {
        return QStringLiteral("%1: nessuna cartella in gioco.").arg(name);
    }
    QStringList named;
    for (const Reached &r : reached.mid(0, namedAtMost)) {
        named.append(reachedText(cards.at(r.card), r.reachedAt));
    }
    if (reached.size() > namedAtMost) {
        named.append(QStringLiteral("e altre %1").arg(reached.size() - namedAtMost));
    }
    const QString count = reached.size() == 1
                              ? QStringLiteral("1 cartella in gioco")
                              : QStringLiteral("%1 cartelle in gioco").arg(reached.size());
    return QStringLiteral("%1: %2 — %3").arg(name, count, named.join(QStringLiteral(", ")));
}

} // namespace velmora
