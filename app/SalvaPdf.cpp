#include "app/SalvaPdf.h"

#include "app/PdfFileDialog.h"
#include "app/PrintPage.h"
#include "errors/MessagePresenter.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/RunPreparation.h"
#include "print/SafeOutput.h"
#include "print/StampaCartelle.h"
#include "register/RegisterDatabase.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {
namespace {

const QString dialogTitle = QStringLiteral("Salva PDF");
const QString saved = QStringLiteral("Le cartelle sono state salvate nel file \"%1\".");
const QString stopped =
    QStringLiteral("Salvataggio interrotto: il file \"%1\" non è stato scritto.");

const QString notReplaced = QStringLiteral("Impossibile salvare le cartelle in \"%1\": %2.");

// Why path must not be written over; empty when it may be.
QString protectedFile(const QString &path, const QString &settingsPath) {
    const QFileInfo target(path);
    if (!target.exists()) {
        return {};
    }
    const QFileInfo real(target.canonicalFilePath());
    const QFileInfo settings(settingsPath);
    if (real.fileName().compare(CardArchive::fileName, Qt::CaseInsensitive) == 0) {
        return QStringLiteral("è un archivio delle cartelle");
    }
    if (real.fileName().compare(QLatin1String(SettingsFile::fileName), Qt::CaseInsensitive) == 0 ||
        (settings.exists() && real.canonicalFilePath() == settings.canonicalFilePath())) {
        return QStringLiteral("è il file delle impostazioni");
    }
    if (!real.isFile()) {
        return QStringLiteral("non è un file normale");
    }
    return {};
}

// What the run reads or keeps, which the PDF must never replace, whatever name leads to it: the
// same files velmora-pdf keeps.
QList<SafeOutput::KeptFile> keptFiles(const QString &settingsPath, const CardArchive &archive) {
    return {
        {settingsPath, QStringLiteral("il file di configurazione")},
        {RegisterDatabase::defaultPath(), QStringLiteral("il registro delle stampe")},
        {archive.path(), QStringLiteral("l'archivio delle cartelle")},
    };
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
    // No file is asked for a range that cannot be printed: the print's refusal, in its words.
    RunPreparation prepared(m_page.request());
    if (prepared.refused()) {
        messages.avviso(&m_mainWindow, prepared.refusal());
        return Result::Refused;
    }

    PdfFileDialog fileDialog;
    FileChooser &chooser = m_chooser ? *m_chooser : fileDialog;
    const QString chosen = chooser.fileToSave(
        &m_mainWindow, dialogTitle, QDir(m_lastFolder).filePath(proposedName(prepared.plan())));
    if (chosen.isEmpty()) {
        return Result::Cancelled;
    }
    m_lastFolder = QFileInfo(chosen).absolutePath();
    if (const QString why = protectedFile(chosen, m_settingsPath); !why.isEmpty()) {
        messages.avviso(&m_mainWindow, notReplaced.arg(QDir::toNativeSeparators(chosen), why));
        return Result::Refused;
    }

    prepared.openArchive(m_settings, {.archiveFolders = m_archiveFolders});
    if (prepared.refused()) {
        messages.avviso(&m_mainWindow, prepared.refusal());
        return Result::Refused;
    }

    SafeOutput output(chosen);
    QString error;
    if (!output.reserve(keptFiles(m_settingsPath, prepared.archive()), &error)) {
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
        StampaCartelle run(m_mainWindow, prepared.request(), m_settings, messages, surface);
        // Registered under the name asked for, and completed once the file is in place.
        run.setDelivery(QStringLiteral("il file %1").arg(output.shownName()),
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
