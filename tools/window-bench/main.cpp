// Prints N cards through the main window's print run to a PDF and exits: the print page filled
// in, the main window disabled, the stop window shown with its progress, events let through
// once per card. Time it from outside beside velmora-pdf with the same choices.
// Usage: velmora-window-bench --cartelle N [--prima N] [--verticale] [--archivio-numeri]
//        [--archivio CARTELLA] [--configurazione FILE] -o FILE.pdf

#include "app/PrintPage.h"
#include "batch/BatchRun.h"
#include "errors/MessagePresenter.h"
#include "evening/RunRegistration.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterTarget.h"
#include "print/StampaCartelle.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextStream>
#include <QTimer>

namespace {

// No one to answer: the messages go to the error stream (the quality notice among them).
class StreamPresenter : public velmora::MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override {
        QTextStream(stderr) << "avviso: " << text << '\n';
    }
    bool conferma(QWidget *, const QString &text) override {
        QTextStream(stderr) << "conferma (no): " << text << '\n';
        return false;
    }
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));

    QCommandLineParser parser;
    const QCommandLineOption cartelle(QStringLiteral("cartelle"), {}, QStringLiteral("N"));
    const QCommandLineOption prima(QStringLiteral("prima"), {}, QStringLiteral("N"),
                                   QStringLiteral("1"));
    const QCommandLineOption verticale(QStringLiteral("verticale"));
    const QCommandLineOption numeri(QStringLiteral("archivio-numeri"));
    const QCommandLineOption archivio(QStringLiteral("archivio"), {}, QStringLiteral("DIR"));
    const QCommandLineOption configurazione(QStringLiteral("configurazione"), {},
                                            QStringLiteral("FILE"));
    const QCommandLineOption output(QStringList{QStringLiteral("o")}, {}, QStringLiteral("PDF"));
    parser.addOptions({cartelle, prima, verticale, numeri, archivio, configurazione, output});
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.isSet(cartelle) ||
        !parser.isSet(output)) {
        err << "Uso: velmora-window-bench --cartelle N [--prima N] [--verticale] "
               "[--archivio-numeri] [--archivio CARTELLA] [--configurazione FILE] -o FILE.pdf\n";
        return 2;
    }

    // The settings as velmora-pdf reads them: the named file, or the default one, or defaults.
    velmora::Configurazione settings;
    QString error;
    if (!velmora::BatchRun::loadSettings(parser.value(configurazione),
                                         velmora::SettingsFile::defaultPath(), &settings, &error)) {
        err << error << '\n';
        return 1;
    }

    QWidget mainWindow;
    auto *page = new velmora::PrintPage(settings, &mainWindow);
    page->applySettings();
    page->findChild<QRadioButton *>(parser.isSet(verticale) ? QStringLiteral("optOrientamento(1)")
                                                            : QStringLiteral("optOrientamento(0)"))
        ->click();
    page->findChild<QRadioButton *>(parser.isSet(numeri) ? QStringLiteral("NumCartella(1)")
                                                         : QStringLiteral("NumCartella(0)"))
        ->click();
    page->box(velmora::PrintBox::PrimaCartella)->setText(parser.value(prima));
    page->box(velmora::PrintBox::NCartelle)->setText(parser.value(cartelle));
    mainWindow.show();

    velmora::CurrentPrinter::target().selectPdfFile(parser.value(output));
    StreamPresenter messages;
    velmora::StampaCartelle run(mainWindow, page->request(), settings, messages,
                                velmora::CurrentPrinter::surface(),
                                velmora::RunRegistration::opener());
    if (parser.isSet(archivio)) {
        run.setArchiveFolders({parser.value(archivio)});
    }
    // Started from the event loop, as the Stampa button starts it.
    int status = 1;
    QTimer::singleShot(0, &app, [&] {
        status = run.run() == velmora::StampaCartelle::Result::Completed ? 0 : 1;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    return status;
}
