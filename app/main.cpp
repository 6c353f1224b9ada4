#include "app/Form1.h"
#include "app/MessageBoxPresenter.h"
#include "app/SingleWindow.h"
#include "errors/MsgErrorPresenter.h"
#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTextStream>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    // The program speaks Italian, so Qt's own dialogs (colours, printing) do too. Without the
    // translation files they stay in English and the program runs on.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qt_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }
    // Ties the window to its menu entry, and so to its icon, on an installed system.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Velmora"));
    // One window per register: a second start brings the first forward and opens nothing.
    velmora::SingleWindow single(velmora::RegisterDatabase::defaultPath());
    if (const auto claimed = single.claim(); claimed != velmora::SingleWindow::Claim::Ours) {
        QTextStream(stderr) << single.said() << '\n';
        // The window brought forward shows itself; one that does not answer is said here.
        if (claimed == velmora::SingleWindow::Claim::Stuck) {
            velmora::MessageBoxPresenter().avviso(nullptr, single.said());
            return 1;
        }
        return 0;
    }
    // Failures in the card drawing are reported in the error window.
    velmora::MsgErrorPresenter errorWindow;
    velmora::ErrorPresenter::install(&errorWindow);
    // The whole command line names the folder of the card archive, spaces and all.
    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    int result = 1;
    {
        velmora::Form1 window;
        single.setWindow(&window);
        if (window.avvio(commandLine)) {
            result = app.exec();
        }
    }
    velmora::ErrorPresenter::install(nullptr);
    // The ends of runs that found the register held by another program, written at last.
    for (const QString &notice : velmora::RunRegistration::completeWaiting()) {
        QTextStream(stderr) << notice << '\n';
    }
    return result;
}
