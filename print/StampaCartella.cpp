#include "print/StampaCartella.h"

#include "errors/RecordingProcedure.h"
#include "errors/VelmoraError.h"
#include "print/FontResolver.h"
#include "print/PrintRotated.h"
#include "register/CardNumbering.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace velmora {

const QString RigaCrediti = QStringLiteral("Velmora - Studio Corvetto - velmora@example.org");

namespace {

constexpr qint16 creditAngle = 270;
constexpr double creditFontSize = 6;
constexpr int gridWidth = 2;
constexpr std::size_t borderRule = 2;     // the card's thick outline among the layout's rules
constexpr int noPixelCorrectionSize = 18; // Dimensione at which no pixel correction applies
constexpr double visibleGapMm = 0.5;      // the least room left between two texts
constexpr double millimetresPerInch = 25.4;
constexpr double twipsPerInch = 1440;
constexpr double pointsPerInch = 72;

// The statements of the card drawing, in order; each is one step, its value the report's line.
// The same list serves both layouts: a statement that one layout lacks does nothing there.
enum Line : int {
    ReadRecord = 1,
    PumpEvents,
    FactorXBase,
    FactorYBase,
    FactorXScale,
    FactorYScale,
    FactorXCap,
    FactorYCap,
    OriginX,
    OriginY,
    TitleFontArial,
    TitleFontTombola,
    TitleSizeFromFactor,
    TitleSize,
    TitleBoldOff,
    TitleX,
    TitleY,
    TitleColor,
    TitlePrint,
    NumberSizeFromFactor,
    NumberSize,
    NumberLabelX,
    NumberLabelY,
    NumberLabelColor,
    NumberLabelPrint,
    NumberX,
    NumberY,
    NumberPrint,
    RuleFirst, // DrawWidth and line for each of the four rules
    CreditFont = RuleFirst + 4 * 2,
    CreditSize,
    CreditColor,
    CreditX,
    CreditPrint,
    GridColor,
    GridWidth,
    GridRowFirst,                       // two horizontal lines
    GridColumnFirst = GridRowFirst + 2, // eight vertical lines
    NumbersFont = GridColumnFirst + 8,
    NumbersSize,
    NumbersBold,
    CellFirst, // colour, x, y and print for each of the 27 cells
    StripSize = CellFirst + RecordCartella::cellCount * 4,
    StripX,
    StripY,
    StripBold,
    StripColor,
    StripPrint,
    StripDittaX,
    StripDittaY,
    StripDittaBoldOff,
    StripDittaPrint,
    LineCount = StripDittaPrint
};

enum Strip : int { NoStrip = 0, Frase1Strip = 1, DittaStrip = 2, Frase2Strip = 3 };

// Int(): the largest whole number not above the value.
int whole(double value) {
    return int(std::floor(value));
}

int floorDiv(int a, int b) {
    return int(std::floor(double(a) / b));
}

class CardDrawing {
public:
    CardDrawing(const CardLayout &layout, CardContext &ctx, qint16 card, qint16 slot,
                qint16 firstCard)
        : m_l(layout), m_ctx(ctx), m_s(ctx.surface), m_p(ctx.prepared()),
          m_sheet(ctx.sheet(layout)), m_d(m_sheet.dimensione), m_card(card), m_slot(slot),
          m_firstCard(firstCard) {
        const int index = slot - 1;
        m_strip =
            index >= 0 && index < int(m_l.stripBySlot.size()) ? m_l.stripBySlot[index] : NoStrip;
    }

