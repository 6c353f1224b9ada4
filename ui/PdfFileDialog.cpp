#include "ui/PdfFileDialog.h"

#include <QFileDialog>

namespace velmora {

QString PdfFileDialog::fileToSave(QWidget *parent, const QString &title, const QString &proposed) {
    QFileDialog dialog(parent, title, proposed, QStringLiteral("Documenti PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace velmora
