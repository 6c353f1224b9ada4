#pragma once

#include <QString>
#include <QUrl>

namespace velmora {

// mailto: links and their hand-off to the user's mail client.
class MailHandOff {
public:
    // A well-formed mailto: link: subject and body percent-encoded as UTF-8, line breaks as
    // %0D%0A, so '&', '#', spaces and accented letters reach the mail client intact.
    static QUrl link(const QString &address, const QString &subject, const QString &body = {});
    // The link of an error report: subject "Errore " + title, to the support address.
    static QUrl errorReportLink(const QString &body);
    // The configured support address.
    static QString supportAddress();
};

// Opens the mail client with a message to the support address holding the report as its
// body. A failed hand-off is ignored.
void SendErrMail(const QString &body);
// Opens the mail client with a new message to address with that subject. Failures ignored.
void SendMail(const QString &address, const QString &subject);

} // namespace velmora
