#include "appearance/CambioFont.h"

#include "appearance/CardPicture.h"
#include "appearance/ScalaFont.h"
#include "common/Twips.h"
#include "errors/VelmoraError.h"
#include "print/FontResolver.h"

#include <QLabel>

namespace velmora {
namespace {

constexpr int labelsPerCard = 2; // index 0 on the title page's card, 1 on the preview
constexpr int numberLabels = 2 * CardPicture::numberCount; // Label6(0) .. Label6(29)

} // namespace

CambioFont::CambioFont(CardPicture &preview, CardPicture &decorative,
                       const Configurazione &settings)
    : m_preview(preview), m_decorative(decorative), m_settings(settings) {}

QLabel *CambioFont::tombola(int index) const {
    return index == 0 ? m_decorative.tombola() : m_preview.tombola();
}

QLabel *CambioFont::numeroCartella(int index) const {
    return index == 0 ? m_decorative.lblNumeroCartella() : m_preview.lblNumeroCartella();
}

QLabel *CambioFont::frase(int index) const {
    return index == 0 ? m_decorative.frase() : m_preview.frase();
}

QLabel *CambioFont::numero(int index) const {
    return index < CardPicture::numberCount ? m_decorative.label6(index) : m_preview.label6(index);
}

void CambioFont::impostaFaccia(QLabel *label, const QString &face) {
    QFont font = label->font();
    QStringList families{face};
    if (!face.isEmpty()) {
        try {
            const QString family = FontResolver::resolve(face).family;
            if (family.compare(face, Qt::CaseInsensitive) != 0) {
                families.append(family);
            }
        } catch (const VelmoraError &) {
            // Not installed: passed on as typed, and the system draws its nearest face.
        }
    }
    font.setFamilies(families);
    label->setFont(font);
}

bool CambioFont::impostaDimensione(QLabel *label, double pointSize) {
    // Qt would take any size silently (and ignore it); the card refuses the ones it cannot show.
    if (!ScalaFont::accettata(pointSize)) {
        return false;
    }
    QFont font = label->font();
    font.setPointSizeF(pointSize);
    label->setFont(font);
    return true;
}

void CambioFont::impostaGrassetto(QLabel *label, bool on) {
    QFont font = label->font();
    font.setBold(on);
    label->setFont(font);
}

void CambioFont::impostaCorsivo(QLabel *label, bool on) {
    QFont font = label->font();
    font.setItalic(on);
    label->setFont(font);
}

void CambioFont::riserva() {
    ++m_riserve;
    const QString arial = QString::fromLatin1(facciaRiserva);
    for (int i = 0; i < labelsPerCard; ++i) {
        impostaFaccia(tombola(i), arial);
    }
    for (int i = 0; i < numberLabels; ++i) {
        QLabel *label = numero(i);
        impostaFaccia(label, arial);
        impostaGrassetto(label, false);
        impostaCorsivo(label, false);
    }
    for (int i = 0; i < labelsPerCard; ++i) {
        for (QLabel *label : {numeroCartella(i), frase(i)}) {
            impostaFaccia(label, arial);
            impostaGrassetto(label, false);
            impostaCorsivo(label, false);
            impostaDimensione(label, dimensioneRiserva);
        }
    }
}

void CambioFont::esegui() {
    m_riserve = 0;
    const int s = m_settings.Dimensione;
    const QString face = m_settings.FontTombola.trimmed();
    const bool bold = m_settings.bold();
    const bool italic = m_settings.italic();

    // Each failure runs the fallback and the run goes on with the next setting, so a face set
    // after a refused size still wins over the fallback's "Arial".
    for (int i = 0; i < labelsPerCard; ++i) {
        QLabel *label = tombola(i);
        if (!impostaDimensione(label, ScalaFont::titolo(s))) {
            riserva();
        }
        impostaFaccia(label, face);
        impostaGrassetto(label, bold);
        impostaCorsivo(label, italic);
    }
    for (int i = 0; i < labelsPerCard; ++i) {
        QLabel *label = tombola(i);
        label->move(label->x(), Twips::toPixels(ScalaFont::topTitolo(s)));
    }
    for (int i = 0; i < labelsPerCard; ++i) {
        QLabel *label = numeroCartella(i);
        if (!impostaDimensione(label, ScalaFont::numeroCartella(s))) {
            riserva();
        }
        impostaFaccia(label, face);
        impostaGrassetto(label, bold);
        impostaCorsivo(label, italic);
    }
    for (int i = 0; i < numberLabels; ++i) {
        QLabel *label = numero(i);
        impostaFaccia(label, face);
        if (!impostaDimensione(label, ScalaFont::numeri(s))) {
            riserva();
            break; // the numbers wait for a size they can take
        }
        // The numbers print bold and upright whatever the title's style: shown so.
        impostaGrassetto(label, true);
        impostaCorsivo(label, false);
    }
    // The heading lines: a refused size is skipped, the line keeps its previous size.
    for (int i = 0; i < labelsPerCard; ++i) {
        QLabel *label = frase(i);
        impostaFaccia(label, face);
        impostaDimensione(label, ScalaFont::frase(s));
        impostaCorsivo(label, italic);
        impostaGrassetto(label, bold);
    }
}

} // namespace velmora
