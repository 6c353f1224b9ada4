#include "appearance/clsPrintDialog.h"

#include "errors/VelmoraError.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterTarget.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

namespace velmora {
namespace {

const QString cancelSource = QStringLiteral("ZQ PrintDialog");
const QString cancelText = QStringLiteral("Cancel.");
// Offered as the output file when no file has been chosen yet.
const QString suggestedFile = QStringLiteral("cartelle.pdf");

QPointer<QPrintDialog> &shownDialog() {
    static QPointer<QPrintDialog> dialog;
    return dialog;
}

QPrinter::DuplexMode toQt(int duplex) {
    switch (duplex) {
    case PrinterTarget::Vertical:
        return QPrinter::DuplexLongSide;
    case PrinterTarget::Horizontal:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

int fromQt(QPrinter::DuplexMode mode) {
    switch (mode) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        return PrinterTarget::Vertical;
    case QPrinter::DuplexShortSide:
        return PrinterTarget::Horizontal;
    default:
        return PrinterTarget::Simplex;
    }
}

PrintDialogSettings::Range rangeOf(QAbstractPrintDialog::PrintRange range) {
    switch (range) {
    case QAbstractPrintDialog::Selection:
        return PrintDialogSettings::Range::Selection;
    case QAbstractPrintDialog::PageRange:
        return PrintDialogSettings::Range::PageRange;
    case QAbstractPrintDialog::CurrentPage:
        return PrintDialogSettings::Range::CurrentPage;
    default:
        return PrintDialogSettings::Range::All;
    }
}

// Printer settings the user may not be able to have: each is skipped on its own.
template <typename Step> void ignoringErrors(Step step) {
    try {
        step();
    } catch (const VelmoraError &) {
    }
}

} // namespace

clsPrintDialog::clsPrintDialog(QWidget *parent)
    : clsPrintDialog(CurrentPrinter::target(), parent) {}

clsPrintDialog::clsPrintDialog(PrinterTarget &printer, QWidget *parent)
    : m_printer(printer), m_parent(parent) {}

QPrintDialog *clsPrintDialog::openDialog() {
    return shownDialog().data();
}

bool clsPrintDialog::ShowPrinter() {
    const QStringList installed = PrinterTarget::installedPrinters();

    // The dialog works on a copy of the current printer's settings, so a cancel leaves the
    // current printer exactly as it was.
    QPrinter choice(QPrinter::HighResolution);
    if (m_printer.isPdfFile()) {
        choice.setPrinterName(QString()); // no queue: the dialog opens on its file choice
        choice.setOutputFormat(QPrinter::PdfFormat);
        const QString file = m_printer.port();
        choice.setOutputFileName(file.isEmpty() ? QDir::current().absoluteFilePath(suggestedFile)
                                                : file);
    } else {
        choice.setPrinterName(m_printer.deviceName());
    }
    choice.setPageOrientation(m_printer.orientation() == 2 ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
    choice.setDuplex(toQt(m_printer.duplex()));

    const Offer offered = offer(Flags, !installed.isEmpty());
    choice.setCollateCopies(offered.collate);
    QPrintDialog dialog(&choice, m_parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    // The page numbers first: handing them over turns the page-range choice on.
    if (offered.pageRange && Min() <= Max()) {
        dialog.setMinMax(Min(), Max());
        // A range the setters left out of order (ToPage below FromPage) is not preset.
        if (FromPage() >= 1 && FromPage() <= ToPage()) {
            dialog.setFromTo(FromPage(), ToPage());
        }
    }
    dialog.setOption(QAbstractPrintDialog::PrintToFile, offered.printToFile);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, offered.pageRange);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offered.selection);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, offered.currentPage);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);

    // Qt's dialog shows its page-range and selection choices whatever the options say; what
    // the run would ignore is taken out of sight once the dialog is built.
    if (!offered.pageRange && !offered.selection && !offered.currentPage) {
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (auto *range = dialog.findChild<QWidget *>(QStringLiteral("gbPrintRange"))) {
                range->hide();
            }
        });
    }

    // With queues installed the dialog opens on a queue even when the current printer is a
    // file; the file choice is the last entry of its printer list.
    // The list is filled when the dialog shows, so the choice is made once it is on screen.
    if (m_printer.isPdfFile() && offered.printToFile) {
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
                printers && printers->count() > 0) {
                printers->setCurrentIndex(printers->count() - 1);
            }
        });
    }

    shownDialog() = &dialog;
    const int answer = dialog.exec();
    shownDialog() = nullptr;
    if (answer != QDialog::Accepted) {
        if (CancelError) {
            throw VelmoraError(VelmoraError::CancelPrintDialog, cancelText, cancelSource);
        }
        return false;
    }

    const bool toFile = choice.outputFormat() == QPrinter::PdfFormat;
    // A PDF file holds one copy of the run: more are refused before anything is printed.
    if (toFile && choice.copyCount() > 1) {
        throw VelmoraError(
            VelmoraError::InvalidProcedureCall,
            QCoreApplication::translate("clsPrintDialog",
                                        "Un file PDF contiene una sola copia delle cartelle: per "
                                        "stamparne %1 copie scegliere una stampante, oppure "
                                        "stampare il file %1 volte.")
                .arg(choice.copyCount()),
            cancelSource);
    }
    const Range range = rangeOf(dialog.printRange());
    Flags = returnedFlags(Flags, range, toFile, choice.collateCopies());
    if (range == Range::PageRange) {
        storeRange(static_cast<qint16>(choice.fromPage()), static_cast<qint16>(choice.toPage()));
    }

    if (toFile) {
        m_printer.selectPdfFile(choice.outputFileName());
    } else {
        // Device names are compared in capitals, as the dialog hands them back.
        const QString chosen = choice.printerName().toUpper();
        if (m_printer.isPdfFile() || m_printer.deviceName() != chosen) {
            for (const QString &name : installed) {
                if (name.toUpper() == chosen) {
                    m_printer.selectPrinter(name);
                    break;
                }
            }
        }
    }
    const int copies = choice.copyCount();
    const int duplex = fromQt(choice.duplex());
    const int orientation = choice.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    ignoringErrors([&] { m_printer.setCopies(copies); });
    ignoringErrors([&] { m_printer.setDuplex(duplex); });
    ignoringErrors([&] { m_printer.setOrientation(orientation); });
    return true;
}

} // namespace velmora
