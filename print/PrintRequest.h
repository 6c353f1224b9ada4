#pragma once

#include <QString>

namespace velmora {

// What one print run is asked for, as the print page holds it when "Stampa" is pressed: the
// first-card and card-count texts as typed (the run reads them with the rules of the boxes),
// the orientation and the numbering. A plain value, so the run needs no window to read from.
struct PrintRequest {
    QString primaCartella;            // text of the first-card box
    QString nCartelle;                // text of the card-count box
    bool landscape = true;            // six cards on a landscape page, else three on a portrait
    bool numerazioneArchivio = false; // the archive's own numbers, else numbered from 1
};

} // namespace velmora
