#include "hall/PhoneBoardAnswer.h"

#include <QFile>

#include <algorithm>

// The page's files are compiled into the library; a static library needs them named once.
static void loadPhonePage() {
    Q_INIT_RESOURCE(phone);
}

namespace velmora {

namespace {

struct Asset {
    const char *path;
    const char *resource;
    const char *type;
};

constexpr Asset assets[] = {
    {"/", ":/velmora/phone/tabellone.html", "text/html; charset=utf-8"},
    {"/tabellone.css", ":/velmora/phone/tabellone.css", "text/css; charset=utf-8"},
    {"/tabellone.js", ":/velmora/phone/tabellone.js", "text/javascript; charset=utf-8"},
    // The program's own icon, named by the page; at the path a browser asks for by itself, too.
    {"/icona.svg", ":/velmora/phone/icona.svg", "image/svg+xml"},
    {"/favicon.ico", ":/velmora/phone/icona.svg", "image/svg+xml"},
};

// Sent with every answer: the browser takes the types as given, and the page may load only
// its own files, and be framed by nobody.
const QByteArray commonHeaders =
    "X-Content-Type-Options: nosniff\r\n"
    "Content-Security-Policy: default-src 'self'; connect-src 'self'; img-src 'self'; "
    "style-src 'self'; script-src 'self'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'\r\n"
    "Referrer-Policy: no-referrer\r\n"
    "Cache-Control: no-cache\r\n";

struct Status {
    int code;
    const char *reason;
    const char *text; // what a refusal's body says
};

constexpr Status statuses[] = {
    {200, "OK", ""},
    {400, "Bad Request", "Richiesta non valida.\n"},
    {404, "Not Found", "Pagina non trovata.\n"},
    {405, "Method Not Allowed", "Questa pagina si può solo leggere.\n"},
    {408, "Request Timeout", "La richiesta è arrivata troppo lentamente.\n"},
    {413, "Content Too Large", "Questa pagina non riceve dati.\n"},
    {414, "URI Too Long", "Indirizzo troppo lungo.\n"},
    {417, "Expectation Failed",
     "Richiesta con un'attesa (Expect) che questa pagina non conosce.\n"},
    {431, "Request Header Fields Too Large", "Intestazioni della richiesta troppo grandi.\n"},
    {501, "Not Implemented", "Questa pagina non apre collegamenti WebSocket.\n"},
    {503, "Service Unavailable", "Troppi collegamenti, riprova tra poco.\n"},
    {505, "HTTP Version Not Supported", "Versione di HTTP non supportata.\n"},
};

const Status &statusOf(int code) {
    const auto found = std::find_if(std::begin(statuses), std::end(statuses),
                                    [code](const Status &status) { return status.code == code; });
    return found != std::end(statuses) ? *found : statusOf(400);
}

QByteArray statusLine(int code) {
    return "HTTP/1.1 " + QByteArray::number(code) + ' ' + statusOf(code).reason + "\r\n";
}

// A whole answer with its length; the body is left out for HEAD.
PhoneBoardAnswer answer(int code, const QByteArray &type, const QByteArray &body, bool withBody,
                        PhoneBoardAnswer::Then then, QByteArray extraHeaders = {}) {
    if (then == PhoneBoardAnswer::Then::Close) {
        extraHeaders += "Connection: close\r\n";
    }
    PhoneBoardAnswer made;
    made.status = code;
    made.then = then;
    made.bytes = statusLine(code) + commonHeaders + extraHeaders + "Content-Type: " + type +
                 "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
                 (withBody ? body : QByteArray());
    return made;
}

// The files of the page, read once from the resources.
QByteArray assetBody(const Asset &asset) {
    static const QList<QByteArray> bodies = [] {
        loadPhonePage();
        QList<QByteArray> read;
        for (const Asset &each : assets) {
            QFile file(QString::fromLatin1(each.resource));
            file.open(QIODevice::ReadOnly); // compiled in: it is always there
            read.append(file.readAll());
        }
        return read;
    }();
    return bodies.at(&asset - assets);
}

PhoneBoardAnswer streamHead(bool head) {
    PhoneBoardAnswer made;
    made.status = 200;
    made.then = head ? PhoneBoardAnswer::Then::Close : PhoneBoardAnswer::Then::Stream;
    made.bytes = statusLine(200) + commonHeaders +
                 "Content-Type: text/event-stream; charset=utf-8\r\n" +
                 (head ? "Connection: close\r\n" : "Connection: keep-alive\r\n") +
                 "X-Accel-Buffering: no\r\n\r\n";
    if (!head) {
        // Tells the browser to try again after two seconds when the stream breaks.
        made.bytes += "retry: 2000\n\n";
    }
    return made;
}

} // namespace

PhoneBoardAnswer PhoneBoardAnswer::refusal(int status, bool withBody) {
    const QByteArray extra = status == 405   ? QByteArray("Allow: GET, HEAD\r\n")
                             : status == 503 ? QByteArray("Retry-After: 10\r\n")
                                             : QByteArray();
    return answer(status, "text/plain; charset=utf-8", statusOf(status).text, withBody, Then::Close,
                  extra);
}

PhoneBoardAnswer PhoneBoardAnswer::to(const HttpRequestParser::Result &read) {
    if (read.outcome != HttpRequestParser::Outcome::Complete) {
        return refusal(read.outcome == HttpRequestParser::Outcome::Refused ? read.status : 400);
    }
    const HttpRequestParser::Request &request = read.request;
    const bool head = request.method == "HEAD";
    const Asset *asset = std::find_if(std::begin(assets), std::end(assets),
                                      [&](const Asset &a) { return request.path == a.path; });
    const bool stream = request.path == streamPath;
    // What the client sends after a body, or after a request it wants closed, is not read.
    const Then after = request.hasBody || request.close ? Then::Close : Then::KeepOpen;
    if (request.oddExpect) {
        return refusal(417, !head);
    }
    if (asset == std::end(assets) && !stream) {
        return answer(404, "text/plain; charset=utf-8", statusOf(404).text, !head, after);
    }
    if (request.method != "GET" && !head) {
        return refusal(405);
    }
    if (request.hasBody) {
        return refusal(413, !head);
    }
    if (request.webSocket) {
        return refusal(501, !head);
    }
    if (stream) {
        return streamHead(head);
    }
    return answer(200, asset->type, assetBody(*asset), !head, after);
}

} // namespace velmora
