#include "ui/AbuotForm.h"

#include "VelmoraConfig.h"
#include "common/Twips.h"
#include "ui/ClockRandomSource.h"
#include "ui/qbButtons_H.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {
namespace {
// Window and controls, in twips. The inner area is taller than the 3180 twips of the first
// design so that OK, which starts at top 3375, can be seen and clicked in every mode.
constexpr int innerWidth = 5010;
constexpr int innerHeight = 4080;
constexpr int okLeft = 2205;
constexpr int okTop = 3375;
constexpr int okWidth = 585;
constexpr int okHeight = 555;
constexpr int okPictureEdge = 16;

const QColor windowBlue(0, 0, 255);
const QColor labelBlue(0, 0, 192);
const QColor linkHover(255, 0, 0);

// Lines of a label kept whole: its font shrinks until the widest line fits and the lines fit
// under each other.
void fitLines(QLabel *label) {
    constexpr double smallest = 5.0;
    constexpr double step = 0.5;
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    const QRect room = label->contentsRect();
    const auto fits = [&](const QFont &font) {
        const QFontMetrics metrics(font);
        for (const QString &line : lines) {
            if (metrics.horizontalAdvance(line) > room.width()) {
                return false;
            }
        }
        return metrics.lineSpacing() * lines.size() <= room.height();
    };
    QFont font = label->font();
    while (!fits(font) && font.pointSizeF() > smallest) {
        font.setPointSizeF(font.pointSizeF() - step);
    }
    label->setFont(font);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, QRect twips,
                 bool darkBackground) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Window, darkBackground ? labelBlue : windowBlue);
    label->setPalette(palette);
    label->setAutoFillBackground(darkBackground);
    label->setMouseTracking(true);
    return label;
}

// A small card of the game: the about window's picture.
QPixmap cardPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(pixmap.rect()).adjusted(2, 2, -2, -2);
    painter.setPen(QPen(QColor(0, 0, 160), 2));
    painter.drawRect(card);
    const double cellWidth = card.width() / 3;
    const double cellHeight = card.height() / 3;
    painter.setPen(QPen(QColor(0, 0, 160), 1));
    for (int i = 1; i < 3; ++i) {
        painter.drawLine(QPointF(card.left() + i * cellWidth, card.top()),
                         QPointF(card.left() + i * cellWidth, card.bottom()));
        painter.drawLine(QPointF(card.left(), card.top() + i * cellHeight),
                         QPointF(card.right(), card.top() + i * cellHeight));
    }
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(cellHeight * 0.55)));
    painter.setFont(font);
    painter.setPen(QColor(192, 0, 0));
    const int numbers[3][3] = {{7, 31, 62}, {15, 44, 78}, {23, 56, 90}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF cell(card.left() + column * cellWidth, card.top() + row * cellHeight,
                              cellWidth, cellHeight);
            painter.drawText(cell, Qt::AlignCenter, QString::number(numbers[row][column]));
        }
    }
    return pixmap;
}

QImage tickPicture() {
    QImage image(okPictureEdge, okPictureEdge, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF{{3, 8.5}, {6.5, 12}, {13, 4}});
    return image;
}
} // namespace

AboutAnimation::State &AbuotForm::animationState() {
    static AboutAnimation::State state;
    return state;
}

