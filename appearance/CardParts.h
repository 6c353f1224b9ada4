#pragma once

#include "settings/Configurazione.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <span>

namespace velmora {

// A control of the preview card, as its objectName spells it: "Label6(15)" is {"Label6", 15},
// "picLineaSottile" (no array) is {"picLineaSottile", -1}.
struct ControlloParte {
    const char *nome;
    int indice = -1;
    // Pointing at it selects its part; the grid lines take the grid's colour but select nothing.
    bool puntabile = true;

    QString objectName() const;
};

// How a control shows its colour: labels by their text, strips and lines by their fill.
enum class RuoloColore { Testo, Riempimento };

// One of the ten coloured parts of a card: the name the user sees, the selection key
// ChiaveParte, the settings field that keeps its colour and the preview controls that show it.
// The first control is the one whose colour is read back into the field.
struct ParteCartella {
    const char *nome;
    // The key of the part; the three rows of numbers have one key per label, "Label6" followed
    // by the label's index ("Label615").
    const char *chiave;
    bool chiavePerEtichetta;
    qint32 Configurazione::*campo;
    RuoloColore ruolo;
    std::span<const ControlloParte> controlli;
};

class CardParts {
public:
    static constexpr int count = 10;

    // In the order of the settings fields: title, card number, thin line, thick line, grid,
    // border, heading line, first, second and third row of numbers.
    static const std::array<ParteCartella, count> &tutte();

    // The part that a colour choice recolours for this key, compared exactly; nullptr for any
    // other key, the empty one and those of the title page's number labels included.
    static const ParteCartella *perChiave(QStringView chiave);

    // The part of a preview control; nullptr for a control of no part.
    static const ParteCartella *perControllo(QStringView nome, int indice);

    // The key set by pointing at a control of either card: the name of its control array,
    // followed by the index for a number label. Labels of the title page's card give the same
    // keys as the preview's, "Label60" to "Label614" for its numbers.
    static QString chiaveDi(QStringView nome, int indice);

    // Splits an objectName into the name of its control array and the index (-1 without one).
    static std::optional<std::pair<QString, int>> divideObjectName(QStringView objectName);
};

} // namespace velmora
