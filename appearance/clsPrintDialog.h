#pragma once

#include "appearance/PrintDialogSettings.h"

class QPrintDialog;
class QWidget;

namespace velmora {

class PrinterTarget;

// The printer selection dialog of one print command: the system print dialog preset from the
// current printer (device, orientation, two-sided mode). On confirmation the chosen printer,
// or the chosen PDF file, becomes the program's current printer and takes the dialog's copies,
// two-sided mode and orientation. A cancel changes nothing.
class clsPrintDialog : public PrintDialogSettings {
public:
    // The printer to preset from and to change: by default the program's current printer.
    explicit clsPrintDialog(QWidget *parent = nullptr);
    clsPrintDialog(PrinterTarget &printer, QWidget *parent = nullptr);

    // True when the user confirmed. A cancel returns false, or with CancelError set throws
    // VelmoraError 32755 "Cancel." from "ZQ PrintDialog".
    bool ShowPrinter();

    // The dialog while ShowPrinter() has it open (tests answer it), else nullptr.
    static QPrintDialog *openDialog();

private:
    PrinterTarget &m_printer;
    QWidget *m_parent;
};

} // namespace velmora
