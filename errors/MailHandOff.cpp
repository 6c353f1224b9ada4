#include "errors/MailHandOff.h"

#include "VelmoraConfig.h"

#include <QDesktopServices>

namespace velmora {
namespace {

// Characters of an address that stay as they are; everything else outside the unreserved
// set is percent-encoded. Only characters a URI allows unencoded: '^', '`', '{', '|' and '}'
// may stand in an address but would make the link invalid, so they are encoded too.
const QByteArray addressSafe = QByteArrayLiteral("@!$'*+=");

QByteArray encode(const QString &text, const QByteArray &safe = {}) {
    // Line breaks are CR LF in a mail link; a lone LF becomes CR LF as well.
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QUrl::toPercentEncoding(normalised, safe);
}

} // namespace

QUrl MailHandOff::link(const QString &address, const QString &subject, const QString &body) {
    QByteArray encoded = QByteArrayLiteral("mailto:") + encode(address, addressSafe);
    encoded += QByteArrayLiteral("?subject=") + encode(subject);
    if (!body.isEmpty()) {
        encoded += QByteArrayLiteral("&body=") + encode(body);
    }
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QUrl MailHandOff::errorReportLink(const QString &body) {
    return link(supportAddress(), QStringLiteral("Errore ") + QString::fromUtf8(config::title),
                body);
}

QString MailHandOff::supportAddress() {
    return QString::fromUtf8(config::supportAddress);
}

void SendErrMail(const QString &body) {
    try {
        QDesktopServices::openUrl(MailHandOff::errorReportLink(body));
    } catch (...) {
        // No mail client, or a link it refuses: nothing changes and nothing is reported.
    }
}

void SendMail(const QString &address, const QString &subject) {
    try {
        QDesktopServices::openUrl(MailHandOff::link(address, subject));
    } catch (...) {
        // As above: the hand-off is best effort.
    }
}

} // namespace velmora
