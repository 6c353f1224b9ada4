#include "batch/BatchRun.h"

#include "batch/EveningCommands.h"
#include "batch/ProgressBar.h"
#include "batch/RegisterCommands.h"
#include "batch/VerbaleCommands.h"
#include "batch/VerificaArchivio.h"
#include "batch/WinCheckCommand.h"
#include "common/Sentence.h"
#include "errors/ErrorPresenter.h"
#include "errors/VelmoraError.h"
#include "evening/RegisterDatabase.h"
#include "evening/RegisterLock.h"
#include "evening/RunRegistration.h"
#include "print/ArchiveSearch.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PdfTarget.h"
#include "print/PrintPlan.h"
#include "print/PrintRun.h"
#include "print/RunCheck.h"
#include "print/RunEntry.h"
#include "print/RunPreparation.h"
#include "print/SafeOutput.h"
#include "print/StampaCartella.h"
#include "register/ArchiveFingerprint.h"
#include "register/CardNumbering.h"
#include "register/RunRecord.h"
#include "settings/PrintRange.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <csignal>

namespace velmora {
namespace {

const QString programName = QStringLiteral("velmora-pdf");
constexpr double pdfWriterMarginPoints = 10; // QPdfWriter's and a file printer's own margins
constexpr double millimetresPerPoint = 25.4 / 72;

volatile std::sig_atomic_t stopFlag = 0;

// With no one to answer the error window, the first failure in a card's drawing ends the run:
// the card is left (the answer "Termina") and its report kept for the error stream.
class StopOnFailure : public ErrorPresenter {
public:
    StopOnFailure() : m_previous(ErrorPresenter::install(this)) {}
    ~StopOnFailure() override { ErrorPresenter::install(m_previous); }
    StopOnFailure(const StopOnFailure &) = delete;
    StopOnFailure &operator=(const StopOnFailure &) = delete;

