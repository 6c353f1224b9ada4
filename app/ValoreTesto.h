#pragma once

#include <QString>

namespace velmora {

// The number at the start of a box's text, with a point as the decimal separator: blanks are
// skipped, then an optional sign, digits with at most one point and an optional exponent.
// Text that does not start with a number, the empty text included, gives 0.
double ValoreTesto(const QString &text);

} // namespace velmora
