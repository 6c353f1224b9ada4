#include "rules/Game.h"

#include <QStringList>

namespace velmora {

bool Game::fromNumbers(const QList<int> &numbers, Game &game) {
    Game built;
    for (const int number : numbers) {
        if (!built.draw(number)) {
            game = Game();
            return false;
        }
    }
    game = built;
    return true;
}

std::optional<Game> Game::parse(const QString &text, QString *error) {
    Game game;
    if (text.trimmed().isEmpty()) {
        return game;
    }
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString &item : items) {
        bool numeric = false;
        const int number = item.trimmed().toInt(&numeric, 10);
        QString reason;
        if (!numeric) {
            reason = QStringLiteral("\"%1\" non è un numero").arg(item.trimmed());
        } else if (!NumberSet::inRange(number)) {
            reason = QStringLiteral("%1 non è tra 1 e 90").arg(number);
        } else if (game.isDrawn(number)) {
            reason = QStringLiteral("%1 compare due volte").arg(number);
        }
        if (!reason.isEmpty()) {
            if (error) {
                *error = QStringLiteral("Elenco dei numeri estratti non valido: %1.").arg(reason);
            }
            return std::nullopt;
        }
        game.draw(number);
    }
    return game;
}

bool Game::draw(int number) {
    if (!NumberSet::inRange(number) || m_drawn.contains(number)) {
        return false;
    }
    m_numbers.append(number);
    m_drawn.insert(number);
    return true;
}

bool Game::remove(int number) {
    if (!m_drawn.contains(number)) {
        return false;
    }
    m_numbers.removeOne(number);
    m_drawn.remove(number);
    return true;
}

int Game::undo() {
    const int number = last();
    if (number != 0) {
        remove(number);
    }
    return number;
}

} // namespace velmora
