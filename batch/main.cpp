// velmora-pdf: prints a run of cards to a PDF file or a printer without opening a window, or
// checks the card archive. The same settings, archive and drawing as the window program.

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "errors/VelmoraError.h"
#include "print/PrinterTarget.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

void onSignal(int) {
    velmora::BatchRun::requestStop();
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored when the program starts (nohup, a shell's background job) stays
        // ignored, so a run started to outlive its terminal does.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
}

// A printer target for the named printer (through the same printer layer as the print dialog).
std::unique_ptr<velmora::PageTarget> printerTarget(const QString &name, QString *error) {
    auto target = std::make_unique<velmora::PrinterTarget>();
    if (!target->selectPrinter(name)) {
        const QStringList installed = velmora::PrinterTarget::installedPrinters();
        *error = installed.isEmpty()
                     ? QStringLiteral("la stampante \"%1\" non è installata, e non ce n'è "
                                      "nessuna.")
                           .arg(name)
                     : QStringLiteral("la stampante \"%1\" non è installata. Stampanti "
                                      "installate: %2.")
                           .arg(name, installed.join(QStringLiteral(", ")));
        return nullptr;
    }
    return target;
}

// A PDF file written as the window program writes one when asked to print to a file: the same
// printer object in its PDF mode, so the page and its margins are the same.
std::unique_ptr<velmora::PageTarget> pdfTarget(const QString &file) {
    auto target = std::make_unique<velmora::PrinterTarget>();
    target->selectPdfFile(file);
    return target;
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const velmora::BatchParsed parsed = velmora::BatchOptions::parse(arguments);
    // No window is ever shown: draw off screen unless --piattaforma says otherwise, so that an
    // environment set for windows (no display, another platform) cannot stop the run.
    qputenv("QT_QPA_PLATFORM", velmora::BatchOptions::platform(parsed));
    QGuiApplication app(argc, argv);
    // The same name as the window program: the same settings file and archive folders.
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parsed.options) {
        err << "velmora-pdf: " << parsed.error << '\n' << "Per l'aiuto: velmora-pdf --help\n";
        return velmora::BatchOptions::exitUsage;
    }

    catchStopSignals();
    velmora::BatchRun run(out, err);
    run.setPdfTargetFactory(pdfTarget);
    run.setPrinterTargetFactory(printerTarget);
    run.setProgressBar(::isatty(STDERR_FILENO) == 1);
    try {
        return run.exec(*parsed.options);
    } catch (const velmora::VelmoraError &error) {
        err << "velmora-pdf: " << error.description() << '\n';
    } catch (const std::exception &error) {
        err << "velmora-pdf: errore inatteso: " << error.what() << '\n';
    }
    return velmora::BatchOptions::exitFailed;
}
