#include "hall/PhoneBoardControls.h"

#include "hall/PhoneBoardServer.h"
#include "hall/QrCode.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <utility>

namespace velmora {

namespace {

// Three pixels a module: an address's code is about 100 pixels wide, which a phone reads from
// a hand's breadth, and the Tabellone grows only a little taller for it.
constexpr int pixelsPerModule = 3;

QString addressText(const QHostAddress &address, quint16 port) {
    return QStringLiteral("http://%1:%2/").arg(address.toString()).arg(port);
}

} // namespace

PhoneBoardControls::PhoneBoardControls(QWidget *parent, AddressSource addresses)
    : QWidget(parent), m_addresses(std::move(addresses)) {
    if (!m_addresses) {
        m_addresses = &PhoneBoardServer::hallAddresses;
    }
    m_server = new PhoneBoardServer(this);
    connect(m_server, &PhoneBoardServer::viewersChanged, this, &PhoneBoardControls::showViewers);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_on = new QCheckBox(QStringLiteral("Tabellone sui tele&foni"));
    m_on->setObjectName(QStringLiteral("chkTelefoni"));
    m_on->setAccessibleName(QStringLiteral("Tabellone sui telefoni"));
    connect(m_on, &QCheckBox::toggled, this, &PhoneBoardControls::switched);
    layout->addWidget(m_on);

    m_port = new QSpinBox;
    m_port->setObjectName(QStringLiteral("spnPorta"));
    m_port->setRange(1024, 65535);
    m_port->setValue(PhoneBoardServer::defaultPort);
    m_port->setAccessibleName(QStringLiteral("Porta"));
    auto *portCaption = new QLabel(QStringLiteral("Porta:"));
    portCaption->setBuddy(m_port);
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(portCaption);
    portRow->addWidget(m_port, 1);
    connect(m_port, &QSpinBox::valueChanged, this, &PhoneBoardControls::changed);
    layout->addLayout(portRow);

    // Shown while the server runs: what to type, its code, and how many follow.
    m_address = new QLabel;
    m_address->setObjectName(QStringLiteral("lblIndirizzo"));
    m_address->setWordWrap(true);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_address->setFocusPolicy(Qt::TabFocus);
    m_code = new QLabel;
    m_code->setObjectName(QStringLiteral("picCodiceQR"));
    m_code->setAlignment(Qt::AlignLeft);
    m_viewers = new QLabel;
    m_viewers->setObjectName(QStringLiteral("lblCollegati"));
    for (QLabel *label : {m_address, m_code, m_viewers}) {
        label->hide();
        layout->addWidget(label);
    }
}

// The server, a child, goes after this destructor, in QWidget's: it tells nobody then.
PhoneBoardControls::~PhoneBoardControls() = default;

void PhoneBoardControls::switched(bool on) {
    if (on) {
        QString reason;
        if (!m_server->start(quint16(m_port->value()), &reason)) {
            const QSignalBlocker quiet(m_on);
            m_on->setChecked(false);
            m_refusal = reason;
            emit notice(reason);
            return;
        }
        if (!m_refusal.isEmpty()) {
            emit noticeOver(std::exchange(m_refusal, QString()));
        }
        showAddresses();
        showViewers(m_server->viewers());
    } else {
        m_server->stop();
    }
    m_port->setEnabled(!on);
    for (QLabel *label : {m_address, m_viewers}) {
        label->setVisible(on);
    }
    m_code->setVisible(on && !m_code->pixmap().isNull());
    emit changed();
}

bool PhoneBoardControls::isOn() const {
    return m_on->isChecked();
}

int PhoneBoardControls::port() const {
    return m_port->value();
}

void PhoneBoardControls::setPort(int port) {
    if (!m_on->isChecked()) {
        m_port->setValue(port);
    }
}

void PhoneBoardControls::switchOn() {
    m_on->setChecked(true);
}

void PhoneBoardControls::showAddresses() {
    const QList<QHostAddress> addresses = m_addresses();
    QStringList typed;
    for (const QHostAddress &address : addresses) {
        typed.append(addressText(address, m_server->port()));
    }
    m_code->setPixmap(QPixmap());
    m_code->setAccessibleName(QString());
    if (typed.isEmpty()) {
        m_address->setText(QStringLiteral("Nessuna rete: collega il computer alla rete della "
                                          "sala."));
        m_address->setAccessibleName(m_address->text());
        return;
    }
    m_address->setText(QStringLiteral("Sul telefono apri:\n%1").arg(typed.join(QLatin1Char('\n'))));
    m_address->setAccessibleName(m_address->text());
    // The code of the first address; the others, when there are any, are there to type.
    QString refusal;
    if (const std::optional<QrCode> code = QrCode::make(typed.first(), &refusal)) {
        m_code->setPixmap(QPixmap::fromImage(code->image(pixelsPerModule)));
        m_code->setAccessibleName(QStringLiteral("Codice QR di %1").arg(typed.first()));
    }
}

void PhoneBoardControls::showViewers(int viewers) {
    m_viewers->setText(QStringLiteral("Collegati: %1").arg(viewers));
    m_viewers->setAccessibleName(m_viewers->text());
}

void PhoneBoardControls::show(const HallState &state) {
    m_server->show(state);
}

} // namespace velmora
