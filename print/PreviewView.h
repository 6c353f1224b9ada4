#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>

namespace velmora {

class PreviewPages;

// The pages of a preview one under the other (or two side by side), each drawn only when it
// comes into view and kept in a small memory of drawn pages, so a run of thousands of pages
// opens as quickly as one of a single page.
class PreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewView(PreviewPages &pages, QWidget *parent = nullptr);

    int pageCount() const;
    // The page at the top of the view, 0 for the first.
    int currentPage() const;
    void setCurrentPage(int page);

    // Whole pages: the zoom follows the window so that a row of pages fits in it.
    void setFitToWindow(bool fit);
    bool fitToWindow() const { return m_fit; }
    void setTwoPages(bool two);
    bool twoPages() const { return m_columns == 2; }
    void zoomIn();
    void zoomOut();
    // Screen pixels per printer dot.
    double scale() const;

    // Pages drawn since the view was made (a page drawn again after a zoom counts again).
    int pagesDrawn() const { return m_pagesDrawn; }

signals:
    void currentPageChanged(int page);
    // After a page has been drawn for the screen.
    void pageDrawn(int page);
    // A page that could not be drawn: the reason in Italian, said once.
    void drawingFailed(const QString &reason);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QSizeF pageSize() const; // printer dots
    double rowHeight() const;
    void setZoom(double zoom);
    void updateScrollBars();
    // The image of page at the present zoom: kept, or drawn now (nullptr when it fails).
    const QImage *pageImage(int page);
    // The kept image only; nullptr when it has yet to be drawn.
    const QImage *keptImage(int page);
    void drawWanted();
    void noteCurrentPage();

    PreviewPages &m_pages;
    int m_columns = 1;
    bool m_fit = true;
    double m_zoom = 0;
    int m_current = 0;
    int m_pagesDrawn = 0;
    bool m_failed = false;
    bool m_settingPage = false; // the scroll follows a page chosen, not the other way round
    QCache<int, QImage> m_images;
    QList<int> m_wanted;     // pages in view still to be drawn
    double m_imageScale = 0; // the scale of the images kept
};

} // namespace velmora
