#include "evening/EveningStore.h"

#include "print/PrintPlan.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "register/RegisterTime.h"
#include "register/Transaction.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace velmora {
namespace {

constexpr auto selectEvenings = "SELECT id, name, date, created, closed FROM evenings";

Evening fromRow(const QSqlQuery &q) {
    Evening e;
    e.id = q.value(0).toLongLong();
    e.name = q.value(1).toString();
    e.date = QDate::fromString(q.value(2).toString(), Qt::ISODate);
    e.created = RegisterTime::read(q.value(3).toString());
    e.closed = RegisterTime::read(q.value(4).toString());
    return e;
}

// The part of first..last outside lo..hi, named: "N. 121-130", "N. 1-3 e N. 200".
QString outside(int first, int last, int lo, int hi) {
    QStringList parts;
    if (first < lo) {
        parts.append(EveningStore::rangeText(first, std::min(last, lo - 1)));
    }
    if (last > hi) {
        parts.append(EveningStore::rangeText(std::max(first, hi + 1), last));
    }
    return parts.join(QStringLiteral(" e "));
}

} // namespace

bool EveningStore::change(const std::function<bool(QSqlError *)> &work) {
    return Transaction::run(m_db, work, &m_error, &m_failure);
}

RegisterChange EveningStore::write(const std::function<bool(QSqlError *)> &work) {
    m_error.clear();
    QSqlError error;
    if (Transaction::run(m_db, work, &error)) {
        return RegisterChange::made();
    }
    const RegisterChange change = RegisterChange::failed(error, m_db.databaseName());
    m_error = change.reason;
    m_failure = change.failure;
    return change;
}

RegisterChange EveningStore::unread() const {
    return {RegisterChange::Outcome::NotStored, m_failure, m_error, 0};
}

void EveningStore::readFailed(const QSqlError &error) const {
    m_error = RegisterFailure::reason(error, m_db.databaseName());
    m_failure = RegisterFailure::kind(error, m_db.databaseName());
}

std::optional<qint64> EveningStore::openEvening(QSqlError *error) const {
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT id FROM evenings WHERE closed IS NULL ORDER BY id DESC "
                               "LIMIT 1"))) {
        Transaction::failed(q, error);
        return std::nullopt;
    }
    return q.next() ? std::optional<qint64>(q.value(0).toLongLong()) : std::optional<qint64>(0);
}

bool EveningStore::begin(QSqlError *error) {
    const QDate today = QDate::currentDate();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO evenings (name, date, created) VALUES (?, ?, ?)"));
    q.addBindValue(Evening::defaultName(today));
    q.addBindValue(today.toString(Qt::ISODate));
    q.addBindValue(RegisterTime::stored(QDateTime::currentDateTimeUtc()));
    return q.exec() || Transaction::failed(q, error);
}

std::optional<Evening> EveningStore::current() {
    qint64 id = 0;
    const bool done = change([this, &id](QSqlError *error) {
        const std::optional<qint64> open = openEvening(error);
        if (!open) {
            return false;
        }
        if (*open != 0) {
            id = *open;
            return true;
        }
        if (!begin(error)) {
            return false;
        }
        id = openEvening(error).value_or(0);
        return id != 0;
    });
    return done ? evening(id) : std::nullopt;
}

std::optional<Evening> EveningStore::openOne() const {
    m_error.clear();
    QSqlError error;
    const std::optional<qint64> open = openEvening(&error);
    if (!open) {
        readFailed(error);
        return std::nullopt;
    }
    return *open == 0 ? std::nullopt : evening(*open);
}

std::optional<Evening> EveningStore::startNew() {
    const bool done = change([this](QSqlError *error) {
        QSqlQuery close(m_db);
        close.prepare(QStringLiteral("UPDATE evenings SET closed = ? WHERE closed IS NULL"));
        close.addBindValue(RegisterTime::stored(QDateTime::currentDateTimeUtc()));
        return (close.exec() || Transaction::failed(close, error)) && begin(error);
    });
    return done ? current() : std::nullopt;
}

QList<Evening> EveningStore::evenings() const {
    m_error.clear();
    QList<Evening> found;
    QSqlQuery q(m_db);
    QSqlError error;
    if (!q.exec(QLatin1String(selectEvenings) + QStringLiteral(" ORDER BY id DESC"))) {
        readFailed(q.lastError());
        return {};
    }
    while (q.next()) {
        found.append(fromRow(q));
    }
    if (!Transaction::readToEnd(q, &error)) {
        readFailed(error);
        return {};
    }
    return found;
}

