#include "print/CancStampa.h"

#include "common/Twips.h"
#include "print/ScreenPointer.h"
#include "ui/CentraFinestra.h"
#include "ui/QbPicture.h"
#include "ui/qbButtons_H.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QProgressBar>
#include <cmath>
#include <numbers>

namespace velmora {
namespace {

// Window design, in twips. The progress bar sits under the stop button.
constexpr int clientWidth = 3165;
constexpr int clientHeight = 1710;
constexpr int labelLeft = 270, labelTop = 210, labelWidth = 2685, labelHeight = 345;
constexpr int stopLeft = 1080, stopTop = 720, stopWidth = 1095, stopHeight = 405;
constexpr int barLeft = 270, barTop = 1260, barWidth = 2685, barHeight = 300;
constexpr int labelPoints = 12;
constexpr int stopPoints = 9;

constexpr int repaintIntervalMs = 50;
constexpr int stopPicturePixels = 16; // the button's smallest picture size
const QString stopText = QStringLiteral("Interrompi la stampa");

// A red octagon with a white rim and a white bar: a stop sign that reads at 16 pixels.
QImage stopSign(int edge) {
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double centre = edge / 2.0;
    auto octagon = [centre](double radius) {
        QPolygonF shape;
        for (int corner = 0; corner < 8; ++corner) {
            const double angle = std::numbers::pi / 8 + corner * std::numbers::pi / 4;
            shape << QPointF(centre + radius * std::cos(angle), centre + radius * std::sin(angle));
        }
        return shape;
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPolygon(octagon(centre));
    painter.setBrush(QColor(200, 16, 24));
    painter.drawPolygon(octagon(centre - edge / 12.0));
    painter.setBrush(Qt::white);
    const double barHalfWidth = edge * 0.3;
    const double barHalfHeight = edge * 0.08;
    painter.drawRect(
        QRectF(centre - barHalfWidth, centre - barHalfHeight, 2 * barHalfWidth, 2 * barHalfHeight));
    return image;
}

} // namespace

CancStampa::CancStampa(QWidget *mainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("CancStampa"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Stampa"));
    setFixedSize(Twips::size(clientWidth, clientHeight));

    m_label = new QLabel(QStringLiteral("Fase di stampa"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    QFont labelFont(QStringLiteral("MS Sans Serif"), labelPoints);
    labelFont.setStyleHint(QFont::SansSerif);
    m_label->setFont(labelFont);
    m_label->setGeometry(Twips::rect(labelLeft, labelTop, labelWidth, labelHeight));

    m_stop = new qbButtons_H(this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    QFont stopFont(QStringLiteral("Times New Roman"), stopPoints);
    stopFont.setStyleHint(QFont::Serif);
    m_stop->readProperties({
        {QStringLiteral("backstyle"), 3},
        {QStringLiteral("caption"), QString()},
        {QStringLiteral("cback"), palette().color(QPalette::Window)},
        {QStringLiteral("font"), stopFont},
        {QStringLiteral("image"),
         QVariant::fromValue(QbPicture(stopSign(stopPicturePixels), QbPicture::Kind::Png))},
        {QStringLiteral("imgsize"), stopPicturePixels},
    });
    m_stop->setCancel(true); // Escape stops the run too
    m_stop->setGeometry(Twips::rect(stopLeft, stopTop, stopWidth, stopHeight));
    m_stop->setToolTip(stopText);
    m_stop->setAccessibleName(stopText);
    m_stop->setFocusPolicy(Qt::StrongFocus);
    connect(m_stop, &qbButtons_H::Click, this, &CancStampa::stopClicked);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgStampa"));
    m_progress->setAccessibleName(QStringLiteral("Avanzamento della stampa"));
    m_progress->setFormat(QStringLiteral("Cartella %v di %m"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(true);
    m_progress->setGeometry(Twips::rect(barLeft, barTop, barWidth, barHeight));
    m_label->setBuddy(m_stop);
}

void CancStampa::mostra() {
    m_loaded = true;
    m_sinceRepaint.invalidate();
    CentraFinestra(this);
    show();
    CentraFinestra(this); // again, now that the frame is known
    raise();
    activateWindow();
    m_stop->setFocus(Qt::OtherFocusReason);
}

void CancStampa::setProgress(int done, int total) {
    if (!m_loaded) {
        return;
    }
    const bool edge = done <= 1 || done >= total;
    if (!edge && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < repaintIntervalMs) {
        return;
    }
    m_sinceRepaint.start();
    if (m_progress->maximum() != total) {
        m_progress->setRange(0, total);
    }
    m_progress->setValue(done);
}

void CancStampa::stopClicked() {
    ScreenPointer::setBusy(false);
    if (m_mainWindow) {
        m_mainWindow->setCursor(Qt::WaitCursor);
    }
    unload();
}

void CancStampa::unload() {
    if (isVisible()) {
        close(); // the close event runs the unload steps
    } else {
        unloadSteps();
    }
}

void CancStampa::closeEvent(QCloseEvent *event) {
    unloadSteps();
    event->accept();
}

void CancStampa::unloadSteps() {
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
    }
    ScreenPointer::setBusy(false);
    if (m_mainWindow) {
        m_mainWindow->unsetCursor();
    }
    const bool wasLoaded = m_loaded;
    m_loaded = false;
    if (wasLoaded) {
        emit unloaded();
    }
}

} // namespace velmora
