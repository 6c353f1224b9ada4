#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "tests/support/HallAwards.h"
#include "tests/support/HttpProbe.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <deque>

using namespace velmora;
using velmora::testing::HttpProbe;

namespace {

enum class Ending { Stop, StopWhenAPageArrives, Destroy };

} // namespace

class PhoneBoardServerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PhoneBoardServer> m_server;
    QNetworkAccessManager m_http;

    QUrl url(const QString &path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->port()).arg(path));
    }
    // The finished reply to a request sent through Qt's HTTP client.
    std::unique_ptr<QNetworkReply> send(const QByteArray &method, const QString &path) {
        const QNetworkRequest request(url(path));
        std::unique_ptr<QNetworkReply> reply(
            method == "GET"    ? m_http.get(request)
            : method == "HEAD" ? m_http.head(request)
                               : m_http.sendCustomRequest(request, method, QByteArray("x=1")));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        finished.wait(5000);
        return reply;
    }

private slots:
    void init() {
        // A warning from Qt here is a fault of ours (an object used after it went).
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        m_server = std::make_unique<PhoneBoardServer>();
        QString reason;
        QVERIFY2(m_server->start(0, &reason), qPrintable(reason));
        QVERIFY(m_server->port() != 0);
    }
    void cleanup() { m_server.reset(); }

    void pageAndAssetsComeWithTheirTypes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("page") << "/" << QByteArray("text/html; charset=utf-8")
                              << QByteArray("<html lang=\"it\">");
        QTest::newRow("style") << "/tabellone.css" << QByteArray("text/css; charset=utf-8")
                               << QByteArray(".numeri");
        QTest::newRow("script") << "/tabellone.js" << QByteArray("text/javascript; charset=utf-8")
                                << QByteArray("EventSource");
        QTest::newRow("icon") << "/icona.svg" << QByteArray("image/svg+xml") << QByteArray("<svg");
        QTest::newRow("icon asked for unnamed")
            << "/favicon.ico" << QByteArray("image/svg+xml") << QByteArray("<svg");
    }
    void pageAndAssetsComeWithTheirTypes() {
        QFETCH(QString, path);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, content);
        const auto reply = send("GET", path);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QCOMPARE(reply->rawHeader("Content-Type"), type);
        QCOMPARE(reply->rawHeader("X-Content-Type-Options"), QByteArray("nosniff"));
        QVERIFY(reply->rawHeader("Content-Security-Policy").startsWith("default-src 'self'"));
        QCOMPARE(reply->rawHeader("Cache-Control"), QByteArray("no-cache"));
        QVERIFY(reply->readAll().contains(content));
        // HEAD: the same answer without its body.
        const auto head = send("HEAD", path);
        QCOMPARE(head->rawHeader("Content-Type"), type);
        QVERIFY(head->rawHeader("Content-Length").toInt() > 0);
        QVERIFY(head->readAll().isEmpty());
    }

    void onlyReadingIsAllowed_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::newRow("POST") << QByteArray("POST") << "/";
        QTest::newRow("PUT") << QByteArray("PUT") << "/tabellone.js";
        QTest::newRow("DELETE") << QByteArray("DELETE") << "/eventi";
        QTest::newRow("PATCH") << QByteArray("PATCH") << "/tabellone.css";
    }
    void onlyReadingIsAllowed() {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        const auto reply = send(method, path);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 405);
        QCOMPARE(reply->rawHeader("Allow"), QByteArray("GET, HEAD"));
        QCOMPARE(m_server->viewers(), 0);
    }

    // Written byte for byte: no path reaches a file, however it is spelt.
    void everyOtherPathIsNotFound_data() {
        QTest::addColumn<QByteArray>("path");
        for (const char *path :
             {"/../etc/passwd", "/%2e%2e/", "/%2e%2e/%2e%2e/etc/passwd", "/..%2fetc%2fpasswd",
              "/tabellone.html", "/index.html", "/tabellone.css/", "//tabellone.css",
              "/eventi/../tabellone.js", "/phone.qrc", "/:/velmora/logo.png", "/registro.sqlite"}) {
            QTest::newRow(path) << QByteArray(path);
        }
    }
    void everyOtherPathIsNotFound() {
        QFETCH(QByteArray, path);
        HttpProbe probe(m_server->port(), "GET", path);
        QVERIFY(probe.waitFor("\r\n\r\n"));
        QCOMPARE(probe.status(), 404);
        QVERIFY(!probe.received().contains("<html"));
    }

    // Whatever a request holds, the answer says what HTTP says of it, and a connection whose
    // next request could not be told apart (a body follows, or the head did not read) is closed.
    void everyRequestGetsItsAnswer_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("says");
        const QByteArray host = "Host: 127.0.0.1\r\n";
        QTest::newRow("HTTP/1.0") << QByteArray("GET /tabellone.css HTTP/1.0\r\n\r\n") << 200
                                  << QByteArray(".numeri");
        QTest::newRow("asked to close") << "GET / HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n"
                                        << 200 << QByteArray("<html");
        QTest::newRow("a body on a read")
            << "GET / HTTP/1.1\r\n" + host + "Content-Length: 104857600\r\n\r\nxx" << 413
            << QByteArray("non riceve dati");
        QTest::newRow("a chunked body on a read")
            << "GET /eventi HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\nzz\r\n"
            << 413 << QByteArray("non riceve dati");
        QTest::newRow("a bad chunk size")
            << "POST / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\nzz\r\n"
            << 405 << QByteArray("solo leggere");
        QTest::newRow("waiting to send a body")
            << "POST /eventi HTTP/1.1\r\n" + host +
                   "Content-Length: 10\r\nExpect: 100-continue\r\n\r\n"
            << 405 << QByteArray("solo leggere");
        QTest::newRow("an unknown expectation")
            << "GET / HTTP/1.1\r\n" + host + "Expect: nulla\r\n\r\n"
            << 417 << QByteArray("Expect");
        QTest::newRow("a WebSocket") << "GET /eventi HTTP/1.1\r\n" + host +
                                            "Connection: Upgrade\r\nUpgrade: websocket\r\n"
                                            "Sec-WebSocket-Version: 13\r\n"
                                            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n"
                                     << 501 << QByteArray("WebSocket");
        QTest::newRow("a long address") << "GET /" + QByteArray(3000, 'a') + " HTTP/1.1\r\n" + host
                                        << 414 << QByteArray("troppo lungo");
        QTest::newRow("too many headers")
            << "GET / HTTP/1.1\r\n" + host + QByteArray("X-Velmora: 1\r\n").repeated(1000) << 431
            << QByteArray("troppo grandi");
        QTest::newRow("no host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << 400
                                 << QByteArray("non valida");
        QTest::newRow("another version")
            << QByteArray("GET / HTTP/2.0\r\n\r\n") << 505 << QByteArray("Versione");
        QTest::newRow("not HTTP") << QByteArray::fromHex("160301020001000001fc0303") << 400
                                  << QByteArray("non valida");
    }
    void everyRequestGetsItsAnswer() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, says);
        HttpProbe probe(m_server->port(), request);
        QVERIFY(probe.closedByServer());
        QCOMPARE(probe.status(), status);
        QVERIFY2(probe.received().contains(says), probe.received().left(400).constData());
        QCOMPARE(probe.received().count("HTTP/1.1 "), 1);
        QCOMPARE(m_server->viewers(), 0);
    }

    // Phones are not on the loopback: the server listens on every address of the computer.
    void itListensOnEveryAddress() {
        const QHostAddress address = m_server->address();
        QVERIFY2(address == QHostAddress(QHostAddress::Any) ||
                     address == QHostAddress(QHostAddress::AnyIPv4),
                 qPrintable(address.toString()));
        m_server->stop();
        QVERIFY(m_server->address().isNull());
    }

    // A phone reaches the page at each address the QR code may show: the computer's own on its
    // networks, never the loopback.
    void phonesReachItOnTheHallsAddresses() {
        const QList<QHostAddress> hall = PhoneBoardServer::hallAddresses();
        if (hall.isEmpty()) {
            QSKIP("this computer is on no network: no address a phone could reach");
        }
        for (const QHostAddress &address : hall) {
            QVERIFY2(!address.isLoopback(), qPrintable(address.toString()));
            QTcpSocket phone;
            phone.connectToHost(address, m_server->port());
            QVERIFY2(phone.waitForConnected(5000), qPrintable(address.toString()));
            phone.write("GET / HTTP/1.1\r\nHost: tombola\r\n\r\n");
            QByteArray answer;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    answer += phone.readAll();
                    return answer.contains("\r\n\r\n");
                },
                5000));
            QVERIFY2(answer.startsWith("HTTP/1.1 200 "), answer.left(200).constData());
        }
    }

    // Only what the hall's board shows goes out, and a change reaches a page already there.
    void aChangeReachesAConnectedPage() {
        m_server->show(HallState::of(1, {12, 34}, QStringLiteral("Si gioca: Ambo"), {}));
        HttpProbe page(m_server->port(), "GET", "/eventi");
        QVERIFY(page.waitFor("\"ultimo\":34"));
        QCOMPARE(page.status(), 200);
        QVERIFY(page.received().contains("Content-Type: text/event-stream"));
        QTRY_COMPARE(m_server->viewers(), 1);

        m_server->show(
            HallState::of(1, {12, 34, 1, 2, 3, 4, 5, 77}, QStringLiteral("Si gioca: Terno"),
                          {testing::awardOf(QStringLiteral("Ambo"), {QStringLiteral("123")}, 2)}));
        QVERIFY(page.waitFor("\"ultimo\":77"));
        // Exactly the hall board's state, nothing more.
        QCOMPARE(page.lastEvent(), QByteArray(R"({"estratti":8,"inGioco":"Si gioca: Terno",)"
                                              R"("numeri":[12,34,1,2,3,4,5,77],"partita":1,)"
                                              R"("precedenti":[5,4,3,2,1],)"
                                              R"x("premi":["Ambo: cartella N. 123 (corsa 1)"],)x"
                                              R"("ultimo":77})"));
        // A new game leaves the last game's prizes behind.
        m_server->show(HallState::of(2, {}, QStringLiteral("Si gioca: Ambo"), {}));
        QVERIFY(page.waitFor("\"partita\":2,\"precedenti\":[],\"premi\":[],\"ultimo\":0}"));
    }

    void theViewerPastTheLimitIsTurnedAway() {
        std::deque<HttpProbe> pages;
        for (int i = 0; i < PhoneBoardServer::maxViewers; ++i) {
            pages.emplace_back(m_server->port(), "GET", "/eventi");
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server->viewers(), PhoneBoardServer::maxViewers, 20000);
        HttpProbe oneTooMany(m_server->port(), "GET", "/eventi");
        QVERIFY(oneTooMany.closedByServer());
        QCOMPARE(oneTooMany.status(), 503);
        QCOMPARE(m_server->viewers(), PhoneBoardServer::maxViewers);

        pages.pop_front(); // one leaves: the next is let in
        QTRY_COMPARE(m_server->viewers(), PhoneBoardServer::maxViewers - 1);
        HttpProbe next(m_server->port(), "GET", "/eventi");
        QVERIFY(next.waitFor("data: "));
    }

    // A phone that stops reading is dropped; the others keep getting every change.
    void aStalledPageIsDroppedWithoutHoldingTheOthers() {
        HttpProbe stalled(m_server->port(), "GET", "/eventi", 512);
        HttpProbe reading(m_server->port(), "GET", "/eventi");
        QTRY_COMPARE(m_server->viewers(), 2);
        const QString longPrize(1000, QLatin1Char('x'));
        int draws = 0;
        for (; draws < 5000 && m_server->viewers() == 2; ++draws) {
            m_server->show(HallState::of(1, {1 + draws % 90}, longPrize, {}));
            QTest::qWait(0);
        }
        QCOMPARE(m_server->viewers(), 1);
        stalled.resumeReading();
        QVERIFY(stalled.closedByServer());
        const int lastNumber = 1 + (draws - 1) % 90;
        QVERIFY(reading.waitFor("\"ultimo\":" + QByteArray::number(lastNumber) + '}'));
    }

    void stoppingClosesEveryConnection_data() {
        QTest::addColumn<Ending>("ending");
        QTest::newRow("stop") << Ending::Stop;
        QTest::newRow("stop as a page arrives") << Ending::StopWhenAPageArrives;
        QTest::newRow("closing the program") << Ending::Destroy;
    }
    void stoppingClosesEveryConnection() {
        QFETCH(Ending, ending);
        const quint16 port = m_server->port();
        HttpProbe idle(port, "GET", "/tabellone.css"); // answered, kept alive
        QVERIFY(idle.waitFor(".numeri"));
        if (ending == Ending::StopWhenAPageArrives) {
            // Inside the server's own handling of the page's request.
            connect(m_server.get(), &PhoneBoardServer::viewersChanged, m_server.get(),
                    &PhoneBoardServer::stop);
        }
        HttpProbe page(port, "GET", "/eventi");
        QVERIFY(page.waitFor("data: "));
        if (ending == Ending::Destroy) {
            QTRY_COMPARE(m_server->viewers(), 1);
            m_server.reset();
        } else if (ending == Ending::Stop) {
            QTRY_COMPARE(m_server->viewers(), 1);
            m_server->stop();
        }
        QVERIFY(!m_server || (!m_server->isRunning() && m_server->viewers() == 0));
        QVERIFY(page.closedByServer());
        QVERIFY(idle.closedByServer());
        // Nobody listens any more: the port can be taken again at once.
        QTcpServer again;
        QVERIFY(again.listen(QHostAddress::Any, port));
    }

    void aTakenPortIsSaidInItalian() {
        QString reason;
        PhoneBoardServer second;
        QVERIFY(!second.start(m_server->port(), &reason));
        QVERIFY(!second.isRunning());
        QVERIFY2(reason.contains(QStringLiteral("già usata")), qPrintable(reason));
    }
};

QTEST_MAIN(PhoneBoardServerTest)
#include "tst_PhoneBoardServer.moc"