    void step(int line) {
        if (line >= CellFirst && line < StripSize) {
            cellStep((line - CellFirst) / 4, (line - CellFirst) % 4);
            return;
        }
        if (line >= RuleFirst && line < CreditFont) {
            const CardLayout::Rule &rule = m_l.rules[std::size_t((line - RuleFirst) / 2)];
            if ((line - RuleFirst) % 2 == 0) {
                m_s.setDrawWidth(rule.width);
            } else {
                m_s.line(x(rule.u1), y(rule.v1), x(rule.u2), y(rule.v2), m_ctx.settings.*rule.color,
                         rule.box);
            }
            return;
        }
        if (line >= GridRowFirst && line < GridColumnFirst) {
            const double v = m_l.gridRowsV[std::size_t(line - GridRowFirst)];
            m_s.line(x(m_l.gridLeftU), y(v), x(m_l.gridRightU), y(v), m_ctx.settings.ColoreGriglia);
            return;
        }
        if (line >= GridColumnFirst && line < NumbersFont) {
            const double u = m_l.gridColumnsU[std::size_t(line - GridColumnFirst)];
            m_s.line(x(u), y(m_l.gridTopV), x(u), y(m_l.gridBottomV), m_ctx.settings.ColoreGriglia);
            return;
        }
        switch (line) {
        case ReadRecord:
            m_record = m_ctx.archive.read(m_card);
            break;
        case PumpEvents:
            if (m_ctx.pumpEvents) {
                m_ctx.pumpEvents();
            }
            break;
        case FactorXBase:
            m_fx = m_l.baseFactorX;
            break;
        case FactorYBase:
            m_fy = m_l.baseFactorY;
            break;
        case FactorXScale:
            m_fx = m_fx * m_s.scaleWidth() / m_l.referenceWidth;
            break;
        case FactorYScale:
            m_fy = m_fy * m_s.height() / m_l.referenceHeight;
            break;
        case FactorXCap:
            // The layout's caps, or less where the sheet is fitted to keep off the paper's edges.
            if (m_fx > m_sheet.capX) {
                m_fx = m_sheet.capX;
            }
            break;
        case FactorYCap:
            if (m_fy > m_sheet.capY) {
                m_fy = m_sheet.capY;
            }
            break;
        case OriginX: {
            const int index = m_slot - 1;
            const int column = ((index % m_l.columns) + m_l.columns) % m_l.columns;
            m_ox = column * m_l.columnU * m_fx;
            break;
        }
        case OriginY: {
            const int row = floorDiv(m_slot - 1, m_l.columns);
            m_oy = row * m_l.rowV * m_fy + row * m_l.rowPx + m_l.topPx;
            break;
        }
        case TitleFontArial:
            m_s.setFontName(arial());
            break;
        case TitleFontTombola:
        case NumbersFont:
            m_s.setFontName(m_p.fontTombola);
            break;
        case TitleSizeFromFactor:
            m_s.setFontSize(whole(5 * m_fy));
            break;
        case TitleSize:
            m_s.setFontSize(fitted().title);
            break;
        case TitleBoldOff:
            // The title as the appearance page shows it: bold and italic as chosen (both off
            // by default).
            m_s.setFontBold(m_ctx.settings.bold());
            m_s.setFontItalic(m_ctx.settings.italic());
            break;
        case StripDittaBoldOff:
            m_s.setFontBold(false);
            break;
        case TitleX:
            m_s.setCurrentX(x(m_l.titleU));
            break;
        case TitleY:
            m_s.setCurrentY(m_oy + m_l.titleV * (m_l.titleVUsesFactorX ? m_fx : m_fy) +
                            (noPixelCorrectionSize - m_d));
            break;
        case TitleColor:
            m_s.setForeColor(m_ctx.settings.ColoreTitolo);
            break;
        case TitlePrint:
            // A word's gap before "N." (a long title would read into it), inside the card.
            printFitted(m_p.titolo,
                        std::min(x(m_l.numberLabelU) + m_l.numberPx - std::max(gap(), wordGap()),
                                 cardRight()));
            break;
        case NumberSizeFromFactor:
            // The card number, the numbers and the strip are upright whatever the title was.
            m_s.setFontBold(false);
            m_s.setFontItalic(false);
            m_s.setFontSize(whole(4.5 * m_fy));
            break;
        case NumberSize:
            m_s.setFontSize(fitted().cardNumber);
            break;
        case NumberLabelX:
            m_s.setCurrentX(x(m_l.numberLabelU) + m_l.numberPx);
            break;
        case NumberLabelY:
        case NumberY:
            m_s.setCurrentY(y(m_l.numberV) + (noPixelCorrectionSize - m_d));
            break;
        case NumberLabelColor:
            m_s.setForeColor(m_ctx.settings.ColoreNumeroCartella);
            break;
        case NumberLabelPrint:
            printFitted(numberLabel(), cardRight());
            break;
        case NumberX:
            m_s.setCurrentX(x(m_l.numberU) + m_l.numberPx);
            break;
        case NumberPrint:
            printNumber(CardNumbering::printedText(m_record.numeroArchivio(),
                                                   m_ctx.numerazioneArchivio, m_firstCard));
            break;
        case CreditFont:
            m_s.setFontName(creditFace());
            break;
        case CreditSize:
            m_s.setFontSize(creditFontSize);
            break;
        case CreditColor:
            m_s.setForeColor(0);
            break;
        case CreditX:
            m_s.setCurrentX(m_s.currentX() + m_l.creditPx);
            break;
        case CreditPrint:
            printCredit();
            break;
        case GridColor:
            if (m_l.gridSetsForeColor) {
                m_s.setForeColor(m_ctx.settings.ColoreGriglia);
            }
            break;
        case GridWidth:
            m_s.setDrawWidth(gridWidth);
            break;
        case NumbersSize:
            m_s.setFontSize(fitted().numbers);
            break;
        case NumbersBold:
            m_s.setFontBold(true);
            break;
        case StripSize:
            m_s.setFontSize(fitted().strip);
            break;
        case StripX:
            m_s.setCurrentX(x(m_l.titleU));
            break;
        case StripY:
            m_s.setCurrentY(y(m_l.stripV));
            break;
        case StripBold:
            if (m_strip == DittaStrip) {
                m_s.setFontBold(true);
            }
            break;
        case StripColor:
            if (m_strip != NoStrip) {
                m_s.setForeColor(m_ctx.settings.ColoreFrase);
            }
            break;
        case StripPrint:
            if (m_strip == Frase1Strip) {
                printFitted(m_p.frase1, cardRight());
            } else if (m_strip == DittaStrip) {
                printDitta();
            } else if (m_strip == Frase2Strip) {
                printFitted(m_p.frase2, cardRight());
            }
            break;
        case StripDittaX:
            if (m_strip == DittaStrip) {
                m_s.setCurrentX(x(m_l.titleU) + m_ctx.fits.width(m_s, dittaLine().first));
            }
            break;
        case StripDittaY:
            if (m_strip == DittaStrip) {
                m_s.setCurrentY(y(m_l.stripV) + m_dittaDrop);
            }
            break;
        case StripDittaPrint:
            if (m_strip == DittaStrip) {
                m_s.print(dittaLine().second);
            }
            break;
        default:
            break;
        }
    }

private:
    double x(double u) const { return m_ox + u * m_fx; }
    double y(double v) const { return m_oy + v * m_fy; }
    // The title's, the card number's and the numbers' sizes, smaller where Dimensione would
    // put them on the card's lines.
    const SizeFit::Sizes &fitted() {
        const SizeFit::Request request{&m_l,
                                       FontResolver::resolve(m_p.fontTombola).family,
                                       m_ctx.settings.bold(),
                                       m_ctx.settings.italic(),
                                       m_d,
                                       m_fx,
                                       m_fy,
                                       m_s.printQuality()};
        return m_ctx.sizes.sizes(request);
    }

