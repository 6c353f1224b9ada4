#include "app/Form1.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    // The whole command line names the folder of the card archive, spaces and all.
    const QString commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
    velmora::Form1 window;
    if (!window.avvio(commandLine)) {
        return 1;
    }
    return app.exec();
}
