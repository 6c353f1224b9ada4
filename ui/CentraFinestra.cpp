#include "ui/CentraFinestra.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace velmora {

void CentraFinestra(QWidget *window) {
    if (!window || window->isMinimized() || window->isMaximized() || window->isFullScreen()) {
        return;
    }
    const QScreen *screen = window->screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    const int left = area.left() + (area.width() - size.width()) / 2;
    const int top = std::max(area.top(), area.top() + (area.height() - size.height()) / 2);
    window->move(left, top);
}

} // namespace velmora
