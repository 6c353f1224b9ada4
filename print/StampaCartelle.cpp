#include "print/StampaCartelle.h"

#include "errors/ErrorPresenter.h"
#include "errors/MessagePresenter.h"
#include "errors/MsgErrorPresenter.h"
#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"
#include "print/CancStampa.h"
#include "print/CardArchive.h"
#include "print/PainterSurface.h"
#include "print/PrintRun.h"
#include "print/PrinterSurface.h"
#include "print/RunCheck.h"
#include "print/RunEntry.h"
#include "print/RunPreparation.h"
#include "print/ScreenPointer.h"
#include "register/ArchiveFingerprint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>

namespace velmora {
namespace {

const QString runFailed = QStringLiteral("La stampa si è interrotta: %1\n%2");
const QString pagesHandedOn = QStringLiteral("Le pagine già completate sono state stampate.");
const QString nothingHandedOn = QStringLiteral("Nessuna cartella è stata stampata.");
const QString retryQuestion =
    QStringLiteral("La stessa cartella non si stampa dopo %1 tentativi di fila.\n"
                   "Interrompere la stampa?");

// The archive's fingerprint for the register, made on a thread of its own so that the window
// keeps answering while a large archive is read; a progress window shows once it takes longer
// than half a second. The run's register entry then finds it made.
void makeFingerprint(QWidget &parent, const QString &path) {
    constexpr int shownAfterMs = 500;
    constexpr int pollMs = 100;
    if (ArchiveFingerprint::known(path)) {
        return;
    }
    std::atomic<int> percent = 0;
    const std::unique_ptr<QThread> reader(QThread::create([&path, &percent] {
        ArchiveFingerprint::of(path, [&percent](qint64 done, qint64 total) {
            percent = total > 0 ? int(done * 100 / total) : 100;
        });
    }));
    QProgressDialog progress(QStringLiteral("Lettura dell'archivio delle cartelle…"), QString(), 0,
                             100, &parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(shownAfterMs);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress,
                     [&progress, &percent] { progress.setValue(percent); });
    QEventLoop loop;
    QObject::connect(reader.get(), &QThread::finished, &loop, &QEventLoop::quit);
    poll.start(pollMs);
    reader->start();
    loop.exec();
    reader->wait();
}

// Whatever a failing printer leaves open, the document is closed: its finished pages are
// handed on, or, when even that fails, it is abandoned.
void closeDocument(PrinterSurface &surface) {
    if (!surface.documentOpen()) {
        return;
    }
    try {
        surface.endDoc();
    } catch (const VelmoraError &) {
        try {
            surface.killDoc();
        } catch (const VelmoraError &) {
        }
    }
}

// The main window is disabled during a run, but the window manager's close box still reaches
// it: it must not go away under the run, so its closing waits until the run is over.
class KeepOpen : public QObject {
public:
    explicit KeepOpen(QWidget &window) : m_window(window) { m_window.installEventFilter(this); }
    ~KeepOpen() override { m_window.removeEventFilter(this); }
    KeepOpen(const KeepOpen &) = delete;
    KeepOpen &operator=(const KeepOpen &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_window && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget &m_window;
};

// The answers to the error window during a run. The stop button wins: a stop pressed while the
// window is open is kept, the card is left whatever the answer, and the run ends before the
// next card; a report that arrives with a stop pending is not shown. "Riprova" answered to the
// same card's fault again and again offers to stop the run.
class RunAnswers : public ErrorPresenter {
public:
    static constexpr int retriesBeforeAsking = 3;

    RunAnswers(CancStampa &stopWindow, MessagePresenter &messages, QWidget &mainWindow)
        : m_stopWindow(stopWindow), m_messages(messages), m_mainWindow(mainWindow),
          m_inner(ErrorPresenter::install(this)),
          m_window(dynamic_cast<MsgErrorPresenter *>(m_inner)) {
        if (m_window != nullptr) {
            m_window->setDuringRun(true);
            m_stopped = QObject::connect(&m_stopWindow, &CancStampa::unloaded, &m_stopWindow,
                                         [this] { m_window->setStopPending(true); });
        }
    }
    ~RunAnswers() override {
        ErrorPresenter::install(m_inner);
        QObject::disconnect(m_stopped);
        if (m_window != nullptr) {
            m_window->setDuringRun(false);
            m_window->setStopPending(false);
        }
    }
    RunAnswers(const RunAnswers &) = delete;
    RunAnswers &operator=(const RunAnswers &) = delete;

    // The card in progress, counted from 1 in the run.
    void setCard(int card) { m_card = card; }

    int showReport(const QString &report) override {
        if (stopPending() || m_inner == nullptr) {
            return IDABORT;
        }
        const int answer = m_inner->showReport(report);
        if (stopPending()) {
            return IDABORT;
        }
        if (answer != IDRETRY) {
            m_retries = 0;
            return answer;
        }
        const bool same = m_retries > 0 && m_retriedCard == m_card && m_retriedReport == report;
        m_retries = same ? m_retries + 1 : 1;
        m_retriedCard = m_card;
        m_retriedReport = report;
        if (m_retries >= retriesBeforeAsking) {
            m_retries = 0; // asked again after as many more
            if (m_messages.conferma(&m_mainWindow, retryQuestion.arg(retriesBeforeAsking))) {
                m_stopWindow.unload();
                return IDABORT;
            }
        }
        return answer;
    }

private:
    bool stopPending() const { return !m_stopWindow.isLoaded(); }

