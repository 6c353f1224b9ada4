#include "hall/PhoneBoardServer.h"

#include "hall/HallState.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

// The page's files are compiled into the library; a static library needs them named once.
static void loadPhonePage() {
    Q_INIT_RESOURCE(phone);
}

namespace velmora {

namespace {

// A browser keeps up easily; one that has this much still unsent is stalled, and is dropped
// rather than letting the program's memory grow. Its page reconnects by itself.
constexpr qint64 unsentLimit = 64 * 1024;
// A comment line this often keeps proxies and phones from closing a quiet stream.
constexpr int pingMilliseconds = 15000;

struct Asset {
    const char *path;
    const char *resource;
    const char *type;
};

constexpr Asset assets[] = {
    {"/", ":/velmora/phone/tabellone.html", "text/html; charset=utf-8"},
    {"/tabellone.css", ":/velmora/phone/tabellone.css", "text/css; charset=utf-8"},
    {"/tabellone.js", ":/velmora/phone/tabellone.js", "text/javascript; charset=utf-8"},
};

const char *const streamPath = "/eventi";

// Sent with every answer: the browser takes the types as given, and the page may load only
// its own files, and be framed by nobody.
const QByteArray commonHeaders =
    "X-Content-Type-Options: nosniff\r\n"
    "Content-Security-Policy: default-src 'self'; connect-src 'self'; img-src 'self'; "
    "style-src 'self'; script-src 'self'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'\r\n"
    "Referrer-Policy: no-referrer\r\n"
    "Cache-Control: no-cache\r\n";

QByteArray statusLine(int code) {
    switch (code) {
    case 200:
        return "HTTP/1.1 200 OK\r\n";
    case 404:
        return "HTTP/1.1 404 Not Found\r\n";
    case 405:
        return "HTTP/1.1 405 Method Not Allowed\r\n";
    default:
        return "HTTP/1.1 503 Service Unavailable\r\n";
    }
}

// A whole answer, written at once; the socket buffers it, nothing waits.
void answer(QTcpSocket *socket, int code, const QByteArray &type, const QByteArray &body,
            bool withBody, const QByteArray &extraHeaders = {}) {
    socket->write(statusLine(code) + commonHeaders + extraHeaders + "Content-Type: " + type +
                  "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
                  (withBody ? body : QByteArray()));
}

void refuse(QTcpSocket *socket, int code, bool withBody) {
    const QByteArray text = code == 404   ? "Pagina non trovata.\n"
                            : code == 405 ? "Questa pagina si può solo leggere.\n"
                                          : "Troppi collegamenti, riprova tra poco.\n";
    answer(socket, code, "text/plain; charset=utf-8", text, withBody,
           code == 405   ? QByteArray("Allow: GET, HEAD\r\n")
           : code == 503 ? QByteArray("Retry-After: 10\r\n")
                         : QByteArray());
}

} // namespace

// Qt's server reads the requests; each answer is written here, on the request's own socket.
// The event stream keeps that socket open and is written to as the game changes.
class PhoneBoardServer::Impl : public QAbstractHttpServer {
public:
    explicit Impl(PhoneBoardServer *owner) : m_owner(owner) {
        m_ping.setInterval(pingMilliseconds);
        QObject::connect(&m_ping, &QTimer::timeout, this, [this] { sendAll(": ping\n\n"); });
    }

    // Closes the listener and every connection at once, the pages' streams and any request
    // still being answered; after this no request is read and nothing is sent.
    void closeAll() {
        m_closed = true;
        m_ping.stop();
        const bool hadViewers = !m_streams.isEmpty();
        m_streams.clear();
        for (QTcpServer *listener : servers()) {
            listener->close();
            for (QTcpSocket *socket : listener->findChildren<QTcpSocket *>()) {
                QObject::disconnect(socket, nullptr, this, nullptr);
                socket->abort();
            }
        }
        if (hadViewers) {
            emit m_owner->viewersChanged(0);
        }
    }

    void setState(const QJsonObject &state) {
        m_state = "data: " + QJsonDocument(state).toJson(QJsonDocument::Compact) + "\n\n";
        sendAll(m_state);
    }

    int viewers() const { return int(m_streams.size()); }

    QTimer m_ping;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override {
        if (m_closed) {
            socket->abort();
            return true;
        }
        const QByteArray path = request.url().path(QUrl::FullyEncoded).toUtf8();
        const auto method = request.method();
        const bool head = method == QHttpServerRequest::Method::Head;
        const bool known = path == streamPath ||
                           std::any_of(std::begin(assets), std::end(assets),
                                       [&](const Asset &asset) { return path == asset.path; });
        if (!known) {
            refuse(socket, 404, !head);
        } else if (method != QHttpServerRequest::Method::Get && !head) {
            refuse(socket, 405, true);
        } else if (path == streamPath) {
            openStream(socket, head);
        } else {
            serveAsset(socket, path, head);
        }
        return true;
    }

    void missingHandler(const QHttpServerRequest &, QTcpSocket *socket) override {
        refuse(socket, 404, true);
    }

private:
    static void serveAsset(QTcpSocket *socket, const QByteArray &path, bool head) {
        for (const Asset &asset : assets) {
            if (path == asset.path) {
                QFile file(QString::fromLatin1(asset.resource));
                file.open(QIODevice::ReadOnly); // compiled in: it is always there
                answer(socket, 200, asset.type, file.readAll(), !head);
            }
        }
    }

