#pragma once

class QColor;
class QFont;
class QString;
class QWidget;

namespace velmora {

class qbButtons_H;

// Every command button of the main window is the program's own button, all configured alike:
// sunken-frame look, rectangular, push button, caption centred, face in the window's colour.
class CommandButton {
public:
    // parent may be nullptr for a button a page adopts later.
    static qbButtons_H *make(QWidget *parent, const QString &name, const QString &caption,
                             const QColor &face, const QFont &font);
};

} // namespace velmora
