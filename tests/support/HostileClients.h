#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <map>
#include <vector>

namespace velmora::testing {

// What an attacker on the hall's Wi-Fi sends the phones' server.
enum class Attack {
    EndlessChunks,
    HugeBody,
    HugePath,
    ManyHeaders,
    SlowHeads,
    Idle,
    KeptIdle, // one request answered, then nothing
    Stalled,
};

// Clients that mean harm to the phones' server: `count` connections from `addresses` addresses
// of the loopback (127.66.0.1 and on), each sending what its kind sends until the server closes
// it, never more than the attack's bound. With `again`, each connection the server closes is
// opened again at once, so that the attack lasts.
class HostileClients {
public:
    HostileClients(Attack kind, quint16 port, int count, int addresses, bool again = false)
        : m_kind(kind), m_port(port), m_count(count), m_addresses(addresses), m_again(again) {
        m_trickle.setInterval(1000);
        QObject::connect(&m_trickle, &QTimer::timeout, [this] {
            for (QTcpSocket *socket : m_sockets) {
                if (socket && socket->state() == QAbstractSocket::ConnectedState) {
                    socket->write("X"); // a header that never ends
                }
            }
        });
        if (kind == Attack::SlowHeads) {
            m_trickle.start();
        }
        m_sockets.resize(std::size_t(count), nullptr);
        for (int i = 0; i < 200; ++i) {
            connectNext();
        }
    }
    ~HostileClients() { qDeleteAll(m_sockets); }

    // Every connection made (or refused), and what the attack sends on it under way.
    bool established() {
        return QTest::qWaitFor([this] { return m_settled >= m_count; }, 60000);
    }
    // Every connection closed by the server (each reads again, to hear it).
    bool closedByServer() {
        for (QTcpSocket *socket : m_sockets) {
            socket->setReadBufferSize(0);
            QObject::connect(socket, &QTcpSocket::readyRead, socket,
                             [socket] { socket->readAll(); });
            if (socket->isOpen()) {
                socket->readAll();
            }
        }
        return QTest::qWaitFor(
            [this] {
                return std::all_of(m_sockets.cbegin(), m_sockets.cend(), [](QTcpSocket *s) {
                    return s->state() == QAbstractSocket::UnconnectedState;
                });
            },
            30000);
    }

private:
    // A few hundred connecting at once: the rest start as those are made.
    void connectNext() {
        if (m_started < m_count) {
            open(m_started++);
        }
    }

    void open(int index) {
        auto *socket = new QTcpSocket;
        std::swap(m_sockets.at(std::size_t(index)), socket);
        if (socket) {
            m_sent.erase(socket);
            socket->disconnect();
            socket->deleteLater();
        }
        socket = m_sockets.at(std::size_t(index));
        if (m_kind == Attack::Stalled) {
            socket->setReadBufferSize(512);
        }
        socket->bind(QHostAddress((127u << 24) | (66u << 16) | quint32(index % m_addresses + 1)));
        // Made or refused: the next one starts.
        const auto settled = [this, socket] {
            if (!socket->property("settled").toBool()) {
                socket->setProperty("settled", true);
                ++m_settled;
                connectNext();
            }
        };
        QObject::connect(socket, &QTcpSocket::connected, [this, socket, settled] {
            socket->write(head());
            settled();
        });
        QObject::connect(socket, &QTcpSocket::errorOccurred, settled);
        QObject::connect(socket, &QTcpSocket::bytesWritten, [this, socket] { more(socket); });
        if (m_again) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, index] {
                QTimer::singleShot(0, [this, index] { open(index); });
            });
        }
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }

    QByteArray head() const {
        switch (m_kind) {
        case Attack::EndlessChunks:
            return "POST /eventi HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
        case Attack::HugeBody:
            return "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 104857600\r\n\r\n";
        case Attack::HugePath:
            return "GET /";
        case Attack::ManyHeaders:
            return "GET / HTTP/1.1\r\nHost: x\r\n";
        case Attack::SlowHeads:
            return "GET / HTTP/1.1\r\nX-Lento: ";
        case Attack::Idle:
            return {};
        case Attack::KeptIdle:
            return "GET /tabellone.css HTTP/1.1\r\nHost: x\r\n\r\n";
        case Attack::Stalled:
            return "GET /eventi HTTP/1.1\r\nHost: x\r\n\r\n";
        }
        return {};
    }

    // The next 64 KiB once the last went, up to the attack's bound.
    void more(QTcpSocket *socket) {
        static const QByteArray chunk(64 * 1024, 'a');
        static const QByteArray headers = QByteArray("X-Velmora: 1\r\n").repeated(4681);
        const qint64 bound = m_kind == Attack::EndlessChunks ? 1LL << 30
                             : m_kind == Attack::HugeBody    ? 100LL << 20
                             : m_kind == Attack::HugePath    ? 16LL << 20
                             : m_kind == Attack::ManyHeaders ? 100000LL * 14
                                                             : 0;
        qint64 &sent = m_sent[socket];
        if (socket->bytesToWrite() > 0 || sent >= bound ||
            socket->state() != QAbstractSocket::ConnectedState) {
            return;
        }
        const QByteArray &next = m_kind == Attack::ManyHeaders ? headers : chunk;
        sent += socket->write(m_kind == Attack::EndlessChunks ? "10000\r\n" + next + "\r\n" : next);
    }

    Attack m_kind;
    quint16 m_port;
    int m_count;
    int m_addresses;
    bool m_again;
    int m_started = 0;
    int m_settled = 0;
    QTimer m_trickle;
    std::vector<QTcpSocket *> m_sockets;
    std::map<QTcpSocket *, qint64> m_sent;
};

} // namespace velmora::testing

Q_DECLARE_METATYPE(velmora::testing::Attack)
