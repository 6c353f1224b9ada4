#include "game/GameSession.h"

#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "evening/EveningStore.h"
#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "game/Tabellone.h"
#include "print/ArchiveSearch.h"
#include "settings/Configurazione.h"

#include <QFileInfo>

#include <algorithm>

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
        database();
        // Each game keeps the organiser's lines and the card title it begins under.
        m_store = std::make_unique<GameStore>(m_db->connection(), [this] {
            return GameStore::Heading{m_settings.Ditta.trimmed(), m_settings.Via.trimmed(),
                                      m_settings.Tel.trimmed(), m_settings.Titolo.trimmed()};
        });
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
        seams.soldCards = [this] { return soldCards(); };
        m_window = new Tabellone(std::move(seams), m_owner);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

RegisterDatabase &GameSession::database() const {
    if (!m_db) {
        m_db = std::make_unique<RegisterDatabase>(
            m_databasePath.isEmpty() ? RegisterDatabase::defaultPath() : m_databasePath);
    }
    return *m_db;
}

QList<PrintedRun> GameSession::runs() const {
    m_registerEmpty = true;
    if (database().isOpen()) {
        // Only the runs of the evening being held: cards of earlier evenings are not in the hall.
        const EveningStore evenings(m_db->connection());
        const std::optional<Evening> evening = evenings.openOne();
        QList<RunRecord> records = evening ? evenings.runs(evening->id) : QList<RunRecord>();
        if (!evenings.lastError().isEmpty()) {
            throw VelmoraError(VelmoraError::DeviceIo,
                               QStringLiteral("Il registro delle stampe non si legge: %1.")
                                   .arg(evenings.lastError()));
        }
        std::reverse(records.begin(), records.end()); // newest first
        const QList<PrintedRun> printed = PrintedRun::fromRegister(records, currentArchive());
        if (!printed.isEmpty()) {
            m_registerEmpty = false;
            return printed;
        }
    }
    const PrintRequest request = m_printRequest();
    std::optional<PrintedRun> page =
        PrintedRun::fromPrintPage(request.primaCartella.toLongLong(),
                                  request.nCartelle.toLongLong(), request.numerazioneArchivio);
    if (!page) {
        return {};
    }
    // The range of the print page is of the archive a print would read now.
    if (const std::optional<ArchiveFingerprint> current = currentArchive()) {
        page->record.archivePath = current->path;
        page->record.archiveSize = current->size;
        page->record.archiveSha256 = current->sha256;
    }
    return {*page};
}

std::optional<QSet<std::pair<qint64, qint64>>> GameSession::soldCards() const {
    if (!database().isOpen()) {
        return std::nullopt;
    }
    const EveningStore evenings(m_db->connection());
    const std::optional<Evening> evening = evenings.openOne();
    const QList<PlayedCard> played =
        evening ? evenings.cardsInPlay(evening->id) : QList<PlayedCard>();
    if (!evenings.lastError().isEmpty()) {
        throw VelmoraError(VelmoraError::DeviceIo,
                           QStringLiteral("Le cartelle in gioco non si leggono dal registro: %1.")
                               .arg(evenings.lastError()));
    }
    if (played.isEmpty()) {
        return std::nullopt; // none entered: every card printed this evening plays
    }
    QSet<std::pair<qint64, qint64>> sold;
    for (const PlayedCard &card : played) {
        sold.insert({card.run, card.printedNumber});
    }
    return sold;
}

std::optional<ArchiveFingerprint> GameSession::currentArchive() const {
    QString path;
    try {
        path = ArchiveSearch::open()->path();
    } catch (const VelmoraError &) {
        return std::nullopt; // no archive now: every run is from another one
    }
    // The archive is read whole only when it is another file, or has changed since.
    const QFileInfo file(path);
    const ArchiveStamp stamp{path, file.size(), file.lastModified()};
    if (stamp != m_archiveStamp) {
        m_archive = ArchiveFingerprint::of(path);
        m_archiveStamp = stamp;
    }
    return m_archive;
}

QString GameSession::sourceName() const {
    return m_registerEmpty
               ? QStringLiteral("la serata non ha ancora corse stampate; cercata tra le "
                                "cartelle impostate a pagina 4")
               : QStringLiteral("nessuna corsa del registro la comprende");
}

} // namespace velmora
