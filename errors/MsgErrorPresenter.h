#pragma once

#include "errors/ErrorPresenter.h"

namespace velmora {

class frmMsgError;

// Shows error reports in the error window. The program installs one at start-up.
class MsgErrorPresenter : public ErrorPresenter {
public:
    int showReport(const QString &report) override;

    // During a print run the window blocks only itself (the main window is disabled anyway),
    // so the stop window keeps taking its click while a report is open.
    void setDuringRun(bool duringRun) { m_duringRun = duringRun; }
    // A stop is pending: the open window, and every one shown until it is cleared, says next
    // to its answers that the run will stop.
    void setStopPending(bool pending);

private:
    bool m_duringRun = false;
    bool m_stopPending = false;
    frmMsgError *m_open = nullptr;
};

} // namespace velmora
