// velmora-phone-bench [PHONES] [DRAWS]: the board on the phones under load and under attack. The
// program starts the phones' server on a free port (it listens on every address) and a copy of
// itself as the phones: PHONES event streams (500 by default) that connect only to 127.0.0.1,
// each from an address of its own on the loopback, and read every event. It then draws DRAWS
// numbers (10 by default) in each of eight rounds, one after another: each is handed to the
// server and the next follows once every phone has it. The first round is quiet; in each other
// round another copy of itself attacks the server from other loopback addresses (as
// tests/support/HostileClients.h does, each connection opened again once the server closes it)
// for as long as the round lasts. For each round it prints the median and the slowest time from
// handing a number to the server to the last phone reading it (draws a quarter of a second
// apart), the program's memory before the attack, at its peak during it (VmHWM) and a second
// after, and the processor time the program took over the round. At the end,
// the same over all draws, how many phones read every draw, and the phones' process's peak.
// Every wait is bounded: a draw that does not reach every phone in 20 seconds ends the run with
// status 1.

#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "rules/Game.h"
#include "tests/support/HostileClients.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include <sys/resource.h>

using namespace velmora;

namespace {

constexpr int setupSeconds = 120;
constexpr int drawSeconds = 20;
constexpr int drawPauseMilliseconds = 250;
// Phones connecting at the same moment: a few dozen, as the listening queue takes them.
constexpr int connectingAtOnce = 50;
const char *const phonesOption = "--telefoni";
const char *const attackOption = "--attacco";

using testing::Attack;

struct Round {
    const char *name;
    int attack; // an Attack, or -1 for none
    int connections;
    int addresses;
};

constexpr Round rounds[] = {
    {"nessun attacco", -1, 0, 0},
    {"corpo chunked senza fine", int(Attack::EndlessChunks), 1, 1},
    {"corpo di 100 MB", int(Attack::HugeBody), 1, 1},
    {"percorso di 16 MB", int(Attack::HugePath), 1, 1},
    {"100.000 intestazioni", int(Attack::ManyHeaders), 1, 1},
    {"1.000 richieste lente da 125 indirizzi", int(Attack::SlowHeads), 1000, 125},
    {"5.000 collegamenti inattivi da un indirizzo", int(Attack::Idle), 5000, 1},
    {"4 pagine che non leggono", int(Attack::Stalled), 4, 1},
};
constexpr int roundCount = int(std::size(rounds));

// The steady clock is the system's monotonic one: the same in both processes.
qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A field of /proc/self/status in kB (VmHWM, VmRSS), 0 when it cannot be read.
qint64 memoryKb(const QByteArray &field = "VmHWM") {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').constFirst().toLongLong();
        }
    }
    return 0;
}
qint64 peakMemoryKb() {
    return memoryKb();
}

