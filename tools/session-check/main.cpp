// A whole session of the main window, driven from its own event loop: start-up on an archive,
// a walk of the pages, a recolour of the card number, a print run of 12 cards to a PDF, then
// Esci. Exits 0 when every step did what it should; says which step failed otherwise.

#include "app/Form1.h"
#include "app/PrintPage.h"
#include "appearance/CardPicture.h"
#include "appearance/PartSelection.h"
#include "appearance/ShowColor.h"
#include "errors/MessagePresenter.h"
#include "evening/RunRegistration.h"
#include "print/CardArchive.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterTarget.h"
#include "print/SeriesGenerator.h"
#include "print/StampaCartelle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace velmora;

namespace {

constexpr int archiveCards = 60;
constexpr qint32 recolour = 0x0000C0; // dark red, as 0x00BBGGRR

class CollectingPresenter : public MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override { said.append(text); }
    bool conferma(QWidget *, const QString &) override { return false; }
    QStringList said;
};

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QTemporaryDir dir;
    const QString archiveFolder = dir.filePath(QStringLiteral("archivio"));
    QDir().mkpath(archiveFolder);
    QFile archive(QDir(archiveFolder).filePath(CardArchive::fileName));
    if (!archive.open(QIODevice::WriteOnly) ||
        archive.write(SeriesGenerator::makeArchive(archiveCards, 5)) < 0) {
        err << "archivio di prova non scritto\n";
        return 2;
    }
    archive.close();
    const QString pdf = dir.filePath(QStringLiteral("sessione.pdf"));

    QStringList failures;
    const auto check = [&failures](bool ok, const char *step) {
        if (!ok) {
            failures.append(QString::fromUtf8(step));
        }
    };
    CollectingPresenter messages;
    int result = 1;
    {
        Form1 window;
        window.setSettingsPath(dir.filePath(QStringLiteral("vel.cnf")));
        window.setMessagePresenter(&messages);
        StampaCartelle::Result printed = StampaCartelle::Result::Failed;
        window.setPrintAction([&] {
            CurrentPrinter::target().selectPdfFile(pdf);
            StampaCartelle run(window, window.printPage()->request(), window.settings(), messages,
                               CurrentPrinter::surface(), RunRegistration::opener());
            run.setArchiveFolders({archiveFolder});
            printed = run.run();
        });
        if (!window.avvio(archiveFolder)) {
            err << "avvio non riuscito: " << messages.said.join(u'\n') << '\n';
            return 2;
        }
        QTimer::singleShot(0, &window, [&] {
            // Forward to page 4 and back to page 2, where the colours are.
            for (int step = 0; step < 3; ++step) {
                window.cmdNav_Click(3);
            }
            check(window.pagina() == 4, "avanti fino a pagina 4");
            window.cmdNav_Click(2);
            window.cmdNav_Click(2);
            check(window.pagina() == 2, "indietro fino a pagina 2");
            PartSelection *parts = window.partSelection();
            parts->setSceltaColore([](QWidget *, QWidget *target) {
                SetForeColor(target, recolour);
                return true;
            });
            QLabel *number = window.picCartella(0)->lblNumeroCartella();
            parts->punta(number);
            parts->lbColor_Click(); // as a click on a part does
            check(PartSelection::coloreDi(number, RuoloColore::Testo) == recolour,
                  "colore del numero di cartella");
            window.cmdNav_Click(3);
            window.cmdNav_Click(3);
            check(window.pagina() == 4, "di nuovo a pagina 4");
            PrintPage *page = window.printPage();
            page->findChild<QRadioButton *>(QStringLiteral("optOrientamento(0)"))->click();
            page->box(PrintBox::PrimaCartella)->setText(QStringLiteral("1"));
            page->box(PrintBox::NCartelle)->setText(QStringLiteral("12"));
            window.cmdNav_Click(3); // Stampa
            check(printed == StampaCartelle::Result::Completed, "stampa di 12 cartelle");
            check(QFile(pdf).size() > 0, "file PDF scritto");
            window.cmdNav_Click(1); // Esci
            check(!window.isVisible(), "Esci chiude la finestra");
        });
        result = app.exec();
    }
    for (const QString &message : messages.said) {
        if (!message.startsWith(QStringLiteral("Printer.PrintQuality ="))) {
            failures.append(QStringLiteral("messaggio: ") + message);
        }
    }
    if (result != 0 || !failures.isEmpty()) {
        err << "sessione non riuscita: " << failures.join(QStringLiteral("; ")) << '\n';
        return 1;
    }
    err << "sessione completa: avvio, pagine, colore, 12 cartelle in PDF, Esci\n";
    return 0;
}