    int showReport(const QString &report) override {
        if (m_report.isEmpty()) {
            m_report = report;
            m_report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        }
        return IDABORT;
    }
    bool failed() const { return !m_report.isEmpty(); }
    const QString &report() const { return m_report; }

private:
    ErrorPresenter *m_previous;
    QString m_report;
};

// The archive's fingerprint for the register, made before the run's entry asks for it: a large
// archive takes a while to read, and the bar says so once it passes half a second.
void makeFingerprint(const QString &path, QTextStream &err, bool showBar) {
    constexpr qint64 shownAfterMs = 500;
    constexpr qint64 megabyte = qint64(1) << 20;
    if (ArchiveFingerprint::known(path)) {
        return;
    }
    ProgressBar bar(err, QStringLiteral("MB dell'archivio letti"));
    QElapsedTimer clock;
    clock.start();
    ArchiveFingerprint::of(path, [&](qint64 done, qint64 total) {
        if (showBar && clock.elapsed() >= shownAfterMs) {
            bar.update(int(done / megabyte), int(std::max<qint64>(total / megabyte, 1)));
        }
    });
    bar.finish();
}

QString seconds(double value) {
    return QLocale(QLocale::Italian).toString(value, 'f', value < 10 ? 2 : 1);
}

QString cardsText(qint64 n) {
    return n == 1 ? QStringLiteral("1 cartella") : QStringLiteral("%1 cartelle").arg(n);
}

QString pagesText(qint64 n) {
    return n == 1 ? QStringLiteral("1 pagina") : QStringLiteral("%1 pagine").arg(n);
}

// The archive a run read, as the closing summary names it.
QString archiveText(const CardArchive &archive) {
    return QStringLiteral("archivio \"%1\" (%2)")
        .arg(QDir::toNativeSeparators(QFileInfo(archive.path()).absoluteFilePath()),
             cardsText(archive.cardCount()));
}

// The card whose drawing failed: its place in the archive and the number printed on it.
QString failedCard(CardArchive &archive, const PrintPlan &plan, int drawn, bool archiveNumbers) {
    const int card = plan.first + std::max(drawn, 1) - 1;
    QString printed;
    try {
        const QString numero = archive.read(card).numeroArchivio();
        printed = CardNumbering::printedText(numero, archiveNumbers, plan.first).trimmed();
    } catch (const VelmoraError &) {
        printed = QStringLiteral("non leggibile");
    }
    return QStringLiteral("cartella %1 dell'archivio, numero stampato %2").arg(card).arg(printed);
}

} // namespace

BatchRun::BatchRun(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {
    m_pdfTarget = [](const QString &file) -> std::unique_ptr<PageTarget> {
        const double margin = pdfWriterMarginPoints * millimetresPerPoint;
        return std::make_unique<PdfTarget>(file, QPageSize(QPageSize::A4),
                                           QMarginsF(margin, margin, margin, margin));
    };
}

void BatchRun::requestStop() noexcept {
    stopFlag = 1;
}

void BatchRun::clearStopRequest() noexcept {
    stopFlag = 0;
}

bool BatchRun::stopRequested() noexcept {
    return stopFlag != 0;
}

std::unique_ptr<RegisterLock> BatchRun::holdRegister() {
    auto lock = std::make_unique<RegisterLock>(RegisterDatabase::defaultPath());
    // A lock that cannot even be written (a read-only data folder) stops nothing: the register
    // itself then says why it cannot be written, and the print goes on as without it.
    if (lock->tryTake() || !lock->heldByAnother()) {
        return lock;
    }
    m_err << programName << ": "
          << QStringLiteral("%1: attendo che lo lasci, al più %2 secondi.\n")
                 .arg(Sentence::whole(lock->refusal()).chopped(1))
                 .arg(m_registerWaitMs / 1000);
    m_err.flush();
    if (lock->take(m_registerWaitMs)) {
        return lock;
    }
    fail(QStringLiteral("%1: non è stato scritto nulla; chiudere l'altro programma e riprovare")
             .arg(lock->refusal()));
    return nullptr;
}

void BatchRun::fail(const QString &message) {
    // Reasons come from every layer: each is said in the one shape of the program's lines.
    m_err << programName << ": " << Sentence::whole(message) << '\n';
    m_err.flush();
}

bool BatchRun::loadSettings(const QString &namedFile, const QString &defaultFile,
                            Configurazione *settings, QString *error, QString *notice) {
    const QString path = namedFile.isEmpty() ? defaultFile : namedFile;
    if (!QFileInfo::exists(path)) {
        if (!namedFile.isEmpty()) {
            *error = QStringLiteral("il file di configurazione \"%1\" non esiste.")
                         .arg(QDir::toNativeSeparators(path));
            return false;
        }
        // As the window program at its first start, without writing the file.
        *settings = SettingsFile::defaults();
        return true;
    }
    SettingsFile file(path);
    const SettingsFile::LoadResult loaded = file.load(*settings);
    if (loaded.outcome != SettingsFile::LoadOutcome::Loaded) {
        *error = loaded.error;
        return false;
    }
    if (loaded.incomplete && notice) {
        *notice = loaded.notice;
    }
    SettingsFile::trimTexts(*settings);
    return true;
}

QString BatchRun::settingsPathFor(const BatchOptions &options) const {
    if (!options.configurazione.isEmpty()) {
        return options.configurazione;
    }
    return m_defaultSettingsPath.isEmpty() ? SettingsFile::defaultPath() : m_defaultSettingsPath;
}

std::unique_ptr<SafeOutput> BatchRun::openOutput(const BatchOptions &options,
                                                 const CardArchive &archive, QString *error) const {
    auto output = std::make_unique<SafeOutput>(options.output);
    const QList<SafeOutput::KeptFile> kept = {
        {archive.path(), QStringLiteral("l'archivio delle cartelle")},
        {settingsPathFor(options), QStringLiteral("il file di configurazione")},
        {RegisterDatabase::defaultPath(), QStringLiteral("il registro delle stampe")},
    };
    if (!output->reserve(kept, error)) {
        return nullptr;
    }
    return output;
}

QString BatchRun::runFailure(const QString &thrown, const SafeOutput *output) {
    // A file that could not be written is said in the user's terms: the file asked for (never
    // the temporary one) and the cause, when the disk or the folder tells it.
    if (output) {
        if (const QString why = output->writeFailure(); !why.isEmpty()) {
            return why;
        }
        QString text = thrown;
        if (!output->temporaryPath().isEmpty()) {
            text.replace(output->temporaryPath(), output->targetPath());
        }
        return text;
    }
    return thrown;
}

std::unique_ptr<CardArchive> BatchRun::openArchive(const BatchOptions &options) {
    try {
        if (!options.archivio.isEmpty()) {
            return std::make_unique<CardArchive>(options.archivio);
        }
        return m_archiveFolders.isEmpty() ? ArchiveSearch::open()
                                          : ArchiveSearch::open(m_archiveFolders);
    } catch (const VelmoraError &error) {
        fail(error.description());
        return nullptr;
    }
}

QStringList BatchRun::archivePlaces(const BatchOptions &options) const {
    QStringList places = m_archiveFolders.isEmpty() ? ArchiveSearch::folders() : m_archiveFolders;
    if (!options.archivio.isEmpty()) {
        places.prepend(options.archivio);
    }
    return places;
}

int BatchRun::exec(const BatchOptions &options) {
    switch (options.mode) {
    case BatchOptions::Mode::Help:
        m_out << BatchOptions::helpText();
        m_out.flush();
        return BatchOptions::exitOk;
    case BatchOptions::Mode::Version:
        m_out << BatchOptions::versionText();
        m_out.flush();
        return BatchOptions::exitOk;
    case BatchOptions::Mode::Verify:
        return verify(options);
    case BatchOptions::Mode::Register:
        return RegisterCommands::exec(*options.registro, m_out, m_err,
                                      RegisterDatabase::defaultPath());
    case BatchOptions::Mode::Evening: {
        // Putting cards in play writes: it waits for the register; the list only reads it.
        std::unique_ptr<RegisterLock> lock;
        if (options.serata->kind == EveningQuery::Kind::Sell && !(lock = holdRegister())) {
            return BatchOptions::exitFailed;
        }
        return EveningCommands::exec(*options.serata, m_out, m_err,
                                     RegisterDatabase::defaultPath());
    }
    case BatchOptions::Mode::Verbale:
        return verbale(options);
    case BatchOptions::Mode::Wins:
        if (WinCheckCommand::ofRegister(options)) {
            return WinCheckCommand::runOfRegister(options, archivePlaces(options), m_out, m_err);
        }
        if (const std::unique_ptr<CardArchive> archive = openArchive(options)) {
            return WinCheckCommand::run(options, *archive, m_out, m_err);
        }
        return BatchOptions::exitFailed;
    case BatchOptions::Mode::Print:
        break;
    }
    // A print writes its run in the register: it waits for it.
    const std::unique_ptr<RegisterLock> lock = holdRegister();
    return lock ? print(options) : BatchOptions::exitFailed;
}

int BatchRun::verbale(const BatchOptions &options) {
    // The settings are not read: the record is the register's alone. Their file is only kept
    // from being written over.
    return VerbaleCommands::exec(*options.verbale, settingsPathFor(options), m_out, m_err,
                                 RegisterDatabase::defaultPath());
}

int BatchRun::print(const BatchOptions &options) {
    QElapsedTimer clock;
    clock.start();
    m_figures = {};

    Configurazione settings;
    QString error;
    QString notice;
    if (!loadSettings(options.configurazione, settingsPathFor(options), &settings, &error,
                      &notice)) {
        fail(error);
        return BatchOptions::exitFailed;
    }
    if (!notice.isEmpty()) {
        fail(notice);
    }

    // The choices the print page would start with: the stored orientation (any value but 0
    // leaves the portrait option chosen) and the stored first card, held under its limit.
    const bool landscape = options.landscape.value_or(settings.Orientamento == 0);
    QString firstText = QString::number(settings.PrimaCartella);
    if (const auto limited = PrintRange::limitedFirstCard(firstText)) {
        firstText = *limited;
    }
    if (options.prima) {
        firstText = *options.prima;
    } else if (settings.PrimaCartella < 0) {
        // Only a damaged file holds such a first card: say which file, and how to go on.
        fail(QStringLiteral("La prima cartella salvata nel file di configurazione \"%1\" è %2, "
                            "che non è un numero di cartella: indicare la prima cartella con "
                            "--prima.")
                 .arg(QDir::toNativeSeparators(settingsPathFor(options)))
                 .arg(settings.PrimaCartella));
        return BatchOptions::exitFailed;
    }
    const bool archiveNumbers = options.numerazione == BatchOptions::Numbering::Archivio;
    RunPreparation prepared = RunPreparation::prepare(
        {firstText, options.cartelle.value_or(QString()), landscape, archiveNumbers}, settings,
        {options.archivio, m_archiveFolders, RunCheck::Place::SettingsFile,
         settingsPathFor(options)});
    if (prepared.refused()) {
        fail(prepared.kind() == RunPreparation::Kind::NothingToPrint
                 ? QStringLiteral("Nessuna cartella da stampare.")
                 : prepared.refusal());
        return BatchOptions::exitFailed;
    }
    if (!prepared.standIns().isEmpty()) {
        m_err << RunCheck::standInNotice(prepared.standIns()) << '\n';
    }
    if (!prepared.sizeNotice().isEmpty()) {
        m_err << prepared.sizeNotice() << '\n';
    }
    const PrintPlan &plan = prepared.plan();
    const std::unique_ptr<CardArchive> archive = prepared.takeArchive();

    std::unique_ptr<SafeOutput> output;
    std::unique_ptr<PageTarget> target;
    if (!options.output.isEmpty()) {
        output = openOutput(options, *archive, &error);
        if (!output) {
            fail(error);
            return BatchOptions::exitFailed;
        }
        target = m_pdfTarget(output->temporaryPath());
        target->setSheetCentring(options.centred);
    } else {
        if (m_printerTarget) {
            target = m_printerTarget(options.stampante, &error);
        } else {
            error = QStringLiteral("La stampa su stampante non è disponibile.");
        }
        if (!target) {
            fail(error);
            return BatchOptions::exitFailed;
        }
    }

    PainterSurface surface(*target);
    StopOnFailure failures;
    ProgressBar bar(m_err);
    bool interrupted = false;

    PrintRun::Hooks hooks;
    // Nothing is drawn of a run that does not finish: the document is abandoned here, so a
    // printer gets no partial job, and the PDF's temporary file goes.
    hooks.stopRequested = [&] {
        if (!stopRequested() && !failures.failed()) {
            return false;
        }
        interrupted = !failures.failed();
        surface.killDoc();
        return true;
    };
    hooks.progress = [&](int done, int total) {
        if (m_progressBar) {
            bar.update(done, total);
        }
        if (m_cardHook) {
            m_cardHook(done, total);
        }
    };

    hooks.areaNotice = [this](const QString &notice) {
        m_err << programName << ": " << notice << '\n';
        m_err.flush();
    };

    PrintRun run(surface, *archive, settings, archiveNumbers);
    makeFingerprint(archive->path(), m_err, m_progressBar);
    RunRegistration registration(runEntry(programName, *archive, plan,
                                          options.cartelle.value_or(QString()), archiveNumbers,
                                          !output ? target->description()
                                          : SafeOutput::isStandardOutput(options.output)
                                              ? QStringLiteral("standard output")
                                              : RunRecord::fileDestination(output->shownName())));
    const auto registered = [&](RunRecord::Outcome ended, bool delivered) {
        registration.finish(ended, run.cardsDrawn(), delivered);
        // The program ends with its one run: an end the register kept out waits no longer.
        for (const QString &notice : registration.notices() + RunRegistration::completeWaiting()) {
            m_err << notice << '\n';
        }
    };
    PrintRun::Outcome outcome = PrintRun::Outcome::Empty;
    try {
        outcome = run.run(plan, hooks);
    } catch (const VelmoraError &thrown) {
        // Asked before the document is dropped, which may free the space it took.
        error = runFailure(thrown.description(), output.get());
        try {
            surface.killDoc();
        } catch (const VelmoraError &) {
        }
    }
    bar.finish();
    m_figures.cards = run.cardsDrawn();
    m_figures.pages = (run.cardsDrawn() + plan.cardsPerPage - 1) / plan.cardsPerPage;

    // A drawing that failed may still have been the last card: the run is no good either way.
    if (failures.failed()) {
        fail(QStringLiteral("Errore nel disegno della %1: la stampa è stata fermata e "
                            "nessuna pagina è stata %2.")
                 .arg(failedCard(*archive, plan, run.cardsDrawn(), archiveNumbers),
                      output ? QStringLiteral("scritta") : QStringLiteral("stampata")));
        // The error window's report follows, as the one who reads it for the cause needs it.
        m_err << failures.report() << '\n';
        registered(RunRecord::Outcome::Failed, false);
        return BatchOptions::exitFailed;
    }
    if (!error.isEmpty()) {
        fail(QStringLiteral("La stampa non è riuscita: %1").arg(Sentence::clause(error)));
        registered(RunRecord::Outcome::Failed, false);
        return BatchOptions::exitFailed;
    }
    if (interrupted || outcome == PrintRun::Outcome::Stopped) {
        registered(RunRecord::Outcome::Stopped, false);
        fail(QStringLiteral("Stampa interrotta dopo %1: %2.")
                 .arg(cardsText(run.cardsDrawn()),
                      output ? QStringLiteral("nessun file scritto")
                             : QStringLiteral("nessuna pagina inviata alla stampante")));
        return BatchOptions::exitFailed;
    }
    if (output && !output->commitPdf(&error)) {
        fail(error);
        registered(RunRecord::Outcome::Failed, false);
        return BatchOptions::exitFailed;
    }
    registered(RunRecord::Outcome::Completed, true);
    m_figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    m_err << QStringLiteral("Stampate %1 su %2 in %3 secondi: %4, %5.\n")
                 .arg(cardsText(m_figures.cards), pagesText(m_figures.pages),
                      seconds(m_figures.seconds),
                      output ? output->shownName() : target->description(), archiveText(*archive));
    m_err.flush();
    return BatchOptions::exitOk;
}

int BatchRun::verify(const BatchOptions &options) {
    const std::unique_ptr<CardArchive> archive = openArchive(options);
    if (!archive) {
        return BatchOptions::exitFailed;
    }
    // The texts are digits by now; only their size can be wrong.
    bool ok = true;
    const qint64 first = options.prima ? std::max<qint64>(options.prima->toLongLong(&ok), 1) : 1;
    std::optional<qint64> count;
    if (ok && options.cartelle) {
        count = options.cartelle->toLongLong(&ok);
    }
    if (!ok) {
        fail(QStringLiteral("--prima e --cartelle vogliono numeri di cartella, non numeri di "
                            "tante cifre."));
        return BatchOptions::exitUsage;
    }
    VerificaArchivio::Report report;
    try {
        report = VerificaArchivio::check(*archive, first, count, [] { return stopRequested(); });
    } catch (const VelmoraError &error) {
        fail(error.description());
        return BatchOptions::exitFailed;
    }
    for (const QString &line : report.lines()) {
        m_out << line << '\n';
    }
    m_out << report.summary() << '\n';
    m_out.flush();
    return report.sound() ? BatchOptions::exitOk : BatchOptions::exitFailed;
}

} // namespace velmora