    CancStampa &m_stopWindow;
    MessagePresenter &m_messages;
    QWidget &m_mainWindow;
    ErrorPresenter *m_inner;
    MsgErrorPresenter *m_window;
    QMetaObject::Connection m_stopped;
    int m_card = 0;
    int m_retries = 0;
    int m_retriedCard = 0;
    QString m_retriedReport;
};

} // namespace

StampaCartelle::StampaCartelle(QWidget &mainWindow, const PrintRequest &request,
                               const Configurazione &settings, MessagePresenter &messages,
                               PrinterSurface &surface, RunJournal::Opener journal)
    : m_mainWindow(mainWindow), m_request(request), m_settings(settings), m_messages(messages),
      m_surface(surface), m_journal(std::move(journal)) {}

StampaCartelle::Result StampaCartelle::run() {
    // A run that cannot be printed is refused before anything reaches the printer.
    RunPreparation prepared =
        RunPreparation::prepare(m_request, m_settings, {.archiveFolders = m_archiveFolders});
    if (prepared.refused()) {
        m_messages.avviso(&m_mainWindow, prepared.refusal());
        switch (prepared.kind()) {
        case RunPreparation::Kind::NothingToPrint:
            return Result::NothingToPrint;
        case RunPreparation::Kind::NoArchive:
            return Result::NoArchive;
        default:
            return Result::Refused;
        }
    }
    return print(prepared);
}

StampaCartelle::Result StampaCartelle::print(RunPreparation &prepared) {
    if (prepared.kind() != RunPreparation::Kind::Ready) {
        return Result::Failed; // nothing ready to print from
    }
    const PrintRequest &request = prepared.request();
    const PrintPlan &plan = prepared.plan();
    std::unique_ptr<CardArchive> archive = prepared.takeArchive();
    if (!prepared.standIns().isEmpty()) {
        m_messages.avviso(&m_mainWindow, RunCheck::standInNotice(prepared.standIns()));
    }
    if (!prepared.sizeNotice().isEmpty()) {
        m_messages.avviso(&m_mainWindow, prepared.sizeNotice());
    }

    const KeepOpen keepOpen(m_mainWindow);
    m_mainWindow.setCursor(Qt::WaitCursor);
    m_mainWindow.setEnabled(false);
    CancStampa window(&m_mainWindow);
    m_stopWindow = &window;
    window.mostra();

    PrintRun::Hooks hooks;
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    hooks.stopRequested = [&window] { return !window.isLoaded(); };
    RunAnswers answers(window, m_messages, m_mainWindow);
    answers.setCard(1);
    hooks.progress = [this, &window, &answers](int done, int total) {
        answers.setCard(done + 1);
        window.setProgress(done, total);
        emit cartellaStampata(done, total);
    };
    hooks.qualityNotice = [this, &window](int dpi) {
        m_messages.avviso(&window, PrintRun::qualityMessage(dpi));
    };
    hooks.busyPointer = [](bool busy) { ScreenPointer::setBusy(busy); };
    hooks.areaNotice = [this, &window](const QString &notice) {
        m_messages.avviso(&window, notice);
    };

    Result result = Result::Failed;
    QString failure;
    PrintRun printRun(m_surface, *archive, m_settings, request.numerazioneArchivio);
    const auto *painter = dynamic_cast<const PainterSurface *>(&m_surface);
    makeFingerprint(window, archive->path());
    const std::unique_ptr<RunJournal> registration = m_journal(runEntry(
        QStringLiteral("velmora"), *archive, plan, request.nCartelle, request.numerazioneArchivio,
        !m_destination.isEmpty() ? m_destination
        : painter                ? painter->target().description()
                                 : QString()));
    try {
        switch (printRun.run(plan, hooks)) {
        case PrintRun::Outcome::Completed:
            result = Result::Completed;
            break;
        case PrintRun::Outcome::Stopped:
            result = Result::Stopped;
            break;
        case PrintRun::Outcome::Empty:
            result = Result::NothingToPrint;
            break;
        }
    } catch (const VelmoraError &error) {
        failure = error.description();
        closeDocument(m_surface);
    }
    // A document that is a draft until put in place is delivered only once it is there.
    bool delivered = printRun.documentHandedOn();
    if (m_deliver) {
        delivered = result == Result::Completed && m_deliver();
    }
    registration->finish(result == Result::Completed ? (delivered ? RunRecord::Outcome::Completed
                                                                  : RunRecord::Outcome::Failed)
                         : failure.isEmpty()         ? RunRecord::Outcome::Stopped
                                                     : RunRecord::Outcome::Failed,
                         printRun.cardsDrawn(), delivered);
    const QString source = u'\n' + ArchiveSearch::describe(*archive);
    archive.reset();
    window.unload();
    m_stopWindow = nullptr;
    ScreenPointer::setBusy(false);
    m_mainWindow.unsetCursor();
    if (!failure.isEmpty()) {
        m_messages.avviso(
            &m_mainWindow,
            runFailed.arg(failure, printRun.documentHandedOn() ? pagesHandedOn : nothingHandedOn) +
                source);
    } else if (printRun.documentHandedOn()) {
        if (const QString notice = m_surface.afterDocumentNotice(); !notice.isEmpty()) {
            m_messages.avviso(&m_mainWindow, notice + source);
        }
    }
    for (const QString &notice : registration->notices()) {
        m_messages.avviso(&m_mainWindow, notice);
    }
    return result;
}

} // namespace velmora
