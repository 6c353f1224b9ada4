#include "app/Form1.h"
#include "errors/MsgErrorPresenter.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    // Ties the window to its menu entry, and so to its icon, on an installed system.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Velmora"));
    // Failures in the card drawing are reported in the error window.
    velmora::MsgErrorPresenter errorWindow;
    velmora::ErrorPresenter::install(&errorWindow);
    // The whole command line names the folder of the card archive, spaces and all.
    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    int result = 1;
    {
        velmora::Form1 window;
        if (window.avvio(commandLine)) {
            result = app.exec();
        }
    }
    velmora::ErrorPresenter::install(nullptr);
    return result;
}
