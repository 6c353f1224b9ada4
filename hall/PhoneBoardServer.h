#pragma once

#include "hall/HallSetup.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace velmora {

struct HallState;

// "Tabellone sui telefoni": a small read-only web server inside the window program, so that any
// browser on the hall's network follows the game. It serves one page, its style and its script,
// and an event stream that sends the whole hall state as JSON at connect and after each change.
// Only what the hall's board shows leaves the program: the numbers drawn in order, the prize
// being played and the prizes awarded in this game, with the game's id so that a page can tell
// a new game. Writes never wait on the network: a client that cannot keep up is dropped and its
// browser reconnects by itself.
//
// The hall's network is open to anyone on its Wi-Fi, so every connection is bounded whatever its
// client sends or fails to read: a request is its head alone (HttpRequestParser's bounds, no body
// ever read), which must come whole in a few seconds; a connection waiting for its next request
// is closed after a while; a stream that is not read is dropped. One address holds a few
// connections and streams at most, so that one laptop cannot take the room of the phones.
class PhoneBoardServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 defaultPort = HallSetup::defaultPort;
    static constexpr int maxViewers = 500;
    // Every phone's stream and the pages being loaded. Past it the connection that has waited
    // longest for a request makes room, or the newcomer is told to come back (503).
    static constexpr int maxConnections = maxViewers + 100;
    // A phone is one address on the hall's Wi-Fi (an IPv6 device: its /64), and its browser
    // opens a few connections at once; a page open twice is two streams.
    static constexpr int maxConnectionsPerAddress = 8;
    static constexpr int maxViewersPerAddress = 4;
    // A request's head must come whole this long after the connection opens or the request
    // starts (408); a connection waiting for its next request is closed after idleMilliseconds.
    static constexpr int headMilliseconds = 5000;
    static constexpr int idleMilliseconds = 5000;

    explicit PhoneBoardServer(QObject *parent = nullptr);
    ~PhoneBoardServer() override; // closes every connection

    // Listens on every address (QHostAddress::Any); port 0 picks a free one (tests).
    // False with reason (one Italian sentence, e.g. the port is taken) when it cannot.
    bool start(quint16 port, QString *reason);
    void stop(); // closes every connection
    bool isRunning() const;
    quint16 port() const; // the port listened on, 0 when stopped
    // The address listened on: every address of the computer while running, null when stopped.
    QHostAddress address() const;
    int viewers() const; // event-stream clients connected now
    // The game as the hall sees it; every connected page gets it at once (never waits on the
    // network), and a page that connects later gets the last one.
    void show(const HallState &state);
    // The laptop's addresses a phone on the hall's network can reach (IPv4, not loopback).
    static QList<QHostAddress> hallAddresses();

signals:
    void viewersChanged(int viewers);

private:
    class Impl;

    std::unique_ptr<Impl> d; // while running
    QJsonObject m_lastState; // what a page is sent at connect
};

} // namespace velmora
