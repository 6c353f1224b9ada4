#pragma once

#include "print/RecordCartella.h"
#include "print/SeriesGenerator.h"
#include "settings/Configurazione.h"
#include "settings/SettingsFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// The settings and archives that no card of a run can be drawn with, shared by the window's
// run and velmora-pdf: each must be refused with one message before the first card.
namespace velmora::testing {

struct Cause {
    const char *name;
    std::function<void(velmora::Configurazione &)> spoil; // applied to the default settings
    int damagedCard = 0;                                  // archive card whose number is spoilt
    QString said;                                         // a part of the one message
};

inline QList<Cause> runFaultCauses() {
    using velmora::Configurazione;
    return {
        {"size 7: the heading strip would be 0 points", [](Configurazione &c) { c.Dimensione = 7; },
         0, QStringLiteral("La dimensione del carattere 7 non si può stampare")},
        {"size 0, as a file cut short reads", [](Configurazione &c) { c.Dimensione = 0; }, 0,
         QStringLiteral("da 8 a 999")},
        {"an empty record: no face, size 0", [](Configurazione &c) { c = Configurazione{}; }, 0,
         QStringLiteral("Nessun carattere è indicato")},
        {"a calibration beyond 50 mm", [](Configurazione &c) { c.ParX = 80; }, 0,
         QStringLiteral("La calibrazione della stampa non è valida")},
        {"a damaged archive", [](Configurazione &) {}, 3,
         QStringLiteral("La cartella 3 dell'archivio")},
    };
}

// count cards of genuine series; card `damaged` (when not 0) has an archive number that is not
// a number, which fails under numbering from 1.
inline QByteArray runFaultArchive(int count, int damaged) {
    QByteArray stored = velmora::SeriesGenerator::makeArchive(count, 5);
    if (damaged > 0) {
        const int at = (damaged - 1) * velmora::RecordCartella::recordSize;
        velmora::RecordCartella card = velmora::RecordCartella::fromStored(
            stored.mid(at, velmora::RecordCartella::recordSize));
        card.setNumeroArchivio(QStringLiteral("A%1").arg(damaged));
        stored.replace(at, velmora::RecordCartella::recordSize, card.toStored());
    }
    return stored;
}

} // namespace velmora::testing
