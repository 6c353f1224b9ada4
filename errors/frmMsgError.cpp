#include "errors/frmMsgError.h"

#include "common/Twips.h"
#include "errors/ErrorPresenter.h"
#include "errors/HoverLabel.h"
#include "errors/MailHandOff.h"
#include "errors/ReportWindowLayout.h"
#include "errors/TopMost.h"

#include "VelmoraConfig.h"

#include <QClipboard>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QtMath>
#include <algorithm>

namespace velmora {
namespace {

using Layout = ReportWindowLayout;

constexpr std::array answerCodes{IDABORT, IDRETRY, IDIGNORE};
constexpr std::array answerTexts{"&Termina", "&Riprova", "&Ignora"};
const QColor hoverColour(255, 0, 0);
constexpr int caretRoom = 2;    // pixels after the last character, where the caret may stand
constexpr int noticeMargin = 4; // pixels above and below the stop notice
const QString stopNotice =
    QStringLiteral("Stampa interrotta: dopo la risposta non si stamperanno altre cartelle.");

QRect pixels(const QRectF &twips) {
    return Twips::rect(twips.left(), twips.top(), twips.width(), twips.height());
}

QStringList reportLines(const QString &text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

} // namespace

frmMsgError::frmMsgError(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMsgError"));
    setWindowTitle(QString::fromUtf8(config::title));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    resize(Twips::size(Layout::designInnerWidth, Layout::designInnerHeight));

    const int iconSize = Twips::toPixels(Layout::exclamationRect.height());
    picExclamation = new QLabel(this);
    picExclamation->setObjectName(QStringLiteral("picExclamation"));
    picExclamation->setGeometry(pixels(Layout::exclamationRect));
    picExclamation->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    picExclamation->setAccessibleName(QStringLiteral("Attenzione"));
    picCritical = new QLabel(this);
    picCritical->setObjectName(QStringLiteral("picCritical"));
    picCritical->setGeometry(pixels(Layout::criticalRect));
    picCritical->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(iconSize, iconSize));
    picCritical->setAccessibleName(QStringLiteral("Errore"));

