#pragma once

#include "settings/Configurazione.h"

#include <QRectF>
#include <QString>
#include <array>

namespace velmora {

// The design of one card layout in card units, as one table of constants: six cards on a
// landscape page, or three cards one above the other on a portrait page. A point (u, v) of the
// card lies at x = originX + u x factorX, y = originY + v x factorY device pixels; offsets
// marked "px" are plain pixels. One drawing procedure (StampaCartellaLayout) reads either table.
struct CardLayout {
    // A rule or an outline of the card: drawn `width` pixels wide between two points.
    struct Rule {
        int width = 1;
        bool box = false;
        double u1 = 0, v1 = 0, u2 = 0, v2 = 0;
        qint32 Configurazione::*color = nullptr;
    };

    QString moduleName; // call-trail entry
    QString procName;
    int cardsPerPage = 6;

    // Factors: base values, the reference printable width (pixels) and page height (twips)
    // they shrink against, and their caps.
    double baseFactorX = 4;
    double baseFactorY = 3.8;
    double referenceWidth = 2367.917;
    double referenceHeight = 11366;
    double capX = 4;
    double capY = 3.8;

    // Slot origins: cards in `columns` columns, `columnU` units apart; rows rowV units plus
    // rowPx pixels apart; the whole column starts topPx pixels from the top.
    int columns = 2;
    double columnU = 410;
    double rowV = 198;
    double rowPx = 75;
    double topPx = 0;

    // Font sizes in points are multiplied by factorX / 4 when true (the portrait card).
    bool fontsScaleWithFactor = false;

    // Title: x = 12 u; y = titleV x (factorX or factorY) + (18 - Dimensione) px.
    double titleU = 12;
    double titleV = 0.5;
    bool titleVUsesFactorX = false;
    int titleSizeOffset = 6; // Dimensione + 6

    // Card number: "N." at numberLabelU, the number at numberU, both plus numberPx; y = 5 v.
    double numberLabelU = 300;
    double numberU = 315;
    double numberPx = 50;
    double numberV = 5;
    int numberSizeOffset = -1; // Dimensione - 1

    std::array<Rule, 4> rules{}; // thin line, thick line, border, grid outline

    double creditPx = 20; // the credit line starts this far from the left edge

    bool gridSetsForeColor = false; // ForeColor = ColoreGriglia before the grid lines
    std::array<double, 2> gridRowsV{86, 128};
    double gridTopV = 44;
    double gridBottomV = 170;
    double gridLeftU = 16;
    double gridRightU = 376;
    std::array<double, 8> gridColumnsU{56, 96, 136, 176, 216, 256, 296, 336};

    // Numbers: x = (cellU + 40 c) u + (21 - w / (2 twips per pixel)) u; y = V(r, c) v, plus
    // (18 - Dimensione) / 2 px when cellPixelCorrection.
    double cellU = 13;
    double cellStepU = 40;
    double cellCentreU = 21;
    std::array<std::array<double, 9>, 3> cellV{};
    bool cellPixelCorrection = true;
    bool printEmptyCells = false; // blank and "00" cells print their text

    // Heading strip under the card: size Dimensione + stripSizeOffset at (12 u, stripV v).
    int stripSizeOffset = -7;
    double stripV = 180;
    QString viaTelSeparator = QStringLiteral(" ");
    // Which strip each slot prints: 0 none, 1 Frase1, 2 the Ditta line, 3 Frase2 (slot 1 first).
    std::array<int, 6> stripBySlot{};

    // A font size in points for Dimensione + offset, scaled with the layout's factor across
    // when its fonts scale.
    double fontPoints(int dimensione, int offset, double factorX) const {
        const double points = double(dimensione) + offset;
        return fontsScaleWithFactor ? factorX * points / 4 : points;
    }
    // FattoreX and FattoreY for a printable width in device pixels and a page height in twips:
    // the design shrinks on a smaller page and never grows beyond the reference.
    double factorX(double printableWidth) const;
    double factorY(double pageHeightTwips) const;
    // Where a full page of cards puts its marks, in device pixels from the printable area's
    // corner, with the default fonts at size `dimensione`: from the credit line of the left
    // column to the right end of the rightmost thin rule, from the capitals of the first title
    // to the descenders of the last heading strip.
    QRectF sheetExtent(double printableWidth, double pageHeightTwips, int dimensione,
                       int dotsPerInch) const;
    // The same for cards drawn with FattoreX fx and FattoreY fy.
    QRectF sheetExtentAt(double fx, double fy, int dimensione, int dotsPerInch) const;

    static const CardLayout &landscape(); // six cards on a landscape page
    static const CardLayout &portrait();  // three cards on a portrait page
};

} // namespace velmora
