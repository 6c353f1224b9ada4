#pragma once

#include "print/CardLayout.h"

#include <QString>
#include <optional>

namespace velmora {

// Keeps the card's texts off its lines as the font size grows: the title and the card number
// with their letters above the thin rule, each of the fifteen numbers inside its cell, the
// heading strip above the title of the card below. A text
// that would cross is drawn smaller, a whole device pixel of em at a time, never below
// TextFit's floor; at the sizes the size box takes the numbers are never made smaller.
//
// The print run keeps one for a run: the sizes are worked out once, not once per card.
class SizeFit {
public:
    // What the sizes depend on: the layout, the card face (as FontResolver resolves it), the
    // title's style, the size box's Dimensione, the layout's factors and the device resolution.
    struct Request {
        const CardLayout *layout = nullptr;
        QString family;
        bool titleBold = false;
        bool titleItalic = false;
        int dimensione = 0;
        double factorX = 0;
        double factorY = 0;
        int dotsPerInch = 0;
        friend bool operator==(const Request &, const Request &) = default;
    };
    // Points to draw at: as the layout asks for Dimensione, or smaller where that would cross.
    struct Sizes {
        double title = 0;
        double cardNumber = 0; // "N." and the number
        double numbers = 0;    // the fifteen numbers, bold
        double strip = 0;      // the heading strip under the card, above the next card's title
    };

    const Sizes &sizes(const Request &request);

    // The largest Dimensione at which the numbers, bold in family, fit their cells where the
    // layout places them on a card of full size (the factors' caps): the largest the size box
    // takes for the layout. Below the layout's smallest printable size when none fits.
    static int largestDimensione(const CardLayout &layout, const QString &family,
                                 int dotsPerInch = 300);

private:
    static Sizes measure(const Request &request);

    std::optional<Request> m_request;
    Sizes m_sizes;
};

} // namespace velmora
