#include "appearance/ShowColor.h"

#include "print/BgrColor.h"

#include <QColorDialog>
#include <QPalette>
#include <QWidget>

namespace velmora {

bool ShowColor(QWidget *owner, QWidget *target) {
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, Qt::black);
    }
    QColorDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("dlgColore"));
    // Qt's own dialog: the same on every platform, and answerable in tests.
    dialog.setOptions(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(Qt::black);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (target) {
        SetForeColor(target, BgrColor::fromColor(dialog.selectedColor()));
    }
    return true;
}

qint32 ForeColor(const QWidget *control) {
    return BgrColor::fromColor(control->palette().color(QPalette::WindowText));
}

void SetForeColor(QWidget *control, qint32 bgr) {
    const QColor color = BgrColor::toColor(bgr);
    QPalette palette = control->palette();
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, color);
    }
    control->setPalette(palette);
}

QString TestoColore(qint32 bgr) {
    return BgrColor::toColor(bgr).name(QColor::HexRgb).toUpper();
}

} // namespace velmora
