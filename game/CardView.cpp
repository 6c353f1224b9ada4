#include "game/CardView.h"

#include "print/BgrColor.h"
#include "settings/Configurazione.h"

#include <QPainter>

#include <array>

namespace velmora {
namespace {

// The card picture of the appearance page, in twips.
constexpr int cardWidth = 4830, cardHeight = 2715;
constexpr int titleLeft = 180, titleWidth = 2520, titleHeight = 225;
constexpr QRect numberRect(3120, 135, 1530, 225);
constexpr QRect thinLine(90, 390, 4545, 15);
constexpr QRect thickLine(210, 435, 4335, 30);
constexpr std::array<QRect, 4> border{
    {{210, 585, 4335, 30}, {210, 2160, 4350, 30}, {195, 585, 30, 1605}, {4545, 585, 30, 1605}}};
constexpr int gridLeft = 330, gridTop = 720, gridRight = 4440, gridBottom = 2070;
constexpr std::array<int, 4> rowTops{720, 1185, 1620, 2055};
constexpr std::array<int, 10> columnEdges{330, 780, 1230, 1680, 2130, 2580, 3030, 3480, 3930, 4425};
constexpr QRect headingRect(195, 2235, 4380, 315);
constexpr int twipsPerPoint = 20;
constexpr double viewScale = 1.6; // twips to pixels, 15 twips a pixel, then enlarged

QColor colour(qint32 bgr) {
    return BgrColor::isValid(bgr) ? BgrColor::toColor(bgr) : QColor(Qt::black);
}

// The card font of the settings at a size in points, measured in twips.
QFont cardFont(const Configurazione &settings, double points) {
    QFont font(settings.FontTombola.trimmed());
    font.setPixelSize(std::max(1, qRound(points * twipsPerPoint)));
    font.setBold(settings.bold());
    font.setItalic(settings.italic());
    return font;
}

} // namespace

CardView::CardView(const Configurazione &settings, QWidget *parent)
    : QWidget(parent), m_settings(settings) {
    setObjectName(QStringLiteral("picCartellaControllata"));
    setAccessibleName(QStringLiteral("Cartella controllata"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CardView::sizeHint() const {
    return QSize(qRound(cardWidth / 15.0 * viewScale), qRound(cardHeight / 15.0 * viewScale));
}

void CardView::showCard(const RecordCartella &record, const QString &printedNumber,
                        const NumberSet &drawn, const QString &heading) {
    m_record = record;
    m_printedNumber = printedNumber;
    m_drawn = drawn;
    m_heading = heading;
    m_hasCard = true;
    updateDescription();
    update();
}

void CardView::clear() {
    m_hasCard = false;
    updateDescription();
    update();
}

QList<int> CardView::marked() const {
    QList<int> numbers;
    if (!m_hasCard) {
        return numbers;
    }
    for (int k = 0; k < RecordCartella::cellCount; ++k) {
        if (m_drawn.contains(m_record.cellNumber(k))) {
            numbers.append(m_record.cellNumber(k));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void CardView::updateDescription() {
    QStringList numbers;
    for (const int number : marked()) {
        numbers.append(QString::number(number));
    }
    setAccessibleDescription(
        !m_hasCard ? QString()
                   : QStringLiteral("Cartella N. %1, numeri estratti: %2")
                         .arg(m_printedNumber.trimmed(), numbers.isEmpty()
                                                             ? QStringLiteral("nessuno")
                                                             : numbers.join(QStringLiteral(", "))));
}

void CardView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!m_hasCard) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(width() / double(cardWidth), height() / double(cardHeight));
    paintCard(painter);
}

void CardView::paintCard(QPainter &painter) const {
    const Configurazione &s = m_settings;
    const double size = s.Dimensione;
    painter.setFont(cardFont(s, (size + 6) / 1.5));
    painter.setPen(colour(s.ColoreTitolo));
    // The title's top edge moves with the size, as on the appearance page.
    const int titleTop = qRound(130 - (size + 6) / 3 * 15);
    painter.drawText(QRect(titleLeft, titleTop, titleWidth, titleHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, s.Titolo.trimmed());
    painter.setFont(cardFont(s, (size - 1) / 1.5));
    painter.setPen(colour(s.ColoreNumeroCartella));
    painter.drawText(numberRect, Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("N. %1").arg(m_printedNumber.trimmed()));

    painter.fillRect(thinLine, colour(s.ColoreLineaSottile));
    painter.fillRect(thickLine, colour(s.ColoreLineaGrossa));
    for (const QRect &strip : border) {
        painter.fillRect(strip, colour(s.ColoreBordo));
    }
    const QColor grid = colour(s.ColoreGriglia);
    painter.setPen(QPen(grid, 15));
    painter.drawRect(QRect(QPoint(gridLeft, gridTop), QPoint(gridRight, gridBottom)));
    for (int row = 1; row < RecordCartella::rows; ++row) {
        painter.drawLine(gridLeft, rowTops.at(row), gridRight, rowTops.at(row));
    }
    for (int column = 1; column < RecordCartella::columns; ++column) {
        painter.drawLine(columnEdges.at(column), gridTop, columnEdges.at(column), gridBottom);
    }

    const std::array<QColor, RecordCartella::rows> rowColours{colour(s.ColorePrimaCinquina),
                                                              colour(s.ColoreSecondaCinquina),
                                                              colour(s.ColoreTerzaCinquina)};
    painter.setFont(cardFont(s, size / 1.5));
    for (int column = 0; column < RecordCartella::columns; ++column) {
        for (int row = 0; row < RecordCartella::rows; ++row) {
            const int number = m_record.cellNumber(RecordCartella::cellIndex(column, row));
            if (number <= 0) {
                continue;
            }
            const QRect cell(QPoint(columnEdges.at(column), rowTops.at(row)),
                             QPoint(columnEdges.at(column + 1), rowTops.at(row + 1)));
            if (m_drawn.contains(number)) {
                painter.setPen(QPen(QColor(200, 0, 0), 30));
                painter.setBrush(QColor(255, 230, 0));
                painter.drawEllipse(cell.adjusted(60, 45, -60, -45));
                painter.setBrush(Qt::NoBrush);
            }
            painter.setPen(rowColours.at(row));
            painter.drawText(cell, Qt::AlignCenter, QString::number(number));
        }
    }

    painter.fillRect(headingRect, Qt::white);
    painter.setFont(cardFont(s, size / 1.5 - 5));
    painter.setPen(colour(s.ColoreFrase));
    painter.drawText(headingRect, Qt::AlignCenter, m_heading);
}

} // namespace velmora
