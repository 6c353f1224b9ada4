#pragma once

#include <QMainWindow>

namespace velmora {

// The main window: four pages shown one at a time and the navigation strip under them.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
};

} // namespace velmora
