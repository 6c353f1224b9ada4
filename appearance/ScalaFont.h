#pragma once

namespace velmora {

// Point sizes of the card pictures' labels for the font size S of the settings, kept
// fractional, and the title's top edge, which rises as the title grows.
class ScalaFont {
public:
    static constexpr double titolo(int s) { return (s + 6) / 1.5; }
    static constexpr double numeroCartella(int s) { return (s - 1) / 1.5; }
    static constexpr double numeri(int s) { return s / 1.5; }
    static constexpr double frase(int s) { return s / 1.5 - 5; }
    // In twips from the top of the card: 20 for the default size 16.
    static constexpr double topTitolo(int s) { return 130 - (s + 6) / 3.0 * 15; }
    // The labels accept only sizes above zero: anything else is a failure to set the size.
    static constexpr bool accettata(double pointSize) { return pointSize > 0; }
};

} // namespace velmora
