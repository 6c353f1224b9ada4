#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace velmora::testing {

// A client of the board's web server over the loopback, writing the request line itself, so
// that a path reaches the server exactly as written (an HTTP library tidies "/../" away).
// Reads whatever comes back; for an event stream, keeps reading as the events arrive.
// Each probe is a phone of its own: it connects to 127.0.0.1 from an address of its own on the
// loopback (127.0.0.0/8 is all the computer's), as each phone has one on the hall's Wi-Fi.
class HttpProbe {
public:
    // Another address on the loopback at each call, none of them 127.0.0.1.
    static QHostAddress nextPhoneAddress() {
        static quint32 phones = 0;
        return QHostAddress((127u << 24) | (1u << 16) | (phones++ % 60000u));
    }

    // readBuffer > 0 stops reading once that many bytes wait unread: a stalled phone.
    HttpProbe(quint16 port, const QByteArray &method, const QByteArray &path, qint64 readBuffer = 0,
              const QHostAddress &from = nextPhoneAddress())
        : m_socket(std::make_unique<QTcpSocket>()) {
        if (readBuffer > 0) {
            m_socket->setReadBufferSize(readBuffer);
        }
        m_socket->bind(from);
        m_socket->connectToHost(QHostAddress::LocalHost, port);
        m_socket->write(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        if (readBuffer == 0) {
            resumeReading();
        }
    }
    // A request written exactly as given, whatever it holds.
    HttpProbe(quint16 port, const QByteArray &request) : m_socket(std::make_unique<QTcpSocket>()) {
        m_socket->bind(nextPhoneAddress());
        m_socket->connectToHost(QHostAddress::LocalHost, port);
        m_socket->write(request);
        resumeReading();
    }

    // A stalled phone reads again (and so learns whether the server dropped it).
    void resumeReading() {
        m_socket->setReadBufferSize(0);
        QObject::connect(m_socket.get(), &QTcpSocket::readyRead,
                         [this] { m_received += m_socket->readAll(); });
        m_received += m_socket->readAll();
    }

    const QByteArray &received() const { return m_received; }
    // The status code of the answer, 0 before it came.
    int status() const {
        return m_received.startsWith("HTTP/1.1 ") ? m_received.mid(9, 3).toInt() : 0;
    }
    // True once the server closed the connection (waits at most five seconds).
    bool closedByServer() {
        return QTest::qWaitFor(
            [this] { return m_socket->state() == QAbstractSocket::UnconnectedState; }, 5000);
    }
    // True once the received bytes hold text (waits at most five seconds).
    bool waitFor(const QByteArray &text) {
        return QTest::qWaitFor([&] { return m_received.contains(text); }, 5000);
    }
    // The last "data:" line received, without its prefix.
    QByteArray lastEvent() const {
        const qsizetype at = m_received.lastIndexOf("\ndata: ");
        return at < 0 ? QByteArray() : m_received.mid(at + 7).split('\n').constFirst();
    }

private:
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
};

} // namespace velmora::testing
