#include "app/SalvaPdf.h"

#include "app/EveningPrintCheck.h"
#include "app/PrintPage.h"
#include "errors/MessagePresenter.h"
#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/RunPreparation.h"
#include "print/SafeOutput.h"
#include "print/StampaCartelle.h"
#include "register/RunRecord.h"
#include "settings/SettingsFile.h"
#include "ui/PdfFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {
namespace {

const QString dialogTitle = QStringLiteral("Salva PDF");
const QString saved = QStringLiteral("Le cartelle sono state salvate nel file \"%1\".");
const QString stopped =
    QStringLiteral("Salvataggio interrotto: il file \"%1\" non è stato scritto.");

// What the run reads or keeps, which the PDF must never replace, whatever name leads to it: the
// same files velmora-pdf keeps.
QList<SafeOutput::KeptFile> keptFiles(const QString &settingsPath, const CardArchive *archive) {
    QList<SafeOutput::KeptFile> kept = {
        {settingsPath, QStringLiteral("il file di configurazione")},
        {RegisterDatabase::defaultPath(), QStringLiteral("il registro delle stampe")},
    };
    if (archive) {
        kept.append({archive->path(), QStringLiteral("l'archivio delle cartelle")});
    }
    return kept;
}

QString startFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

SalvaPdf::SalvaPdf(QWidget &mainWindow, const PrintPage &page, const Configurazione &settings)
    : m_mainWindow(mainWindow), m_page(page), m_settings(settings), m_lastFolder(startFolder()) {}

QString SalvaPdf::proposedName(const PrintPlan &plan) {
    return QStringLiteral("cartelle-%1-%2.pdf").arg(plan.first).arg(plan.last);
}

SalvaPdf::Result SalvaPdf::run(MessagePresenter &messages) {
    // No file is asked for a run that cannot be printed (its range, its archive, the settings
    // it would print with): the print's refusal, in its words.
    RunPreparation prepared(m_page.request());
    // Named after the cards asked for, before the range is fitted to the archive.
    const QString proposed = prepared.refused() ? QString() : proposedName(prepared.plan());
    prepared.openArchive(m_settings, {.archiveFolders = m_archiveFolders});
    if (prepared.refused()) {
        messages.avviso(&m_mainWindow, prepared.refusal());
        return Result::Refused;
    }
    if (!EveningPrintCheck::mayPrint(&m_mainWindow, messages, prepared.plan(),
                                     prepared.request().numerazioneArchivio)) {
        return Result::Cancelled;
    }

    PdfFileDialog fileDialog;
    FileChooser &chooser = m_chooser ? *m_chooser : fileDialog;
    const QString chosen =
        chooser.fileToSave(&m_mainWindow, dialogTitle, QDir(m_lastFolder).filePath(proposed));
    if (chosen.isEmpty()) {
        return Result::Cancelled;
    }
    m_lastFolder = QFileInfo(chosen).absolutePath();
    // What the file chosen is decides before any card is drawn, by the rule velmora-pdf's -o
    // follows: only a PDF is ever replaced.
    if (QString why; !SafeOutput(chosen).check(keptFiles(m_settingsPath, nullptr), &why)) {
        messages.avviso(&m_mainWindow, why);
        return Result::Refused;
    }

    SafeOutput output(chosen);
    QString error;
    if (!output.reserve(keptFiles(m_settingsPath, &prepared.archive()), &error)) {
        messages.avviso(&m_mainWindow, error);
        return Result::Failed;
    }
    // The file printer of velmora-pdf, so the pages are the same; already at the run's
    // resolution, so nothing is said about it.
    PrinterTarget target;
    target.selectPdfFile(output.temporaryPath());
    target.setResolution(PrintRun::dotsPerInch);
    StampaCartelle::Result result = StampaCartelle::Result::Failed;
    bool committed = false;
    {
        PainterSurface surface(target);
        StampaCartelle run(m_mainWindow, prepared.request(), m_settings, messages, surface,
                           RunRegistration::opener());
        // Registered under the name asked for, and completed once the file is in place.
        run.setDelivery(RunRecord::fileDestination(output.shownName()),
                        [&output, &error, &committed] {
                            committed = output.commitPdf(&error);
                            return committed;
                        });
        result = run.print(prepared);
    }
    switch (result) {
    case StampaCartelle::Result::Completed:
        if (!committed) {
            messages.avviso(&m_mainWindow, error);
            return Result::Failed;
        }
        messages.avviso(&m_mainWindow, saved.arg(QDir::toNativeSeparators(output.requestedPath())));
        return Result::Saved;
    case StampaCartelle::Result::Stopped:
        output.discard();
        messages.avviso(&m_mainWindow,
                        stopped.arg(QDir::toNativeSeparators(output.requestedPath())));
        return Result::Stopped;
    case StampaCartelle::Result::NothingToPrint:
    case StampaCartelle::Result::Refused:
    case StampaCartelle::Result::NoArchive:
        output.discard();
        return Result::Refused;
    case StampaCartelle::Result::Failed:
        break;
    }
    output.discard();
    return Result::Failed;
}

} // namespace velmora
