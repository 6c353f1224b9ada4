#include "game/CardView.h"

#include "appearance/CardGeometry.h"
#include "appearance/ScalaFont.h"
#include "print/BgrColor.h"
#include "print/TextFit.h"
#include "settings/Configurazione.h"

#include <QFontMetricsF>
#include <QPainter>

#include <array>

namespace velmora {
namespace {

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
    return QSize(qRound(CardGeometry::card.width() / 15.0 * viewScale),
                 qRound(CardGeometry::card.height() / 15.0 * viewScale));
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
    painter.scale(width() / double(CardGeometry::card.width()),
                  height() / double(CardGeometry::card.height()));
    paintCard(painter);
}

void CardView::paintCard(QPainter &painter) const {
    using G = CardGeometry;
    const Configurazione &s = m_settings;
    const int size = s.Dimensione;
    painter.setPen(colour(s.ColoreTitolo));
    // The title's top edge moves with the size, as on the appearance page; a title too long for
    // its place is drawn smaller, then cut, as the appearance page's card draws it.
    QRect title = G::title;
    title.moveTop(qRound(ScalaFont::topTitolo(size)));
    QFont titleFont = cardFont(s, ScalaFont::titolo(size));
    QString titleText = s.Titolo.trimmed();
    const auto widthAt = [&titleFont, &titleText](int em) {
        QFont font = titleFont;
        font.setPixelSize(em);
        return QFontMetricsF(font).horizontalAdvance(titleText);
    };
    const int asked = titleFont.pixelSize();
    if (widthAt(asked) > title.width()) {
        const int floor = qRound(TextFit::floorPoints * twipsPerPoint);
        const int em = TextFit::largestFitting(asked, floor, title.width(), widthAt);
        titleFont.setPixelSize(em > 0 ? em : std::min(asked, floor));
        const QFontMetricsF metrics(titleFont);
        if (metrics.horizontalAdvance(titleText) > title.width()) {
            titleText = TextFit::cut(titleText, title.width(), [&metrics](const QString &text) {
                return metrics.horizontalAdvance(text);
            });
        }
    }
    painter.setFont(titleFont);
    painter.drawText(title, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, titleText);
    painter.setFont(cardFont(s, ScalaFont::numeroCartella(size)));
    painter.setPen(colour(s.ColoreNumeroCartella));
    painter.drawText(G::number, Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("N. %1").arg(m_printedNumber.trimmed()));

    painter.fillRect(G::thinLine, colour(s.ColoreLineaSottile));
    painter.fillRect(G::thickLine, colour(s.ColoreLineaGrossa));
    for (const QRect &strip : G::border) {
        painter.fillRect(strip, colour(s.ColoreBordo));
    }
    const QRect grid = G::gridOuter();
    painter.setPen(QPen(colour(s.ColoreGriglia), 15));
    painter.drawRect(grid);
    for (int row = 1; row < RecordCartella::rows; ++row) {
        painter.drawLine(grid.left(), G::rowEdge(row), grid.right(), G::rowEdge(row));
    }
    for (int column = 1; column < RecordCartella::columns; ++column) {
        painter.drawLine(G::columnEdge(column), grid.top(), G::columnEdge(column), grid.bottom());
    }

    const std::array<QColor, RecordCartella::rows> rowColours{colour(s.ColorePrimaCinquina),
                                                              colour(s.ColoreSecondaCinquina),
                                                              colour(s.ColoreTerzaCinquina)};
    painter.setFont(cardFont(s, ScalaFont::numeri(size)));
    for (int column = 0; column < RecordCartella::columns; ++column) {
        for (int row = 0; row < RecordCartella::rows; ++row) {
            const int number = m_record.cellNumber(RecordCartella::cellIndex(column, row));
            if (number <= 0) {
                continue;
            }
            const QRect cell = G::cell(column, row);
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

    painter.fillRect(G::heading, Qt::white);
    painter.setFont(cardFont(s, ScalaFont::frase(size)));
    painter.setPen(colour(s.ColoreFrase));
    painter.drawText(G::heading, Qt::AlignCenter, m_heading);
}

} // namespace velmora