    // The least room between two texts, in device pixels.
    double gap() const {
        return visibleGapMm / millimetresPerInch * twipsPerInch / m_s.twipsPerPixelX();
    }
    // A fifth of the current em: a gap the eye (and a text reader) sees between two words.
    double wordGap() const {
        return m_s.fontSize() / pointsPerInch * twipsPerInch / m_s.twipsPerPixelX() / 5;
    }
    // The outer edge of the card's border, its thick outline.
    double borderRightU() const {
        const CardLayout::Rule &border = m_l.rules[borderRule];
        return std::max(border.u1, border.u2) + border.width / 2.0 / m_fx;
    }
    // Where a text of the card ends at the latest: inside the card's border, so that it passes
    // neither onto the next card nor, on the last column, off a sheet centred on the paper.
    double cardRight() const { return x(borderRightU()) - gap(); }
    // The bottom of the card's slot: the next row's origin, or the printable height.
    double slotBottom() const {
        const int rows = m_l.cardsPerPage / m_l.columns;
        const int row = floorDiv(m_slot - 1, m_l.columns) + 1;
        return row < rows ? row * m_l.rowV * m_fy + row * m_l.rowPx + m_l.topPx : m_s.scaleHeight();
    }

    // Prints text at the print position, smaller or cut when it would pass right. A text drawn
    // smaller leaves the font and the print position as the text at its own size would have.
    void printFitted(const QString &text, double right) {
        const double top = m_s.currentY();
        const TextFit::Line fit = m_ctx.fits.fit(m_s, right - m_s.currentX(), text, m_s.fontBold());
        printShrunk(fit, fit.first, top);
    }
    void printShrunk(const TextFit::Line &fit, const QString &text, double top) {
        if (!fit.shrunk) {
            m_s.print(text);
            return;
        }
        const double points = m_s.fontSize();
        m_s.setCurrentY(top + shrunkDrop(fit.points));
        m_s.setFontSize(fit.points);
        m_s.print(text);
        m_s.setFontSize(points);
        m_s.setCurrentY(top + m_s.textHeight());
    }
    // How far a text drawn at points, smaller than the current size, moves down to keep the
    // baseline of the current size: smaller letters stand on the same line, so they rise
    // neither towards the card above nor off the paper.
    double shrunkDrop(double points) {
        const double ascent = m_s.textAscent();
        const double asked = m_s.fontSize();
        m_s.setFontSize(points);
        const double drop = ascent - m_s.textAscent();
        m_s.setFontSize(asked);
        return drop;
    }

