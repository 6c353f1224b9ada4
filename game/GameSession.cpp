#include "game/GameSession.h"

#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "game/GameStore.h"
#include "game/RegisterRuns.h"
#include "game/Tabellone.h"
#include "print/ArchiveSearch.h"
#include "register/ArchiveFingerprint.h"
#include "register/RegisterDatabase.h"

#include <QFileInfo>

namespace velmora {

GameSession::GameSession(const Configurazione &settings, std::function<PrintRequest()> printRequest,
                         std::function<MessagePresenter &()> presenter, QWidget *owner)
    : m_settings(settings), m_printRequest(std::move(printRequest)),
      m_presenter(std::move(presenter)), m_owner(owner) {}

GameSession::~GameSession() {
    delete m_window; // before the store it points at, and the store before its database
    m_store.reset();
}

void GameSession::open() {
    if (!m_window) {
        m_db = std::make_unique<RegisterDatabase>(
            m_databasePath.isEmpty() ? RegisterDatabase::defaultPath() : m_databasePath);
        m_store = std::make_unique<GameStore>(m_db->connection());
        if (!m_db->notice().isEmpty()) {
            m_presenter().avviso(m_owner, m_db->notice());
        }
        // Without the database the game is played in memory only; the user is told.
        if (!m_db->isOpen()) {
            m_presenter().avviso(m_owner,
                                 m_db->error() + QStringLiteral("\nLa partita non verrà salvata."));
        } else if (!m_store->restore()) {
            m_presenter().avviso(m_owner, m_store->lastError());
        }
        Tabellone::Seams seams;
        seams.store = m_store.get();
        seams.settings = &m_settings;
        seams.runs = this;
        seams.presenter = &m_presenter();
        seams.openArchive = [] { return ArchiveSearch::open(); };
        m_window = new Tabellone(std::move(seams), m_owner);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

QList<PrintedRun> GameSession::runs() const {
    if (m_db && m_db->isOpen()) {
        m_registerEmpty = true;
        const QList<PrintedRun> printed =
            RegisterRuns(m_db->connection(), currentArchiveSha256()).runs();
        if (!printed.isEmpty()) {
            m_registerEmpty = false;
            return printed;
        }
    }
    const PrintRequest request = m_printRequest();
    PrintedRun run;
    run.firstCard = request.primaCartella.toLongLong();
    run.count = request.nCartelle.toLongLong();
    run.archiveNumbering = request.numerazioneArchivio;
    run.label = QStringLiteral("stampa di pagina 4, cartelle %1-%2")
                    .arg(run.firstCard)
                    .arg(run.firstCard + run.count - 1);
    if (run.firstCard < 1 || run.count < 1) {
        return {};
    }
    return {run};
}

QString GameSession::currentArchiveSha256() const {
    QString path;
    try {
        path = ArchiveSearch::open()->path();
    } catch (const VelmoraError &) {
        return {}; // no archive now: every run is from another one
    }
    // The archive is read whole only when it is another file, or has changed since.
    const QFileInfo file(path);
    const ArchiveStamp stamp{path, file.size(), file.lastModified()};
    if (stamp != m_archiveStamp) {
        const std::optional<ArchiveFingerprint> read = ArchiveFingerprint::of(path);
        m_archiveSha256 = read ? read->sha256 : QString();
        m_archiveStamp = stamp;
    }
    return m_archiveSha256;
}

QString GameSession::sourceName() const {
    return m_registerEmpty ? QStringLiteral("il registro è vuoto; cercata tra le cartelle "
                                            "impostate a pagina 4")
                           : QStringLiteral("nessuna corsa del registro la comprende");
}

} // namespace velmora
