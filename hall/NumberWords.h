#pragma once

#include <QString>

namespace velmora {

// A drawn number as it is said aloud in Italian: 1 "uno", 77 "settantasette", 90 "novanta".
// An empty text for a number outside 1..90.
QString numberWords(int number);

} // namespace velmora