    // The card number, moved right just enough to stay clear of "N.", kept inside the slot.
    void printNumber(const QString &number) {
        const double labelEnd =
            x(m_l.numberLabelU) + m_l.numberPx + m_ctx.fits.width(m_s, numberLabel());
        qsizetype blanks = 0;
        while (blanks < number.size() && number.at(blanks) == QLatin1Char(' ')) {
            ++blanks;
        }
        const double inkStart = m_s.currentX() + double(blanks) * m_ctx.fits.width(m_s, blank());
        if (inkStart < labelEnd + wordGap()) {
            m_s.setCurrentX(m_s.currentX() + labelEnd + wordGap() - inkStart);
        }
        // Measured once per shape: every digit as 0 (digits share one width in card faces).
        QString shape = number;
        for (QChar &c : shape) {
            if (c.isDigit()) {
                c = QLatin1Char('0');
            }
        }
        const double top = m_s.currentY();
        const TextFit::Line fit =
            m_ctx.fits.fit(m_s, cardRight() - m_s.currentX(), shape, m_s.fontBold());
        const QString text =
            fit.cut ? number.left(std::max<qsizetype>(0, fit.first.size() - 1)) + fit.first.right(1)
                    : number;
        printShrunk(fit, text, top);
    }

    // The credit line reads down beside the card, cut at the bottom of the card's slot.
    void printCredit() {
        const TextFit::Line fit =
            m_ctx.fits.fit(m_s, slotBottom() - gap() - m_s.currentY(), RigaCrediti, false);
        if (!fit.shrunk) {
            PrintRotated(m_s, RigaCrediti, creditAngle);
            return;
        }
        const double points = m_s.fontSize();
        m_s.setFontSize(fit.points);
        PrintRotated(m_s, fit.first, creditAngle);
        m_s.setFontSize(points);
    }

