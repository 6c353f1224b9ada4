#pragma once

#include "ui/FileChooser.h"

namespace velmora {

// The file dialog that asks where to save a PDF: Italian (through Qt's translations), PDF
// files only, ".pdf" added to a name typed without it, asking before replacing a file.
class PdfFileDialog : public FileChooser {
public:
    QString fileToSave(QWidget *parent, const QString &title, const QString &proposed) override;
};

} // namespace velmora
