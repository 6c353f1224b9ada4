// The numbers typed into the print page's boxes: any text reads without a crash, reads the
// same twice, and a value written back as text reads as the same value. The recomputation
// keeps its sums exact for any texts: last = first + count - 1, and the page count is the
// smallest whole number of pages that holds the cards.
//
// Input: one byte choosing the box and the orientation, then the four box texts in UTF-8
// separated by '\n'.

#include "FuzzCheck.h"
#include "settings/Decimal.h"
#include "settings/PrintRange.h"

#include <QList>
#include <QString>

#include <cstdint>

using velmora::Decimal;
using velmora::PrintBox;
using velmora::PrintRange;
using velmora::PrintRangeTexts;

namespace {

const Decimal one(1);
const Decimal half = Decimal::fromText(u"0.5");

void checkReading(const QString &text) {
    const Decimal value = PrintRange::readValue(text);
    FUZZ_CHECK(PrintRange::readValue(text) == value);
    const QString written = PrintRange::formatNumber(value);
    const auto reread = Decimal::leadingNumber(written);
    FUZZ_CHECK(reread.has_value() && *reread == value);
    FUZZ_CHECK(reread->toString() == written);
    // Written with the text's own digits: nothing after them changes the value.
    FUZZ_CHECK(PrintRange::readValue(written + QStringLiteral("x9")) == value);

    // Exact arithmetic: adding and taking back a number gives the value again.
    FUZZ_CHECK((value + one) - one == value);
    FUZZ_CHECK(value - value == Decimal());
    FUZZ_CHECK((value < value + one) && (value + one > value));

    // The settings field takes the nearest whole number when it fits 16 bits.
    if (const auto stored = PrintRange::storedFirstCard(text)) {
        const Decimal off = value - Decimal(*stored);
        FUZZ_CHECK(off <= half && off >= -half);
    } else {
        FUZZ_CHECK(value > Decimal(32767) || value < Decimal(-32768));
    }
    const auto limited = PrintRange::limitedFirstCard(text);
    FUZZ_CHECK(limited.has_value() == (value > Decimal(PrintRange::firstCardLimit)));
}

void checkPages(const Decimal &cards, const Decimal &pages, int perPage) {
    FUZZ_CHECK(pages.isWhole());
    FUZZ_CHECK(pages.multipliedBy(perPage) >= cards);
    FUZZ_CHECK((pages - one).multipliedBy(perPage) < cards);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const auto box = static_cast<PrintBox>(data[0] % 4);
    const int perPage =
        (data[0] & 4) ? PrintRange::portraitCardsPerPage : PrintRange::landscapeCardsPerPage;
    const QString all = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1,
                                          static_cast<qsizetype>(size - 1));
    QList<QString> parts = all.split(QLatin1Char('\n'));
    while (parts.size() < 4) {
        parts.append(QString());
    }
    for (const QString &part : parts) {
        checkReading(part);
    }

    PrintRangeTexts texts{parts[0], parts[1], parts[2], parts[3], QString()};
    const PrintRangeTexts before = texts;
    PrintRange::recompute(box, texts, perPage);

    const Decimal nPagine = PrintRange::readValue(texts.nPagine);
    const Decimal nCartelle = PrintRange::readValue(texts.nCartelle);
    const Decimal prima = PrintRange::readValue(texts.primaCartella);
    const Decimal ultima = PrintRange::readValue(texts.ultimaCartella);
    switch (box) {
    case PrintBox::NCartelle:
        FUZZ_CHECK(texts.nCartelle == before.nCartelle);
        FUZZ_CHECK(ultima == nCartelle + prima - one);
        checkPages(nCartelle, nPagine, perPage);
        break;
    case PrintBox::UltimaCartella:
        FUZZ_CHECK(texts.ultimaCartella == before.ultimaCartella);
        FUZZ_CHECK(nCartelle == ultima - prima + one);
        checkPages(nCartelle, nPagine, perPage);
        break;
    case PrintBox::PrimaCartella:
        FUZZ_CHECK(texts.primaCartella == before.primaCartella);
        FUZZ_CHECK(texts.nCartelle == before.nCartelle && texts.nPagine == before.nPagine);
        FUZZ_CHECK(ultima == nCartelle + prima - one);
        FUZZ_CHECK(texts.numerazione.startsWith(texts.primaCartella + QStringLiteral("..")));
        break;
    case PrintBox::NPagine:
        FUZZ_CHECK(texts == (PrintRangeTexts{before.nPagine, texts.nCartelle, before.primaCartella,
                                             before.ultimaCartella, before.numerazione}));
        FUZZ_CHECK(nCartelle == nPagine.multipliedBy(perPage));
        break;
    }
    return 0;
}
