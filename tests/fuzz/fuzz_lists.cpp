// What velmora-pdf reads from its command line for the evening: the numbers drawn
// (--estratti), the ranges of cards sold (--vendute) and the price per card (--prezzo). Any
// text is read without a crash and either refused with a reason or read into values that keep
// the rules (numbers 1..90 once each, ranges from 1 and rising, a price not below 0), and what
// is read, written back as the user would type it, reads the same.
//
// Input: one byte choosing the reader, then the text in UTF-8.

#include "FuzzCheck.h"
#include "evening/EveningStore.h"
#include "rules/Game.h"

#include <QSet>
#include <QStringList>

#include <cstdint>

using velmora::EveningStore;
using velmora::Game;

namespace {

void checkNumbers(const QString &text) {
    QString error;
    const std::optional<Game> game = Game::parse(text, &error);
    if (!game) {
        FUZZ_CHECK(error.startsWith(QStringLiteral("Elenco dei numeri estratti non valido: ")));
        return;
    }
    QStringList written;
    QSet<int> seen;
    for (const int number : game->numbers()) {
        FUZZ_CHECK(number >= 1 && number <= 90 && !seen.contains(number));
        seen.insert(number);
        written.append(QString::number(number));
    }
    const std::optional<Game> again = Game::parse(written.join(u','), nullptr);
    FUZZ_CHECK(again && again->numbers() == game->numbers());
}

void checkRanges(const QString &text) {
    QString error;
    const auto ranges = EveningStore::parseRanges(text, &error);
    if (!ranges) {
        FUZZ_CHECK(!error.isEmpty());
        return;
    }
    FUZZ_CHECK(!ranges->isEmpty());
    QStringList written;
    for (const auto &[first, last] : *ranges) {
        FUZZ_CHECK(first >= 1 && first <= last);
        written.append(QStringLiteral("%1-%2").arg(first).arg(last));
    }
    const auto again = EveningStore::parseRanges(written.join(u','), &error);
    FUZZ_CHECK(again && *again == *ranges);
}

void checkPrice(const QString &text) {
    const std::optional<qint64> cents = EveningStore::parseCents(text);
    if (!cents) {
        return;
    }
    FUZZ_CHECK(*cents >= 0);
    // "12,50 €" as the program shows it reads back as the same amount.
    FUZZ_CHECK(EveningStore::parseCents(EveningStore::money(*cents)) == cents);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1,
                                           static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
    case 0:
        checkNumbers(text);
        break;
    case 1:
        checkRanges(text);
        break;
    default:
        checkPrice(text);
        break;
    }
    return 0;
}
