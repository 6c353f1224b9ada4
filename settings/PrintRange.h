#pragma once

#include "settings/Decimal.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velmora {

// The four boxes of the print page. After a key in one of them the others are brought in line.
enum class PrintBox { NPagine, NCartelle, PrimaCartella, UltimaCartella };

// The texts of the print page that the recomputations read and write.
struct PrintRangeTexts {
    QString nPagine;        // page count
    QString nCartelle;      // card count
    QString primaCartella;  // first card of the archive
    QString ultimaCartella; // last card
    QString numerazione;    // caption of the archive-numbering option

    bool operator==(const PrintRangeTexts &other) const = default;
};

// The arithmetic of the print page, on texts, without widgets. Values are read as the number
// at the start of a box's text (0 when there is none) and computed exactly, so any run of
// digits gives an exact result and never an overflow.
class PrintRange {
public:
    static constexpr int landscapeCardsPerPage = 6; // two columns of three
    static constexpr int portraitCardsPerPage = 3;  // one above the other
    static constexpr int firstCardLimit = 9999;

    // The value of a box's text, and the text written back for a computed value.
    static Decimal readValue(const QString &text) { return Decimal::fromText(text); }
    static double readNumber(const QString &text) { return readValue(text).toDouble(); }
    static QString formatNumber(const Decimal &value) { return value.toString(); }

    // Pages for a card count: the count over the cards per page, rounded towards plus
    // infinity. So 1 to 6 landscape cards make one page, 0 to -5 none, and -6 make -1.
    static Decimal pages(const Decimal &cardCount, int cardsPerPage);

    // The caption of the archive-numbering option: the first card's text as typed, then the
    // three numbers after it, each followed by "..": "120..121..122..123..".
    static QString numberingCaption(const QString &firstCardText);

    // The recomputation run after a key release in `box`. It changes only the texts that the
    // box's row sets; `box` itself is never written.
    static void recompute(PrintBox box, PrintRangeTexts &texts, int cardsPerPage);

    // The first card's text brought under its limit: "9999" when its value is greater, else
    // nothing (the text stays as it is).
    static std::optional<QString> limitedFirstCard(const QString &text);
    // The value of the first card's text for the settings field: rounded half to even, or
    // nothing when it does not fit the 16-bit field (the field then keeps its value).
    static std::optional<qint16> storedFirstCard(const QString &text);
};

} // namespace velmora
