#pragma once

#include "settings/Configurazione.h"

#include <QObject>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace velmora {

// The font controls of the appearance page: the face list FontTombola, the size box
// TombolaFontSize and the check boxes chTipoCarattere(0) "Grassetto" and (1) "Corsivo". Each
// writes its settings field as soon as it changes, then emits fontModificato(). Typing in the
// face list clears bold and italic; picking a face from the list keeps them. The size box takes
// at most 3 characters, filtered by FiltroNumerico.
class FontControls : public QObject {
    Q_OBJECT
public:
    // With a command line the face list is cut to this many names.
    static constexpr int maxFontsWithCommandLine = 25;

    // Creates the controls as children of page, at their places on the appearance page.
    FontControls(QWidget *page, Configurazione &settings);

    QComboBox *fontTombola() const { return m_face; }
    QLineEdit *tombolaFontSize() const { return m_size; }
    QCheckBox *chTipoCarattere(int index) const;
    QLabel *caption() const { return m_caption; }
    // Under the face list: which installed face prints a face that is not installed.
    QLabel *standIn() const { return m_standIn; }

    // Shows the fields of the record in the order of the start-up: face, size, bold, italic.
    void mostraConfigurazione();

    // Lists the installed faces once each, skipping empty names, at most limit of them
    // (0: no limit). The text in the box stays as it was and no field changes.
    void riempiElencoFont(const QStringList &families, int limit);

signals:
    void fontModificato();

private:
    void faceChanged(const QString &text);
    void faceTyped();
    void sizeChanged(const QString &text);
    void styleToggled(int index, bool checked);
    void showStandIn();
    // The largest size the box takes: the numbers still fit their cells in the orientation
    // of the settings, in the chosen face.
    int largestSize() const;
    QString sizeTip() const;

    Configurazione &m_settings;
    QLabel *m_caption = nullptr;
    QComboBox *m_face = nullptr;
    QLineEdit *m_size = nullptr;
    QLabel *m_standIn = nullptr;
    std::array<QCheckBox *, 2> m_style{};
};

} // namespace velmora
