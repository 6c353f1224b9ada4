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
    // currentArchive: the archive file in use now; empty when there is none.
    RegisterRuns(QSqlDatabase database, QString currentArchive);

    QList<PrintedRun> runs() const override;
    QString sourceName() const override;
    // One run by its number; nothing when the register has no such run.
    std::optional<PrintedRun> run(qint64 id) const;

    // The hex SHA-256 of a file's bytes; empty when it cannot be read.
    static QString fingerprint(const QString &path);

private:
    QList<PrintedRun> select(const QString &where, qint64 id) const;

    QSqlDatabase m_db;
    QString m_currentArchive;
    mutable QString m_currentFingerprint;
};

} // namespace velmora
