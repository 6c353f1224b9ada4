#include "hall/PhoneBoardServer.h"

#include "hall/HallState.h"
#include "hall/HttpRequestParser.h"
#include "hall/PhoneBoardAnswer.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velmora {

namespace {

// A browser keeps up easily; one that has this much still unsent is stalled, and is dropped
// rather than letting the program's memory grow. Its page reconnects by itself.
constexpr qint64 unsentLimit = 64 * 1024;
// A comment line this often keeps proxies and phones from closing a quiet stream.
constexpr int pingMilliseconds = 15000;
// A browser sends nothing on its stream after the request; a client that does is dropped past
// this, read and thrown away until then.
constexpr qint64 streamInputLimit = 4096;
// An answer its client does not take in this long ends the connection.
constexpr int writeMilliseconds = 10000;
// With no descriptor left for a new connection, accepting waits this long, or until one of ours
// closes, instead of failing again at once.
constexpr int acceptPauseMilliseconds = 500;
// After a crowd of connections has gone (a hall's phones leaving, or an attack's connections),
// what they took is handed back to the system this long after the last of them went, rather
// than kept by the heap.
constexpr int crowd = 64;
constexpr int giveBackMilliseconds = 500;

// The address a client is counted by: IPv4 as such (also when the system hands it mapped into
// IPv6), IPv6 by its /64, which a single device may fill with addresses of its own.
QHostAddress countedAddress(const QHostAddress &peer) {
    bool isIpv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
    if (isIpv4) {
        return QHostAddress(ipv4);
    }
    Q_IPV6ADDR network = peer.toIPv6Address();
    std::fill(std::begin(network.c) + 8, std::end(network.c), quint8(0));
    return QHostAddress(network);
}

// One client's connection: the head of its request as it comes, and what it waits for.
class Connection : public QObject {
public:
    enum class State {
        Waiting,   // for a request: the first, or the next on a kept connection
        Reading,   // a request's head, part of which has come
        Answering, // for its answer to be taken before the next request is read
        Streaming, // the event stream
        Closing,   // for its last answer to be taken; nothing more is read
    };

    Connection(QTcpSocket *socket, const QHostAddress &address, QObject *parent)
        : QObject(parent), socket(socket), address(address) {
        socket->setParent(this);
        deadline.setSingleShot(true);
    }

    QTcpSocket *socket;
    const QHostAddress address;
    QByteArray input; // at most HttpRequestParser::maxHeadBytes + 1
    State state = State::Waiting;
    bool fresh = true;      // no request answered yet: the head's time runs from the opening
    qint64 streamInput = 0; // bytes a stream's client sent after its request
    bool gone = false;      // dropped; deleted once the event loop is back
    QTimer deadline;
};

} // namespace

// The listener and every connection. Each request's answer is written on its own socket; the
// event streams keep theirs open and are written to as the game changes.
class PhoneBoardServer::Impl : public QObject {
public:
    explicit Impl(PhoneBoardServer *owner) : m_owner(owner), m_listener(new QTcpServer(this)) {
        m_ping.setInterval(pingMilliseconds);
        connect(&m_ping, &QTimer::timeout, this, [this] { sendAll(": ping\n\n"); });
        m_resume.setSingleShot(true);
        connect(&m_resume, &QTimer::timeout, this, &Impl::resumeAccepting);
        connect(m_listener, &QTcpServer::newConnection, this, &Impl::accept);
        connect(m_listener, &QTcpServer::acceptError, this, &Impl::acceptFailed);
        m_giveBack.setSingleShot(true);
        m_giveBack.setInterval(giveBackMilliseconds);
        connect(&m_giveBack, &QTimer::timeout, this, [this] {
#ifdef __GLIBC__
            malloc_trim(0);
#endif
            m_busiest = int(m_connections.size());
        });
    }

    QTcpServer *listener() const {
        return m_listener;
    }

    // Closes the listener and every connection at once, the pages' streams and any request
    // still being answered; after this no request is read and nothing is sent.
    void closeAll() {
        m_closed = true;
        m_ping.stop();
        m_resume.stop();
        const bool hadViewers = m_viewers > 0;
        m_listener->close();
        const QList<Connection *> open = m_connections;
        for (Connection *connection : open) {
            drop(connection);
        }
        if (hadViewers) {
            emit m_owner->viewersChanged(0);
        }
    }

    void setState(const QJsonObject &state) {
        m_state = "data: " + QJsonDocument(state).toJson(QJsonDocument::Compact) + "\n\n";
        sendAll(m_state);
    }

