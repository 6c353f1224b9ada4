#include "print/PrinterSurface.h"

#include "errors/VelmoraError.h"
#include "print/BgrColor.h"

#include <QFontDatabase>
#include <cmath>

namespace velmora {
namespace {

constexpr int invalidPropertyValue = 380; // "Valore della proprietà non valido"
constexpr double twipsPerInch = 1440.0;
constexpr double pointsPerInch = 72.0;
constexpr double millimetresPerInch = 25.4;
constexpr double centimetresPerInch = 2.54;
constexpr int minResolution = 1;
constexpr int maxResolution = 9600;
constexpr double maxFontSize = 2160.0; // points
constexpr int maxDrawWidth = 32767;
constexpr int maxRotatedPixels = 16384;

[[noreturn]] void refuse(const QString &what) {
    throw VelmoraError(invalidPropertyValue,
                       QStringLiteral("Valore della proprietà non valido: %1").arg(what));
}

} // namespace

int PrinterSurface::orientation() const {
    return currentPageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait;
}

void PrinterSurface::setOrientation(int orientation) {
    if (orientation != Portrait && orientation != Landscape) {
        refuse(QStringLiteral("l'orientamento %1 non esiste (1 verticale, 2 orizzontale)")
                   .arg(orientation));
    }
    applyPageOrientation(orientation == Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int PrinterSurface::printQuality() const {
    return deviceResolution();
}

void PrinterSurface::setPrintQuality(int dotsPerInch) {
    if (dotsPerInch < minResolution || dotsPerInch > maxResolution) {
        refuse(QStringLiteral("la qualità di stampa %1 punti per pollice è fuori dai limiti")
                   .arg(dotsPerInch));
    }
    const int old = deviceResolution();
    if (dotsPerInch == old) {
        return;
    }
    if (m_documentOpen) {
        refuse(QStringLiteral("la qualità di stampa non si può cambiare a stampa iniziata"));
    }
    applyResolution(dotsPerInch);
    // The print position keeps its place on the paper.
    const double ratio = double(deviceResolution()) / old;
    m_x *= ratio;
    m_y *= ratio;
    m_dx *= ratio;
    m_dy *= ratio;
}

void PrinterSurface::setScaleMode(int mode) {
    switch (mode) {
    case Twips:
    case Points:
    case Pixels:
    case Inches:
    case Millimetres:
    case Centimetres:
        m_scaleMode = mode;
        return;
    default:
        refuse(QStringLiteral("l'unità di misura %1 non è gestita").arg(mode));
    }
}

double PrinterSurface::pixelsPerUnit() const {
    const double dpi = deviceResolution();
    switch (m_scaleMode) {
    case Twips:
        return dpi / twipsPerInch;
    case Points:
        return dpi / pointsPerInch;
    case Inches:
        return dpi;
    case Millimetres:
        return dpi / millimetresPerInch;
    case Centimetres:
        return dpi / centimetresPerInch;
    default:
        return 1.0;
    }
}

double PrinterSurface::scaleWidth() const {
    return currentPageLayout().paintRectPixels(deviceResolution()).width() / pixelsPerUnit();
}

double PrinterSurface::scaleHeight() const {
    return currentPageLayout().paintRectPixels(deviceResolution()).height() / pixelsPerUnit();
}

int PrinterSurface::width() const {
    return int(std::lround(currentPageLayout().fullRectPixels(deviceResolution()).width() *
                           twipsPerPixelX()));
}

int PrinterSurface::height() const {
    return int(std::lround(currentPageLayout().fullRectPixels(deviceResolution()).height() *
                           twipsPerPixelY()));
}

QRectF PrinterSurface::printableAreaPixels() const {
    return currentPageLayout().paintRectPixels(deviceResolution()).toRectF();
}

QSizeF PrinterSurface::pagePixels() const {
    return currentPageLayout().fullRectPixels(deviceResolution()).size().toSizeF();
}

double PrinterSurface::twipsPerPixelX() const {
    return twipsPerInch / deviceResolution();
}

double PrinterSurface::twipsPerPixelY() const {
    return twipsPerInch / deviceResolution();
}

void PrinterSurface::setFontName(const QString &name) {
    const FontResolver::Face face = FontResolver::resolve(name);
    if (face.family != m_fontFamily || face.name != m_fontName) {
        m_fontName = face.name;
        m_fontFamily = face.family;
        m_face.reset();
    }
}

void PrinterSurface::setFontSize(double points) {
    if (!(points > 0 && points <= maxFontSize)) {
        refuse(QStringLiteral("la dimensione del carattere %1 è fuori dai limiti (da 1 a 2160)")
                   .arg(points));
    }
    if (points != m_fontSize) {
        m_fontSize = points;
        m_face.reset();
    }
}

void PrinterSurface::setFontBold(bool bold) {
    if (bold != m_fontBold) {
        m_fontBold = bold;
        m_face.reset();
    }
}

void PrinterSurface::setFontItalic(bool italic) {
    if (italic != m_fontItalic) {
        m_fontItalic = italic;
        m_face.reset();
    }
}

void PrinterSurface::setForeColor(qint32 bgr) {
    if (bgr != m_foreColor) {
        m_foreQColor = BgrColor::toColor(bgr);
        m_foreColor = bgr;
    }
}

void PrinterSurface::setDrawWidth(int pixels) {
    if (pixels < 1 || pixels > maxDrawWidth) {
        refuse(QStringLiteral("lo spessore della linea %1 è fuori dai limiti").arg(pixels));
    }
    m_drawWidth = pixels;
}

void PrinterSurface::setOriginOffset(double dxPixels, double dyPixels) {
    if (!std::isfinite(dxPixels) || !std::isfinite(dyPixels)) {
        refuse(QStringLiteral("lo spostamento della stampa non è un numero"));
    }
    m_dx = dxPixels;
    m_dy = dyPixels;
}

QPointF PrinterSurface::painted(double x, double y) const {
    // Without an offset the position goes on untouched, so the output is the same to the byte.
    if (m_dx == 0 && m_dy == 0) {
        return {x, y};
    }
    return {x + m_dx, y + m_dy};
}

double PrinterSurface::currentX() const {
    return m_x / pixelsPerUnit();
}

double PrinterSurface::currentY() const {
    return m_y / pixelsPerUnit();
}

void PrinterSurface::setCurrentX(double x) {
    if (!std::isfinite(x)) {
        refuse(QStringLiteral("la posizione orizzontale non è un numero"));
    }
    m_x = x * pixelsPerUnit();
}

void PrinterSurface::setCurrentY(double y) {
    if (!std::isfinite(y)) {
        refuse(QStringLiteral("la posizione verticale non è un numero"));
    }
    m_y = y * pixelsPerUnit();
}

const FontFace &PrinterSurface::currentFace() const {
    const int dpi = deviceResolution();
    if (!m_face || m_faceResolution != dpi) {
        if (m_fontFamily.isEmpty()) {
            // The start-up face; a system without it prints with its general font.
            m_fontFamily = FontResolver::exists(m_fontName)
                               ? FontResolver::resolve(m_fontName).family
                               : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        }
        m_face = FontResolver::pointFace(m_fontFamily, m_fontSize, m_fontBold, m_fontItalic, dpi);
        m_faceResolution = dpi;
    }
    return *m_face;
}

void PrinterSurface::ensureDocument() {
    if (!m_documentOpen) {
        beginDocument();
        m_documentOpen = true;
        m_page = 1;
    }
}

void PrinterSurface::print(const QString &text) {
    const FontFace &face = currentFace();
    ensureDocument();
    if (!text.isEmpty()) {
        paintText(painted(m_x, m_y), face, text);
    }
    m_x = 0;
    m_y += face.lineSpacing;
}

double PrinterSurface::textWidth(const QString &text) const {
    return currentFace().advance(text) / pixelsPerUnit();
}

double PrinterSurface::textHeight(const QString &text) const {
    const int lines = text.isEmpty() ? 1 : int(text.count(QLatin1Char('\n'))) + 1;
    return lines * currentFace().lineSpacing / pixelsPerUnit();
}

double PrinterSurface::textAscent() const {
    return currentFace().ascent / pixelsPerUnit();
}

void PrinterSurface::line(double x1, double y1, double x2, double y2, qint32 bgr, bool box) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        refuse(QStringLiteral("un estremo della linea non è un numero"));
    }
    if (bgr != m_lineColor) {
        m_lineQColor = BgrColor::toColor(bgr);
        m_lineColor = bgr;
    }
    ensureDocument();
    const double scale = pixelsPerUnit();
    paintLine(painted(x1 * scale, y1 * scale), painted(x2 * scale, y2 * scale), m_drawWidth, box);
}

void PrinterSurface::drawRotatedText(int x, int y, const QString &faceName, int logicalHeight,
                                     int escapementTenths, const QString &text) {
    const FontResolver::Face resolved = FontResolver::resolve(faceName);
    const int dpi = deviceResolution();
    int pixels = 0;
    if (logicalHeight < 0) {
        pixels = -logicalHeight;
    } else if (logicalHeight > 0) {
        // A positive height is the whole cell; the em is the matching share of it.
        const auto probe = FontResolver::pixelFace(resolved.family, logicalHeight, dpi);
        pixels = int(std::lround(double(logicalHeight) * logicalHeight / probe->metrics.height()));
    } else {
        pixels = int(std::lround(m_fontSize * dpi / pointsPerInch));
    }
    if (pixels < 1 || pixels > maxRotatedPixels) {
        refuse(QStringLiteral("l'altezza del carattere %1 è fuori dai limiti").arg(logicalHeight));
    }
    const auto face = FontResolver::pixelFace(resolved.family, pixels, dpi);
    double degrees = std::fmod(escapementTenths / 10.0, 360.0);
    if (degrees < 0) {
        degrees += 360.0;
    }
    ensureDocument();
    paintRotatedText(painted(x, y), *face, degrees, resolved.name, logicalHeight, escapementTenths,
                     text);
}

void PrinterSurface::newPage() {
    ensureDocument();
    beginNextPage();
    ++m_page;
    m_x = 0;
    m_y = 0;
}

void PrinterSurface::endDoc() {
    closeDocument(&PrinterSurface::finishDocument);
}

void PrinterSurface::killDoc() {
    closeDocument(&PrinterSurface::abandonDocument);
}

void PrinterSurface::closeDocument(void (PrinterSurface::*close)()) {
    if (!m_documentOpen) {
        return;
    }
    m_documentOpen = false;
    m_page = 0;
    m_x = 0;
    m_y = 0;
    (this->*close)();
}

} // namespace velmora
