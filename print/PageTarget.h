#pragma once

#include <QPageLayout>
#include <QString>
#include <QTransform>

class QPaintDevice;

namespace velmora {

// Where a PainterSurface's pages go: a printer, a PDF file or a preview image. It owns the paged
// device, its page layout and resolution, and the life of one document on it.
class PageTarget {
public:
    virtual ~PageTarget() = default;

    virtual QPageLayout pageLayout() const = 0;
    virtual void setPageOrientation(QPageLayout::Orientation orientation) = 0;
    virtual int resolution() const = 0;
    virtual void setResolution(int dotsPerInch) = 0;

    // The device to paint the new document on; the surface begins a QPainter on it. A target
    // whose device is not paged (an image) has one page per document: newPage() fails.
    virtual QPaintDevice *beginDocument() = 0;
    // What the painter's coordinates (device dots) go through to reach the device: nothing for
    // paper, a reduction for a preview image.
    virtual QTransform deviceTransform() const { return {}; }
    virtual bool newPage() = 0;
    // After the painter has ended: the document is complete (spooled or written), or, after
    // abortDocument(), discarded. A target that finds its document did not reach the queue or
    // the file whole throws VelmoraError 482 and leaves no part of it behind.
    virtual void endDocument() = 0;
    // Called while the painter is still active: nothing of the document may reach the paper or
    // the file.
    virtual void abortDocument() = 0;
    // Whether the print run centres its sheet on the page: for a file of pages (a PDF), which
    // has no printer margin of its own, unless told not to. A printer draws from its printable
    // area's corner.
    bool centresSheet() const { return m_centresSheet && isFileOfPages(); }
    // The title the next documents carry ("Cartelle 1-12"): a PDF's Title, a print job's name.
    QString documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(const QString &title) { m_documentTitle = title; }
    // False: a file's sheet starts at the corner inside its margins, as a printer draws it.
    void setSheetCentring(bool centred) { m_centresSheet = centred; }
    // Said in messages: "la stampante X", "il file Y".
    virtual QString description() const = 0;
    // Said after a document was handed on but will not come out yet (a stopped queue); empty
    // when there is nothing to say.
    virtual QString afterDocumentNotice() const { return {}; }

protected:
    // True when the pages go to a file rather than to paper.
    virtual bool isFileOfPages() const { return false; }

private:
    bool m_centresSheet = true;
    QString m_documentTitle;
};

} // namespace velmora
