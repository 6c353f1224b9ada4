// velmora-pdf: prints a run of cards to a PDF file or a printer without opening a window, or
// checks the card archive. The same settings, archive and drawing as the window program.

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "common/Sentence.h"
#include "common/ShownText.h"
#include "errors/VelmoraError.h"
#include "print/PrinterTarget.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <new>
#include <optional>
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

// The platform asked for while the application starts: when Qt cannot load it, it ends the
// process with a fatal message in English; it is said in our words with the usage status.
QByteArray startingPlatform;

void onStartupMessage(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtFatalMsg) {
        return; // Qt's own warnings about the platform are summed up by the fatal one
    }
    static const QRegularExpression available(
        QStringLiteral("Available platform plugins are: ([^.\\n]*)"));
    const QRegularExpressionMatch known = available.match(message);
    QString line = QStringLiteral("velmora-pdf: La piattaforma grafica \"%1\" non si può usare")
                       .arg(velmora::ShownText::fromBytes(startingPlatform));
    if (known.hasMatch()) {
        line += QStringLiteral(" (piattaforme disponibili: %1)").arg(known.captured(1).trimmed());
    }
    line += QStringLiteral(".\nPer l'aiuto: velmora-pdf --help\n");
    const QByteArray bytes = line.toUtf8();
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, bytes.constData(), bytes.size());
    ::_exit(velmora::BatchOptions::exitUsage);
}

// Once started, Qt's own notes (in English, about the environment: "XDG_RUNTIME_DIR not
// set") are not ours to show; the program speaks in its own lines. Fatal ones still end it.
QtMessageHandler qtMessages = nullptr;

void onRunMessage(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtFatalMsg && qtMessages) {
        qtMessages(type, context, message);
    }
}

// The arguments as the text the program works with, or the first one whose bytes would not
// come back the same from it (a file name in another encoding would name another file).
std::optional<QByteArray> decodeArguments(int argc, char *argv[], QStringList *arguments) {
    for (int i = 0; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString text = QFile::decodeName(raw);
        if (QFile::encodeName(text) != raw) {
            return raw;
        }
        arguments->append(text);
    }
    return std::nullopt;
}

// A printer target for the named printer (through the same printer layer as the print dialog).
std::unique_ptr<velmora::PageTarget> printerTarget(const QString &name, QString *error) {
    auto target = std::make_unique<velmora::PrinterTarget>();
    if (!target->selectPrinter(name)) {
        const QStringList installed = velmora::PrinterTarget::installedPrinters();
        *error = installed.isEmpty()
                     ? QStringLiteral("La stampante \"%1\" non è installata, e non ce n'è "
                                      "nessuna.")
                           .arg(name)
                     : QStringLiteral("La stampante \"%1\" non è installata (stampanti "
                                      "installate: %2).")
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
    if (const auto undecodable = decodeArguments(argc, argv, &arguments)) {
        QTextStream err(stderr);
        err << "velmora-pdf: L'argomento \"" << velmora::ShownText::fromBytes(*undecodable)
            << "\" non è testo UTF-8 valido: un nome di file va scritto in UTF-8, oppure il file "
               "va rinominato.\n"
            << "Per l'aiuto: velmora-pdf --help\n";
        return velmora::BatchOptions::exitUsage;
    }
    const velmora::BatchParsed parsed = velmora::BatchOptions::parse(arguments);
    // No window is ever shown: draw off screen unless --piattaforma says otherwise, so that an
    // environment set for windows (no display, another platform) cannot stop the run.
    startingPlatform = velmora::BatchOptions::platform(parsed);
    qputenv("QT_QPA_PLATFORM", startingPlatform);
    qtMessages = qInstallMessageHandler(onStartupMessage);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(onRunMessage);
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
        err << "velmora-pdf: " << velmora::Sentence::whole(error.description()) << '\n';
    } catch (const std::bad_alloc &) {
        err << "velmora-pdf: La memoria è esaurita: la stampa è stata fermata e nessun file è "
               "stato scritto.\n";
    } catch (const std::exception &error) {
        // The library's own text is English: kept after ours, as the one clue to the cause.
        err << "velmora-pdf: Errore inatteso nel programma (" << error.what() << ").\n";
    }
    return velmora::BatchOptions::exitFailed;
}
