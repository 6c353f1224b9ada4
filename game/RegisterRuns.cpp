#include "game/RegisterRuns.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

namespace velmora {

RegisterRuns::RegisterRuns(QSqlDatabase database, QString currentSha256)
    : m_db(std::move(database)), m_currentSha256(std::move(currentSha256)) {}

QList<PrintedRun> RegisterRuns::select(const QString &where, qint64 id) const {
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT id, started, first_card, last_card, cards_drawn, "
                                 "archive_numbering, archive_sha256 FROM print_runs %1 "
                                 "ORDER BY id DESC")
                      .arg(where));
    if (!where.isEmpty()) {
        query.addBindValue(id);
    }
    QList<PrintedRun> found;
    if (!query.exec()) {
        return found;
    }
    while (query.next()) {
        PrintedRun run;
        const QDateTime started = QDateTime::fromString(query.value(1).toString(), Qt::ISODate);
        run.label = QStringLiteral("corsa %1 del %2")
                        .arg(query.value(0).toLongLong())
                        .arg(started.isValid() ? started.toString(QStringLiteral("d/M/yyyy HH:mm"))
                                               : query.value(1).toString());
        run.firstCard = query.value(2).toLongLong();
        // A run cut short by a crash never said how far it came: take all it meant to print.
        const qint64 drawn = query.value(4).toLongLong();
        run.count = drawn > 0 ? drawn : query.value(3).toLongLong() - run.firstCard + 1;
        run.archiveNumbering = query.value(5).toBool();
        run.otherArchive = query.value(6).toString() != m_currentSha256;
        if (run.count > 0) {
            found.append(run);
        }
    }
    return found;
}

QList<PrintedRun> RegisterRuns::runs() const {
    return select({}, 0);
}

std::optional<PrintedRun> RegisterRuns::run(qint64 id) const {
    const QList<PrintedRun> found = select(QStringLiteral("WHERE id = ?"), id);
    return found.isEmpty() ? std::nullopt : std::optional<PrintedRun>(found.first());
}

QString RegisterRuns::sourceName() const {
    return QStringLiteral("il registro delle stampe non ne ha nessuna");
}

} // namespace velmora
