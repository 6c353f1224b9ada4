#include "errors/TestoVersione.h"

#include "VelmoraConfig.h"

namespace velmora {

QString componiVersione(int major, int minor, int revision) {
    constexpr int digits = 2;
    constexpr int base = 10;
    const QChar zero(u'0');
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, digits, base, zero)
        .arg(revision, digits, base, zero);
}

QString TestoVersione() {
    static const QString text =
        componiVersione(config::versionMajor, config::versionMinor, config::versionRevision);
    return text;
}

} // namespace velmora