    Label1 = new QLabel(QStringLiteral("Si è verificato il seguente errore:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QRect labelRect = pixels(Layout::label1Rect);
    labelRect.setWidth(std::max(labelRect.width(), Label1->sizeHint().width()));
    Label1->setGeometry(labelRect);

    txtErrorMessage = new QPlainTextEdit(this);
    txtErrorMessage->setObjectName(QStringLiteral("txtErrorMessage"));
    txtErrorMessage->setGeometry(pixels(Layout::textBoxRect));
    // The report is shown as composed: copy and send hand on exactly that text.
    txtErrorMessage->setReadOnly(true);
    txtErrorMessage->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtErrorMessage->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);
    QPalette boxPalette = txtErrorMessage->palette();
    boxPalette.setColor(QPalette::Base, boxPalette.color(QPalette::Button));
    txtErrorMessage->setPalette(boxPalette);
    txtErrorMessage->setAccessibleName(Label1->text());
    txtErrorMessage->installEventFilter(this);
    Label1->setBuddy(txtErrorMessage);

    picSendMail = new QWidget(this);
    picSendMail->setObjectName(QStringLiteral("picSendMail"));
    picSendMail->setMouseTracking(true);
    picSendMail->installEventFilter(this);
    lblSend = new HoverLabel(QStringLiteral("&Send"), picSendMail);
    lblSend->setObjectName(QStringLiteral("lblSend"));
    lblSend->setAccessibleName(QStringLiteral("Invia il rapporto per posta"));
    lblCopy = new HoverLabel(QStringLiteral("&Copy"), picSendMail);
    lblCopy->setObjectName(QStringLiteral("lblCopy"));
    lblCopy->setAccessibleName(QStringLiteral("Copia il rapporto"));
    int linksWidth = Twips::toPixels(Layout::sendMailRect.width());
    for (auto [label, rect] :
         {std::pair{lblSend, Layout::sendLabelRect}, std::pair{lblCopy, Layout::copyLabelRect}}) {
        QRect geometry = pixels(rect);
        geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
        label->setGeometry(geometry);
        linksWidth = std::max(linksWidth, geometry.right() + 1);
    }
    picSendMail->setGeometry(
        QRect(pixels(Layout::sendMailRect).topLeft(),
              QSize(linksWidth, Twips::toPixels(Layout::sendMailRect.height()))));
    connect(lblSend, &HoverLabel::hovered, this, [this] { setLinkColour(lblSend, hoverColour); });
    connect(lblCopy, &HoverLabel::hovered, this, [this] { setLinkColour(lblCopy, hoverColour); });
    connect(lblSend, &HoverLabel::clicked, this, &frmMsgError::sendReport);
    connect(lblCopy, &HoverLabel::clicked, this, &frmMsgError::copyReport);

    for (std::size_t i = 0; i < cmdResponse.size(); ++i) {
        auto *button = new QPushButton(QString::fromUtf8(answerTexts[i]), this);
        button->setObjectName(QStringLiteral("cmdResponse(%1)").arg(i));
        button->setGeometry(pixels(Layout::buttonRects[i]));
        button->setAutoDefault(true);
        const int code = answerCodes[i];
        connect(button, &QPushButton::clicked, this, [this, code] { answer(code); });
        cmdResponse[i] = button;
    }
    cmdResponse[1]->setDefault(true);
    lblInterruzione = new QLabel(stopNotice, this);
    lblInterruzione->setObjectName(QStringLiteral("lblInterruzione"));
    lblInterruzione->setAlignment(Qt::AlignCenter);
    lblInterruzione->setStyleSheet(QStringLiteral("font-weight: bold"));
    lblInterruzione->hide();
    // Keyboard order: "&Riprova", "&Ignora", "&Termina", the report, then the two links.
    setTabOrder(cmdResponse[1], cmdResponse[2]);
    setTabOrder(cmdResponse[2], cmdResponse[0]);
    setTabOrder(cmdResponse[0], txtErrorMessage);
    setTabOrder(txtErrorMessage, lblSend);
    setTabOrder(lblSend, lblCopy);
    cmdResponse[1]->setFocus();

    SetTopMost(this, true);
}

void frmMsgError::LoadReport(const QString &text) {
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtErrorMessage->setPlainText(shown);

    fit();
}

void frmMsgError::fit() {
    // Measure the report as the report box shows it: in the box's font, with the box's frame
    // and margins around the text, so its widest line shows whole.
    const QFontMetrics metrics(txtErrorMessage->font());
    const int margins =
        2 * (txtErrorMessage->frameWidth() + qCeil(txtErrorMessage->document()->documentMargin())) +
        caretRoom;
    const QStringList lines = reportLines(m_text);
    int widest = 0;
    for (const QString &line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QSizeF textSize(Twips::fromPixels(widest + margins),
                          Twips::fromPixels(static_cast<int>(lines.size()) * metrics.height()));
    const QScreen *where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QRect screenPixels = where != nullptr ? where->geometry() : QRect(0, 0, 800, 600);
    const QRectF screenTwips(
        Twips::fromPixels(screenPixels.x()), Twips::fromPixels(screenPixels.y()),
        Twips::fromPixels(screenPixels.width()), Twips::fromPixels(screenPixels.height()));
    const QSize framePixels = frameGeometry().size() - size();
    m_frameUsed = framePixels;
    const QSizeF frameTwips(Twips::fromPixels(framePixels.width()),
                            Twips::fromPixels(framePixels.height()));
    const Layout layout =
        Layout::compute(textSize, screenTwips, frameTwips, Twips::fromPixels(picSendMail->width()));

    const QRect outer = pixels(layout.window);
    resize(outer.size() - framePixels);
    move(outer.topLeft());
    txtErrorMessage->resize(Twips::size(layout.textBox.width(), layout.textBox.height()));

    // The buttons are placed from the rounded centre one, so both gaps stay equal in pixels.
    const int top = Twips::toPixels(layout.buttonTop);
    const int gap = Twips::toPixels(Layout::buttonGap);
    const int retryLeft = Twips::toPixels(layout.buttonLeft[1]);
    cmdResponse[1]->move(retryLeft, top);
    cmdResponse[0]->move(retryLeft - gap - cmdResponse[0]->width(), top);
    cmdResponse[2]->move(retryLeft + cmdResponse[1]->width() + gap, top);
    for (QPushButton *button : cmdResponse) {
        button->raise();
    }
    picSendMail->move(Twips::toPixels(layout.sendMailLeft), picSendMail->y());
    placeStopNotice();
}

void frmMsgError::placeStopNotice() {
    // Under the three answers, across the window, which grows to hold it when it must.
    const int below = cmdResponse[1]->geometry().bottom() + 1;
    const int lineHeight = lblInterruzione->sizeHint().height() + 2 * noticeMargin;
    if (lblInterruzione->isVisibleTo(this) && height() < below + lineHeight) {
        resize(width(), below + lineHeight);
    }
    lblInterruzione->setGeometry(0, below, width(), std::max(0, height() - below));
}

void frmMsgError::setStopPending(bool pending) {
    lblInterruzione->setVisible(pending);
    if (pending) {
        placeStopNotice();
        lblInterruzione->raise();
    }
}

void frmMsgError::refitToFrame() {
    // The window manager puts its frame around the window only once it is shown: the size and
    // the centre taken before then are made again with the frame it has.
    if (isVisible() && frameGeometry().size() - size() != m_frameUsed) {
        fit();
    }
}

void frmMsgError::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    refitToFrame();
    QTimer::singleShot(0, this, &frmMsgError::refitToFrame);
}

void frmMsgError::moveEvent(QMoveEvent *event) {
    QDialog::moveEvent(event);
    refitToFrame();
}

int frmMsgError::ShowReport(const QString &text) {
    LoadReport(text);
    m_response = NoAnswer;
    // Back on top for a window shown again after closing.
    SetTopMost(this, true);
    cmdResponse[1]->setFocus();
    exec();
    return m_response;
}

void frmMsgError::done(int result) {
    QDialog::done(result);
    // Leaving the window, for whatever reason: off the always-on-top layer.
    SetTopMost(this, false);
}

bool frmMsgError::eventFilter(QObject *watched, QEvent *event) {
    if (watched == picSendMail && event->type() == QEvent::MouseMove) {
        // The pointer is over the free area between the links.
        const QColor normal = palette().color(QPalette::ButtonText);
        setLinkColour(lblSend, normal);
        setLinkColour(lblCopy, normal);
    } else if (watched == txtErrorMessage && event->type() == QEvent::FocusIn) {
        txtErrorMessage->selectAll();
    }
    return QDialog::eventFilter(watched, event);
}

void frmMsgError::answer(int code) {
    m_response = code;
    accept();
}

void frmMsgError::copyReport() {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text);
}

void frmMsgError::sendReport() {
    SendErrMail(m_text);
}

void frmMsgError::setLinkColour(QLabel *label, const QColor &colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace velmora
