#include "print/PreviewView.h"

#include "errors/VelmoraError.h"
#include "print/PreviewPages.h"
#include "print/PrintRun.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QtMath>
#include <utility>

namespace velmora {
namespace {

constexpr int gap = 12;          // screen pixels around and between pages
constexpr double minZoom = 0.02; // about 6 dots a inch on the screen
constexpr double maxZoom = 1.0;  // the printer's own dots
constexpr double zoomStep = 1.25;
constexpr int keptImagesKb = 96 * 1024; // drawn pages kept for scrolling back
const QColor background(128, 128, 128);
const QColor pageEdge(64, 64, 64);

} // namespace

PreviewView::PreviewView(PreviewPages &pages, QWidget *parent)
    : QAbstractScrollArea(parent), m_pages(pages) {
    setFocusPolicy(Qt::StrongFocus);
    m_images.setMaxCost(keptImagesKb);
    viewport()->setAutoFillBackground(false);
}

int PreviewView::pageCount() const {
    return m_pages.pageCount();
}

QSizeF PreviewView::pageSize() const {
    return m_pages.pageLayout().fullRectPixels(PrintRun::dotsPerInch).size();
}

double PreviewView::scale() const {
    if (!m_fit) {
        return m_zoom;
    }
    const QSizeF page = pageSize();
    const double across =
        (viewport()->width() - (m_columns + 1) * gap) / (m_columns * page.width());
    const double down = (viewport()->height() - 2 * gap) / page.height();
    return std::clamp(std::min(across, down), minZoom, maxZoom);
}

double PreviewView::rowHeight() const {
    return pageSize().height() * scale() + gap;
}

void PreviewView::updateScrollBars() {
    const double s = scale();
    const int rows = (pageCount() + m_columns - 1) / m_columns;
    const double contentHeight = rows * rowHeight() + gap;
    const double contentWidth = m_columns * (pageSize().width() * s + gap) + gap;
    QScrollBar *down = verticalScrollBar();
    down->setRange(0, std::max(0, qCeil(contentHeight) - viewport()->height()));
    down->setPageStep(viewport()->height());
    down->setSingleStep(std::max(1, qRound(rowHeight() / 10)));
    QScrollBar *across = horizontalScrollBar();
    across->setRange(0, std::max(0, qCeil(contentWidth) - viewport()->width()));
    across->setPageStep(viewport()->width());
    across->setSingleStep(std::max(1, qRound(pageSize().width() * s / 10)));
}

int PreviewView::currentPage() const {
    return m_current;
}

void PreviewView::setCurrentPage(int page) {
    page = std::clamp(page, 0, pageCount() - 1);
    const int row = page / m_columns;
    m_settingPage = true;
    verticalScrollBar()->setValue(qRound(row * rowHeight()));
    m_settingPage = false;
    if (page != m_current) {
        m_current = page;
        emit currentPageChanged(page);
    }
    viewport()->update();
}

void PreviewView::noteCurrentPage() {
    if (m_settingPage) {
        return;
    }
    const QScrollBar *down = verticalScrollBar();
    const int rows = (pageCount() + m_columns - 1) / m_columns;
    int row = int((down->value() + rowHeight() / 2) / rowHeight());
    if (down->maximum() > 0 && down->value() >= down->maximum()) {
        row = rows - 1;
    }
    const int page = std::clamp(row * m_columns, 0, pageCount() - 1);
    if (page != m_current) {
        m_current = page;
        emit currentPageChanged(page);
    }
}

void PreviewView::setFitToWindow(bool fit) {
    const int page = m_current;
    if (m_fit && !fit) {
        m_zoom = scale(); // the zoom stays where the whole pages had it
    }
    m_fit = fit;
    updateScrollBars();
    setCurrentPage(page);
}

void PreviewView::setTwoPages(bool two) {
    const int page = m_current;
    m_columns = two ? 2 : 1;
    updateScrollBars();
    setCurrentPage(page);
}

void PreviewView::setZoom(double zoom) {
    const int page = m_current;
    m_zoom = std::clamp(zoom, minZoom, maxZoom);
    m_fit = false;
    updateScrollBars();
    setCurrentPage(page);
}

void PreviewView::zoomIn() {
    setZoom(scale() * zoomStep);
}

void PreviewView::zoomOut() {
    setZoom(scale() / zoomStep);
}

const QImage *PreviewView::pageImage(int page) {
    if (const QImage *kept = keptImage(page)) {
        return kept;
    }
    const double ratio = devicePixelRatioF();
    try {
        auto image = std::make_unique<QImage>(m_pages.renderPage(page, m_imageScale));
        image->setDevicePixelRatio(ratio);
        const int costKb = std::max<qsizetype>(1, image->sizeInBytes() / 1024);
        const QImage *drawn = image.get();
        m_images.insert(page, image.release(), costKb);
        ++m_pagesDrawn;
        emit pageDrawn(page);
        return m_images.object(page) == drawn ? drawn : nullptr;
    } catch (const VelmoraError &error) {
        if (!m_failed) {
            m_failed = true;
            emit drawingFailed(error.description());
        }
        return nullptr;
    }
}

// Pages are drawn outside the paint event: a card that fails to draw asks the user through the
// error window, which must not open in the middle of a paint.
void PreviewView::drawWanted() {
    const QList<int> wanted = std::exchange(m_wanted, {});
    for (const int page : wanted) {
        pageImage(page);
    }
    if (!wanted.isEmpty()) {
        viewport()->update();
    }
}

const QImage *PreviewView::keptImage(int page) {
    const double imageScale = scale() * devicePixelRatioF();
    if (imageScale != m_imageScale) {
        m_images.clear();
        m_imageScale = imageScale;
    }
    return m_images.object(page);
}

void PreviewView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), background);
    if (pageCount() == 0) {
        return;
    }
    const double s = scale();
    const QSizeF page = pageSize() * s;
    const QPointF printable =
        m_pages.pageLayout().paintRectPixels(PrintRun::dotsPerInch).topLeft() * s;
    const double rowH = rowHeight();
    const double contentWidth = m_columns * (page.width() + gap) + gap;
    const double left = contentWidth < viewport()->width()
                            ? (viewport()->width() - contentWidth) / 2
                            : -horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    // Only the rows whose sheets reach into the view are drawn.
    for (int row = int(top / rowH);
         row * m_columns < pageCount() && gap + row * rowH - top < viewport()->height(); ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const int index = row * m_columns + column;
            if (index >= pageCount()) {
                break;
            }
            const QRectF sheet(left + gap + column * (page.width() + gap), gap + row * rowH - top,
                               page.width(), page.height());
            painter.fillRect(sheet, Qt::white);
            painter.setPen(pageEdge);
            painter.drawRect(sheet.adjusted(-1, -1, 0, 0));
            if (const QImage *image = keptImage(index)) {
                painter.drawImage(sheet.topLeft() + printable, *image);
            } else if (!m_wanted.contains(index)) {
                m_wanted.append(index);
            }
        }
    }
    if (!m_wanted.isEmpty()) {
        QTimer::singleShot(0, this, &PreviewView::drawWanted);
    }
}

void PreviewView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    const int page = m_current;
    updateScrollBars();
    if (m_fit) {
        setCurrentPage(page);
    }
}

void PreviewView::scrollContentsBy(int, int) {
    noteCurrentPage();
    viewport()->update();
}

void PreviewView::keyPressEvent(QKeyEvent *event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageDown:
        setCurrentPage(m_current + m_columns);
        return;
    case Qt::Key_PageUp:
        setCurrentPage(m_current - m_columns);
        return;
    case Qt::Key_Home:
        setCurrentPage(0);
        return;
    case Qt::Key_End:
        setCurrentPage(pageCount() - 1);
        return;
    case Qt::Key_Plus:
        if (control) {
            zoomIn();
            return;
        }
        break;
    case Qt::Key_Minus:
        if (control) {
            zoomOut();
            return;
        }
        break;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace velmora