std::optional<Evening> EveningStore::evening(qint64 id) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QLatin1String(selectEvenings) + QStringLiteral(" WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        readFailed(q.lastError());
        return std::nullopt;
    }
    if (!q.next()) {
        m_error = QStringLiteral("la serata n. %1 non è nel registro").arg(id);
        return std::nullopt;
    }
    return fromRow(q);
}

std::optional<Signing> EveningStore::signing(qint64 evening) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT venue, signing_place FROM evenings WHERE id = ?"));
    q.addBindValue(evening);
    if (!q.exec()) {
        readFailed(q.lastError());
        return std::nullopt;
    }
    Signing signing;
    if (q.next()) {
        signing.venue = q.value(0).toString();
        signing.place = q.value(1).toString();
    }
    q.prepare(
        QStringLiteral("SELECT role, name FROM signatories WHERE evening = ? ORDER BY position"));
    q.addBindValue(evening);
    if (!q.exec()) {
        readFailed(q.lastError());
        return std::nullopt;
    }
    while (q.next()) {
        signing.signers.append({q.value(0).toString(), q.value(1).toString()});
    }
    if (signing.signers.isEmpty()) {
        signing.signers = Signing::usualSigners();
    }
    return signing;
}

RegisterChange EveningStore::setSigning(qint64 evening, const Signing &signing) {
    return write([&](QSqlError *error) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("UPDATE evenings SET venue = ?, signing_place = ? WHERE id = ?"));
        q.addBindValue(signing.venue.trimmed());
        q.addBindValue(signing.place.trimmed());
        q.addBindValue(evening);
        if (!q.exec()) {
            return Transaction::failed(q, error);
        }
        q.prepare(QStringLiteral("DELETE FROM signatories WHERE evening = ?"));
        q.addBindValue(evening);
        if (!q.exec()) {
            return Transaction::failed(q, error);
        }
        q.prepare(QStringLiteral(
            "INSERT INTO signatories (evening, position, role, name) VALUES (?, ?, ?, ?)"));
        int position = 0;
        for (const Signing::Signer &signer : signing.signers) {
            if (signer.role.trimmed().isEmpty() && signer.name.trimmed().isEmpty()) {
                continue;
            }
            q.addBindValue(evening);
            q.addBindValue(++position);
            q.addBindValue(signer.role.trimmed());
            q.addBindValue(signer.name.trimmed());
            if (!q.exec()) {
                return Transaction::failed(q, error);
            }
        }
        return true;
    });
}

bool EveningStore::linkWithin(const char *table, const char *column, qint64 id, QSqlError *error) {
    const std::optional<qint64> open = openEvening(error);
    if (!open) {
        return false;
    }
    qint64 evening = *open;
    if (evening == 0) {
        if (!begin(error)) {
            return false;
        }
        evening = openEvening(error).value_or(0);
    }
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, evening) VALUES (?, ?)")
                  .arg(QLatin1String(table), QLatin1String(column)));
    q.addBindValue(id);
    q.addBindValue(evening);
    return q.exec() || Transaction::failed(q, error);
}

bool EveningStore::link(const char *table, const char *column, qint64 id) {
    return change([&](QSqlError *error) { return linkWithin(table, column, id, error); });
}

bool EveningStore::addGameWithin(qint64 game, QSqlError *error) {
    return linkWithin("evening_games", "game", game, error);
}

bool EveningStore::addRun(qint64 run) {
    return link("evening_runs", "run", run);
}

bool EveningStore::addGame(qint64 game) {
    return link("evening_games", "game", game);
}

QList<GameListing> EveningStore::games(qint64 evening) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral(
        "SELECT g.id, g.started, g.ended, "
        "(SELECT COUNT(*) FROM drawn d WHERE d.game = g.id AND d.taken_back IS NULL) "
        "FROM games g JOIN evening_games e ON e.game = g.id WHERE e.evening = ? ORDER BY g.id"));
    q.addBindValue(evening);
    if (!q.exec()) {
        readFailed(q.lastError());
        return {};
    }
    QList<GameListing> games;
    while (q.next()) {
        const QDateTime ended = RegisterTime::read(q.value(2).toString());
        games.append({q.value(0).toLongLong(), RegisterTime::read(q.value(1).toString()), ended,
                      q.value(3).toInt(), !ended.isValid()});
    }
    QSqlError error;
    if (!Transaction::readToEnd(q, &error)) {
        readFailed(error);
        return {};
    }
    return games;
}

