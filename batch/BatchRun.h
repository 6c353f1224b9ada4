#pragma once

#include "batch/BatchOptions.h"
#include "settings/Configurazione.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTextStream;

namespace velmora {

class CardArchive;
class RegisterLock;
class PageTarget;
class SafeOutput;

// One invocation of velmora-pdf: a print run to a PDF file or a printer, or the check of the
// archive. Messages go to the two streams in the program's words; exec() returns the exit
// status. The window layer (printers) comes in through the target factories, so the run itself
// needs no widgets.
class BatchRun {
public:
    // The page target of a PDF file, given the (temporary) file to write.
    using PdfTargetFactory = std::function<std::unique_ptr<PageTarget>(const QString &file)>;
    // The page target of a named printer; nullptr with *error set when there is none.
    using PrinterTargetFactory =
        std::function<std::unique_ptr<PageTarget>(const QString &name, QString *error)>;

    // What the last print run did.
    struct Figures {
        int cards = 0;
        int pages = 0;
        double seconds = 0;
    };

    BatchRun(QTextStream &out, QTextStream &err);

    // Default: a PDF writer on an A4 page with the PDF writer's own margins, as a printer set
    // to print to a file has when none is installed.
    void setPdfTargetFactory(PdfTargetFactory factory) { m_pdfTarget = std::move(factory); }
    // Default: none, --stampante is refused.
    void setPrinterTargetFactory(PrinterTargetFactory factory) {
        m_printerTarget = std::move(factory);
    }
    // A progress bar on the error stream (when it is a terminal).
    void setProgressBar(bool on) { m_progressBar = on; }
    // The settings file read when none is named (default SettingsFile::defaultPath()).
    void setDefaultSettingsPath(const QString &path) { m_defaultSettingsPath = path; }
    // Folders searched for the archive when none is named (default ArchiveSearch::folders()).
    void setArchiveFolders(const QStringList &folders) { m_archiveFolders = folders; }
    // Called after each card drawn, after the progress bar (tests stop a run from here).
    void setCardHook(std::function<void(int done, int total)> hook) {
        m_cardHook = std::move(hook);
    }

    // How long a command that writes the register waits for the program holding it
    // (default 10 s).
    void setRegisterWait(int ms) { m_registerWaitMs = ms; }

    int exec(const BatchOptions &options);
    const Figures &figures() const { return m_figures; }

    // Asks the run in progress to stop before its next card. Safe inside a signal handler.
    static void requestStop() noexcept;
    static void clearStopRequest() noexcept;
    static bool stopRequested() noexcept;

    // The settings of a run: the named file, which must exist, or the default one, whose
    // defaults are used (and no file created) when it is missing. False: *error says why.
    // A file shorter than its record keeps the defaults it does not cover; *notice says so.
    static bool loadSettings(const QString &namedFile, const QString &defaultFile,
                             Configurazione *settings, QString *error, QString *notice = nullptr);

private:
    int print(const BatchOptions &options);
    int verify(const BatchOptions &options);
    // --partite and --verbale, with the settings that name the organiser.
    int verbale(const BatchOptions &options);
    void fail(const QString &message);
    // The register's lock for a command that writes it, waited for; nullptr, said, when another
    // program keeps it.
    std::unique_ptr<RegisterLock> holdRegister();
    std::unique_ptr<CardArchive> openArchive(const BatchOptions &options);
    // Where a run's archive that moved is looked for: --archivio, then the archive's folders.
    QStringList archivePlaces(const BatchOptions &options) const;
    QString settingsPathFor(const BatchOptions &options) const;
    // The PDF file of -o, refused when it is the archive or the settings file being read.
    std::unique_ptr<SafeOutput> openOutput(const BatchOptions &options, const CardArchive &archive,
                                           QString *error) const;
    static QString runFailure(const QString &thrown, const SafeOutput *output);

    QTextStream &m_out;
    QTextStream &m_err;
    PdfTargetFactory m_pdfTarget;
    PrinterTargetFactory m_printerTarget;
    bool m_progressBar = false;
    QString m_defaultSettingsPath;
    QStringList m_archiveFolders;
    std::function<void(int, int)> m_cardHook;
    int m_registerWaitMs = 10000;
    Figures m_figures;
};

} // namespace velmora
