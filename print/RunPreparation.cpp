#include "print/RunPreparation.h"

#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"

namespace velmora {
namespace {
const QString nothingToPrint =
    QStringLiteral("Nessuna cartella da stampare: indicare quante cartelle stampare.");

std::unique_ptr<CardArchive> open(const RunPreparation::Sources &sources) {
    if (!sources.archiveFile.isEmpty()) {
        return std::make_unique<CardArchive>(sources.archiveFile);
    }
    return sources.archiveFolders.isEmpty() ? ArchiveSearch::open()
                                            : ArchiveSearch::open(sources.archiveFolders);
}
} // namespace

RunPreparation::RunPreparation(const PrintRequest &request) : m_request(request) {
    QString why;
    m_plan = PrintPlan::make(request.primaCartella, request.nCartelle, request.landscape, &why);
    if (!m_plan) {
        refuse(Kind::Refused, why);
    } else if (m_plan->cardCount() == 0) {
        refuse(Kind::NothingToPrint, nothingToPrint);
    }
}

RunPreparation RunPreparation::prepare(const PrintRequest &request, const Configurazione &settings,
                                       const Sources &sources) {
    RunPreparation run(request);
    run.openArchive(settings, sources);
    return run;
}

void RunPreparation::openArchive(const Configurazione &settings, const Sources &sources) {
    if (m_kind != Kind::Planned) {
        return;
    }
    try {
        m_archive = open(sources);
    } catch (const VelmoraError &error) {
        refuse(Kind::NoArchive, error.description());
        return;
    }
    // Cards past the archive's end are refused; slots past it that only fill the last page
    // stay blank.
    if (const std::optional<QString> beyond =
            m_plan->fitToArchive(m_archive->cardCount(), m_archive->path())) {
        refuse(Kind::Refused, *beyond);
        return;
    }
    // What every card will need, once: a setting the drawing cannot use is one refusal here,
    // not one error window per card.
    const RunCheck::Result check =
        RunCheck::check(settings, *m_plan, *m_archive, m_request.numerazioneArchivio,
                        sources.settingsPlace, sources.settingsPath);
    if (!check.ok()) {
        refuse(Kind::Refused, check.refusal);
        return;
    }
    m_standIns = check.standIns;
    m_sizeNotice = check.sizeNotice;
    m_kind = Kind::Ready;
}

void RunPreparation::refuse(Kind kind, const QString &why) {
    m_kind = kind;
    m_refusal = why;
    m_archive.reset();
}

} // namespace velmora
