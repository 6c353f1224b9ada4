#include "print/PrintPlan.h"

#include <QDir>
#include <algorithm>

#include "app/Decimal.h"
#include "print/CardLayout.h"

namespace velmora {
namespace {

// The largest count of cards, a whole number of pages, that fits from firstCard on.
qint64 largestRun(qint64 firstCard, int cardsPerPage) {
    const qint64 room = PrintPlan::maxCard - firstCard + 1;
    return room <= 0 ? 0 : room / cardsPerPage * cardsPerPage;
}

QString tooFar(qint64 firstCard, int cardsPerPage) {
    const qint64 largest = largestRun(firstCard, cardsPerPage);
    if (largest == 0) {
        return QStringLiteral("Le cartelle sono numerate fino a %1: dalla cartella %2 non si può "
                              "stampare nemmeno una pagina intera di %3 cartelle.")
            .arg(PrintPlan::maxCard)
            .arg(firstCard)
            .arg(cardsPerPage);
    }
    return QStringLiteral("Le cartelle sono numerate fino a %1: dalla cartella %2 si possono "
                          "stampare al massimo %3 cartelle.")
        .arg(PrintPlan::maxCard)
        .arg(firstCard)
        .arg(largest);
}

} // namespace

int PrintPlan::cardCount() const {
    const int count = int(last) - int(first) + 1;
    return count > 0 ? count : 0;
}

int PrintPlan::pageCount() const {
    return (cardCount() + cardsPerPage - 1) / cardsPerPage;
}

std::optional<PrintPlan> PrintPlan::make(const QString &firstCardText, const QString &countText,
                                         bool landscape, QString *refusal) {
    const auto refuse = [refusal](const QString &why) -> std::optional<PrintPlan> {
        if (refusal) {
            *refusal = why;
        }
        return std::nullopt;
    };
    PrintPlan plan;
    plan.cardsPerPage = (landscape ? CardLayout::landscape() : CardLayout::portrait()).cardsPerPage;

    const Decimal first = Decimal::fromText(firstCardText).roundedHalfEven();
    if (first.isNegative()) {
        return refuse(QStringLiteral("La prima cartella da stampare deve essere un numero da 1 "
                                     "a %1.")
                          .arg(maxCard));
    }
    if (first > Decimal(maxCard)) {
        return refuse(QStringLiteral("Le cartelle sono numerate fino a %1: la prima cartella "
                                     "da stampare non può essere %2.")
                          .arg(maxCard)
                          .arg(first.toString()));
    }
    const qint64 firstCard = first.isZero() ? 1 : *first.toInt64();

    const Decimal count = Decimal::fromText(countText).roundedHalfEven();
    if (count > Decimal(maxCard)) {
        return refuse(tooFar(firstCard, plan.cardsPerPage));
    }
    plan.first = qint16(firstCard);
    if (count.isNegative() || count.isZero()) {
        plan.last = qint16(firstCard - 1); // nothing to print
        return plan;
    }
    const qint64 n = *count.toInt64();
    qint64 lastCard = firstCard + n - 1;
    // A last page that would not be full is filled up.
    if (n % plan.cardsPerPage != 0) {
        lastCard = (n / plan.cardsPerPage + 1) * plan.cardsPerPage + firstCard - 1;
    }
    if (lastCard > maxCard) {
        return refuse(tooFar(firstCard, plan.cardsPerPage));
    }
    plan.last = qint16(lastCard);
    return plan;
}

std::optional<QString> PrintPlan::beyondArchive(qint64 heldCards,
                                                const QString &archivePath) const {
    if (last <= heldCards) {
        return std::nullopt;
    }
    const auto cards = [](qint64 n) {
        return n == 1 ? QStringLiteral("1 cartella") : QStringLiteral("%1 cartelle").arg(n);
    };
    const qint64 room = std::max<qint64>(heldCards - first + 1, 0);
    const qint64 largest = room / cardsPerPage * cardsPerPage;
    const QString missing =
        first > heldCards
            ? QStringLiteral("la cartella %1 non c'è").arg(first)
            : QStringLiteral("le cartelle da %1 a %2 non ci sono").arg(heldCards + 1).arg(last);
    const QString largestText =
        largest > 0 ? QStringLiteral("Dalla cartella %1 se ne possono stampare al massimo %2, "
                                     "a pagine intere.")
                          .arg(first)
                          .arg(largest)
                    : QString();
    return QStringLiteral("L'archivio \"%1\" contiene %2: %3 (sarebbero stampate senza "
                          "numeri). %4 Nessuna cartella è stata stampata.")
        .arg(QDir::toNativeSeparators(archivePath), cards(heldCards), missing, largestText)
        .trimmed();
}

} // namespace velmora
