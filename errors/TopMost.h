#pragma once

class QWidget;

namespace velmora {

// Puts a window on (true) or off (false) the always-on-top layer. A visible window stays
// visible.
void SetTopMost(QWidget *window, bool topMost);

} // namespace velmora
