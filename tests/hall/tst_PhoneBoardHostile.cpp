#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "tests/support/HttpProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

#include <deque>

using namespace velmora;
using velmora::testing::HttpProbe;

// The board's server under the clients an attacker on the hall's Wi-Fi would send, over the
// loopback. The server runs alone in a child process (this program with serverOption), so
// that its memory is its own; each attack is bounded in count and time.

namespace {

const char *const serverOption = "--solo-server";

// The child: the server on a free port, with at most `descriptors` open files. Says "porta P
// D" (D: files open at start), "spettatori N" at each change, and "estratti N" after each draw
// it is told by a line on its standard input. Draw N shows as game N, so that a page's events
// count the draws; a long prize text makes a stalled page fall behind soon.
int serverAlone(int descriptors) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = rlim_t(descriptors);
    setrlimit(RLIMIT_NOFILE, &limit);
    PhoneBoardServer server;
    if (!server.start(0, nullptr)) {
        return 1;
    }
    const auto say = [](const QByteArray &line) {
        std::fputs((line + '\n').constData(), stdout);
        std::fflush(stdout);
    };
    QObject::connect(&server, &PhoneBoardServer::viewersChanged,
                     [&](int viewers) { say("spettatori " + QByteArray::number(viewers)); });
    const QDir open(QStringLiteral("/proc/self/fd"), {}, QDir::NoSort,
                    QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    say("porta " + QByteArray::number(server.port()) + ' ' +
        QByteArray::number(open.count() - 1)); // less the listing's own
    int drawn = 0;
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[256];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(chunk, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            pending.remove(0, end + 1);
            ++drawn;
            server.show(
                HallState::of(drawn, {drawn % 90 + 1}, QString(1000, QLatin1Char('x')), {}));
            say("estratti " + QByteArray::number(drawn));
        }
    });
    return QCoreApplication::exec();
}

enum class Attack { EndlessChunks, HugeBody, HugePath, ManyHeaders, SlowHeads, Idle, Stalled };

// A client that means harm: `count` connections from `addresses` addresses of the loopback,
// each sending what its kind sends until the server closes it, never past `bound` bytes.
class Attacker {
public:
    Attacker(Attack kind, quint16 port, int count, int addresses)
        : m_kind(kind), m_port(port), m_count(count), m_addresses(addresses) {
        m_trickle.setInterval(1000);
        QObject::connect(&m_trickle, &QTimer::timeout, [this] {
            for (QTcpSocket *socket : m_sockets) {
                if (socket->state() == QAbstractSocket::ConnectedState) {
                    socket->write("X"); // a header that never ends
                }
            }
        });
        if (kind == Attack::SlowHeads) {
            m_trickle.start();
        }
        for (int i = 0; i < 200; ++i) {
            connectNext();
        }
    }
    ~Attacker() { qDeleteAll(m_sockets); }

    // Every connection made (or refused), and what the attack sends on it under way.
    bool established() {
        return QTest::qWaitFor([this] { return m_settled == m_count; }, 60000);
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
    void connectNext() {
        if (int(m_sockets.size()) >= m_count) {
            return;
        }
        const int index = int(m_sockets.size());
        auto *socket = new QTcpSocket;
        m_sockets.push_back(socket);
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
    int m_settled = 0;
    QTimer m_trickle;
    std::vector<QTcpSocket *> m_sockets;
    std::map<QTcpSocket *, qint64> m_sent;
};

} // namespace

Q_DECLARE_METATYPE(Attack)

class PhoneBoardHostileTest : public QObject {
    Q_OBJECT

private:
    QProcess m_server;
    QByteArray m_said;
    quint16 m_port = 0;
    int m_startDescriptors = 0;
    std::unique_ptr<HttpProbe> m_viewer; // an honest phone, there all along
    int m_drawn = 0;

    void startServer(int descriptors) {
        m_said.clear();
        connect(&m_server, &QProcess::readyReadStandardOutput, this,
                [this] { m_said += m_server.readAllStandardOutput(); });
        m_server.start(QCoreApplication::applicationFilePath(),
                       {QLatin1String(serverOption), QString::number(descriptors)});
        QVERIFY(QTest::qWaitFor([this] { return m_said.contains('\n'); }, 10000));
        const QList<QByteArray> words = m_said.left(m_said.indexOf('\n')).split(' ');
        m_port = quint16(words.value(1).toUInt());
        m_startDescriptors = words.value(2).toInt();
        m_viewer = std::make_unique<HttpProbe>(m_port, "GET", "/eventi");
        QVERIFY(waitSaid("spettatori 1\n"));
        m_drawn = 0;
    }
    bool waitSaid(const QByteArray &line) {
        return QTest::qWaitFor([&] { return m_said.endsWith(line) || m_said.contains(line); },
                               10000);
    }
    // Draws that many numbers at once (at most 50: a page that reads keeps up with them).
    bool draw(int count = 1) {
        m_server.write(QByteArray("estrai\n").repeated(count));
        m_drawn += count;
        return waitSaid("estratti " + QByteArray::number(m_drawn) + '\n');
    }
    // A line of /proc/<server>/status, in KiB.
    qint64 memoryKb(const char *field) {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_server.processId()));
        status.open(QIODevice::ReadOnly);
        const QRegularExpression line(QLatin1String(field) + QStringLiteral(":\\s+(\\d+) kB"));
        return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
    }
    void forgetPeak() {
        QFile clear(QStringLiteral("/proc/%1/clear_refs").arg(m_server.processId()));
        QVERIFY(clear.open(QIODevice::WriteOnly) && clear.write("5") == 1);
    }
    // The honest phone read every draw, in order.
    void viewerGotEveryNumber() {
        QVERIFY(m_viewer->waitFor("\"partita\":" + QByteArray::number(m_drawn) + ','));
        QList<int> counts;
        const QRegularExpression count(QStringLiteral("\"partita\":(\\d+)"));
        for (auto it = count.globalMatch(QString::fromLatin1(m_viewer->received()));
             it.hasNext();) {
            counts.append(it.next().captured(1).toInt());
        }
        QList<int> expected(m_drawn + 1);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(counts, expected);
    }
    void aNewPhoneIsServed() {
        HttpProbe phone(m_port, "GET", "/");
        QVERIFY(phone.waitFor("</html>"));
        QCOMPARE(phone.status(), 200);
    }

