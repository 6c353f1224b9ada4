#include "appearance/CardPicture.h"

#include "appearance/CardGeometry.h"
#include "appearance/FitLabel.h"
#include "common/Twips.h"

#include <QLabel>
#include <QPainter>

namespace velmora {
namespace {

// The sample card: Label6 index (of the preview), text, left, top, height. 420 wide.
struct SampleNumber {
    int index;
    const char *text;
    int left, top, height;
};

constexpr int numberWidth = 420;
constexpr std::array<SampleNumber, 15> sampleNumbers{{
    {15, "8", 345, 810, 345},
    {16, "11", 810, 810, 345},
    {17, "21", 1260, 810, 345},
    {25, "32", 1710, 810, 345},
    {20, "50", 2610, 825, 315},
    {18, "17", 810, 1275, 315},
    {24, "36", 1710, 1275, 315},
    {22, "45", 2145, 1275, 315},
    {29, "74", 3495, 1275, 315},
    {28, "84", 3975, 1275, 315},
    {26, "23", 1260, 1710, 315},
    {23, "39", 1710, 1710, 315},
    {21, "46", 2160, 1710, 315},
    {19, "66", 3075, 1710, 315},
    {27, "89", 3990, 1710, 315},
}};
constexpr int previewFirstNumber = 15;

QRect pixels(const QRect &r) {
    return Twips::rect(r.left(), r.top(), r.width(), r.height());
}

// A line is one pixel thick, from its first point to its last.
QRect linePixels(const QLine &l) {
    const QPoint from = Twips::point(l.x1(), l.y1());
    const QPoint to = Twips::point(l.x2(), l.y2());
    return {from, QSize(std::max(1, to.x() - from.x()), std::max(1, to.y() - from.y()))};
}

QString indexed(const char *name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

CardPicture::CardPicture(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind) {
    setObjectName(indexed("picCartella", kind == Kind::Preview ? 0 : 2));
    resize(Twips::size(CardGeometry::card.width(), CardGeometry::card.height()));
    setFixedSize(size());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    const int i = labelIndex();
    m_tombola = makeLabel(indexed("Tombola", i), QStringLiteral("TOMBOLA"),
                          pixels(CardGeometry::title), true);
    m_numeroCartella = makeLabel(indexed("lblNumeroCartella", i), QStringLiteral("N.   1"),
                                 pixels(CardGeometry::number), true);
    m_frase = makeLabel(indexed("Frase", i), QString(), pixels(CardGeometry::heading), true);
    QPalette white = m_frase->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_frase->setPalette(white);
    m_frase->setAutoFillBackground(true);

    for (const SampleNumber &n : sampleNumbers) {
        const int slot = n.index - previewFirstNumber;
        m_numbers.at(slot) =
            makeLabel(indexed("Label6", firstNumberIndex() + slot), QString::fromLatin1(n.text),
                      pixels(QRect(n.left, n.top, numberWidth, n.height)));
    }

    if (kind == Kind::Preview) {
        m_lineaSottile =
            makeStrip(QStringLiteral("picLineaSottile"), pixels(CardGeometry::thinLine));
        m_lineaGrossa =
            makeStrip(QStringLiteral("picLineaGrossa"), pixels(CardGeometry::thickLine));
        for (int b = 0; b < borderCount; ++b) {
            m_bordo.at(b) =
                makeStrip(indexed("imgBordoCartella", b), pixels(CardGeometry::border.at(b)));
        }
        for (int g = 0; g < static_cast<int>(CardGeometry::gridFrame.size()); ++g) {
            if (!CardGeometry::gridFrame.at(g).isEmpty()) {
                m_griglia.at(g) =
                    makeStrip(indexed("imgGriglia", g), pixels(CardGeometry::gridFrame.at(g)));
            }
        }
        for (int l = 0; l < gridLineCount; ++l) {
            m_lnGriglia.at(l) =
                makeStrip(indexed("lnGriglia", l), linePixels(CardGeometry::gridLines.at(l)));
        }
    }
    // Labels stay above the strips, as the labels of the drawn card are above its lines.
    for (QLabel *label : m_numbers) {
        label->raise();
    }
}

QLabel *CardPicture::label6(int index) const {
    const int slot = index - firstNumberIndex();
    return slot >= 0 && slot < numberCount ? m_numbers.at(slot) : nullptr;
}

QWidget *CardPicture::imgBordoCartella(int index) const {
    return index >= 0 && index < borderCount ? m_bordo.at(index) : nullptr;
}

QWidget *CardPicture::imgGriglia(int index) const {
    return index >= 0 && index < static_cast<int>(m_griglia.size()) ? m_griglia.at(index) : nullptr;
}

QWidget *CardPicture::lnGriglia(int index) const {
    return index >= 0 && index < gridLineCount ? m_lnGriglia.at(index) : nullptr;
}

QLabel *CardPicture::makeLabel(const QString &name, const QString &text, const QRect &rect,
                               bool fit) {
    // Title, number and heading line keep to their labels as they keep to the printed card.
    auto *label = fit ? new FitLabel(text, this) : new QLabel(text, this);
    label->setObjectName(name); // assistive tools read its text
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(rect);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QWidget *CardPicture::makeStrip(const QString &name, const QRect &rect) {
    auto *strip = new QWidget(this);
    strip->setObjectName(name); // named for assistive tools by the part it belongs to
    strip->setGeometry(rect);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, Qt::black);
    strip->setPalette(palette);
    return strip;
}

void CardPicture::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (m_kind != Kind::Decorative) {
        return;
    }
    // The decorative card never takes colours: its rules are painted, always black.
    QPainter painter(this);
    for (const QRect &r : {CardGeometry::thinLine, CardGeometry::thickLine}) {
        painter.fillRect(pixels(r), Qt::black);
    }
    for (const QRect &r : CardGeometry::border) {
        painter.fillRect(pixels(r), Qt::black);
    }
    for (const QRect &r : CardGeometry::gridFrame) {
        painter.fillRect(pixels(r), Qt::black);
    }
    for (const QLine &l : CardGeometry::gridLines) {
        painter.fillRect(linePixels(l), Qt::black);
    }
}

} // namespace velmora
