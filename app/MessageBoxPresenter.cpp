#include "app/MessageBoxPresenter.h"

#include "VelmoraConfig.h"

#include <QMessageBox>
#include <QPushButton>

namespace velmora {

void MessageBoxPresenter::avviso(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(config::title), text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("msgAvviso"));
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool MessageBoxPresenter::conferma(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(config::title), text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("msgConferma"));
    QPushButton *yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace velmora
