#include "settings/PrintRange.h"

namespace velmora {

namespace {

const QString numberingSeparator = QStringLiteral("..");

} // namespace

Decimal PrintRange::pages(const Decimal &cardCount, int cardsPerPage) {
    return cardCount.ceilDividedBy(cardsPerPage);
}

QString PrintRange::numberingCaption(const QString &firstCardText) {
    const Decimal first = readValue(firstCardText);
    QString caption = firstCardText + numberingSeparator;
    for (int step = 1; step <= 3; ++step) {
        caption += formatNumber(first + Decimal(step)) + numberingSeparator;
    }
    return caption;
}

void PrintRange::recompute(PrintBox box, PrintRangeTexts &texts, int cardsPerPage) {
    const Decimal one(1);
    const Decimal count = readValue(texts.nCartelle);
    const Decimal first = readValue(texts.primaCartella);
    switch (box) {
    case PrintBox::NCartelle:
        texts.ultimaCartella = formatNumber(count + first - one);
        texts.nPagine = formatNumber(pages(count, cardsPerPage));
        break;
    case PrintBox::UltimaCartella: {
        const Decimal newCount = readValue(texts.ultimaCartella) - first + one;
        texts.nCartelle = formatNumber(newCount);
        texts.nPagine = formatNumber(pages(newCount, cardsPerPage));
        break;
    }
    case PrintBox::PrimaCartella:
        texts.numerazione = numberingCaption(texts.primaCartella);
        texts.ultimaCartella = formatNumber(count + first - one);
        break;
    case PrintBox::NPagine:
        // The last card is left as it was: only the card count follows the pages.
        texts.nCartelle = formatNumber(readValue(texts.nPagine).multipliedBy(cardsPerPage));
        break;
    }
}

std::optional<QString> PrintRange::limitedFirstCard(const QString &text) {
    if (readValue(text) > Decimal(firstCardLimit)) {
        return QString::number(firstCardLimit);
    }
    return std::nullopt;
}

std::optional<qint16> PrintRange::storedFirstCard(const QString &text) {
    return readValue(text).roundedToInt16();
}

} // namespace velmora
