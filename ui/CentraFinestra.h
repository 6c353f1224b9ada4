#pragma once

class QWidget;

namespace velmora {

// Centres a window on the screen that holds it, keeping its size. A minimised, maximised or
// full-screen window is left alone. The top edge never goes above the screen, so the title bar
// stays within reach; a window wider than the screen overhangs both sides equally.
void CentraFinestra(QWidget *window);

} // namespace velmora