// The peak so far is forgotten: VmHWM starts again from VmRSS.
void forgetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// Processor time the process has taken, in milliseconds.
double processorMs() {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    return (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
           (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
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
        // Each phone has an address of its own, as on the hall's Wi-Fi.
        socket->bind(QHostAddress((127u << 24) | (1u << 16) | quint32(index + 1)));
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

// The program's side: the server, the rounds of draws, their attackers and the figures.
class Draws : public QObject {
public:
    // draws: in each round.
    Draws(int phones, int draws)
        : m_phones(phones), m_perRound(draws), m_draws(draws * roundCount) {
        std::array<int, 90> numbers{};
        for (int i = 0; i < 90; ++i) {
            numbers.at(std::size_t(i)) = i + 1;
        }
        std::mt19937 random(90);
        std::shuffle(numbers.begin(), numbers.end(), random);
        m_order.assign(numbers.begin(), numbers.begin() + m_draws);
        m_handed.resize(std::size_t(m_draws) + 1);
        m_watchdog.setSingleShot(true);
        connect(&m_watchdog, &QTimer::timeout, this, [this] {
            stop(QStringLiteral("tempo scaduto: l'estrazione %1 non è arrivata a tutti i telefoni")
                     .arg(m_game.count()));
        });
        connect(&m_attacker, &QProcess::readyReadStandardOutput, this, [this] {
            if (m_attacker.readAllStandardOutput().contains("in corso") && !m_drawing) {
                beginRound();
            }
        });
        m_attacker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
            if (!m_done && m_phonesPeakKb == 0) { // gone before saying its figures
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
    struct Figures {
        std::vector<double> latencies;
        qint64 beforeKb = 0;
        qint64 peakKb = 0;
        double processor = 0;
    };

    void childSaid() {
        while (m_child.canReadLine()) {
            const QList<QByteArray> words = m_child.readLine().trimmed().split(' ');
            if (words.first() == "pronti") {
                m_connectedSeen = m_server.viewers();
                startRound();
            } else if (words.first() == "estrazione" && words.size() == 3) {
                const int count = words.at(1).toInt();
                const double ms =
                    double(words.at(2).toLongLong() - m_handed.at(std::size_t(count))) / 1e6;
                m_latencies.push_back(ms);
                m_figures.latencies.push_back(ms);
                if (count % m_perRound != 0) {
                    // A quarter of a second between draws, so that the attack goes on around
                    // them (an evening's draws are seconds apart).
                    QTimer::singleShot(drawPauseMilliseconds, this, &Draws::drawNext);
                } else {
                    endRound();
                }
            } else if (words.first() == "fine" && words.size() == 3) {
                m_phonesComplete = words.at(1).toInt();
                m_phonesPeakKb = words.at(2).toLongLong();
            } else {
                stop(QString::fromUtf8(words.join(' ')));
            }
        }
    }

    // The round's attacker starts, if any; the draws follow once its attack is under way.
    void startRound() {
        const Round &round = rounds[m_round];
        m_drawing = false;
        m_figures = Figures();
        m_figures.beforeKb = memoryKb("VmRSS");
        forgetPeak();
        m_figures.processor = processorMs();
        if (round.attack < 0) {
            beginRound();
            return;
        }
        m_attacker.start(QCoreApplication::applicationFilePath(),
                         {QLatin1String(attackOption), QString::number(round.attack),
                          QString::number(m_server.port()), QString::number(round.connections),
                          QString::number(round.addresses)});
        m_watchdog.start(setupSeconds * 1000);
    }

    void beginRound() {
        m_drawing = true;
        drawNext();
    }

    void endRound() {
        m_figures.peakKb = peakMemoryKb();
        m_figures.processor = processorMs() - m_figures.processor;
        m_watchdog.stop();
        if (m_attacker.state() != QProcess::NotRunning) {
            m_attacker.closeWriteChannel(); // the attacker stops with its input
            if (!m_attacker.waitForFinished(10000)) {
                m_attacker.kill();
                m_attacker.waitForFinished(5000);
            }
        }
        // What the attack cost the program, a second after it ended (the server hands a
        // crowd's memory back half a second after the last of it has gone).
        QTimer::singleShot(1000, this, [this] {
            const Round &round = rounds[m_round];
            QTextStream(stdout) << round.name << ": dall'estrazione all'ultimo telefono mediana "
                                << median(m_figures.latencies) << " ms, massimo "
                                << *std::max_element(m_figures.latencies.begin(),
                                                     m_figures.latencies.end())
                                << " ms; memoria " << m_figures.beforeKb / 1024
                                << " MiB prima, picco " << m_figures.peakKb / 1024 << " MiB, "
                                << memoryKb("VmRSS") / 1024 << " MiB dopo; processore "
                                << qRound(m_figures.processor) << " ms\n";
            if (++m_round < roundCount) {
                startRound();
            } else {
                m_watchdog.start(drawSeconds * 1000);
                QTimer::singleShot(0, this, &Draws::awaitEnd);
            }
        });
    }

    void awaitEnd() {
        if (m_phonesPeakKb > 0) {
            report();
        } else {
            QTimer::singleShot(50, this, &Draws::awaitEnd);
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

    void report() {
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
        out << "telefoni che hanno ricevuto tutte le " << m_draws
            << " estrazioni: " << m_phonesComplete << " su " << m_phones << "\n";
        out << "memoria di picco dei telefoni (processo a parte): " << m_phonesPeakKb / 1024
            << " MiB\n";
        out.flush();
        m_child.waitForFinished(5000);
        QCoreApplication::exit(m_phonesComplete == m_phones ? 0 : 1);
    }

    void stop(const QString &why) {
        m_done = true;
        QTextStream(stderr) << "velmora-phone-bench: " << why << '\n';
        for (QProcess *child : {&m_child, &m_attacker}) {
            child->kill();
            child->waitForFinished(5000);
        }
        QCoreApplication::exit(1);
    }

    int m_phones;
    int m_perRound;
    int m_draws;
    PhoneBoardServer m_server;
    QProcess m_child;
    QProcess m_attacker;
    QTimer m_watchdog;
    Game m_game;
    std::vector<int> m_order;
    std::vector<qint64> m_handed; // when the board with K numbers went to the server
    std::vector<double> m_latencies;
    std::vector<double> m_busy;
    int m_round = 0;
    bool m_drawing = false;
    Figures m_figures;
    int m_connectedSeen = 0;
    int m_phonesComplete = 0;
    qint64 m_phonesPeakKb = 0;
    bool m_done = false;
};

// The attacker's side: the attack of a round, kept up until its input closes.
int attack(const QStringList &args) {
    // Thousands of connections at once: as many files as the system lets it open.
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    testing::HostileClients clients(Attack(args.at(2).toInt()), quint16(args.at(3).toUInt()),
                                    args.at(4).toInt(), args.at(5).toInt(), true);
    if (!clients.established()) {
        say("errore l'attacco non si è avviato");
        return 1;
    }
    say("in corso");
    QSocketNotifier ended(0, QSocketNotifier::Read);
    QObject::connect(&ended, &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 6 && args.at(1) == QLatin1String(attackOption)) {
        return attack(args);
    }
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
    const int draws = args.size() > 2 ? args.at(2).toInt() : 10;
    const int most = 90 / roundCount;
    if (args.size() > 3 || phones < 1 || phones > PhoneBoardServer::maxViewers || draws < 1 ||
        draws > most) {
        QTextStream(stderr) << "uso: velmora-phone-bench [TELEFONI 1-"
                            << PhoneBoardServer::maxViewers << "] [ESTRAZIONI PER TURNO 1-" << most
                            << "]\n";
        return 2;
    }
    Draws run(phones, draws);
    if (!run.start()) {
        return 1;
    }
    return app.exec();
}
