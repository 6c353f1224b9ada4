#pragma once

#include "evening/Evening.h"
#include "evening/RegisterChange.h"
#include "register/RegisterFailure.h"
#include "register/RunRecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QSqlError;

namespace velmora {

// The evenings of the register over an open database (RegisterDatabase), as PrintRegister
// keeps its runs: every change is one transaction, nothing here throws. A false, empty or
// missing result while lastError() is set is a failure, or a refusal of what the user asked,
// said as one Italian clause.
class EveningStore {
public:
    explicit EveningStore(QSqlDatabase db) : m_db(std::move(db)) {}

    // The evening not closed; one of today is begun when there is none.
    std::optional<Evening> current();
    // The evening not closed, if there is one: nothing is begun. Nothing, with lastError(),
    // when the register cannot be read.
    std::optional<Evening> openOne() const;
    // Closes the current evening (kept, with its runs, games and cards) and begins one of
    // today.
    std::optional<Evening> startNew();
    // Every evening, newest first.
    QList<Evening> evenings() const;
    std::optional<Evening> evening(qint64 id) const;

    // The run and the game join the current evening.
    bool addRun(qint64 run);
    bool addGame(qint64 game);
    // As addGame, inside the caller's transaction: false with *error when the register refuses.
    bool addGameWithin(qint64 game, QSqlError *error);
    // The runs of an evening, oldest first.
    QList<RunRecord> runs(qint64 evening) const;
    // The games of an evening, oldest first.
    QList<GameListing> games(qint64 evening) const;
    // The evening a game belongs to and its place there; nothing, with lastError(), when the
    // register cannot be read.
    std::optional<GamePlace> placeOf(qint64 game) const;

    // The venue, place and signatories of an evening; the usual roles, with no names, when none
    // were entered. Nothing, with lastError(), when the register cannot be read.
    std::optional<Signing> signing(qint64 evening) const;
    // Keeps them for the evening, in place of those kept before; a signatory with neither role
    // nor name is left out.
    RegisterChange setSigning(qint64 evening, const Signing &signing);

    // Cards in play. The numbers must all have been delivered by the run, which must be of the
    // evening, and none may be in play already; the refusal names them. All the ranges are put
    // in play, or none. NotStored when the register did not take them (lastError() says why
    // too).
    RegisterChange addSold(qint64 evening, qint64 run, const QList<std::pair<int, int>> &ranges,
                           qint64 priceCents);
    RegisterChange removeSold(qint64 rangeId);
    QList<SoldRange> sold(qint64 evening) const;
    // Every card in play, run by run, in the order of the numbers.
    QList<PlayedCard> cardsInPlay(qint64 evening) const;

    // "1-120, 200-250, 300" as ranges of numbers; nothing, with *error, for a text that is not.
    static std::optional<QList<std::pair<int, int>>> parseRanges(const QString &text,
                                                                 QString *error);
    // "N. 5", "N. 5-9": how a range of printed numbers is named in messages.
    static QString rangeText(int first, int last);
    // "12,50 €"
    static QString money(qint64 cents);
    // "1,50", "1.5", "2", "€ 10" or "10 euro" in cents; nothing for a text that is not an amount.
    static std::optional<qint64> parseCents(const QString &euros);

    QString lastError() const { return m_error; }
    RegisterFailure::Kind lastFailure() const { return m_failure; }

private:
    bool change(const std::function<bool(QSqlError *)> &work);
    RegisterChange write(const std::function<bool(QSqlError *)> &work);
    // The register could not be read before a write: NotStored, as lastError() says.
    RegisterChange unread() const;
    void readFailed(const QSqlError &error) const;
    std::optional<qint64> openEvening(QSqlError *error) const;
    bool begin(QSqlError *error);
    bool link(const char *table, const char *column, qint64 id);
    bool linkWithin(const char *table, const char *column, qint64 id, QSqlError *error);

    QSqlDatabase m_db;
    mutable QString m_error;
    mutable RegisterFailure::Kind m_failure = RegisterFailure::Kind::Other;
};

} // namespace velmora
