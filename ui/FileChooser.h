#pragma once

#include <QString>

class QWidget;

namespace velmora {

// Asks for the name of a file to write. Tests put their own answers in its place.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file chosen, starting from proposed (a full path); empty when the user gave up.
    virtual QString fileToSave(QWidget *parent, const QString &title, const QString &proposed) = 0;
};

} // namespace velmora