    int viewers() const {
        return m_viewers;
    }

    QTimer m_ping;

private:
    struct Counts {
        int connections = 0;
        int viewers = 0;
    };

    // Once a crowd has gone, its memory goes back to the system.
    void crowdGoes() {
        if (m_busiest - m_connections.size() >= crowd) {
            m_giveBack.start();
        }
    }

    void accept() {
        while (QTcpSocket *socket = m_listener->nextPendingConnection()) {
            if (m_closed) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            // Qt's own buffer of what the client sends stays this small whatever it sends:
            // past it the socket is not read, and the client's system waits.
            socket->setReadBufferSize(HttpRequestParser::maxHeadBytes);
            const QHostAddress address = countedAddress(socket->peerAddress());
            const bool full = m_counts.value(address).connections >= maxConnectionsPerAddress ||
                              (m_connections.size() >= maxConnections && !makeRoom());
            auto *connection = new Connection(socket, address, this);
            m_connections.append(connection);
            ++m_counts[address].connections;
            m_busiest = std::max(m_busiest, int(m_connections.size()));
            connect(socket, &QTcpSocket::readyRead, this, [this, connection] { read(connection); });
            connect(socket, &QTcpSocket::bytesWritten, this,
                    [this, connection] { written(connection); });
            connect(socket, &QTcpSocket::disconnected, this,
                    [this, connection] { drop(connection); });
            // A client that is done sending (EOF) may still be owed its answer: Qt closes the
            // socket once that is written, and says disconnected.
            connect(socket, &QTcpSocket::errorOccurred, this,
                    [this, connection](QAbstractSocket::SocketError error) {
                        if (error != QAbstractSocket::RemoteHostClosedError) {
                            drop(connection);
                        }
                    });
            connect(&connection->deadline, &QTimer::timeout, this,
                    [this, connection] { expired(connection); });
            if (full) { // no room for this client: it is told so, and closed
                respond(connection, PhoneBoardAnswer::refusal(503));
                continue;
            }
            connection->deadline.start(headMilliseconds);
            read(connection); // what came with the connection
        }
    }

    // The connection that has waited longest for a request goes, to make room for a new one.
    bool makeRoom() {
        const auto waiting = std::find_if(
            m_connections.cbegin(), m_connections.cend(), [](const Connection *connection) {
                return connection->state == Connection::State::Waiting ||
                       connection->state == Connection::State::Reading;
            });
        if (waiting == m_connections.cend()) {
            return false;
        }
        drop(*waiting);
        return true;
    }

    void acceptFailed(QAbstractSocket::SocketError error) {
        m_listener->pauseAccepting();
        m_paused = true;
        // Out of descriptors: one of ours that waits for a request gives its own, or accepting
        // waits a moment. Any other failure is the client's (it left before it was taken).
        if (error == QAbstractSocket::SocketResourceError && !makeRoom()) {
            m_resume.start(acceptPauseMilliseconds);
        } else {
            QTimer::singleShot(0, this, &Impl::resumeAccepting);
        }
    }

    void resumeAccepting() {
        if (m_paused && !m_closed) {
            m_paused = false;
            m_resume.stop();
            m_listener->resumeAccepting();
        }
    }

    void read(Connection *connection) {
        if (connection->gone) {
            return;
        }
        QTcpSocket *socket = connection->socket;
        switch (connection->state) {
        case Connection::State::Answering: // the next request waits for this answer to go
        case Connection::State::Closing:   // nothing more is read
            return;
        case Connection::State::Streaming:
            connection->streamInput += socket->skip(socket->bytesAvailable());
            if (connection->streamInput > streamInputLimit) {
                drop(connection);
            }
            return;
        case Connection::State::Waiting:
        case Connection::State::Reading:
            break;
        }
        const qsizetype room = HttpRequestParser::maxHeadBytes + 1 - connection->input.size();
        if (room > 0) {
            connection->input += socket->read(room);
        }
        if (connection->input.isEmpty()) {
            return;
        }
        const HttpRequestParser::Result request = HttpRequestParser::parse(connection->input);
        if (request.outcome == HttpRequestParser::Outcome::Incomplete) {
            if (connection->state == Connection::State::Waiting) {
                connection->state = Connection::State::Reading;
                if (!connection->fresh) {
                    connection->deadline.start(headMilliseconds);
                }
            }
            return;
        }
        connection->input.remove(0, request.length);
        respond(connection, PhoneBoardAnswer::to(request));
    }

