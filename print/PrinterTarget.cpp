#include "print/PrinterTarget.h"

#include "errors/VelmoraError.h"

#include <QPrinterInfo>

namespace velmora {
namespace {
constexpr int invalidPropertyValue = 380; // "Valore della proprietà non valido"
constexpr int maxCopies = 9999;
} // namespace

PrinterTarget::PrinterTarget() {
    const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
    if (!preferred.isNull()) {
        m_printer.setPrinterName(preferred.printerName());
    } else if (const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters(); !all.isEmpty()) {
        m_printer.setPrinterName(all.first().printerName());
    } else {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
    }
}

QStringList PrinterTarget::installedPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

void PrinterTarget::ensureIdle() const {
    if (m_printing) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Errore della stampante: la stampante non si può "
                                          "cambiare a stampa iniziata"));
    }
}

bool PrinterTarget::selectPrinter(const QString &deviceName) {
    ensureIdle();
    const QPrinterInfo info = QPrinterInfo::printerInfo(deviceName);
    if (info.isNull()) {
        return false;
    }
    m_printer.setOutputFileName({});
    m_printer.setOutputFormat(QPrinter::NativeFormat);
    m_printer.setPrinterName(info.printerName());
    return true;
}

void PrinterTarget::selectPdfFile(const QString &fileName) {
    ensureIdle();
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(fileName);
}

bool PrinterTarget::isPdfFile() const {
    return m_printer.outputFormat() == QPrinter::PdfFormat;
}

QString PrinterTarget::deviceName() const {
    const QString name = m_printer.printerName();
    return name.isEmpty() && isPdfFile() ? QStringLiteral("PDF") : name;
}

QString PrinterTarget::driverName() const {
    if (isPdfFile()) {
        return QStringLiteral("PDF");
    }
    const QString model = QPrinterInfo::printerInfo(m_printer.printerName()).makeAndModel();
    return model.isEmpty() ? QStringLiteral("CUPS") : model;
}

QString PrinterTarget::port() const {
    return isPdfFile() ? m_printer.outputFileName() : QString();
}

int PrinterTarget::copies() const {
    return m_printer.copyCount();
}

void PrinterTarget::setCopies(int copies) {
    if (copies < 1 || copies > maxCopies) {
        throw VelmoraError(
            invalidPropertyValue,
            QStringLiteral("Valore della proprietà non valido: %1 copie").arg(copies));
    }
    m_printer.setCopyCount(copies);
}

int PrinterTarget::duplex() const {
    switch (m_printer.duplex()) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        return Vertical;
    case QPrinter::DuplexShortSide:
        return Horizontal;
    default:
        return Simplex;
    }
}

void PrinterTarget::setDuplex(int duplex) {
    QPrinter::DuplexMode mode = QPrinter::DuplexNone;
    switch (duplex) {
    case Simplex:
        break;
    case Vertical:
        mode = QPrinter::DuplexLongSide;
        break;
    case Horizontal:
        mode = QPrinter::DuplexShortSide;
        break;
    default:
        throw VelmoraError(
            invalidPropertyValue,
            QStringLiteral("Valore della proprietà non valido: fronte/retro %1").arg(duplex));
    }
    m_printer.setDuplex(mode);
    // A printer (or a file) that prints one side only keeps its setting: say so.
    if (m_printer.duplex() != mode) {
        throw VelmoraError(invalidPropertyValue,
                           QStringLiteral("Valore della proprietà non valido: %1 non stampa "
                                          "fronte/retro")
                               .arg(description()));
    }
}

int PrinterTarget::orientation() const {
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
}

void PrinterTarget::setOrientation(int orientation) {
    if (orientation != 1 && orientation != 2) {
        throw VelmoraError(
            invalidPropertyValue,
            QStringLiteral("Valore della proprietà non valido: orientamento %1").arg(orientation));
    }
    setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PrinterTarget::setPageOrientation(QPageLayout::Orientation orientation) {
    m_printer.setPageOrientation(orientation);
}

void PrinterTarget::setResolution(int dotsPerInch) {
    m_printer.setResolution(dotsPerInch);
}

QPagedPaintDevice *PrinterTarget::beginDocument() {
    if (isPdfFile() && m_printer.outputFileName().isEmpty()) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Nessuna stampante installata: scegliere un file "
                                          "PDF su cui stampare"));
    }
    m_printing = true;
    return &m_printer;
}

bool PrinterTarget::newPage() {
    return m_printer.newPage();
}

void PrinterTarget::endDocument() {
    m_printing = false;
}

void PrinterTarget::abortDocument() {
    m_printer.abort();
}

QString PrinterTarget::description() const {
    return isPdfFile() ? QStringLiteral("il file \"%1\"").arg(m_printer.outputFileName())
                       : QStringLiteral("la stampante \"%1\"").arg(m_printer.printerName());
}

} // namespace velmora
