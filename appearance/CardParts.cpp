#include "appearance/CardParts.h"

namespace velmora {
namespace {

const QLatin1String numberArray("Label6");

// The preview's controls of each part, first the one read back into the settings field.
constexpr std::array<ControlloParte, 1> titolo{{{"Tombola", 1}}};
constexpr std::array<ControlloParte, 1> numeroCartella{{{"lblNumeroCartella", 1}}};
constexpr std::array<ControlloParte, 1> lineaSottile{{{"picLineaSottile"}}};
constexpr std::array<ControlloParte, 1> lineaGrossa{{{"picLineaGrossa"}}};
constexpr std::array<ControlloParte, 14> griglia{{
    {"imgGriglia", 0},
    {"imgGriglia", 1},
    {"imgGriglia", 3},
    {"imgGriglia", 4},
    {"lnGriglia", 0, false},
    {"lnGriglia", 1, false},
    {"lnGriglia", 2, false},
    {"lnGriglia", 3, false},
    {"lnGriglia", 4, false},
    {"lnGriglia", 5, false},
    {"lnGriglia", 6, false},
    {"lnGriglia", 7, false},
    {"lnGriglia", 8, false},
    {"lnGriglia", 9, false},
}};
constexpr std::array<ControlloParte, 4> bordo{{
    {"imgBordoCartella", 0},
    {"imgBordoCartella", 1},
    {"imgBordoCartella", 2},
    {"imgBordoCartella", 3},
}};
constexpr std::array<ControlloParte, 1> frase{{{"Frase", 1}}};
// The rows of the sample card, each in its group order.
constexpr std::array<ControlloParte, 5> primaCinquina{
    {{"Label6", 15}, {"Label6", 16}, {"Label6", 17}, {"Label6", 25}, {"Label6", 20}}};
constexpr std::array<ControlloParte, 5> secondaCinquina{
    {{"Label6", 18}, {"Label6", 24}, {"Label6", 22}, {"Label6", 29}, {"Label6", 28}}};
constexpr std::array<ControlloParte, 5> terzaCinquina{
    {{"Label6", 26}, {"Label6", 23}, {"Label6", 21}, {"Label6", 19}, {"Label6", 27}}};

using C = Configurazione;
using R = RuoloColore;
const std::array<ParteCartella, CardParts::count> parts{{
    {"Titolo Cartella", "Tombola", false, &C::ColoreTitolo, R::Testo, titolo},
    {"Numero Cartella", "lblNumeroCartella", false, &C::ColoreNumeroCartella, R::Testo,
     numeroCartella},
    {"Linea Sottile", "picLineaSottile", false, &C::ColoreLineaSottile, R::Riempimento,
     lineaSottile},
    {"Linea Grossa", "picLineaGrossa", false, &C::ColoreLineaGrossa, R::Riempimento, lineaGrossa},
    {"Griglia Cartella", "imgGriglia", false, &C::ColoreGriglia, R::Riempimento, griglia},
    {"Bordo Cartella", "imgBordoCartella", false, &C::ColoreBordo, R::Riempimento, bordo},
    {"Frase", "Frase", false, &C::ColoreFrase, R::Testo, frase},
    {"Numeri Prima Cinquina", "Label6", true, &C::ColorePrimaCinquina, R::Testo, primaCinquina},
    {"Numeri Seconda Cinquina", "Label6", true, &C::ColoreSecondaCinquina, R::Testo,
     secondaCinquina},
    {"Numeri Terza Cinquina", "Label6", true, &C::ColoreTerzaCinquina, R::Testo, terzaCinquina},
}};

} // namespace

QString ControlloParte::objectName() const {
    const QString name = QString::fromLatin1(nome);
    return indice < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(indice);
}

const std::array<ParteCartella, CardParts::count> &CardParts::tutte() {
    return parts;
}

const ParteCartella *CardParts::perChiave(QStringView chiave) {
    for (const ParteCartella &part : parts) {
        if (!part.chiavePerEtichetta) {
            if (chiave == QLatin1String(part.chiave)) {
                return &part;
            }
            continue;
        }
        for (const ControlloParte &control : part.controlli) {
            if (chiave == chiaveDi(QString::fromLatin1(control.nome), control.indice)) {
                return &part;
            }
        }
    }
    return nullptr;
}

const ParteCartella *CardParts::perControllo(QStringView nome, int indice) {
    for (const ParteCartella &part : parts) {
        for (const ControlloParte &control : part.controlli) {
            if (control.indice == indice && nome == QLatin1String(control.nome)) {
                return &part;
            }
        }
    }
    return nullptr;
}

QString CardParts::chiaveDi(QStringView nome, int indice) {
    if (nome == numberArray) {
        return nome.toString() + QString::number(indice);
    }
    return nome.toString();
}

std::optional<std::pair<QString, int>> CardParts::divideObjectName(QStringView objectName) {
    if (objectName.isEmpty()) {
        return std::nullopt;
    }
    const qsizetype open = objectName.indexOf(u'(');
    if (open < 0) {
        return std::pair{objectName.toString(), -1};
    }
    if (open == 0 || !objectName.endsWith(u')')) {
        return std::nullopt;
    }
    bool ok = false;
    const int index = objectName.sliced(open + 1, objectName.size() - open - 2).toInt(&ok);
    if (!ok || index < 0) {
        return std::nullopt;
    }
    return std::pair{objectName.first(open).toString(), index};
}

} // namespace velmora