    void respond(Connection *connection, PhoneBoardAnswer answer) {
        QTcpSocket *socket = connection->socket;
        connection->fresh = false;
        if (answer.then == PhoneBoardAnswer::Then::Stream) {
            if (m_viewers < maxViewers &&
                m_counts.value(connection->address).viewers < maxViewersPerAddress) {
                openStream(connection, answer.bytes);
                return;
            }
            answer = PhoneBoardAnswer::refusal(503);
        }
        if (answer.then == PhoneBoardAnswer::Then::Close) {
            connection->state = Connection::State::Closing;
            connection->deadline.start(writeMilliseconds);
            socket->write(answer.bytes);
            socket->disconnectFromHost(); // once the answer is written; may drop it now
            return;
        }
        connection->state = Connection::State::Answering;
        connection->deadline.start(writeMilliseconds);
        socket->write(answer.bytes); // the socket writes it as the client takes it
    }

    // The answer went: the connection waits for the next request, which may have come already.
    void written(Connection *connection) {
        if (connection->gone || connection->state != Connection::State::Answering ||
            connection->socket->bytesToWrite() > 0) {
            return;
        }
        connection->state = Connection::State::Waiting;
        connection->deadline.start(idleMilliseconds);
        QTimer::singleShot(0, connection, [this, connection] { read(connection); });
    }

    void expired(Connection *connection) {
        if (connection->state == Connection::State::Reading) {
            respond(connection, PhoneBoardAnswer::refusal(408));
        } else {
            drop(connection); // idle, or its answer not taken: nothing to say
        }
    }

    void openStream(Connection *connection, const QByteArray &head) {
        connection->state = Connection::State::Streaming;
        connection->deadline.stop();
        connection->input.clear();
        ++m_viewers;
        ++m_counts[connection->address].viewers;
        connection->socket->write(head + m_state);
        connection->socket->flush(); // hands the state to the system now, without waiting
        emit m_owner->viewersChanged(m_viewers);
        // A slot may have stopped the server meanwhile; then nothing more is done here.
    }

    // The connection goes at once; its objects when the event loop is back, since this may be
    // called from one of its own signals.
    void drop(Connection *connection) {
        if (connection->gone) {
            return;
        }
        connection->gone = true;
        const bool viewer = connection->state == Connection::State::Streaming;
        m_connections.removeOne(connection);
        const auto counts = m_counts.find(connection->address);
        if (counts != m_counts.end()) {
            --counts->connections;
            counts->viewers -= viewer ? 1 : 0;
            if (counts->connections <= 0) {
                m_counts.erase(counts);
            }
        }
        disconnect(connection->socket, nullptr, this, nullptr);
        disconnect(&connection->deadline, nullptr, this, nullptr);
        connection->deadline.stop();
        connection->socket->abort();
        connection->deleteLater();
        resumeAccepting(); // a descriptor is free again
        crowdGoes();
        if (viewer) {
            --m_viewers;
            if (!m_closed) {
                emit m_owner->viewersChanged(m_viewers);
            }
        }
    }

    // Writes to every stream without waiting; a stream too far behind is dropped.
    void sendAll(const QByteArray &bytes) {
        const QList<Connection *> open = m_connections;
        for (Connection *connection : open) {
            if (connection->gone || connection->state != Connection::State::Streaming) {
                continue;
            }
            if (connection->socket->bytesToWrite() + bytes.size() > unsentLimit) {
                drop(connection);
            } else {
                connection->socket->write(bytes);
                connection->socket->flush(); // never blocks: what the system cannot take waits
            }
        }
    }

    PhoneBoardServer *m_owner;
    QTcpServer *m_listener;
    QTimer m_resume;
    QTimer m_giveBack;
    int m_busiest = 0; // connections open at once, at most, since memory was last given back
    QList<Connection *> m_connections; // in the order they came
    QHash<QHostAddress, Counts> m_counts;
    int m_viewers = 0;
    QByteArray m_state = "data: {}\n\n";
    bool m_paused = false;
    bool m_closed = false;
};

PhoneBoardServer::PhoneBoardServer(QObject *parent) : QObject(parent) {
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
    QTcpServer *listener = d->listener();
    // The system keeps this many connections waiting to be taken (Qt's own default is 50): a
    // hall's phones all open the page at once when the game starts, and an attack's crowd must
    // not make the system drop them before the server has turned it away.
    listener->setListenBacklogSize(maxConnections);
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
    return d ? d->listener()->serverPort() : 0;
}

QHostAddress PhoneBoardServer::address() const {
    return d ? d->listener()->serverAddress() : QHostAddress();
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
        awards.append(award.listed());
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
