// The mail links: for any address, subject and report text the link is a valid mailto: URL
// whose address, subject and body decode back to what was given (line breaks as CR LF).
//
// Input: UTF-8 text (invalid sequences read as U+FFFD, so the text is valid UTF-16); the
// whole text is one error report, and its parts between zero bytes are an address, a subject
// and a body.

#include "FuzzCheck.h"
#include "VelmoraConfig.h"
#include "errors/MailHandOff.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <cstdint>

using velmora::MailHandOff;

namespace {

// Line breaks of a mail body: CR LF, a lone LF included.
QString withMailBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// A part of the link as a mail client reads it: percent-decoded, then UTF-8. (QUrl's own
// decoding leaves noncharacters such as U+BFFFF encoded, which a mail client does not.)
QString clientDecoded(const QString &encoded) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded.toLatin1()));
}

void checkLink(const QUrl &url, const QString &address, const QString &subject,
               const QString &body) {
    FUZZ_CHECK(url.isValid());
    FUZZ_CHECK(url.scheme() == QStringLiteral("mailto"));
    FUZZ_CHECK(clientDecoded(url.path(QUrl::FullyEncoded)) == withMailBreaks(address));
    const QUrlQuery query(url);
    FUZZ_CHECK(query.queryItems(QUrl::FullyEncoded).size() == (body.isEmpty() ? 1 : 2));
    FUZZ_CHECK(clientDecoded(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyEncoded)) ==
               withMailBreaks(subject));
    FUZZ_CHECK(clientDecoded(query.queryItemValue(QStringLiteral("body"), QUrl::FullyEncoded)) ==
               withMailBreaks(body));
    // What the mail client is handed: the encoded form reads back as the same link.
    FUZZ_CHECK(QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode) == url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    checkLink(MailHandOff::errorReportLink(text), MailHandOff::supportAddress(),
              QStringLiteral("Errore ") + QString::fromUtf8(velmora::config::title), text);

    const QStringList parts = text.split(QChar(u'\0'));
    const QString address = parts.value(0);
    const QString subject = parts.value(1);
    const QString body = parts.mid(2).join(QChar(u'\0'));
    checkLink(MailHandOff::link(address, subject, body), address, subject, body);
    return 0;
}
