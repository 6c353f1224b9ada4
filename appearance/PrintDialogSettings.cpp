#include "appearance/PrintDialogSettings.h"

namespace velmora {
namespace {

qint16 notNegative(qint16 value) {
    return value < 0 ? qint16(0) : value;
}

constexpr qint32 returnedBits = PrintDialogSettings::Selection | PrintDialogSettings::PageNums |
                                PrintDialogSettings::CurrentPage |
                                PrintDialogSettings::PrintToFile | PrintDialogSettings::Collate;

} // namespace

PrintDialogSettings::Offer PrintDialogSettings::offer(qint32 flags, bool printersInstalled) {
    Offer result;
    result.printToFile =
        !printersInstalled || (flags & (DisablePrintToFile | HidePrintToFile)) == 0;
    result.pageRange = (flags & NoPageNums) == 0;
    result.selection = (flags & NoSelection) == 0;
    result.currentPage = (flags & (CurrentPage | NoCurrentPage)) == CurrentPage;
    result.collate = (flags & Collate) != 0;
    return result;
}

qint32 PrintDialogSettings::returnedFlags(qint32 flags, Range range, bool toFile, bool collate) {
    qint32 result = flags & ~returnedBits;
    switch (range) {
    case Range::All:
        break;
    case Range::Selection:
        result |= Selection;
        break;
    case Range::PageRange:
        result |= PageNums;
        break;
    case Range::CurrentPage:
        result |= CurrentPage;
        break;
    }
    if (toFile) {
        result |= PrintToFile;
    }
    if (collate) {
        result |= Collate;
    }
    return result;
}

void PrintDialogSettings::setMin(qint16 intNewValue) {
    const qint16 v = notNegative(intNewValue);
    m_min = v;
    if (v > m_fromPage) {
        m_fromPage = v;
        if (v > m_toPage) {
            m_toPage = v;
            if (v > m_max) {
                m_max = v;
            }
        }
    }
}

void PrintDialogSettings::setFromPage(qint16 intNewValue) {
    const qint16 v = notNegative(intNewValue);
    m_fromPage = v;
    if (v > m_toPage) {
        m_toPage = v;
        if (v > m_max) {
            m_max = v;
            if (v < m_min) {
                m_min = v;
            }
        }
    }
}

void PrintDialogSettings::setToPage(qint16 intNewValue) {
    const qint16 v = notNegative(intNewValue);
    m_toPage = v;
    if (v > m_max) {
        m_max = v;
        if (v < m_fromPage) {
            m_fromPage = v;
            if (v < m_min) {
                m_min = v;
            }
        }
    }
}

void PrintDialogSettings::setMax(qint16 intNewValue) {
    const qint16 v = notNegative(intNewValue);
    m_max = v;
    if (v < m_toPage) {
        m_toPage = v;
        if (v < m_fromPage) {
            m_fromPage = v;
            if (v < m_min) {
                m_min = v;
            }
        }
    }
}

} // namespace velmora
