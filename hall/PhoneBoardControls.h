#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace velmora {

struct HallState;
class PhoneBoardServer;

// "Tabellone sui telefoni" in the Tabellone's hall column: the switch and port of the web
// server that puts the board on the phones of the hall, and while it runs the address to type,
// its QR code and how many phones follow.
class PhoneBoardControls : public QWidget {
    Q_OBJECT
public:
    using AddressSource = std::function<QList<QHostAddress>()>;

    // addresses: the laptop's addresses on the hall's network; by default the server's own.
    explicit PhoneBoardControls(QWidget *parent = nullptr, AddressSource addresses = {});
    ~PhoneBoardControls() override; // stops the server, closing every connection

    // The game and the prizes as the hall sees them, kept by the server also while it is off:
    // a page opened after it starts in the middle of a game still lists the prizes given.
    void show(const HallState &state);
    using QWidget::show;

    PhoneBoardServer *server() const { return m_server; }

    // The switch and the port as the organiser set them.
    bool isOn() const;
    int port() const;
    // Puts the port back (while off) and ticks the switch, as the organiser would.
    void setPort(int port);
    void switchOn();

signals:
    // Something the organiser should read, once ("the port is taken").
    void notice(const QString &text);
    // A notice said before is no longer true (the board started on another port).
    void noticeOver(const QString &text);
    // The switch or the port changed.
    void changed();

private:
    void switched(bool on);
    void showAddresses();
    void showViewers(int viewers);

    AddressSource m_addresses;
    PhoneBoardServer *m_server = nullptr;
    QCheckBox *m_on = nullptr;
    QSpinBox *m_port = nullptr;
    QLabel *m_address = nullptr;
    QLabel *m_code = nullptr;
    QLabel *m_viewers = nullptr;
    QString m_refusal; // why the server last could not start, until it starts
};

} // namespace velmora
