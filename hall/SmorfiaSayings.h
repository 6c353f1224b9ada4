#pragma once

#include <QString>

namespace velmora {

// The saying the hall expects after a number, from the Neapolitan tradition of the smorfia, in
// our own short words. An empty text for a number outside 1..90.
QString smorfiaSaying(int number);

} // namespace velmora
