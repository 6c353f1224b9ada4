#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "tests/support/HostileClients.h"
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
using velmora::testing::Attack;
using velmora::testing::HostileClients;
using velmora::testing::HttpProbe;

// The board's server under the clients an attacker on the hall's Wi-Fi would send, over the
// loopback. The server runs alone in a child process (this program with serverOption), so
// that its memory is its own; each attack is bounded in count and time.

namespace {

const char *const serverOption = "--solo-server";

// Under the sanitizers the server's memory is theirs (freed blocks are held in quarantine, not
// given back), and their checks open files of their own, which a server with no descriptor left
// cannot: the memory figures and the wait for a descriptor hold in the normal build only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

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

} // namespace

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
        QTest::newRow("200 kept connections from 25 addresses") << Attack::KeptIdle << 200 << 25;
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
            HostileClients attacker(attack, m_port, connections, addresses);
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
        if (!sanitized) {
            const qint64 peak = memoryKb("VmHWM");
            // What the connections took goes back to the system once they are gone.
            const bool given =
                QTest::qWaitFor([&] { return memoryKb("VmRSS") - before < 4096; }, 5000);
            qInfo("server memory: %lld KiB before, %lld KiB at most, %lld KiB after", before, peak,
                  memoryKb("VmRSS"));
            QVERIFY2(given, "the server keeps what the attack cost it");
            QVERIFY2(peak - before < 16384, "the server held what the attack sent");
        }
        aNewPhoneIsServed();
        viewerGotEveryNumber();
    }

    // With no descriptor left, a phone waits for one, and is served as soon as one frees.
    void aPhoneWaitsForAFreeDescriptor() {
        if (sanitized) {
            QSKIP("the sanitizers' checks need a free descriptor of their own");
        }
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
