#include "settings/RigaIntestazione.h"

namespace velmora {

QString RigaIntestazione(const Configurazione &record) {
    return record.Ditta.trimmed() + u' ' + record.Via.trimmed() + u' ' + record.Tel.trimmed();
}

} // namespace velmora
