#include "app/Form1.h"
#include "errors/MsgErrorPresenter.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    // Failures in the card drawing are reported in the error window.
    velmora::MsgErrorPresenter errorWindow;
    velmora::ErrorPresenter::install(&errorWindow);
    velmora::Form1 window;
    window.show();
    const int result = app.exec();
    velmora::ErrorPresenter::install(nullptr);
    return result;
}
