#include "print/CardLayout.h"

#include "print/TextFit.h"

#include <algorithm>

namespace velmora {
namespace {

using C = Configurazione;

CardLayout makeLandscape() {
    CardLayout l;
    l.moduleName = QStringLiteral("RIDODUR");
    l.procName = QStringLiteral("StampaCartella");
    l.cardsPerPage = 6;
    // factors            base X, base Y, ref. width, ref. height, cap X, cap Y
    l.baseFactorX = 4;
    l.baseFactorY = 3.8;
    l.referenceWidth = 2367.917;
    l.referenceHeight = 11366;
    l.capX = 4;
    l.capY = 3.8;
    // slots: two columns 410 u apart, rows 198 v + 75 px apart
    l.columns = 2;
    l.columnU = 410;
    l.rowV = 198;
    l.rowPx = 75;
    l.topPx = 0;
    l.fontsScaleWithFactor = false;
    l.titleU = 12;
    l.titleV = 0.5;
    l.titleVUsesFactorX = false;
    l.titleSizeOffset = 6;
    l.numberLabelU = 300;
    l.numberU = 315;
    l.numberPx = 50;
    l.numberV = 5;
    l.numberSizeOffset = -1;
    //           width  box    u1  v1   u2   v2   colour
    l.rules = {{{2, false, 8, 28, 384, 28, &C::ColoreLineaSottile},
                {7, false, 12, 31, 380, 31, &C::ColoreLineaGrossa},
                {7, true, 12, 40, 380, 174, &C::ColoreBordo},
                {2, true, 16, 44, 376, 170, &C::ColoreGriglia}}};
    l.creditPx = 20;
    l.gridSetsForeColor = false;
    l.gridRowsV = {86, 128};
    l.gridTopV = 44;
    l.gridBottomV = 170;
    l.cellU = 13;
    //            column 0   1   2   3   4   5   6   7   8
    l.cellV = {{{53, 52, 52, 53, 53, 53, 52, 52, 52},
                {96, 96, 96, 96, 96, 96, 96, 96, 96},
                {139, 139, 139, 139, 139, 139, 139, 139, 139}}};
    l.cellPixelCorrection = true;
    l.printEmptyCells = false;
    l.stripSizeOffset = -7;
    l.stripV = 180;
    l.viaTelSeparator = QStringLiteral(" ");
    l.stripBySlot = {1, 1, 2, 2, 3, 3};
    return l;
}

CardLayout makePortrait() {
    CardLayout l = makeLandscape();
    l.procName = QStringLiteral("StampaCartella2");
    l.cardsPerPage = 3;
    l.baseFactorX = 6;
    l.baseFactorY = 6;
    l.referenceHeight = 16800;
    l.capX = 6;
    l.capY = 6;
    // slots: one column; rows 175 v + 100 px apart, the first 20 px above the printable area
    l.columns = 1;
    l.columnU = 0;
    l.rowV = 175;
    l.rowPx = 100;
    l.topPx = -20;
    l.fontsScaleWithFactor = true;
    l.titleV = 0.4;
    l.titleVUsesFactorX = true;
    l.numberPx = 0;
    l.rules = {{{2, false, 8, 28, 384, 28, &C::ColoreLineaSottile},
                {7, false, 12, 31, 380, 31, &C::ColoreLineaGrossa},
                {7, true, 12, 37, 380, 159, &C::ColoreBordo},
                {2, true, 16, 41, 376, 155, &C::ColoreGriglia}}};
    l.creditPx = 30;
    l.gridSetsForeColor = true;
    l.gridRowsV = {79, 115};
    l.gridTopV = 41;
    l.gridBottomV = 155;
    l.cellU = 17;
    l.cellV = {{{48, 48, 48, 48, 48, 48, 48, 48, 48},
                {87, 87, 87, 87, 87, 87, 87, 87, 87},
                {126, 126, 126, 126, 126, 126, 126, 126, 126}}};
    l.cellPixelCorrection = false;
    l.printEmptyCells = true;
    l.stripSizeOffset = -5;
    l.stripV = 162;
    l.viaTelSeparator = QStringLiteral("  ");
    l.stripBySlot = {1, 2, 3, 0, 0, 0};
    return l;
}

} // namespace

double CardLayout::factorX(double printableWidth) const {
    return std::min(capX, baseFactorX * printableWidth / referenceWidth);
}

double CardLayout::factorY(double pageHeightTwips) const {
    return std::min(capY, baseFactorY * pageHeightTwips / referenceHeight);
}

QRectF CardLayout::sheetExtent(double printableWidth, double pageHeightTwips, int dimensione,
                               int dotsPerInch) const {
    return sheetExtentAt(factorX(printableWidth), factorY(pageHeightTwips), dimensione,
                         dotsPerInch);
}

QRectF CardLayout::sheetExtentAt(double fx, double fy, int dimensione, int dotsPerInch) const {
    constexpr double creditPoints = 6;
    constexpr double pointsPerInch = 72;
    constexpr double lineEms = 1.2;
    // Ink, not line boxes: a title's capitals start about 0.15 em below its line's top, and a
    // strip's descenders end about 0.9 em below its line's top.
    constexpr double capitalTopEms = 0.15;
    constexpr double descenderEms = 0.9;
    constexpr int noPixelCorrectionSize = 18;
    const auto ems = [dotsPerInch](double points, double count) {
        return count * points * dotsPerInch / pointsPerInch;
    };
    const auto sized = [&](int offset) { return fontPoints(dimensione, offset, fx); };
    const Rule &thin = rules[0];
    const int rows = cardsPerPage / columns;
    // The credit line reads down from creditPx, its letters standing to the left of it.
    const double left = std::min(creditPx - ems(creditPoints, lineEms), thin.u1 * fx);
    const double right = (columns - 1) * columnU * fx + thin.u2 * fx;
    const double top = topPx + titleV * (titleVUsesFactorX ? fx : fy) +
                       (noPixelCorrectionSize - dimensione) +
                       ems(sized(titleSizeOffset), capitalTopEms);
    const double lastRow = (rows - 1) * (rowV * fy + rowPx) + topPx;
    const double bottom =
        lastRow + stripV * fy +
        ems(std::max(sized(stripSizeOffset), TextFit::legiblePoints), descenderEms);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

const CardLayout &CardLayout::landscape() {
    static const CardLayout layout = makeLandscape();
    return layout;
}

const CardLayout &CardLayout::portrait() {
    static const CardLayout layout = makePortrait();
    return layout;
}

} // namespace velmora