std::optional<GamePlace> EveningStore::placeOf(qint64 game) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT e.evening, (SELECT COUNT(*) FROM evening_games o "
                             "WHERE o.evening = e.evening AND o.game <= e.game) "
                             "FROM evening_games e WHERE e.game = ?"));
    q.addBindValue(game);
    if (!q.exec()) {
        readFailed(q.lastError());
        return std::nullopt;
    }
    GamePlace place;
    if (q.next()) {
        place = {q.value(0).toLongLong(), q.value(1).toInt()};
    }
    QSqlError error;
    if (!Transaction::readToEnd(q, &error)) {
        readFailed(error);
        return std::nullopt;
    }
    return place;
}

QList<RunRecord> EveningStore::runs(qint64 evening) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT run FROM evening_runs WHERE evening = ?"));
    q.addBindValue(evening);
    QList<qint64> ids;
    QSqlError error;
    if (!q.exec()) {
        readFailed(q.lastError());
        return {};
    }
    while (q.next()) {
        ids.append(q.value(0).toLongLong());
    }
    if (!Transaction::readToEnd(q, &error)) {
        readFailed(error);
        return {};
    }
    const PrintRegister reg(m_db);
    QList<RunRecord> all = reg.runs();
    if (!reg.lastError().isEmpty()) {
        m_error = reg.lastError();
        m_failure = reg.lastFailure();
        return {};
    }
    QList<RunRecord> found;
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (ids.contains(it->id)) {
            found.append(*it);
        }
    }
    return found;
}

RegisterChange EveningStore::addSold(qint64 evening, qint64 run,
                                     const QList<std::pair<int, int>> &ranges, qint64 priceCents) {
    const QList<RunRecord> ofEvening = runs(evening);
    if (!m_error.isEmpty()) {
        return unread();
    }
    const auto record = std::find_if(ofEvening.cbegin(), ofEvening.cend(),
                                     [run](const RunRecord &r) { return r.id == run; });
    QList<SoldRange> taken = sold(evening);
    if (!m_error.isEmpty()) {
        return unread();
    }
    if (record == ofEvening.cend()) {
        m_error = QStringLiteral("la corsa %1 non è di questa serata").arg(run);
        return RegisterChange::refused(m_error);
    }
    const std::optional<CardTrace::Range> range = CardTrace::printedRange(*record);
    if (!range) {
        m_error = QStringLiteral("la corsa %1 non ha consegnato nessuna cartella").arg(run);
        return RegisterChange::refused(m_error);
    }
    // The numbers a run printed are one unbroken stretch: its first and last card's.
    const int lo = *CardTrace::printedNumber(*record, range->first);
    const int hi = *CardTrace::printedNumber(*record, range->last);
    for (const auto &[first, last] : ranges) {
        if (first > last || priceCents < 0) {
            m_error =
                QStringLiteral("l'intervallo %1-%2 o il prezzo non è valido").arg(first).arg(last);
            return RegisterChange::refused(m_error);
        }
        if (first < lo || last > hi) {
            m_error =
                QStringLiteral("la corsa %1 non ha consegnato le cartelle %2 (ha "
                               "consegnato le cartelle %3)")
                    .arg(QString::number(run), outside(first, last, lo, hi), rangeText(lo, hi));
            return RegisterChange::refused(m_error);
        }
        for (const SoldRange &s : taken) {
            if (s.run == run && s.first <= last && first <= s.last) {
                m_error = QStringLiteral("le cartelle %1 della corsa %2 sono già in gioco")
                              .arg(rangeText(std::max(first, s.first), std::min(last, s.last)))
                              .arg(run);
                return RegisterChange::refused(m_error);
            }
        }
        taken.append({0, run, first, last, priceCents});
    }
    // All the ranges, or none.
    return write([&](QSqlError *error) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("INSERT INTO cards_in_play (evening, run, first_number, "
                                 "last_number, price_cents) VALUES (?, ?, ?, ?, ?)"));
        for (const auto &[first, last] : ranges) {
            for (const QVariant &v : {QVariant(evening), QVariant(run), QVariant(first),
                                      QVariant(last), QVariant(priceCents)}) {
                q.addBindValue(v);
            }
            if (!q.exec()) {
                return Transaction::failed(q, error);
            }
        }
        return true;
    });
}

RegisterChange EveningStore::removeSold(qint64 rangeId) {
    return write([&](QSqlError *error) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("DELETE FROM cards_in_play WHERE id = ?"));
        q.addBindValue(rangeId);
        if (!q.exec()) {
            return Transaction::failed(q, error);
        }
        return q.numRowsAffected() == 1 ||
               Transaction::refused(
                   QStringLiteral("le cartelle n. %1 non sono più in gioco").arg(rangeId), error);
    });
}

