#include "app/Form1.h"

#include "VelmoraConfig.h"

namespace velmora {

Form1::Form1(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(config::title));
}

} // namespace velmora
