#pragma once

#include <QHostAddress>
#include <QTcpServer>

namespace velmora::testing {

// A port nobody listens on now: the system's pick, given back at once. 0 when none was given.
inline quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::Any) ? probe.serverPort() : 0;
}

} // namespace velmora::testing
