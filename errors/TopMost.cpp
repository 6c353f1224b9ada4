#include "errors/TopMost.h"

#include <QWidget>

namespace velmora {

void SetTopMost(QWidget *window, bool topMost) {
    if (window == nullptr) {
        return;
    }
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    // Changing the flags hides a shown window; bring it back.
    if (wasVisible) {
        window->show();
    }
}

} // namespace velmora
