#include "print/PrintPlan.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

#include "print/CardLayout.h"
#include "settings/Decimal.h"

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
        plan.requested = plan.last;
        return plan;
    }
    const qint64 n = *count.toInt64();
    qint64 lastCard = firstCard + n - 1;
    const qint64 requestedCard = lastCard;
    // A last page that would not be full is filled up.
    if (n % plan.cardsPerPage != 0) {
        lastCard = (n / plan.cardsPerPage + 1) * plan.cardsPerPage + firstCard - 1;
    }
    if (lastCard > maxCard) {
        return refuse(tooFar(firstCard, plan.cardsPerPage));
    }
    plan.last = qint16(lastCard);
    plan.requested = qint16(requestedCard);
    return plan;
}

std::optional<QString> PrintPlan::beyondArchive(qint64 heldCards,
                                                const QString &archivePath) const {
    // A plan made by hand, without a count asked for, asks for every card up to its last.
    const qint64 asked = requested > 0 ? requested : last;
    if (asked <= heldCards) {
        return std::nullopt;
    }
    const auto cards = [](qint64 n) {
        return n == 1 ? QStringLiteral("1 cartella") : QStringLiteral("%1 cartelle").arg(n);
    };
    const qint64 firstMissing = std::max<qint64>(first, heldCards + 1);
    const qint64 missingCount = asked - firstMissing + 1;
    const QString missing =
        missingCount == 1
            ? QStringLiteral("la cartella %1 non c'è (sarebbe stampata senza numeri)")
                  .arg(firstMissing)
            : QStringLiteral("le cartelle da %1 a %2 non ci sono (sarebbero stampate senza "
                             "numeri)")
                  .arg(firstMissing)
                  .arg(asked);
    // One sentence, its parts joined by semicolons.
    QStringList parts{
        QStringLiteral("L'archivio \"%1\" contiene %2: %3")
            .arg(QDir::toNativeSeparators(archivePath.isEmpty()
                                              ? archivePath
                                              : QFileInfo(archivePath).absoluteFilePath()),
                 cards(heldCards), missing)};
    const qint64 largest = std::max<qint64>(heldCards - first + 1, 0);
    if (largest == 1) {
        parts.append(
            QStringLiteral("dalla cartella %1 se ne può stampare al massimo 1").arg(first));
    } else if (largest > 1) {
        parts.append(QStringLiteral("dalla cartella %1 se ne possono stampare al massimo %2")
                         .arg(first)
                         .arg(largest));
    }
    parts.append(QStringLiteral("nessuna cartella è stata stampata"));
    return parts.join(QStringLiteral("; ")) + u'.';
}

std::optional<QString> PrintPlan::fitToArchive(qint64 heldCards, const QString &archivePath) {
    if (std::optional<QString> refusal = beyondArchive(heldCards, archivePath)) {
        return refusal;
    }
    last = qint16(std::min<qint64>(last, heldCards));
    return std::nullopt;
}

} // namespace velmora
