#pragma once

#include "settings/Configurazione.h"

#include <QString>

class QLabel;

namespace velmora {

class CardPicture;

// Puts the card font of the settings (face, size, bold, italic) on the labels of both card
// pictures, with the sizes of ScalaFont, and moves the titles to their top edge.
//
// A label refuses a size of zero or less. Such a failure while setting the titles, the card
// numbers or the numbers puts every label of both cards on the face "Arial" (numbers, card
// numbers and heading lines upright and not bold, card numbers and heading lines at 1 point),
// then goes on with the next setting; a failure among the numbers ends their pass. The heading
// lines come last and skip each setting that fails on its own.
class CambioFont {
public:
    static constexpr const char *facciaRiserva = "Arial";
    static constexpr double dimensioneRiserva = 1;

    CambioFont(CardPicture &preview, CardPicture &decorative, const Configurazione &settings);

    void esegui();
    // How many times the last run fell back to "Arial" (tests watch the recovery).
    int riserveUsate() const { return m_riserve; }

    // A label's face: the name as typed; a Windows face that fontconfig knows under another
    // name ("Arial") is drawn by its stand-in family but still reads back as typed.
    static void impostaFaccia(QLabel *label, const QString &face);
    // False, leaving the label as it was, for a size the labels refuse.
    static bool impostaDimensione(QLabel *label, double pointSize);
    static void impostaGrassetto(QLabel *label, bool on);
    static void impostaCorsivo(QLabel *label, bool on);

private:
    void riserva();
    QLabel *tombola(int index) const;
    QLabel *numeroCartella(int index) const;
    QLabel *frase(int index) const;
    QLabel *numero(int index) const;

    CardPicture &m_preview;
    CardPicture &m_decorative;
    const Configurazione &m_settings;
    int m_riserve = 0;
};

} // namespace velmora
