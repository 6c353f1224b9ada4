#pragma once

#include "print/PageTarget.h"

#include <QPrinter>
#include <QStringList>

namespace velmora {

// Pages sent to a printer queue (CUPS on Linux), or to a PDF file when no printer is installed
// or printing to a file was chosen. Duplex modes use the printer-setting codes the print dialog
// exchanges: 1 one side, 2 both sides turning on the long edge, 3 on the short edge.
class PrinterTarget : public PageTarget {
public:
    enum Duplex : int { Simplex = 1, Vertical = 2, Horizontal = 3 };

    // The system's default printer, or a PDF-file printer when none is installed.
    PrinterTarget();

    // Device names of the installed printers, in the system's order.
    static QStringList installedPrinters();

    // Makes the installed printer deviceName current; false when there is none of that name.
    // Refused (VelmoraError 482) while a document is open.
    bool selectPrinter(const QString &deviceName);
    // Sends the next documents to a PDF file instead of a printer.
    void selectPdfFile(const QString &fileName);

    QString deviceName() const;
    // "PDF" for a file, otherwise the printer's make and model, or "CUPS" when it has none.
    QString driverName() const;
    // The output file of a file printer; empty for a queue (its address is not exposed).
    QString port() const;
    bool isPdfFile() const;

    int copies() const;
    void setCopies(int copies);
    int duplex() const;
    void setDuplex(int duplex);
    int orientation() const; // 1 portrait, 2 landscape
    void setOrientation(int orientation);

    QPrinter &printer() { return m_printer; }

    QPageLayout pageLayout() const override { return m_printer.pageLayout(); }
    void setPageOrientation(QPageLayout::Orientation orientation) override;
    int resolution() const override { return m_printer.resolution(); }
    void setResolution(int dotsPerInch) override;
    QPagedPaintDevice *beginDocument() override;
    bool newPage() override;
    void endDocument() override;
    void abortDocument() override;
    QString description() const override;
    QString afterDocumentNotice() const override;

protected:
    bool isFileOfPages() const override { return isPdfFile(); }

private:
    void ensureIdle() const;
    void checkPdfFile() const;
    void checkSpooled() const;

    QPrinter m_printer{QPrinter::HighResolution};
    bool m_printing = false;
    bool m_aborted = false;
};

} // namespace velmora
