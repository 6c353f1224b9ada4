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
    if (m_duringRun) {
        window.setWindowModality(Qt::WindowModal);
    }
    window.setStopPending(m_stopPending);
    m_open = &window;
    const int answer = window.ShowReport(report);
    m_open = nullptr;
    return answer;
}

void MsgErrorPresenter::setStopPending(bool pending) {
    m_stopPending = pending;
    if (m_open != nullptr) {
        m_open->setStopPending(pending);
    }
}

} // namespace velmora
