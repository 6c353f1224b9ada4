#pragma once

#include "errors/ErrorPresenter.h"

namespace velmora {

// Shows error reports in the error window. The program installs one at start-up.
class MsgErrorPresenter : public ErrorPresenter {
public:
    int showReport(const QString &report) override;
};

} // namespace velmora
