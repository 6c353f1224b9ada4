#pragma once

#include "evening/Verbale.h"
#include "print/SafeOutput.h"

#include <QList>

#include <QString>

class QPagedPaintDevice;

namespace velmora {

// Lays the record of one game out on A4 portrait pages, in Italian: the heading, the sections
// as tables that flow from page to page, the signature lines, and "pagina N di M" at the foot
// of every page. Long names shrink or wrap to stay on the page. Nothing on it depends on the
// moment it is drawn, so the same game always gives the same text.
class VerbaleDocument {
public:
    explicit VerbaleDocument(const Verbale &verbale);

    // Paints every page on the device (a QPdfWriter or the QPrinter of the print dialog), with
    // newPage() between them; false with reason when the device refuses.
    bool paint(QPagedPaintDevice &device, QString *reason) const;
    // The pages the record takes on an A4 portrait page at the given resolution.
    int pageCount(int dpi = 1200) const;

private:
    Verbale m_verbale;
};

// The record as a PDF at path, written through SafeOutput as every PDF of the program; false
// with reason (one Italian sentence) when it cannot be written. It never replaces the register
// the record was read from, the archives of its runs, nor the files alsoKept names (the
// settings).
bool writeVerbalePdf(const Verbale &verbale, const QString &path, QString *reason,
                     const QList<SafeOutput::KeptFile> &alsoKept = {});

} // namespace velmora
