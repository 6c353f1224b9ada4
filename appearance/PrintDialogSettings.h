#pragma once

#include <QtGlobal>

namespace velmora {

// What the printer selection dialog is given and gives back, without the dialog: the flags of
// the system print dialog, whether a cancel is an error, and the page numbers. The page setters
// replace a negative value by 0 and then push the other numbers along, each step only when the
// step before it changed something, so that Min 1, FromPage 3, ToPage 5, Max 100 set in that
// order read back as given.
class PrintDialogSettings {
public:
    // Flags of the system print dialog that mean something here.
    enum Flag : qint32 {
        Selection = 0x1,          // returned: print the selection
        PageNums = 0x2,           // returned: print a page range
        NoSelection = 0x4,        // no "selection" choice
        NoPageNums = 0x8,         // no page-range choice
        Collate = 0x10,           // collated copies
        PrintToFile = 0x20,       // returned: output goes to a file
        CurrentPage = 0x400000,   // returned: print the current page
        NoCurrentPage = 0x800000, // no "current page" choice
        DisablePrintToFile = 0x80000,
        HidePrintToFile = 0x100000,
    };

    // What the dialog offers for a set of flags. Printing to a PDF file is offered whenever no
    // printer is installed, whatever the flags say: otherwise such a machine could never print.
    struct Offer {
        bool printToFile = true;
        bool pageRange = true;
        bool selection = true;
        bool currentPage = false;
        bool collate = false;
    };
    static Offer offer(qint32 flags, bool printersInstalled);

    // The range the user chose in the dialog.
    enum class Range { All, Selection, PageRange, CurrentPage };
    // The flags as the dialog hands them back: the caller's, with the choices made replacing the
    // returned bits.
    static qint32 returnedFlags(qint32 flags, Range range, bool toFile, bool collate);

    qint32 Flags = 0;
    bool CancelError = false;

    qint16 Min() const { return m_min; }
    void setMin(qint16 intNewValue);
    qint16 FromPage() const { return m_fromPage; }
    void setFromPage(qint16 intNewValue);
    qint16 ToPage() const { return m_toPage; }
    void setToPage(qint16 intNewValue);
    qint16 Max() const { return m_max; }
    void setMax(qint16 intNewValue);

protected:
    // The dialog reads the chosen range back without the setters' rules.
    void storeRange(qint16 fromPage, qint16 toPage) {
        m_fromPage = fromPage;
        m_toPage = toPage;
    }

private:
    qint16 m_min = 0;
    qint16 m_max = 0;
    qint16 m_fromPage = 0;
    qint16 m_toPage = 0;
};

} // namespace velmora
