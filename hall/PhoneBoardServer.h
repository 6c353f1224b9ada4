#pragma once

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
class PhoneBoardServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 defaultPort = 8090;
    static constexpr int maxViewers = 500;

    explicit PhoneBoardServer(QObject *parent = nullptr);
    ~PhoneBoardServer() override; // closes every connection

    // Listens on every address (QHostAddress::Any); port 0 picks a free one (tests).
    // False with reason (one Italian sentence, e.g. the port is taken) when it cannot.
    bool start(quint16 port, QString *reason);
    void stop(); // closes every connection
    bool isRunning() const;
    quint16 port() const; // the port listened on, 0 when stopped
    int viewers() const;  // event-stream clients connected now
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
