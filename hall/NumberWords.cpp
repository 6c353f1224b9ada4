#include "hall/NumberWords.h"

#include <array>

namespace velmora {

namespace {

const std::array<const char *, 20> belowTwenty = {
    "",         "uno",    "due",         "tre",      "quattro",
    "cinque",   "sei",    "sette",       "otto",     "nove",
    "dieci",    "undici", "dodici",      "tredici",  "quattordici",
    "quindici", "sedici", "diciassette", "diciotto", "diciannove"};

const std::array<const char *, 10> tens = {"",         "",          "venti",    "trenta",
                                           "quaranta", "cinquanta", "sessanta", "settanta",
                                           "ottanta",  "novanta"};

} // namespace

QString numberWords(int number) {
    if (number < 1 || number > 90) {
        return {};
    }
    if (number < 20) {
        return QString::fromLatin1(belowTwenty[number]);
    }
    QString ten = QString::fromLatin1(tens[number / 10]);
    const int unit = number % 10;
    if (unit == 0) {
        return ten;
    }
    // "uno" and "otto" start with a vowel, which swallows the last one of the tens: ventuno,
    // trentotto.
    if (unit == 1 || unit == 8) {
        ten.chop(1);
    }
    // A three at the end carries its accent: ventitré.
    if (unit == 3) {
        return ten + QStringLiteral("tré");
    }
    return ten + QString::fromLatin1(belowTwenty[unit]);
}

} // namespace velmora
