#include "rules/PrizePlan.h"

#include <algorithm>

namespace velmora {
namespace {
const QString secondTombola = QStringLiteral("Tombolino");
} // namespace

PrizePlan::PrizePlan() : m_prizes(defaults()) {}

PrizePlan::PrizePlan(QList<Prize> prizes, QList<Award> awards)
    : m_prizes(std::move(prizes)), m_awards(std::move(awards)) {}

QList<Prize> PrizePlan::defaults() {
    QList<Prize> prizes;
    for (const Premio kind :
         {Premio::Ambo, Premio::Terno, Premio::Quaterna, Premio::Cinquina, Premio::Tombola}) {
        prizes.append({kind, PrizeCheck::name(kind), {}});
    }
    return prizes;
}

int PrizePlan::playing() const {
    for (int prize = 0; prize < m_prizes.size(); ++prize) {
        if (!isAwarded(prize)) {
            return prize;
        }
    }
    return -1;
}

bool PrizePlan::isAwarded(int prize) const {
    return std::any_of(m_awards.cbegin(), m_awards.cend(),
                       [prize](const Award &award) { return award.prize == prize; });
}

bool PrizePlan::canAddTombolino() const {
    return std::count_if(m_prizes.cbegin(), m_prizes.cend(),
                         [](const Prize &p) { return p.kind == Premio::Tombola; }) == 1;
}

bool PrizePlan::addTombolino() {
    if (!canAddTombolino()) {
        return false;
    }
    m_prizes.append({Premio::Tombola, secondTombola, {}});
    return true;
}

bool PrizePlan::setValue(int prize, const QString &value) {
    if (prize < 0 || prize >= m_prizes.size()) {
        return false;
    }
    m_prizes[prize].value = value.trimmed();
    return true;
}

bool PrizePlan::setWholeToEach(int prize, bool whole) {
    if (prize < 0 || prize >= m_prizes.size()) {
        return false;
    }
    m_prizes[prize].wholeToEach = whole;
    return true;
}

void PrizePlan::record(const Award &award) {
    m_awards.append(award);
}

bool PrizePlan::takeBack(int prize) {
    return m_awards.removeIf([prize](const Award &award) { return award.prize == prize; }) > 0;
}

bool PrizePlan::madeTombola(qint64 run, qint64 printed) const {
    for (const Award &award : m_awards) {
        if (award.prize < 0 || award.prize >= m_prizes.size() ||
            m_prizes.at(award.prize).kind != Premio::Tombola) {
            continue;
        }
        for (const AwardedCard &card : award.cards) {
            if (card.run == run && card.printed == printed) {
                return true;
            }
        }
    }
    return false;
}

QString PrizePlan::playingText() const {
    const int prize = playing();
    if (prize < 0) {
        return QStringLiteral("Tutti i premi sono stati assegnati.");
    }
    const Prize &p = m_prizes.at(prize);
    return p.value.isEmpty() ? QStringLiteral("Si gioca: %1").arg(p.name)
                             : QStringLiteral("Si gioca: %1 (%2)").arg(p.name, p.value);
}

} // namespace velmora
