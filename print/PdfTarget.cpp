#include "print/PdfTarget.h"

#include "VelmoraConfig.h"
#include "errors/VelmoraError.h"

#include <QFile>
#include <utility>

namespace velmora {
namespace {
constexpr int defaultResolution = 1200; // as a high-resolution printer starts
} // namespace

PdfTarget::PdfTarget(QString fileName, const QPageSize &pageSize, const QMarginsF &marginsMm)
    : m_fileName(std::move(fileName)),
      m_layout(pageSize, QPageLayout::Portrait, marginsMm, QPageLayout::Millimeter),
      m_resolution(defaultResolution) {}

void PdfTarget::setFileName(const QString &fileName) {
    if (m_writer) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Il file di stampa non si può cambiare a stampa "
                                          "iniziata"));
    }
    m_fileName = fileName;
}

void PdfTarget::setPageOrientation(QPageLayout::Orientation orientation) {
    m_layout.setOrientation(orientation);
    if (m_writer) {
        m_writer->setPageOrientation(orientation); // from the next page on
    }
}

void PdfTarget::setResolution(int dotsPerInch) {
    m_resolution = dotsPerInch;
}

QPagedPaintDevice *PdfTarget::beginDocument() {
    if (m_fileName.isEmpty()) {
        throw VelmoraError(VelmoraError::PrinterError,
                           QStringLiteral("Nessun file scelto per la stampa su file"));
    }
    m_aborted = false;
    m_writer = std::make_unique<QPdfWriter>(m_fileName);
    m_writer->setCreator(creator());
    m_writer->setTitle(documentTitle());
    m_writer->setResolution(m_resolution);
    m_writer->setPageLayout(m_layout);
    return m_writer.get();
}

bool PdfTarget::newPage() {
    return m_writer && m_writer->newPage();
}

void PdfTarget::endDocument() {
    m_writer.reset();
    if (m_aborted) {
        QFile::remove(m_fileName);
        m_aborted = false;
    }
}

void PdfTarget::abortDocument() {
    m_aborted = m_writer != nullptr;
}

QString PdfTarget::creator() {
    constexpr int minorDigits = 2;
    constexpr int base = 10;
    return QStringLiteral("Velmora %1.%2")
        .arg(config::versionMajor)
        .arg(config::versionMinor, minorDigits, base, QLatin1Char('0'));
}

QString PdfTarget::description() const {
    return QStringLiteral("il file \"%1\"").arg(m_fileName);
}

} // namespace velmora
