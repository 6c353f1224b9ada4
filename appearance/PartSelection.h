#pragma once

#include "appearance/CardParts.h"
#include "settings/Configurazione.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

namespace velmora {

class CardPicture;

// The colour half of the appearance page. Pointing at a part of either card (any pointer move
// over it, any button) shows the part's name in txtParteCartella, keeps its key ChiaveParte in
// that box's "Tag" property and shows the part's colour in the swatch lbColor. Clicking a part,
// or the swatch, asks for a colour: while the appearance page is shown, the chosen colour goes
// to the preview's controls of the selected part, and all ten colour fields of the settings are
// then read back from the preview, which stays their one source.
class PartSelection : public QObject {
    Q_OBJECT
public:
    // Shows the colour dialog over owner and puts the chosen colour on target's text; false
    // when the user cancels. ShowColor unless replaced.
    using SceltaColore = std::function<bool(QWidget *owner, QWidget *target)>;

    // Creates the page's colour controls and instruction as children of page. paginaAspetto
    // tells whether the appearance page is the one shown.
    PartSelection(QWidget *page, CardPicture &preview, CardPicture &decorative,
                  Configurazione &settings, std::function<bool()> paginaAspetto);

    QLineEdit *txtParteCartella() const { return m_parte; }
    QLabel *lbColor() const { return m_colore; }
    QLabel *label9() const { return m_istruzioni; }
    QLabel *caption() const { return m_caption; }

    // The key of the part last pointed at; empty until the first one.
    QString chiaveParte() const;

    void setSceltaColore(SceltaColore scelta) { m_scelta = std::move(scelta); }

    // Pointing at a control of either card; controls of no part are ignored.
    void punta(QWidget *control);
    // The click of the swatch, also run after a click on a part.
    void lbColor_Click();
    // The stored colours onto the preview's controls, a value that is not a colour skipped.
    void applicaColori();

    // A control's colour as 0x00BBGGRR: its text for labels, its fill for strips and lines.
    static qint32 coloreDi(const QWidget *control, RuoloColore ruolo);
    // Throws VelmoraError 380 for a value that is not a colour, leaving the control as it was.
    static void coloraControllo(QWidget *control, RuoloColore ruolo, qint32 bgr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Puntabile {
        QString nome; // empty on the title page's card
        QString chiave;
        RuoloColore ruolo;
    };

    void osserva(QWidget *control, const QString &nome, const QString &chiave, RuoloColore ruolo);
    QWidget *controlloAnteprima(const ControlloParte &control) const;

    CardPicture &m_preview;
    Configurazione &m_settings;
    std::function<bool()> m_paginaAspetto;
    SceltaColore m_scelta;
    QHash<const QObject *, Puntabile> m_puntabili;
    QPointer<QObject> m_premuto;

    QLabel *m_caption = nullptr;
    QLineEdit *m_parte = nullptr;
    QLabel *m_colore = nullptr;
    QLabel *m_istruzioni = nullptr;
};

} // namespace velmora
