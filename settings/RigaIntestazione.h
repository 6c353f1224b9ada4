#pragma once

#include "settings/Configurazione.h"

#include <QString>

namespace velmora {

// The heading line of the strips between cards: organisation, street and telephone, trimmed
// and joined by single spaces.
QString RigaIntestazione(const Configurazione &record);

} // namespace velmora
