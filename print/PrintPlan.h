#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace velmora {

// The range of one print run, from the texts of the first-card and card-count boxes.
struct PrintPlan {
    static constexpr int maxCard = 32767; // card numbers are signed 16-bit

    qint16 first = 1;     // first card printed
    qint16 last = 0;      // last card, raised so that the last page is full
    qint16 requested = 0; // last card asked for, before filling the page (0: up to last)
    int cardsPerPage = 6; // 6 landscape, 3 portrait

    int cardCount() const; // last - first + 1, 0 or more
    int pageCount() const;

    // Both boxes are read as the number at the start of their text, rounded half to even;
    // a first card of 0 is card 1. Refuses (nothing, and *refusal says why in Italian with
    // the largest run possible) a first card below 1 or above 32767, a count above 32767, or
    // a last card above 32767 once raised to fill the page.
    static std::optional<PrintPlan> make(const QString &firstCardText, const QString &countText,
                                         bool landscape, QString *refusal);

    // Cards beyond the archive's last whole record have no numbers. Gives the Italian refusal
    // when a card asked for is not among the heldCards of the archive: the archive, the first
    // card missing and the largest run possible from the first card. Cards that only fill up
    // the last page may be missing: their slots stay blank.
    std::optional<QString> beyondArchive(qint64 heldCards, const QString &archivePath) const;
    // beyondArchive(), and when the cards asked for are all there, ends the run at the
    // archive's last card if filling the last page would pass it.
    std::optional<QString> fitToArchive(qint64 heldCards, const QString &archivePath);
};

} // namespace velmora