QList<SoldRange> EveningStore::sold(qint64 evening) const {
    m_error.clear();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT id, run, first_number, last_number, price_cents FROM "
                             "cards_in_play WHERE evening = ? ORDER BY run, first_number"));
    q.addBindValue(evening);
    if (!q.exec()) {
        readFailed(q.lastError());
        return {};
    }
    QList<SoldRange> found;
    while (q.next()) {
        bool firstRead = false;
        bool lastRead = false;
        const SoldRange range{q.value(0).toLongLong(), q.value(1).toLongLong(),
                              q.value(2).toInt(&firstRead), q.value(3).toInt(&lastRead),
                              q.value(4).toLongLong()};
        // A row edited by hand may hold what no sale writes: said, never counted as cards.
        if (!firstRead || !lastRead || range.first > range.last) {
            m_error = QStringLiteral("le cartelle in gioco n. %1 del registro non sono un "
                                     "intervallo di numeri (%2-%3)")
                          .arg(range.id)
                          .arg(q.value(2).toString(), q.value(3).toString());
            m_failure = RegisterFailure::Kind::Other;
            return {};
        }
        found.append(range);
    }
    QSqlError error;
    if (!Transaction::readToEnd(q, &error)) {
        readFailed(error);
        return {};
    }
    return found;
}

QList<PlayedCard> EveningStore::cardsInPlay(qint64 evening) const {
    const QList<SoldRange> ranges = sold(evening);
    const QList<RunRecord> ofEvening = m_error.isEmpty() ? runs(evening) : QList<RunRecord>();
    if (!m_error.isEmpty()) {
        return {};
    }
    QHash<qint64, RunRecord> byId;
    for (const RunRecord &r : ofEvening) {
        byId.insert(r.id, r);
    }
    QList<PlayedCard> cards;
    for (const SoldRange &s : ranges) {
        const auto run = byId.constFind(s.run);
        if (run == byId.cend()) {
            continue;
        }
        // A number the run did not put out was refused when sold; none is made up here, and a
        // range a damaged register holds is walked only over the numbers the run printed, at
        // most as many as a run can print.
        const std::optional<CardTrace::Range> printed = CardTrace::printedRange(*run);
        if (!printed) {
            continue;
        }
        const qint64 lo =
            std::max(s.first, CardTrace::printedNumber(*run, printed->first).value_or(1));
        const qint64 hi = std::min(
            {qint64(s.last), qint64(CardTrace::printedNumber(*run, printed->last).value_or(0)),
             lo + PrintPlan::maxCard - 1});
        for (qint64 n = lo; n <= hi; ++n) {
            if (const std::optional<int> card = CardTrace::archiveCard(*run, int(n))) {
                cards.append({s.run, int(n), *card});
            }
        }
    }
    return cards;
}

std::optional<QList<std::pair<int, int>>> EveningStore::parseRanges(const QString &text,
                                                                    QString *error) {
    static const QRegularExpression item(
        QStringLiteral("^\\s*(\\d{1,9})\\s*(?:-\\s*(\\d{1,9}))?\\s*$"));
    QList<std::pair<int, int>> ranges;
    for (const QString &part : text.split(u',')) {
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch()) {
            *error = part.trimmed().isEmpty()
                         ? QStringLiteral("manca un numero tra due virgole, o l'elenco è vuoto")
                         : QStringLiteral("\"%1\" non è un numero né un intervallo come 1-120")
                               .arg(part.trimmed());
            return std::nullopt;
        }
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
        if (first < 1 || last < first) {
            *error = QStringLiteral("l'intervallo \"%1\" va scritto dal numero più piccolo al "
                                    "più grande, da 1 in su")
                         .arg(part.trimmed());
            return std::nullopt;
        }
        ranges.append({first, last});
    }
    return ranges;
}

QString EveningStore::rangeText(int first, int last) {
    return first == last ? QStringLiteral("N. %1").arg(first)
                         : QStringLiteral("N. %1-%2").arg(first).arg(last);
}

std::optional<qint64> EveningStore::parseCents(const QString &euros) {
    // The sign or the word may come before or after the figure: "€ 10", "10 euro".
    static const QRegularExpression amount(
        QStringLiteral("^\\s*(?:€\\s*)?([0-9]{1,7})(?:[.,]([0-9]{1,2}))?\\s*(?:€|euro|eur)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = amount.match(euros);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const QString decimals = m.captured(2).leftJustified(2, QLatin1Char('0'));
    return m.captured(1).toLongLong() * 100 + decimals.toLongLong();
}

QString EveningStore::money(qint64 cents) {
    return QStringLiteral("%1,%2 €").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

} // namespace velmora
