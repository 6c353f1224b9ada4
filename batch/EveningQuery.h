#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// What velmora-pdf asks of the evening: the list of evenings, or cards of a run to put in play.
struct EveningQuery {
    enum class Kind { List, Sell };

    Kind kind = Kind::List;
    QString ranges;        // --vendute, as typed: "1-120,200-250"
    qint64 run = 0;        // --corsa
    qint64 priceCents = 0; // --prezzo
};

} // namespace velmora
