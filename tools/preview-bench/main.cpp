// Opens the main window's preview of N cards, as "Anteprima" on page 4 opens it, and prints the
// time from the command to the first page shown and the memory the process holds before and
// with the preview open; then closes it (or, with --resta, leaves it up to be looked at).
// Usage: velmora-preview-bench --archivio CARTELLA --cartelle N [--verticale] [--resta]

#include "app/Form1.h"
#include "app/PrintPage.h"
#include "errors/MessagePresenter.h"
#include "print/AnteprimaStampa.h"
#include "print/PreviewView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

class StreamPresenter : public velmora::MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override {
        QTextStream(stderr) << "avviso: " << text << '\n';
    }
    bool conferma(QWidget *, const QString &) override { return false; }
};

// Resident memory of the process in KiB, from /proc.
long residentKib(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    QCommandLineParser parser;
    const QCommandLineOption cartelle(QStringLiteral("cartelle"), {}, QStringLiteral("N"));
    const QCommandLineOption archivio(QStringLiteral("archivio"), {}, QStringLiteral("DIR"));
    const QCommandLineOption verticale(QStringLiteral("verticale"));
    const QCommandLineOption resta(QStringLiteral("resta"));
    parser.addOptions({cartelle, archivio, verticale, resta});
    QTextStream out(stdout);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.isSet(cartelle) ||
        !parser.isSet(archivio)) {
        QTextStream(stderr) << "Uso: velmora-preview-bench --archivio CARTELLA --cartelle N "
                               "[--verticale] [--resta]\n";
        return 2;
    }

    QTemporaryDir settingsDir;
    StreamPresenter messages;
    velmora::Form1 window;
    window.setSettingsPath(settingsDir.filePath(QStringLiteral("vel.cnf")));
    window.setMessagePresenter(&messages);
    if (!window.avvio(parser.value(archivio))) {
        return 1;
    }
    for (int press = 0; press < 3; ++press) {
        window.cmdNav_Click(3); // to page 4
    }
    velmora::PrintPage *page = window.printPage();
    page->findChild<QRadioButton *>(parser.isSet(verticale) ? QStringLiteral("optOrientamento(1)")
                                                            : QStringLiteral("optOrientamento(0)"))
        ->click();
    page->box(velmora::PrintBox::PrimaCartella)->setText(QStringLiteral("1"));
    page->box(velmora::PrintBox::NCartelle)->setText(parser.value(cartelle));

    const long before = residentKib("VmRSS:");
    QElapsedTimer clock;
    int status = 1;
    // The first page is shown once it is drawn and painted into the view.
    const auto onShown = [&](velmora::AnteprimaStampa *preview) {
        preview->view()->viewport()->repaint(); // the drawn page put on the screen
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        out << parser.value(cartelle) << " cartelle, " << preview->view()->pageCount()
            << " pagine: prima pagina mostrata in " << QString::number(ms, 'f', 1)
            << " ms; memoria " << before / 1024 << " MiB prima, " << residentKib("VmRSS:") / 1024
            << " MiB con l'anteprima aperta\n";
        out.flush();
        status = 0;
        if (!parser.isSet(resta)) {
            preview->done(velmora::AnteprimaStampa::Chiudi);
        }
    };
    // Catches the preview as it is shown, and waits for its first page.
    struct Watch : QObject {
        std::function<void(velmora::AnteprimaStampa *)> shown;
        bool eventFilter(QObject *watched, QEvent *event) override {
            auto *preview = qobject_cast<velmora::AnteprimaStampa *>(watched);
            if (preview && event->type() == QEvent::Show) {
                connect(
                    preview->view(), &velmora::PreviewView::pageDrawn, preview,
                    [this, preview] {
                        QTimer::singleShot(0, preview, [this, preview] { shown(preview); });
                    },
                    Qt::SingleShotConnection);
            }
            return false;
        }
    } watch;
    watch.shown = onShown;
    app.installEventFilter(&watch);
    QTimer::singleShot(0, &window, [&] {
        clock.start();
        window.anteprima();
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    return status;
}
