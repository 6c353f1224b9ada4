#include "app/PrintCommands.h"

#include "app/CommandButton.h"
#include "app/EveningPrintCheck.h"
#include "app/PrintPage.h"
#include "app/SalvaPdf.h"
#include "appearance/clsPrintDialog.h"
#include "common/Twips.h"
#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"
#include "print/AnteprimaStampa.h"
#include "print/ArchiveSearch.h"
#include "print/CurrentPrinter.h"
#include "print/PreviewPages.h"
#include "print/PrinterTarget.h"
#include "print/RunPreparation.h"
#include "print/StampaCartelle.h"
#include "register/RegistroStampe.h"
#include "ui/qbButtons_H.h"

#include <QFileInfo>

namespace velmora {
namespace {

// "Registro stampe" shares the row at the page's foot with the main window's commands.
constexpr int registroWidth = 1650;
// The preview and PDF commands, as tall as the navigation buttons.
constexpr int commandWidth = 1215, commandHeight = 375;

// The printer dialog of the print command: no print to file, no page range, no selection.
constexpr qint32 printDialogFlags = 0x8000C;
constexpr int portraitOrientation = 1, landscapeOrientation = 2; // as the printer numbers them
constexpr qint16 printDialogMin = 1, printDialogFrom = 3, printDialogTo = 5, printDialogMax = 100;

} // namespace

PrintCommands::PrintCommands(QWidget &mainWindow, PrintPage &page, Configurazione &settings,
                             std::function<MessagePresenter &()> presenter)
    : m_mainWindow(mainWindow), m_page(page), m_settings(settings),
      m_presenter(std::move(presenter)) {
    addButtons();
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::addButtons() {
    const QColor face = m_mainWindow.palette().color(QPalette::Window);
    // Every run printed is in the register: the window that lists them opens from here.
    auto *registro =
        CommandButton::make(&m_page, QStringLiteral("cmdRegistro"),
                            QStringLiteral("&Registro stampe"), face, m_mainWindow.font());
    registro->setFixedSize(Twips::size(registroWidth, rowCommandHeight));
    m_page.addCommand(registro);
    QObject::connect(registro, &qbButtons_H::Click, registro, [this] { mostraRegistro(); });

    m_salvaPdf = std::make_unique<SalvaPdf>(m_mainWindow, m_page, m_settings);
    struct Command {
        const char *name;
        const char *caption;
        const char *accessible;
        void (PrintCommands::*action)();
    };
    const Command commands[] = {
        {"cmdAnteprima", "Ante&prima", "Anteprima di stampa", &PrintCommands::anteprima},
        {"cmdSalvaPdf", "&Salva PDF…", "Salva le cartelle in un file PDF",
         &PrintCommands::salvaPdf},
    };
    for (const Command &command : commands) {
        qbButtons_H *button =
            CommandButton::make(&m_page, QLatin1String(command.name),
                                QString::fromUtf8(command.caption), face, m_mainWindow.font());
        button->setAccessibleName(QString::fromUtf8(command.accessible));
        button->setFixedSize(Twips::size(commandWidth, commandHeight));
        m_page.addPageCommand(button);
        QObject::connect(button, &qbButtons_H::Click, button,
                         [this, action = command.action] { (this->*action)(); });
    }
}

void PrintCommands::mostraRegistro() {
    // No register yet is no run printed: the window lists none.
    std::unique_ptr<RegisterDatabase> database;
    if (QFileInfo::exists(RegisterDatabase::defaultPath()) &&
        !(database = RegisterDatabase::openTelling(&m_mainWindow, m_presenter()))) {
        return;
    }
    RegistroStampe::mostra(&m_mainWindow, m_presenter(), ArchiveSearch::locate(),
                           database ? database->connection() : QSqlDatabase());
}

void PrintCommands::printCommand() {
    if (m_printAction) {
        m_printAction();
    } else {
        stampa();
    }
}

void PrintCommands::anteprima() {
    QString refusal;
    const PrinterTarget &printer = CurrentPrinter::target();
    std::unique_ptr<PreviewPages> pages = PreviewPages::open(
        m_page.request(), m_settings, printer.pageLayout(), {}, &refusal, printer.centresSheet());
    if (!pages) {
        m_presenter().avviso(&m_mainWindow, refusal);
        return;
    }
    AnteprimaStampa preview(std::move(pages), &m_mainWindow);
    if (preview.exec() == AnteprimaStampa::Stampa) {
        printCommand();
    }
}

void PrintCommands::salvaPdf() {
    m_salvaPdf->run(m_presenter());
    proposeFirstCard();
}

void PrintCommands::proposeFirstCard() {
    // After a restart too: the register knows what this evening printed.
    if (const std::optional<int> next = EveningPrintCheck::proposedFirstCard()) {
        m_page.proposeFirstCard(*next);
    }
}

void PrintCommands::stampa() {
    try {
        // A run that would be refused is refused before the printer dialog asks anything.
        if (const RunPreparation ready = RunPreparation::prepare(m_page.request(), m_settings, {});
            ready.refused()) {
            m_presenter().avviso(&m_mainWindow, ready.refusal());
            return;
        }
        // The dialog opens on the page's orientation; one chosen in it becomes the page's.
        PrinterTarget &printer = CurrentPrinter::target();
        const bool landscape = m_page.cardsPerPage() == PrintRange::landscapeCardsPerPage;
        try {
            printer.setOrientation(landscape ? landscapeOrientation : portraitOrientation);
        } catch (const VelmoraError &) {
            // a printer without that orientation: the dialog opens on its own
        }
        clsPrintDialog dialog(printer, &m_mainWindow);
        dialog.Flags = printDialogFlags;
        dialog.setMin(printDialogMin);
        dialog.setFromPage(printDialogFrom);
        dialog.setToPage(printDialogTo);
        dialog.setMax(printDialogMax);
        if (!dialog.ShowPrinter()) {
            return;
        }
        m_page.setLandscape(printer.orientation() == landscapeOrientation);
        // Asked once the orientation is final: it decides how far the last page is filled.
        const PrintRequest request = m_page.request();
        QString unused;
        if (const std::optional<PrintPlan> plan = PrintPlan::make(
                request.primaCartella, request.nCartelle, request.landscape, &unused);
            plan && !EveningPrintCheck::mayPrint(&m_mainWindow, m_presenter(), *plan,
                                                 request.numerazioneArchivio)) {
            return;
        }
        StampaCartelle run(m_mainWindow, request, m_settings, m_presenter(),
                           CurrentPrinter::surface(), RunRegistration::opener());
        run.run();
        proposeFirstCard();
    } catch (const VelmoraError &error) {
        m_presenter().avviso(&m_mainWindow, error.description());
    }
}

} // namespace velmora
