// velmora-phone-bench [PHONES] [DRAWS]: the board on the phones under load. The program starts
// the phones' server on a free port (it listens on every address) and a copy of itself as the
// phones: PHONES event streams (500 by default) that connect only to 127.0.0.1 and read every
// event. It then draws DRAWS numbers (90 by default), one after another: each is handed to the
// server and the next follows once every phone has it. It prints the median and the slowest
// time from handing a number to the server to the last phone reading it, the time the server
// kept the program busy, how many phones read every draw, and the peak memory (VmHWM) of the
// program and of the phones' process. Every wait is bounded: a draw that does not reach every
// phone in 20 seconds ends the run with status 1.

#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "rules/Game.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace velmora;

namespace {

constexpr int setupSeconds = 120;
constexpr int drawSeconds = 20;
// Phones connecting at the same moment: a few dozen, as the listening queue takes them.
constexpr int connectingAtOnce = 50;
const char *const phonesOption = "--telefoni";

// The steady clock is the system's monotonic one: the same in both processes.
qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// VmHWM of /proc/self/status in kB, 0 when it cannot be read.
qint64 peakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
        }
    }
    return 0;
}

void say(const QByteArray &line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The phones' side: each stream reads its events and notes the count of numbers in each. Says
// on standard output "pronti" once every phone has the board as it stands, "estrazione K T"
// when the last phone read the board with K numbers (T on the steady clock), "fine C KB" when
// every phone has the last draw (C: phones that read every draw once, in order; KB: VmHWM),
// and "errore ..." when a phone was refused or dropped.
class Phones : public QObject {
public:
    Phones(int phones, quint16 port, int draws)
        : m_port(port), m_draws(draws), m_phones(std::size_t(phones)),
          m_arrived(std::size_t(draws) + 1, 0) {}

    void start() {
        for (int i = 0; i < connectingAtOnce && m_started < int(m_phones.size()); ++i) {
            connectNext();
        }
    }

private:
    struct Phone {
        QTcpSocket *socket = nullptr;
        QByteArray buffer;
        bool answered = false; // the HTTP answer's head was read
        int lastCount = -1;    // numbers on the last board read
        int drawsRead = 0;
        bool inOrder = true;
    };

    void connectNext() {
        const std::size_t index = std::size_t(m_started++);
        auto *socket = new QTcpSocket(this);
        m_phones[index].socket = socket;
        connect(socket, &QTcpSocket::connected, socket, [socket] {
            socket->write("GET /eventi HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                          "Accept: text/event-stream\r\n\r\n");
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, index] { read(index); });
        connect(socket, &QTcpSocket::disconnected, this, [this, index] {
            if (!m_finished) {
                fail(QByteArray("il telefono ") + QByteArray::number(qulonglong(index)) +
                     " è stato scollegato");
            }
        });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }

    void read(std::size_t index) {
        const qint64 at = nowNs();
        Phone &phone = m_phones[index];
        phone.buffer += phone.socket->readAll();
        if (!phone.answered) {
            const qsizetype end = phone.buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                return;
            }
            if (!phone.buffer.startsWith("HTTP/1.1 200")) {
                fail("risposta: " + phone.buffer.left(phone.buffer.indexOf('\r')));
                return;
            }
            phone.answered = true;
            phone.buffer.remove(0, end + 4);
        }
        for (qsizetype end = phone.buffer.indexOf("\n\n"); end >= 0;
             end = phone.buffer.indexOf("\n\n")) {
            const QByteArray event = phone.buffer.left(end);
            phone.buffer.remove(0, end + 2);
            if (event.startsWith("data: ")) {
                const QJsonObject board = QJsonDocument::fromJson(event.mid(6)).object();
                boardRead(phone, board.value(QStringLiteral("estratti")).toInt(-1), at);
            }
        }
    }

    void boardRead(Phone &phone, int count, qint64 at) {
        if (phone.lastCount < 0) {
            phone.lastCount = count;
            if (++m_ready == int(m_phones.size())) {
                say("pronti");
            } else if (m_started < int(m_phones.size())) {
                connectNext();
            }
            return;
        }
        if (count != phone.lastCount + 1 || count > m_draws) {
            phone.inOrder = false;
            phone.lastCount = count;
            return;
        }
        phone.lastCount = count;
        ++phone.drawsRead;
        if (++m_arrived[std::size_t(count)] == int(m_phones.size())) {
            say("estrazione " + QByteArray::number(count) + ' ' + QByteArray::number(at));
            if (count == m_draws) {
                finish();
            }
        }
    }

    void finish() {
        m_finished = true;
        const auto complete =
            std::count_if(m_phones.begin(), m_phones.end(),
                          [this](const Phone &p) { return p.inOrder && p.drawsRead == m_draws; });
        say("fine " + QByteArray::number(qlonglong(complete)) + ' ' +
            QByteArray::number(peakMemoryKb()));
        QCoreApplication::exit(0);
    }

    void fail(const QByteArray &what) {
        m_finished = true;
        say("errore " + what);
        QCoreApplication::exit(1);
    }

    quint16 m_port;
    int m_draws;
    std::vector<Phone> m_phones;
    std::vector<int> m_arrived; // phones that read the board with K numbers
    int m_started = 0;
    int m_ready = 0;
    bool m_finished = false;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The program's side: the server, the draws and the figures.
class Draws : public QObject {
public:
    Draws(int phones, int draws) : m_phones(phones), m_draws(draws) {
        std::array<int, 90> numbers{};
        for (int i = 0; i < 90; ++i) {
            numbers.at(std::size_t(i)) = i + 1;
        }
        std::mt19937 random(90);
        std::shuffle(numbers.begin(), numbers.end(), random);
        m_order.assign(numbers.begin(), numbers.begin() + draws);
        m_handed.resize(std::size_t(draws) + 1);
        m_watchdog.setSingleShot(true);
        connect(&m_watchdog, &QTimer::timeout, this, [this] {
            stop(QStringLiteral("tempo scaduto: l'estrazione %1 non è arrivata a tutti i telefoni")
                     .arg(m_game.count()));
        });
    }

    bool start() {
        QString reason;
        if (!m_server.start(0, &reason)) {
            QTextStream(stderr) << reason << '\n';
            return false;
        }
        m_server.show(HallState::of(1, m_game.numbers(), QStringLiteral("Si gioca: Ambo"), {}));
        connect(&m_child, &QProcess::readyReadStandardOutput, this, &Draws::childSaid);
        connect(&m_child, &QProcess::finished, this, [this] {
            if (!m_done) {
                stop(QStringLiteral("i telefoni si sono fermati: %1")
                         .arg(QString::fromLocal8Bit(m_child.readAllStandardError())));
            }
        });
        m_child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_child.start(QCoreApplication::applicationFilePath(),
                      {QLatin1String(phonesOption), QString::number(m_phones),
                       QString::number(m_server.port()), QString::number(m_draws)});
        m_watchdog.start(setupSeconds * 1000);
        return true;
    }

private:
    void childSaid() {
        while (m_child.canReadLine()) {
            const QList<QByteArray> words = m_child.readLine().trimmed().split(' ');
            if (words.first() == "pronti") {
                m_connectedSeen = m_server.viewers();
                drawNext();
            } else if (words.first() == "estrazione" && words.size() == 3) {
                const int count = words.at(1).toInt();
                m_latencies.push_back(
                    double(words.at(2).toLongLong() - m_handed.at(std::size_t(count))) / 1e6);
                if (count < m_draws) {
                    drawNext();
                }
            } else if (words.first() == "fine" && words.size() == 3) {
                report(words.at(1).toInt(), words.at(2).toLongLong());
            } else {
                stop(QString::fromUtf8(words.join(' ')));
            }
        }
    }

    void drawNext() {
        m_game.draw(m_order.at(std::size_t(m_game.count())));
        const HallState state =
            HallState::of(1, m_game.numbers(), QStringLiteral("Si gioca: Ambo"), {});
        const qint64 handed = nowNs();
        m_handed.at(std::size_t(m_game.count())) = handed;
        m_server.show(state);
        m_busy.push_back(double(nowNs() - handed) / 1e6);
        m_watchdog.start(drawSeconds * 1000);
    }

    void report(int complete, qint64 phonesPeakKb) {
        m_done = true;
        m_watchdog.stop();
        QTextStream out(stdout);
        out << "telefoni collegati: " << m_phones << " (contati dal server: " << m_connectedSeen
            << "), estrazioni: " << m_draws << "\n";
        out << "dall'estrazione all'ultimo telefono: mediana " << median(m_latencies)
            << " ms, massimo " << *std::max_element(m_latencies.begin(), m_latencies.end())
            << " ms\n";
        out << "programma occupato dall'invio (show): mediana " << median(m_busy) << " ms, massimo "
            << *std::max_element(m_busy.begin(), m_busy.end()) << " ms\n";
        out << "telefoni che hanno ricevuto tutte le " << m_draws << " estrazioni: " << complete
            << " su " << m_phones << "\n";
        out << "memoria di picco (VmHWM): programma " << peakMemoryKb() / 1024
            << " MiB, telefoni (processo a parte) " << phonesPeakKb / 1024 << " MiB\n";
        out.flush();
        m_child.waitForFinished(5000);
        QCoreApplication::exit(complete == m_phones ? 0 : 1);
    }

    void stop(const QString &why) {
        m_done = true;
        QTextStream(stderr) << "velmora-phone-bench: " << why << '\n';
        m_child.kill();
        m_child.waitForFinished(5000);
        QCoreApplication::exit(1);
    }

    int m_phones;
    int m_draws;
    PhoneBoardServer m_server;
    QProcess m_child;
    QTimer m_watchdog;
    Game m_game;
    std::vector<int> m_order;
    std::vector<qint64> m_handed; // when the board with K numbers went to the server
    std::vector<double> m_latencies;
    std::vector<double> m_busy;
    int m_connectedSeen = 0;
    bool m_done = false;
};

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String(phonesOption)) {
        Phones phones(args.at(2).toInt(), quint16(args.at(3).toUInt()), args.at(4).toInt());
        QTimer::singleShot(0, &phones, &Phones::start);
        QTimer::singleShot((setupSeconds + 90 * drawSeconds) * 1000, &app, [] {
            say("errore i telefoni hanno aspettato troppo");
            QCoreApplication::exit(1);
        });
        return app.exec();
    }
    const int phones = args.size() > 1 ? args.at(1).toInt() : PhoneBoardServer::maxViewers;
    const int draws = args.size() > 2 ? args.at(2).toInt() : 90;
    if (args.size() > 3 || phones < 1 || phones > PhoneBoardServer::maxViewers || draws < 1 ||
        draws > 90) {
        QTextStream(stderr) << "uso: velmora-phone-bench [TELEFONI 1-"
                            << PhoneBoardServer::maxViewers << "] [ESTRAZIONI 1-90]\n";
        return 2;
    }
    Draws run(phones, draws);
    if (!run.start()) {
        return 1;
    }
    return app.exec();
}
