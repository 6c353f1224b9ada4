#pragma once

#include <QString>

namespace velmora {

// The version text of the about window, e.g. "5.18.05": the major number, the minor number
// with at least two digits and the revision with at least two. Built once, then reused.
QString TestoVersione();

// The same text for any three numbers.
QString componiVersione(int major, int minor, int revision);

} // namespace velmora
