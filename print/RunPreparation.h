#pragma once

#include "print/CardArchive.h"
#include "print/FontResolver.h"
#include "print/PrintPlan.h"
#include "print/PrintRequest.h"
#include "print/RunCheck.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace velmora {

struct Configurazione;

// The steps before the first card of a run, the same for the print, the preview, "Salva PDF"
// and velmora-pdf: the range from the request's texts, the archive opened, the range fitted to
// the archive, and what every card will need checked once. Either the run is ready (its plan,
// its open archive, the faces that print with a stand-in) or it is refused, with the Italian
// reason and its kind; each caller says a refusal in its own way.
class RunPreparation {
public:
    enum class Kind {
        Ready,          // plan, archive and check all passed
        Planned,        // the range passed; the archive is still to open (see openArchive())
        NothingToPrint, // no cards asked for
        Refused,        // the range, the archive's end, a setting or a damaged card
        NoArchive,      // no archive found, or the one found cannot be read
    };

    // Where the archive and the settings of a run come from.
    struct Sources {
        QString archiveFile{};        // the archive named by the user; empty: searched for
        QStringList archiveFolders{}; // where it is searched for; empty: the usual folders
        RunCheck::Place settingsPlace = RunCheck::Place::Window;
        QString settingsPath{}; // the settings file a refusal names, with Place::SettingsFile
    };

    // The whole preparation: the range, then openArchive().
    static RunPreparation prepare(const PrintRequest &request, const Configurazione &settings,
                                  const Sources &sources);

    // The range alone: Planned, or NothingToPrint or Refused. For a caller that asks something
    // of the user between the range and the archive.
    explicit RunPreparation(const PrintRequest &request);
    // From Planned: opens the archive, fits the range to it and checks the run, giving Ready,
    // NoArchive or Refused. Does nothing in any other state.
    void openArchive(const Configurazione &settings, const Sources &sources);

    Kind kind() const { return m_kind; }
    bool refused() const { return m_kind != Kind::Ready && m_kind != Kind::Planned; }
    // Why the run is refused, in Italian; empty unless refused().
    const QString &refusal() const { return m_refusal; }

    const PrintRequest &request() const { return m_request; }
    // The range, fitted to the archive once Ready. Only when not refused().
    const PrintPlan &plan() const { return *m_plan; }
    // The open archive. Only when Ready.
    CardArchive &archive() const { return *m_archive; }
    std::unique_ptr<CardArchive> takeArchive() { return std::move(m_archive); }
    // Faces of the settings not installed, printed with the nearest one installed.
    const QList<FontResolver::Face> &standIns() const { return m_standIns; }
    // Said once before the first card: the size the cards print at when the settings ask for
    // more than they take (RunCheck::Result::sizeNotice); empty otherwise.
    const QString &sizeNotice() const { return m_sizeNotice; }

private:
    void refuse(Kind kind, const QString &why);

    PrintRequest m_request;
    Kind m_kind = Kind::Planned;
    QString m_refusal;
    std::optional<PrintPlan> m_plan;
    std::unique_ptr<CardArchive> m_archive;
    QList<FontResolver::Face> m_standIns;
    QString m_sizeNotice;
};

} // namespace velmora