    void openStream(QTcpSocket *socket, bool head) {
        if (viewers() >= PhoneBoardServer::maxViewers) {
            refuse(socket, 503, !head);
            socket->disconnectFromHost();
            return;
        }
        socket->write(statusLine(200) + commonHeaders +
                      "Content-Type: text/event-stream; charset=utf-8\r\n"
                      "Connection: keep-alive\r\n"
                      "X-Accel-Buffering: no\r\n\r\n");
        if (head) {
            socket->disconnectFromHost();
            return;
        }
        // Tells the browser to try again after two seconds when the stream breaks.
        socket->write("retry: 2000\n\n" + m_state);
        socket->flush(); // hands the state to the system now, without waiting
        m_streams.append(socket);
        QObject::connect(socket, &QTcpSocket::disconnected, this,
                         [this, socket] { forget(socket); });
        QObject::connect(socket, &QObject::destroyed, this, [this, socket] { forget(socket); });
        emit m_owner->viewersChanged(viewers());
    }

    void forget(QTcpSocket *socket) {
        const auto before = m_streams.size();
        m_streams.removeIf([socket](const QPointer<QTcpSocket> &s) { return !s || s == socket; });
        if (m_streams.size() != before) {
            emit m_owner->viewersChanged(viewers());
        }
    }

    // Writes to every stream without waiting; a stream too far behind is dropped.
    void sendAll(const QByteArray &bytes) {
        const QList<QPointer<QTcpSocket>> streams = m_streams;
        for (const QPointer<QTcpSocket> &socket : streams) {
            if (!socket) {
                continue;
            }
            if (socket->bytesToWrite() + bytes.size() > unsentLimit) {
                socket->abort();
            } else {
                socket->write(bytes);
                socket->flush(); // never blocks: what the system cannot take yet waits here
            }
        }
    }

    PhoneBoardServer *m_owner;
    QList<QPointer<QTcpSocket>> m_streams;
    QByteArray m_state = "data: {}\n\n";
    bool m_closed = false;
};

PhoneBoardServer::PhoneBoardServer(QObject *parent) : QObject(parent) {
    loadPhonePage();
    show(HallState());
}

PhoneBoardServer::~PhoneBoardServer() {
    // No viewersChanged from here: the owner whose slot hears it may be half destroyed already
    // (a widget's children go after its own destructor has run).
    const QSignalBlocker quiet(this);
    if (const std::unique_ptr<Impl> server = std::move(d)) {
        server->closeAll();
    }
}

bool PhoneBoardServer::start(quint16 port, QString *reason) {
    stop();
    d = std::make_unique<Impl>(this);
    auto *listener = new QTcpServer(d.get());
    if (!listener->listen(QHostAddress::Any, port)) {
        const bool taken = listener->serverError() == QAbstractSocket::AddressInUseError;
        const bool refused = listener->serverError() == QAbstractSocket::SocketAccessError;
        if (reason) {
            *reason = taken ? QStringLiteral("La porta %1 è già usata da un altro programma: "
                                             "scegline un'altra.")
                                  .arg(port)
                      : refused ? QStringLiteral("La porta %1 non si può usare senza i permessi "
                                                 "di amministratore: scegline una sopra la 1023.")
                                      .arg(port)
                                : QStringLiteral("Il tabellone sui telefoni non può ascoltare "
                                                 "sulla porta %1: %2")
                                      .arg(port)
                                      .arg(listener->errorString());
        }
        d.reset();
        return false;
    }
    d->bind(listener);
    d->setState(m_lastState);
    d->m_ping.start();
    return true;
}

void PhoneBoardServer::stop() {
    // Taken out first: closing says viewersChanged, whose slots may stop again or ask.
    if (Impl *server = d.release()) {
        server->closeAll();
        // Stop may come from a slot of viewersChanged, inside the server's own handling of a
        // request: what is left of it goes once that is over.
        server->deleteLater();
    }
}

bool PhoneBoardServer::isRunning() const {
    return bool(d);
}

quint16 PhoneBoardServer::port() const {
    if (!d || d->servers().isEmpty()) {
        return 0;
    }
    return d->servers().constFirst()->serverPort();
}

int PhoneBoardServer::viewers() const {
    return d ? d->viewers() : 0;
}

void PhoneBoardServer::show(const HallState &state) {
    QJsonArray numbers;
    for (int number : state.numbers) {
        numbers.append(number);
    }
    QJsonArray previous;
    for (int number : state.previous) {
        previous.append(number);
    }
    QJsonArray awards;
    for (const HallAward &award : state.awards) {
        awards.append(award.banner());
    }
    m_lastState = QJsonObject{{QStringLiteral("partita"), state.game},
                              {QStringLiteral("numeri"), numbers},
                              {QStringLiteral("ultimo"), state.last},
                              {QStringLiteral("precedenti"), previous},
                              {QStringLiteral("estratti"), state.count()},
                              {QStringLiteral("inGioco"), state.playing},
                              {QStringLiteral("premi"), awards}};
    if (d) {
        d->setState(m_lastState);
    }
}

QList<QHostAddress> PhoneBoardServer::hallAddresses() {
    QList<QHostAddress> found;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
                !found.contains(address)) {
                found.append(address);
            }
        }
    }
    return found;
}

} // namespace velmora
