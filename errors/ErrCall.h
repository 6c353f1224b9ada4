#pragma once

#include <QString>

namespace velmora {

// One entry of the call trail: the module and the procedure that is in progress.
class ErrCall {
public:
    QString ModuleName;
    QString ProcName;
};

} // namespace velmora
