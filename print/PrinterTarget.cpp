#include "print/PrinterTarget.h"

#include "errors/FileErrorText.h"

#include "errors/VelmoraError.h"
#include "print/PdfTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QPrinterInfo>

namespace velmora {
namespace {
constexpr int invalidPropertyValue = 380; // "Valore della proprietà non valido"
constexpr int maxCopies = 9999;
constexpr qint64 pdfTailBytes = 1024; // where a complete PDF says %%EOF
constexpr int ippFirstError = 0x0400; // IPP status codes from here on are failures

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// The outcome of the last request this thread made to CUPS, when the CUPS library is in the
// process (the print support loads it to talk to the queues); 0 with its text when not. The
// print support drops the outcome of handing a job to the queue, so it is read back from here.
std::pair<int, QString> lastCupsStatus() {
    using StatusFunction = int (*)();
    using TextFunction = const char *(*)();
    static QLibrary cups(QStringLiteral("cups"), 2);
    static const auto status = reinterpret_cast<StatusFunction>(cups.resolve("cupsLastError"));
    static const auto text = reinterpret_cast<TextFunction>(cups.resolve("cupsLastErrorString"));
    if (!status) {
        return {0, {}};
    }
    const char *said = text ? text() : nullptr;
    return {status(), said ? QString::fromUtf8(said) : QString()};
}

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
    m_printer.setDocName(documentTitle());
    m_printer.setCreator(PdfTarget::creator());
    if (isPdfFile()) {
        const QFileInfo folder(QFileInfo(m_printer.outputFileName()).absolutePath());
        if (!folder.isDir()) {
            throw VelmoraError(
                VelmoraError::PrinterError,
                QStringLiteral("impossibile scrivere il file \"%1\": la cartella "
                               "\"%2\" non esiste.")
                    .arg(shown(m_printer.outputFileName()), shown(folder.absoluteFilePath())));
        }
    }
    m_printing = true;
    m_aborted = false;
    return &m_printer;
}

bool PrinterTarget::newPage() {
    if (m_printer.newPage()) {
        return true;
    }
    // The PDF engine refuses a page once a write of the file failed, and says no more: the
    // file system says why (a full disk), before the file is dropped and the space freed.
    if (const int failure = isPdfFile() ? FileErrorText::writeError(m_printer.outputFileName()) : 0;
        failure != 0) {
        throw VelmoraError(
            VelmoraError::PrinterError,
            QStringLiteral("il file PDF \"%1\" non si può scrivere: %2.")
                .arg(shown(m_printer.outputFileName()), FileErrorText::reason(failure)));
    }
    return false;
}

void PrinterTarget::endDocument() {
    const bool aborted = m_aborted;
    m_printing = false;
    m_aborted = false;
    if (aborted) {
        return;
    }
    if (isPdfFile()) {
        checkPdfFile();
    } else {
        checkSpooled();
    }
}

// The PDF engine does not report failed writes (a full disk): a file without its beginning or
// its end is a broken file, and goes.
void PrinterTarget::checkPdfFile() const {
    QFile written(m_printer.outputFileName());
    bool complete = false;
    if (written.open(QIODevice::ReadOnly)) {
        const QByteArray head = written.read(5);
        written.seek(std::max<qint64>(0, written.size() - pdfTailBytes));
        complete = head == "%PDF-" && written.readAll().contains("%%EOF") &&
                   written.error() == QFileDevice::NoError;
        written.close();
    }
    if (!complete) {
        // Asked before the file goes, which frees what it took.
        const int failure = FileErrorText::writeError(written.fileName());
        QFile::remove(written.fileName());
        throw VelmoraError(
            VelmoraError::PrinterError,
            QStringLiteral("il file PDF \"%1\" non è stato scritto per intero%2 ed "
                           "è stato eliminato.")
                .arg(shown(written.fileName()),
                     failure == 0 ? QString()
                                  : QStringLiteral(" (%1)").arg(FileErrorText::reason(failure))));
    }
}

// A queue that refuses jobs makes CUPS turn the document away when it is handed on; the print
// support says nothing of it.
void PrinterTarget::checkSpooled() const {
    const auto [status, text] = lastCupsStatus();
    if (status >= ippFirstError) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("la stampante \"%1\" non ha accettato il lavoro (%2).")
                               .arg(m_printer.printerName(), text));
    }
}

void PrinterTarget::abortDocument() {
    m_aborted = true;
    m_printer.abort();
}

QString PrinterTarget::afterDocumentNotice() const {
    if (isPdfFile()) {
        return {};
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
    if (info.isNull() || info.state() == QPrinter::Idle || info.state() == QPrinter::Active) {
        return {};
    }
    return QStringLiteral("Il lavoro è in attesa: la stampante \"%1\" è ferma. Le cartelle "
                          "saranno stampate quando la stampante verrà riattivata.")
        .arg(m_printer.printerName());
}

QString PrinterTarget::description() const {
    return isPdfFile() ? QStringLiteral("il file \"%1\"").arg(m_printer.outputFileName())
                       : QStringLiteral("la stampante \"%1\"").arg(m_printer.printerName());
}

} // namespace velmora
