#include "hall/HallState.h"

#include <QStringList>

namespace velmora {

namespace {

QString prizeOf(const QString &prize, const QStringList &named) {
    return QStringLiteral("%1: %2 %3")
        .arg(prize, named.size() == 1 ? QStringLiteral("cartella") : QStringLiteral("cartelle"),
             named.join(QStringLiteral(", ")));
}

} // namespace

QString HallCard::named() const {
    return QStringLiteral("N. %1 (%2)").arg(printed, run);
}

QString HallCard::names(const QList<HallCard> &cards) {
    QStringList named;
    for (const HallCard &card : cards) {
        named.append(card.named());
    }
    return named.join(QStringLiteral(", "));
}

QString HallAward::banner() const {
    QStringList named;
    for (const HallCard &card : cards) {
        named.append(QStringLiteral("N. %1").arg(card.printed));
    }
    return prizeOf(prize, named);
}

QString HallAward::listed() const {
    QStringList named;
    for (const HallCard &card : cards) {
        named.append(card.named());
    }
    return prizeOf(prize, named);
}

HallState HallState::of(qint64 game, const QList<int> &numbers, const QString &playing,
                        const QList<HallAward> &awards) {
    HallState state;
    state.game = game;
    state.numbers = numbers;
    state.last = numbers.isEmpty() ? 0 : numbers.constLast();
    for (qsizetype i = numbers.size() - 2; i >= 0 && state.previous.size() < previousShown; --i) {
        state.previous.append(numbers.at(i));
    }
    state.playing = playing;
    state.awards = awards;
    return state;
}

QString HallState::previousText() const {
    QStringList shown;
    for (const int number : previous) {
        shown.append(QString::number(number));
    }
    return shown.isEmpty() ? QString()
                           : QStringLiteral("Precedenti: %1").arg(shown.join(QStringLiteral("  ")));
}

const HallAward *HallState::freshAward() const {
    if (awards.isEmpty() || awards.constLast().drawnBefore != count()) {
        return nullptr;
    }
    return &awards.constLast();
}

} // namespace velmora
