#pragma once

#include "settings/FixedText.h"

#include <QByteArray>
#include <QtGlobal>

namespace velmora {

// The settings record: the one program-wide set of user settings, edited in place by the
// windows and read by the card drawing. On disk it is 307 packed little-endian bytes.
struct Configurazione {
    static constexpr int recordSize = 307;
    static constexpr int reservedSize = 16;

    float ParX = 0;
    float ParY = 0;
    FixedText<30> FontTombola;
    FixedText<30> Titolo;
    FixedText<40> Frase1;
    FixedText<40> Frase2;
    qint16 Orientamento = 0; // 0 six cards on a landscape page, 1 three on a portrait page
    qint16 Dimensione = 0;   // font size in points
    qint16 Grassetto = 0;    // booleans as stored: -1 true, 0 false, any non-zero reads true
    qint16 Corsivo = 0;
    FixedText<30> Ditta;
    QByteArray Riservato = QByteArray(reservedSize, ' '); // never shown: written back as read
    FixedText<33> Via;
    FixedText<30> Tel;
    qint16 PrimaCartella = 0;
    qint32 ColoreTitolo = 0; // colours are 0x00BBGGRR
    qint32 ColoreNumeroCartella = 0;
    qint32 ColoreLineaSottile = 0;
    qint32 ColoreLineaGrossa = 0;
    qint32 ColoreGriglia = 0;
    qint32 ColoreBordo = 0;
    qint32 ColoreFrase = 0;
    qint32 ColorePrimaCinquina = 0;
    qint32 ColoreSecondaCinquina = 0;
    qint32 ColoreTerzaCinquina = 0;

    bool bold() const { return Grassetto != 0; }
    bool italic() const { return Corsivo != 0; }
    void setBold(bool on) { Grassetto = on ? -1 : 0; }
    void setItalic(bool on) { Corsivo = on ? -1 : 0; }

    bool operator==(const Configurazione &other) const = default;
};

} // namespace velmora
