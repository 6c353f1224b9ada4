#include "hall/HallBoard.h"

#include "hall/DigitFit.h"
#include "hall/HallState.h"
#include "rules/NumberSet.h"

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

// The largest bold face whose digits fill the box's height without leaving it.
void fitDigits(QLabel *label, const QString &sample) {
    QFont font = label->font();
    font.setBold(true);
    const QRect box = label->contentsRect();
    font.setPixelSize(DigitFit::pixelSize(font, box, sample, box.height() * 3 / 2));
    label->setFont(font);
}

// Qt tells a label's new text to the screen reader only while the label has no name of its own,
// and a label without one is named by its text: the name goes first when there is one and last
// when it is cleared, so that each change is heard once and nothing stale is.
void setTold(QLabel *label, const QString &text, const QString &name) {
    if (name.isEmpty()) {
        label->setText(text);
        label->setAccessibleName(name);
    } else {
        label->setAccessibleName(name);
        label->setText(text);
    }
}

} // namespace

HallBoard::HallBoard(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HallBoard"));
    setWindowTitle(QStringLiteral("Tabellone per la sala"));
    setWindowFlag(Qt::Window);
    // The caller types the numbers, F5 and the commands on the Tabellone while the hall watches
    // this: shown, it leaves the keyboard where it was; clicked, it hands the Tabellone every
    // key but its own Esc and F11.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
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
    showWholeScreen();
    raise();
}

void HallBoard::showWholeScreen() {
    // As showFullScreen, which would also ask for the keyboard.
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                   Qt::WindowFullScreen);
    setVisible(true);
}

void HallBoard::show(const HallState &state) {
    std::array<bool, NumberSet::highest + 1> drawn{};
    for (int number : state.numbers) {
        if (NumberSet::inRange(number)) {
            drawn.at(std::size_t(number)) = true;
        }
    }
    for (int number = 1; number <= NumberSet::highest; ++number) {
        paintNumber(number, drawn.at(std::size_t(number)));
    }
    if (state.game != m_shownGame || state.count() != m_shownCount) {
        m_shownGame = state.game;
        m_shownCount = state.count();
        setLast(state.last);
    }
    m_previous->setText(state.previousText());
    m_count->setText(QStringLiteral("Numeri estratti: %1").arg(state.count()));
    m_playing->setText(state.playing);
    const HallAward *award = state.freshAward();
    setBanner(award ? award->banner() : QString());
    arrange();
}

void HallBoard::setBanner(const QString &banner) {
    if (banner != m_banner->text()) {
        setTold(m_banner, banner, banner);
    }
}

void HallBoard::setLast(int last) {
    // A screen reader in the hall hears each new number: a new accessible name is sent to it as
    // a name change, once.
    setTold(m_last, last ? QString::number(last) : QString(),
            last ? QStringLiteral("Ultimo numero estratto: %1").arg(last) : QString());
}

void HallBoard::paintNumber(int number, bool drawn) {
    QLabel *label = m_numbers.at(std::size_t(number - 1));
    setColours(label, drawn ? drawnText : waitingText, drawn ? drawnBackground : waitingBackground);
    const QString name =
        drawn ? QStringLiteral("%1, estratto").arg(number) : QString::number(number);
    if (name != label->accessibleName()) { // each setting is told to the screen reader
        label->setAccessibleName(name);
    }
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
        isFullScreen() ? showNormal() : showWholeScreen();
    } else {
        emit keyForCaller(event);
        event->accept();
    }
}

void HallBoard::closeEvent(QCloseEvent *event) {
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace velmora
