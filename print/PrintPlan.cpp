#include "print/PrintPlan.h"

#include "app/Decimal.h"

namespace velmora {
namespace {

constexpr int landscapeCardsPerPage = 6;
constexpr int portraitCardsPerPage = 3;

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
    plan.cardsPerPage = landscape ? landscapeCardsPerPage : portraitCardsPerPage;

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

} // namespace velmora
