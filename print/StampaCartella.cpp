#include "print/StampaCartella.h"

#include "appearance/PrintRotated.h"
#include "errors/RecordingProcedure.h"
#include "errors/VelmoraError.h"

#include <cmath>

namespace velmora {

const QString RigaCrediti = QStringLiteral("Velmora - Studio Corvetto - velmora@example.org");

namespace {

constexpr qint16 creditAngle = 270;
constexpr double creditFontSize = 6;
constexpr int gridWidth = 2;
constexpr int noPixelCorrectionSize = 18; // Dimensione at which no pixel correction applies
constexpr double fontScaleDivisor = 4;

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
          m_d(ctx.settings.Dimensione), m_card(card), m_slot(slot), m_firstCard(firstCard) {
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
            if (m_fx > m_l.capX) {
                m_fx = m_l.capX;
            }
            break;
        case FactorYCap:
            if (m_fy > m_l.capY) {
                m_fy = m_l.capY;
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
            m_s.setFontSize(sized(m_l.titleSizeOffset));
            break;
        case TitleBoldOff:
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
            m_s.print(m_p.titolo);
            break;
        case NumberSizeFromFactor:
            m_s.setFontSize(whole(4.5 * m_fy));
            break;
        case NumberSize:
            m_s.setFontSize(sized(m_l.numberSizeOffset));
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
            m_s.print(numberLabel());
            break;
        case NumberX:
            m_s.setCurrentX(x(m_l.numberU) + m_l.numberPx);
            break;
        case NumberPrint:
            m_s.print(m_ctx.numerazioneArchivio
                          ? m_record.numeroArchivio()
                          : numeroDaUno(m_record.numeroArchivio(), m_firstCard));
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
            PrintRotated(m_s, RigaCrediti, creditAngle);
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
            m_s.setFontSize(sized(0));
            break;
        case NumbersBold:
            m_s.setFontBold(true);
            break;
        case StripSize:
            m_s.setFontSize(sized(m_l.stripSizeOffset));
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
                m_s.print(m_p.frase1);
            } else if (m_strip == DittaStrip) {
                m_s.print(m_p.ditta);
            } else if (m_strip == Frase2Strip) {
                m_s.print(m_p.frase2);
            }
            break;
        case StripDittaX:
            if (m_strip == DittaStrip) {
                m_s.setCurrentX(x(m_l.titleU) + m_s.textWidth(m_p.ditta));
            }
            break;
        case StripDittaY:
            if (m_strip == DittaStrip) {
                m_s.setCurrentY(y(m_l.stripV));
            }
            break;
        case StripDittaPrint:
            if (m_strip == DittaStrip) {
                m_s.print(m_ctx.viaTel(m_l.viaTelSeparator));
            }
            break;
        default:
            break;
        }
    }

private:
    double x(double u) const { return m_ox + u * m_fx; }
    double y(double v) const { return m_oy + v * m_fy; }
    // A font size in points of Dimensione + offset, scaled with the layout.
    double sized(int offset) const {
        const double points = double(m_d) + offset;
        return m_l.fontsScaleWithFactor ? m_fx * points / fontScaleDivisor : points;
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
    const int m_d; // Dimensione
    const qint16 m_card;
    const qint16 m_slot;
    const qint16 m_firstCard;
    int m_strip = NoStrip;
    RecordCartella m_record;
    double m_fx = 0; // FattoreX
    double m_fy = 0; // FattoreY
    double m_ox = 0; // OrigineX
    double m_oy = 0; // OrigineY
};

} // namespace

QString numeroDaUno(const QString &numeroArchivio, qint16 firstCard) {
    const QString digits = numeroArchivio.trimmed();
    bool numeric = !digits.isEmpty();
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            numeric = false;
            break;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    if (!numeric) {
        throw VelmoraError(VelmoraError::TypeMismatch,
                           QStringLiteral("Tipo non corrispondente: il numero d'archivio \"%1\" "
                                          "della cartella non è un numero")
                               .arg(numeroArchivio));
    }
    const qint64 number = value - firstCard + 1;
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

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
