#pragma once

#include "game/PrintedRuns.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace velmora {

// The print runs kept in the register, newest first, as the check of a claimed card needs
// them: each run's first card, the cards it put on paper, its numbering, and whether it used an
// archive other than the current one (told by the SHA-256 of the archive's bytes).
class RegisterRuns : public PrintedRunSource {
public:
    // currentSha256: the hex SHA-256 of the archive in use now (ArchiveFingerprint); empty when
    // there is none.
    RegisterRuns(QSqlDatabase database, QString currentSha256);

    QList<PrintedRun> runs() const override;
    QString sourceName() const override;
    // One run by its number; nothing when the register has no such run.
    std::optional<PrintedRun> run(qint64 id) const;

private:
    QList<PrintedRun> select(const QString &where, qint64 id) const;

    QSqlDatabase m_db;
    QString m_currentSha256;
};

} // namespace velmora