AbuotForm::AbuotForm(Seams seams, QWidget *parent) : QDialog(parent), m_seams(std::move(seams)) {
    setObjectName(QStringLiteral("AbuotForm"));
    setWindowTitle(tr("Informazioni su %1").arg(QString::fromUtf8(config::title)));
    setFixedSize(Twips::size(innerWidth, innerHeight));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowBlue);
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(Twips::rect(180, 240, 1080, 1080));
    picture->setPixmap(cardPicture(picture->size()));
    picture->setAccessibleName(tr("Cartella della tombola"));

    QLabel *year = addLabel(this, "Label4", QStringLiteral("2018"), {1440, 240, 1260, 480}, true);
    QFont big(QStringLiteral("Arial"), 18);
    big.setBold(true);
    year->setFont(big);
    year->setAlignment(Qt::AlignCenter);
    m_version = addLabel(this, "lbVersion", QStringLiteral("v. ") + m_seams.versionText,
                         {2880, 240, 1920, 480}, true);
    m_version->setAlignment(Qt::AlignCenter);
    QLabel *by = addLabel(this, "Label2", QStringLiteral("by"), {1440, 900, 480, 300}, true);
    by->setAlignment(Qt::AlignCenter);
    m_label1 = addLabel(this, "Label1",
                        tr("Laboratorio Velmora\n"
                           "Via dell'Esempio 1 - 00000 Borgo di Prova\n"
                           "info@velmora.example.com"),
                        {1440, 1320, 3360, 900}, true);
    m_label1->setContentsMargins(6, 0, 6, 0);
    fitLines(m_label1);
    m_label3 = addLabel(this, "Label3", QString::fromUtf8(config::supportAddress),
                        {1440, 2400, 3360, 300}, false);
    m_label3->setCursor(Qt::PointingHandCursor);
    m_label3->setFocusPolicy(Qt::StrongFocus);
    m_label3->setAccessibleName(tr("Scrivi all'assistenza"));
    m_label3->installEventFilter(this);
    m_label1->installEventFilter(this);

    m_ok = new qbButtons_H(this);
    m_ok->setObjectName(QStringLiteral("Ok"));
    m_ok->setButtonStyle(3);
    m_ok->setBackColor(palette.color(QPalette::Button));
    QFont okFont(QStringLiteral("Arial"), 8);
    okFont.setBold(true);
    m_ok->setFont(okFont);
    m_ok->setPicture(QbPicture(tickPicture(), QbPicture::Kind::Png));
    m_ok->setPictureAlign(4);
    m_ok->setCaption(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_okGeometry = {okLeft, okTop, okWidth, okHeight, 0, 0};
    m_ok->setGeometry(Twips::rect(okLeft, okTop, okWidth, okHeight));
    connect(m_ok, &qbButtons_H::Click, this, &QDialog::accept);
    setTabOrder(m_ok, m_label3);

    // Load: a mode for this opening, drawn from a generator seeded now.
    m_random = m_seams.random ? m_seams.random : std::make_shared<ClockRandomSource>();
    animationState().animMode = AboutAnimation::drawMode(*m_random);
    if (m_seams.centre) {
        m_seams.centre(this);
    }
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(AboutAnimation::tickMs);
    connect(&m_timer, &QTimer::timeout, this, &AbuotForm::tick);
    m_timer.start();
}

void AbuotForm::tick() {
    m_okGeometry.windowWidth = Twips::fromPixels(frameGeometry().width());
    m_okGeometry.windowHeight = Twips::fromPixels(frameGeometry().height());
    const bool closing = AboutAnimation::tick(animationState(), m_okGeometry, *m_random);
    m_ok->move(Twips::point(m_okGeometry.left, m_okGeometry.top));
    if (closing) {
        m_timer.stop();
        accept();
    }
}

void AbuotForm::done(int result) {
    m_timer.stop();
    if (m_seams.mainWindow) {
        m_seams.mainWindow->setEnabled(true);
    }
    QDialog::done(result);
}

void AbuotForm::setLinkColour(const QColor &colour) {
    QPalette palette = m_label3->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_label3->setPalette(palette);
}

void AbuotForm::sendMail() {
    if (m_seams.sendMail) {
        m_seams.sendMail(m_label3->text(), QString::fromUtf8(config::title));
    }
}

bool AbuotForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseMove) {
        setLinkColour(watched == m_label3 ? linkHover : QColor(Qt::white));
    } else if (watched == m_label3 && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_label3->rect().contains(mouse->position().toPoint())) {
            sendMail();
            return true;
        }
    } else if (watched == m_label3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            sendMail();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AbuotForm::mouseMoveEvent(QMouseEvent *event) {
    setLinkColour(Qt::white);
    QDialog::mouseMoveEvent(event);
}

} // namespace velmora
