#pragma once

#include "errors/MessagePresenter.h"

namespace velmora {

// Messages as modal message boxes with the program title as caption.
class MessageBoxPresenter : public MessagePresenter {
public:
    void avviso(QWidget *parent, const QString &text) override;
    bool conferma(QWidget *parent, const QString &text) override;
};

} // namespace velmora