private slots:
    void initTestCase() {
        // Thousands of connections at once: as many files as the system lets this test open.
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        QVERIFY2(limit.rlim_cur >= 6000, "the test needs 6000 open files");
    }
    void cleanup() {
        m_viewer.reset();
        m_server.closeWriteChannel(); // the server ends with its input
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
        disconnect(&m_server, nullptr, this, nullptr);
    }

    void aHostileClientCostsThePhonesNothing_data() {
        QTest::addColumn<Attack>("attack");
        QTest::addColumn<int>("connections");
        QTest::addColumn<int>("addresses");
        QTest::newRow("a chunked body that never ends") << Attack::EndlessChunks << 1 << 1;
        QTest::newRow("a body of 100 MB") << Attack::HugeBody << 1 << 1;
        QTest::newRow("a path of 16 MB") << Attack::HugePath << 1 << 1;
        QTest::newRow("100,000 headers") << Attack::ManyHeaders << 1 << 1;
        QTest::newRow("1,000 slow heads from 125 addresses") << Attack::SlowHeads << 1000 << 125;
        QTest::newRow("5,000 idle connections from one address") << Attack::Idle << 5000 << 1;
        QTest::newRow("a page that never reads") << Attack::Stalled << 1 << 1;
    }
    void aHostileClientCostsThePhonesNothing() {
        QFETCH(Attack, attack);
        QFETCH(int, connections);
        QFETCH(int, addresses);
        startServer(1024); // the usual desktop limit
        QVERIFY(draw());
        aNewPhoneIsServed(); // what any page costs, before the attack
        const qint64 before = memoryKb("VmRSS");
        forgetPeak();
        {
            Attacker attacker(attack, m_port, connections, addresses);
            QVERIFY(attacker.established());
            // The game goes on meanwhile; a page that never reads goes once it is too far
            // behind, the honest one stays.
            QVERIFY(draw() && draw());
            if (attack == Attack::Stalled) {
                QVERIFY(waitSaid("spettatori 2\n"));
                const qsizetype from = m_said.size();
                for (int i = 0; i < 100 && m_said.indexOf("\nspettatori 1\n", from) < 0; ++i) {
                    QVERIFY(draw(50));
                    QVERIFY(m_viewer->waitFor("\"partita\":" + QByteArray::number(m_drawn) + ','));
                }
            }
            QVERIFY(attacker.closedByServer());
        }
        QVERIFY(draw());
        const qint64 peak = memoryKb("VmHWM");
        // What the connections took goes back to the system once they are gone.
        const bool given = QTest::qWaitFor([&] { return memoryKb("VmRSS") - before < 4096; }, 5000);
        qInfo("server memory: %lld KiB before, %lld KiB at most, %lld KiB after", before, peak,
              memoryKb("VmRSS"));
        QVERIFY2(given, "the server keeps what the attack cost it");
        QVERIFY2(peak - before < 16384, "the server held what the attack sent");
        aNewPhoneIsServed();
        viewerGotEveryNumber();
    }

    // With no descriptor left, a phone waits for one, and is served as soon as one frees.
    void aPhoneWaitsForAFreeDescriptor() {
        const int descriptors = 64;
        startServer(descriptors);
        const int room = descriptors - m_startDescriptors - 1; // the honest phone's
        std::deque<HttpProbe> phones;
        for (int i = 0; i < room; ++i) {
            phones.emplace_back(m_port, "GET", "/eventi");
        }
        QVERIFY(waitSaid("spettatori " + QByteArray::number(room + 1) + '\n'));
        HttpProbe waiting(m_port, "GET", "/eventi");
        phones.pop_front();
        QVERIFY(waiting.waitFor("data: "));
        QVERIFY(draw());
        viewerGotEveryNumber();
    }
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], serverOption) == 0) {
        return serverAlone(QByteArray(argv[2]).toInt());
    }
    PhoneBoardHostileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PhoneBoardHostile.moc"