    // The name line, the name in bold and then street and telephone, fitted as one line
    // inside its own card's border: the same room, so the same size, in either column.
    const TextFit::Line &dittaLine() {
        if (!m_dittaLine) {
            const double room = cardRight() - x(m_l.titleU);
            m_dittaLine = m_ctx.fits.fit(m_s, room, m_p.ditta, true,
                                         m_ctx.viaTel(m_l.viaTelSeparator), false);
        }
        return *m_dittaLine;
    }
    void printDitta() {
        m_dittaLine.reset();
        m_dittaDrop = 0;
        const TextFit::Line fit = dittaLine();
        if (fit.shrunk) {
            m_dittaDrop = shrunkDrop(fit.points);
            m_s.setCurrentY(m_s.currentY() + m_dittaDrop);
            m_s.setFontSize(fit.points); // both parts at the one size
        }
        m_s.print(fit.first);
    }

    static const QString &blank() {
        static const QString text = QStringLiteral(" ");
        return text;
    }
    static const QString &arial() {
        static const QString name = QStringLiteral("ARIAL");
        return name;
    }
    static const QString &creditFace() {
        static const QString name = QStringLiteral("Arial");
        return name;
    }
    static const QString &numberLabel() {
        static const QString label = QStringLiteral("N.");
        return label;
    }

    void cellStep(int k, int part) {
        const int column = k / RecordCartella::rows;
        const int row = k % RecordCartella::rows;
        switch (part) {
        case 0: {
            const qint32 colors[RecordCartella::rows] = {m_ctx.settings.ColorePrimaCinquina,
                                                         m_ctx.settings.ColoreSecondaCinquina,
                                                         m_ctx.settings.ColoreTerzaCinquina};
            m_s.setForeColor(colors[row]);
            break;
        }
        case 1: {
            const double w = m_s.textWidth(m_ctx.cellText(m_record, k));
            m_s.setCurrentX(m_ox + (m_l.cellU + m_l.cellStepU * column) * m_fx +
                            (m_l.cellCentreU - w / (2 * m_s.twipsPerPixelX())) * m_fx);
            break;
        }
        case 2: {
            double top = y(m_l.cellV[std::size_t(row)][std::size_t(column)]);
            if (m_l.cellPixelCorrection) {
                top += (noPixelCorrectionSize - m_d) / 2.0;
            }
            m_s.setCurrentY(top);
            break;
        }
        default:
            if (m_l.printEmptyCells || m_record.cellNumber(k) > 0) {
                m_s.print(m_ctx.cellText(m_record, k));
            }
            break;
        }
    }

    const CardLayout &m_l;
    CardContext &m_ctx;
    PrinterSurface &m_s;
    const CardContext::Prepared &m_p;
    const SheetFit::Sheet &m_sheet;
    const int m_d; // Dimensione as drawn
    const qint16 m_card;
    const qint16 m_slot;
    const qint16 m_firstCard;
    int m_strip = NoStrip;
    std::optional<TextFit::Line> m_dittaLine; // the name line's fit, made by its first print
    double m_dittaDrop = 0;                   // the name line drawn smaller keeps its baseline
    RecordCartella m_record;
    double m_fx = 0; // FattoreX
    double m_fy = 0; // FattoreY
    double m_ox = 0; // OrigineX
    double m_oy = 0; // OrigineY
};

} // namespace

void StampaCartellaLayout(const CardLayout &layout, CardContext &ctx, qint16 card, qint16 slot,
                          qint16 firstCard) {
    CardDrawing drawing(layout, ctx, card, slot, firstCard);
    RecordingProcedure::run(layout.moduleName, layout.procName, LineCount,
                            [&drawing](int line) { drawing.step(line); });
}

void StampaCartella(CardContext &ctx, qint16 card, qint16 slot, qint16 firstCard) {
    StampaCartellaLayout(CardLayout::landscape(), ctx, card, slot, firstCard);
}

void StampaCartella2(CardContext &ctx, qint16 card, qint16 slot, qint16 firstCard) {
    StampaCartellaLayout(CardLayout::portrait(), ctx, card, slot, firstCard);
}

} // namespace velmora
