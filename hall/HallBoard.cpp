#include "hall/HallBoard.h"

#include "rules/Game.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace velmora {

const QColor HallBoard::drawnText = QColor(0xff, 0xff, 0xff);
const QColor HallBoard::drawnBackground = QColor(0x8b, 0x00, 0x00);

namespace {

const QColor hallBackground(0x00, 0x00, 0x00);
// Numbers still in the urn: visible, but well behind the drawn ones.
const QColor waitingText(0x70, 0x70, 0x70);
const QColor waitingBackground(0x1a, 0x1a, 0x1a);
const QColor plainText(0xff, 0xff, 0xff);
const QColor bannerText(0xff, 0xd7, 0x00);
const int previousShown = 5;

void setColours(QLabel *label, const QColor &text, const QColor &background) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
}

// The largest bold face up to ceiling pixels in which the text fits the label's box whole.
void fitText(QLabel *label, int ceiling, const QString &sample = {}) {
    const QString text = sample.isEmpty() ? label->text() : sample;
    QFont font = label->font();
    font.setBold(true);
    int size = qMax(ceiling, 6);
    for (; size > 6; size -= qMax(1, size / 20)) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(text) <= label->contentsRect().width() &&
            metrics.height() <= label->contentsRect().height()) {
            break;
        }
    }
    font.setPixelSize(size);
    label->setFont(font);
}

// The largest bold face whose digits, drawn as the label draws them (the line centred in its
// box), fill the box's height without leaving it: the line's empty descent may stick out, the
// digits never do.
void fitDigits(QLabel *label, const QString &sample) {
    QFont font = label->font();
    font.setBold(true);
    const QRect box = label->contentsRect();
    int size = qMax(6, box.height() * 3 / 2);
    for (; size > 6; size -= qMax(1, size / 50)) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        const QRect digits = metrics.tightBoundingRect(sample);
        const int baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
        if (metrics.horizontalAdvance(sample) <= box.width() &&
            baseline + digits.top() > box.top() && baseline + digits.bottom() < box.bottom()) {
            break;
        }
    }
    font.setPixelSize(size);
    label->setFont(font);
}

} // namespace

HallBoard::HallBoard(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HallBoard"));
    setWindowTitle(QStringLiteral("Tabellone per la sala"));
    setWindowFlag(Qt::Window);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, hallBackground);
    setPalette(palette);
    for (int number = 1; number <= NumberSet::highest; ++number) {
        QLabel *label = makeLabel("hallNumber(%1)", waitingText);
        label->setObjectName(label->objectName().arg(number));
        label->setText(QString::number(number));
        m_numbers.at(std::size_t(number - 1)) = label;
        paintNumber(number, false);
    }
    m_last = makeLabel("hallLast", plainText);
    m_previous = makeLabel("hallPrevious", plainText);
    m_count = makeLabel("hallCount", plainText);
    m_playing = makeLabel("hallPlaying", plainText);
    m_banner = makeLabel("hallBanner", bannerText);
    resize(1024, 768);
}

QLabel *HallBoard::makeLabel(const char *name, const QColor &text) {
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    setColours(label, text, hallBackground);
    return label;
}

QScreen *HallBoard::defaultScreen(QScreen *organiser) {
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen != organiser) {
            return screen;
        }
    }
    return organiser ? organiser : QGuiApplication::primaryScreen();
}

void HallBoard::openOn(QScreen *screen) {
    if (screen) {
        // Placed on the screen before it goes full screen there.
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    raise();
}

void HallBoard::showGame(const Game &game, const QString &playing) {
    for (int number = 1; number <= NumberSet::highest; ++number) {
        paintNumber(number, game.isDrawn(number));
    }
    if (game.count() != m_shownCount) {
        m_shownCount = game.count();
        m_banner->clear();
        setLast(game.last());
    }
    QStringList before;
    const QList<int> &numbers = game.numbers();
    for (qsizetype i = numbers.size() - 2; i >= 0 && before.size() < previousShown; --i) {
        before.append(QString::number(numbers.at(i)));
    }
    m_previous->setText(
        before.isEmpty() ? QString()
                         : QStringLiteral("Precedenti: %1").arg(before.join(QStringLiteral("  "))));
    m_count->setText(QStringLiteral("Numeri estratti: %1").arg(game.count()));
    m_playing->setText(playing);
    arrange();
}

void HallBoard::showAward(const QString &banner) {
    m_banner->setText(banner);
    m_banner->setAccessibleName(banner); // a new name is told to the screen reader by Qt itself
    arrange();
}

void HallBoard::setLast(int last) {
    m_last->setText(last ? QString::number(last) : QString());
    // A screen reader in the hall hears each new number: a new accessible name is sent to it as
    // a name change, once.
    m_last->setAccessibleName(last ? QStringLiteral("Ultimo numero estratto: %1").arg(last)
                                   : QString());
}

void HallBoard::paintNumber(int number, bool drawn) {
    QLabel *label = m_numbers.at(std::size_t(number - 1));
    setColours(label, drawn ? drawnText : waitingText, drawn ? drawnBackground : waitingBackground);
    label->setAccessibleName(drawn ? QStringLiteral("%1, estratto").arg(number)
                                   : QString::number(number));
}

void HallBoard::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    arrange();
}

// Everything in proportion to the window: the board on the left, the last number and what goes
// with it on the right, the banner across the bottom.
void HallBoard::arrange() {
    const int w = width();
    const int h = height();
    const int margin = qMax(4, h / 50);
    const int gap = qMax(1, h / 300);
    const int bannerHeight = h / 10;
    const int topHeight = h - bannerHeight - 3 * margin;
    // The last number needs a column about three quarters of the height wide: on a 4:3 screen
    // the board gives up some of its width for it.
    const int boardWidth = qMin(w * 56 / 100, w - 3 * margin - h * 72 / 100);

    const int cellWidth = (boardWidth - 9 * gap) / 10;
    const int cellHeight = (topHeight - 8 * gap) / 9;
    for (int i = 0; i < NumberSet::highest; ++i) {
        QLabel *cell = m_numbers.at(std::size_t(i));
        cell->setGeometry(margin + (i % 10) * (cellWidth + gap),
                          margin + (i / 10) * (cellHeight + gap), cellWidth, cellHeight);
        // Room either side, so that neighbouring numbers never read as one.
        cell->setContentsMargins(cellWidth / 8, 0, cellWidth / 8, 0);
        fitText(cell, cellHeight * 7 / 10, QStringLiteral("88"));
    }

    const int x = 2 * margin + boardWidth;
    const int right = w - x - margin;
    int y = margin;
    const auto place = [&](QLabel *label, int height, int ceiling) {
        label->setGeometry(x, y, right, height);
        fitText(label, ceiling);
        y += height + margin;
    };
    // Digits about two fifths of the height for the last number, whatever the screen.
    m_last->setGeometry(x, y, right, h * 42 / 100);
    fitDigits(m_last, QStringLiteral("88"));
    y += m_last->height() + margin;
    place(m_previous, h * 9 / 100, h * 6 / 100);
    place(m_count, h * 8 / 100, h * 5 / 100);
    place(m_playing, h * 9 / 100, h * 5 / 100);

    m_banner->setGeometry(margin, h - margin - bannerHeight, w - 2 * margin, bannerHeight);
    fitText(m_banner, bannerHeight * 7 / 10);
}

void HallBoard::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
    } else if (event->key() == Qt::Key_F11) {
        isFullScreen() ? showNormal() : showFullScreen();
    } else {
        QWidget::keyPressEvent(event);
    }
}

} // namespace velmora
