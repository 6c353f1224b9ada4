#include "print/SizeFit.h"

#include "print/FontResolver.h"
#include "print/RunCheck.h"
#include "print/TextFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>

namespace velmora {
namespace {

constexpr double pointsPerInch = 72;
constexpr double twipsPerInch = 1440;
constexpr double millimetresPerInch = 25.4;
constexpr int noPixelCorrectionSize = 18; // Dimensione at which no pixel correction applies
constexpr double gridLinePixels = 2;
// The letters of the title and the card number keep this far above the thin rule.
constexpr double ruleGapMm = 0.5;
// A number keeps a pixel of paper between its box and the half of the grid line on its side.
constexpr double cellInsetPixels = gridLinePixels / 2 + 1;

// The largest size, from asked down to the floor in whole device pixels of em, at which fits
// holds; the floor when none does. A smaller text fits wherever a larger one does, so the size
// is found by halving: an absurd size from a damaged settings file costs a few tries, not one
// per pixel on the way down.
double largestFitting(double sized, int dpi, const std::function<bool(double)> &fits) {
    // Nothing is asked smaller than a reader can read (the heading strip at the smallest sizes).
    const double asked = std::max(sized, TextFit::legiblePoints);
    if (fits(asked)) {
        return asked;
    }
    constexpr double mostPixels = 1e7; // far beyond any page; keeps the count in an int
    int low = int(std::ceil(TextFit::floorPoints * dpi / pointsPerInch));         // never tried
    int high = int(std::ceil(std::min(asked * dpi / pointsPerInch, mostPixels))); // too large
    std::optional<int> best;
    while (high - low > 1) {
        const int em = low + (high - low) / 2;
        const double points = em * pointsPerInch / dpi;
        if (points < asked && fits(points)) {
            best = em;
            low = em;
        } else {
            high = em;
        }
    }
    return best ? *best * pointsPerInch / dpi : std::min(asked, TextFit::floorPoints);
}

// The letters' foot (the baseline) of a text whose top is at top, in face.
bool lettersAbove(const FontFace &face, double top, double limit) {
    return top + face.ascent <= limit;
}

// Whether every number of a card, drawn bold at points, stays inside its cell: the drawing
// centres a number from its advance and puts its top at the cell's place.
bool numbersInCells(const SizeFit::Request &r, double points) {
    const CardLayout &l = *r.layout;
    const auto face = FontResolver::pointFace(r.family, points, true, false, r.dotsPerInch);
    // Digits share one width in card faces; the widest pair stands for every number.
    double widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widest = std::max(widest, face->advance(QString(2, QLatin1Char(digit))));
    }
    const double height = face->metrics.ascent() + face->metrics.descent();
    const double twipsPerPixel = twipsPerInch / r.dotsPerInch;
    std::array<double, 10> columns{};
    columns.front() = l.gridLeftU;
    std::copy(l.gridColumnsU.begin(), l.gridColumnsU.end(), columns.begin() + 1);
    columns.back() = l.gridRightU;
    const std::array<double, 4> rows{l.gridTopV, l.gridRowsV[0], l.gridRowsV[1], l.gridBottomV};
    const double correction =
        l.cellPixelCorrection ? (noPixelCorrectionSize - r.dimensione) / 2.0 : 0;
    for (std::size_t c = 0; c + 1 < columns.size(); ++c) {
        const double left = (l.cellU + l.cellStepU * double(c)) * r.factorX +
                            (l.cellCentreU - widest / (2 * twipsPerPixel)) * r.factorX;
        if (left < columns[c] * r.factorX + cellInsetPixels ||
            left + widest > columns[c + 1] * r.factorX - cellInsetPixels) {
            return false;
        }
        for (std::size_t row = 0; row + 1 < rows.size(); ++row) {
            const double top = l.cellV[row][c] * r.factorY + correction;
            if (top < rows[row] * r.factorY + cellInsetPixels ||
                top + height > rows[row + 1] * r.factorY - cellInsetPixels) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

const SizeFit::Sizes &SizeFit::sizes(const Request &request) {
    if (!m_request || !(*m_request == request)) {
        m_sizes = measure(request);
        m_request = request;
    }
    return m_sizes;
}

SizeFit::Sizes SizeFit::measure(const Request &r) {
    const CardLayout &l = *r.layout;
    const int dpi = r.dotsPerInch;
    const CardLayout::Rule &thin = l.rules[0];
    const double ruleTop =
        thin.v1 * r.factorY - thin.width / 2.0 - ruleGapMm / millimetresPerInch * dpi;
    const double shift = noPixelCorrectionSize - r.dimensione;
    const double titleTop = l.titleV * (l.titleVUsesFactorX ? r.factorX : r.factorY) + shift;
    const double numberTop = l.numberV * r.factorY + shift;

    Sizes sizes;
    sizes.title = largestFitting(
        l.fontPoints(r.dimensione, l.titleSizeOffset, r.factorX), dpi, [&](double points) {
            const auto face =
                FontResolver::pointFace(r.family, points, r.titleBold, r.titleItalic, dpi);
            return lettersAbove(*face, titleTop, ruleTop);
        });
    sizes.cardNumber = largestFitting(
        l.fontPoints(r.dimensione, l.numberSizeOffset, r.factorX), dpi, [&](double points) {
            const auto face = FontResolver::pointFace(r.family, points, false, false, dpi);
            return lettersAbove(*face, numberTop, ruleTop);
        });
    sizes.numbers = largestFitting(l.fontPoints(r.dimensione, 0, r.factorX), dpi,
                                   [&](double points) { return numbersInCells(r, points); });
    // The strip's descenders too stay clear of the next card's title (its whole box).
    const double nextTitleTop =
        l.rowV * r.factorY + l.rowPx + titleTop - ruleGapMm / millimetresPerInch * dpi;
    const double stripTop = l.stripV * r.factorY;
    sizes.strip = largestFitting(
        l.fontPoints(r.dimensione, l.stripSizeOffset, r.factorX), dpi, [&](double points) {
            const auto face = FontResolver::pointFace(r.family, points, false, false, dpi);
            return stripTop + face->ascent + face->metrics.descent() <= nextTitleTop;
        });
    return sizes;
}

int SizeFit::largestDimensione(const CardLayout &layout, const QString &family, int dotsPerInch) {
    Request r{&layout, family, false, false, 0, layout.capX, layout.capY, dotsPerInch};
    int size = RunCheck::minDimensione(layout);
    for (; size <= RunCheck::maxDimensione(layout); ++size) {
        r.dimensione = size;
        if (!numbersInCells(r, layout.fontPoints(size, 0, r.factorX))) {
            break;
        }
    }
    return size - 1;
}

} // namespace velmora
