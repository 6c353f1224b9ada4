#include "errors/MsgErrorPresenter.h"

#include "errors/frmMsgError.h"

#include <QApplication>

namespace velmora {

int MsgErrorPresenter::showReport(const QString &report) {
    // Without a widget application there is no window to show: the caller gives up the step.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        return IDABORT;
    }
    frmMsgError window;
    return window.ShowReport(report);
}

} // namespace velmora
