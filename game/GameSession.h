#pragma once

#include "game/Tabellone.h"
#include "print/PrintRequest.h"
#include "rules/PrintedRuns.h"

#include <QDateTime>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace velmora {

class GameStore;
class RegisterDatabase;
class MessagePresenter;
class Tabellone;
struct Configurazione;

// What the main window holds of the evening: the register's database, the game restored from
// it and the "Tabellone" window, all made when the window is first asked for.
class GameSession : public PrintedRunSource {
public:
    // printRequest gives the print page's range as it is set now.
    GameSession(const Configurazione &settings, std::function<PrintRequest()> printRequest,
                std::function<MessagePresenter &()> presenter, QWidget *owner);
    ~GameSession() override;

    // The register's database file; its default unless set before the first open().
    void setDatabasePath(const QString &path) { m_databasePath = path; }

    // Shows the window (made and restored on the first call) and brings it to the front.
    void open();
    Tabellone *window() const { return m_window; }

    // The runs of the evening being held that put out cards, newest first; while it has none,
    // the range of the print page as it is set now. Throws VelmoraError (Italian) when the
    // register cannot be read.
    QList<PrintedRun> runs() const override;
    // The cards sold this evening (run, printed number); nothing while none were entered.
    // Throws VelmoraError when the register cannot be read.
    std::optional<QSet<std::pair<qint64, qint64>>> soldCards() const;
    QString sourceName() const override;

private:
    const Configurazione &m_settings;
    std::function<PrintRequest()> m_printRequest;
    std::function<MessagePresenter &()> m_presenter;
    QWidget *m_owner;
    QString m_databasePath;
    mutable std::unique_ptr<RegisterDatabase> m_db;
    std::unique_ptr<GameStore> m_store;
    QPointer<Tabellone> m_window;
    mutable bool m_registerEmpty = true;

    RegisterDatabase &database() const;

    // The current archive's identity, read again only when the file changes.
    struct ArchiveStamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        friend bool operator==(const ArchiveStamp &, const ArchiveStamp &) = default;
    };
    std::optional<ArchiveFingerprint> currentArchive() const;
    mutable ArchiveStamp m_archiveStamp;
    mutable std::optional<ArchiveFingerprint> m_archive;
};

} // namespace velmora
