#include "print/ScreenPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace velmora {
namespace {
bool &busyState() {
    static bool busy = false;
    return busy;
}
} // namespace

void ScreenPointer::setBusy(bool busy) {
    if (busy == busyState()) {
        return;
    }
    busyState() = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool ScreenPointer::isBusy() {
    return busyState();
}

} // namespace velmora
