#include "hall/HallState.h"
#include "hall/PhoneBoardServer.h"
#include "tests/support/HallAwards.h"
#include "tests/support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace velmora;

// The phones' page in a real browser: headless Chromium loads it from the running server, a
// number is drawn while it is open, and the page's DOM must show it marked and as the last
// number, with nothing cut or spilling over, on a phone and on a television.
class PhoneBoardBrowserTest : public QObject {
    Q_OBJECT

private:
    QString m_chromium;
    QString m_shots = qEnvironmentVariable("VELMORA_PHONE_SHOTS");

    // A game under way, with four prizes given.
    static HallState playing() {
        using testing::awardOf;
        return HallState::of(
            1, {12, 34, 5, 6, 7, 8, 9}, QStringLiteral("Si gioca: Cinquina"),
            {awardOf(QStringLiteral("Ambo"), {QStringLiteral("123")}, 2),
             awardOf(QStringLiteral("Terno"), {QStringLiteral("4521")}, 3),
             awardOf(QStringLiteral("Quaterna"), {QStringLiteral("17"), QStringLiteral("2210")}, 5),
             awardOf(QStringLiteral("Cinquina"), {QStringLiteral("999")}, 7)});
    }

    // Chromium's output for the page at that size; whenConnected runs once the page is
    // connected. The page closes its stream after the second state it gets, so the headless
    // browser sees the network fall quiet and hands over the page. Empty when the browser did
    // not finish.
    using Action = std::function<void(PhoneBoardServer &, HallState &)>;
    QByteArray loadPage(const QSize &size, const QString &output, const Action &whenConnected) {
        PhoneBoardServer server;
        HallState state = playing();
        server.show(state);
        QString reason;
        if (!server.start(0, &reason)) {
            qWarning("%s", qPrintable(reason));
            return {};
        }
        bool done = false;
        connect(&server, &PhoneBoardServer::viewersChanged, this, [&](int viewers) {
            if (viewers == 1 && !done) {
                done = true;
                whenConnected(server, state);
            }
        });
        const quint16 port = server.port();
        QTemporaryDir profile;
        QProcess browser;
        browser.setProcessChannelMode(QProcess::SeparateChannels);
        browser.start(m_chromium,
                      {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                       QStringLiteral("--disable-gpu"), QStringLiteral("--hide-scrollbars"),
                       QStringLiteral("--no-first-run"),
                       QStringLiteral("--user-data-dir=") + profile.path(),
                       QStringLiteral("--window-size=%1,%2").arg(size.width()).arg(size.height()),
                       QStringLiteral("--virtual-time-budget=3000"), output,
                       QStringLiteral("http://127.0.0.1:%1/?verifica=2").arg(port)});
        const bool finished =
            QTest::qWaitFor([&] { return browser.state() == QProcess::NotRunning; }, 60000);
        if (!finished) {
            browser.kill();
            browser.waitForFinished();
            qWarning("chromium did not finish: %s", browser.readAllStandardError().constData());
            return {};
        }
        return browser.readAllStandardOutput();
    }

    // A number marked drawn for the eye (class) and for a screen reader (its text).
    static bool drawn(const QString &page, int number) {
        return page.contains(QRegularExpression(
            QStringLiteral(R"(<li id="n%1"(?=[^>]*class="estratto")[^>]*><span>%1</span>)"
                           R"(<span class="nascosto"> estratto</span></li>)")
                .arg(number)));
    }
    static bool has(const QString &page, const char *pattern) {
        return page.contains(QRegularExpression(QString::fromUtf8(pattern),
                                                QRegularExpression::DotMatchesEverythingOption));
    }

    static void draw77(PhoneBoardServer &server, HallState &state) {
        state = HallState::of(state.game, state.numbers + QList<int>{77},
                              QStringLiteral("Si gioca: Tombola"), state.awards);
        server.show(state);
    }

private slots:
    void initTestCase() {
        m_chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (m_chromium.isEmpty()) {
            QSKIP("chromium is not installed (scripts/deps.sh test installs it)");
        }
    }

    void aNumberDrawnShowsOnThePage_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("phone 360x640") << QSize(360, 640);
        QTest::newRow("television 1920x1080") << QSize(1920, 1080);
    }
    void aNumberDrawnShowsOnThePage() {
        QFETCH(QSize, size);
        const QString page =
            QString::fromUtf8(loadPage(size, QStringLiteral("--dump-dom"), draw77));
        // Drawn while the page was open: it came through the event stream.
        QVERIFY2(drawn(page, 77) && drawn(page, 12) && !drawn(page, 13), qPrintable(page));
        QVERIFY(has(page, R"(id="ultimo" [^>]*aria-live="polite"[^>]*>77</p>)"));
        QVERIFY(has(page, R"(>Precedenti: 9  8  7  6  5<.*>Numeri estratti: 8<)"));
        QVERIFY(has(page, R"(>Si gioca: Tombola<.*<li>Ambo: cartella N. 123 \(corsa 1\)</li>)"));
        QVERIFY(has(page, R"(id="collegamento"[^>]*hidden)"));
        QVERIFY2(has(page, R"(<html lang="it"[^>]* data-overflow="no")"),
                 qPrintable(page.section(QLatin1Char('>'), 0, 0)));
        const auto contrast = QRegularExpression(R"re(data-contrasto="([\d.]+)")re").match(page);
        QVERIFY2(contrast.captured(1).toDouble() >= 7.0, qPrintable(contrast.captured(0)));
        // Pictures to look at, not compared: VELMORA_PHONE_SHOTS names a folder.
        if (!m_shots.isEmpty()) {
            loadPage(size,
                     QStringLiteral("--screenshot=%1/tabellone-%2x%3.png")
                         .arg(m_shots)
                         .arg(size.width())
                         .arg(size.height()),
                     draw77);
        }
    }

    // axe-core, pinned and fetched by the build, on the page as a phone and a television show
    // it, with a game under way: no violation, no request refused, no error in the console,
    // and the icon the page names comes as a picture.
    void axeFindsNoAccessibilityFault_data() { aNumberDrawnShowsOnThePage_data(); }
    void axeFindsNoAccessibilityFault() {
        QFETCH(QSize, size);
        const QString axe = QStringLiteral(VELMORA_AXE_DIR "/node_modules/axe-core/axe.min.js");
        if (!QFile::exists(axe)) {
            QFAIL(qPrintable(QStringLiteral("axe-core " VELMORA_AXE_VERSION
                                            " is not in the build tree (its fetch from the npm "
                                            "registry failed): ") +
                             QString::fromUtf8(testing::readAll(
                                 QStringLiteral(VELMORA_AXE_DIR "/fetch-error.txt")))));
        }
        const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        QVERIFY2(!node.isEmpty(), "node is not installed (scripts/deps.sh test installs it)");
        PhoneBoardServer server;
        server.show(playing());
        QString reason;
        QVERIFY2(server.start(0, &reason), qPrintable(reason));
        QProcess check;
        check.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        check.start(node, {QStringLiteral(VELMORA_SOURCE_DIR "/tests/support/axe-check.mjs"),
                           m_chromium, QStringLiteral("http://127.0.0.1:%1/").arg(server.port()),
                           axe, QString::number(size.width()), QString::number(size.height())});
        QVERIFY(QTest::qWaitFor([&] { return check.state() == QProcess::NotRunning; }, 90000));
        const QByteArray output = check.readAllStandardOutput();
        const QJsonObject found = QJsonDocument::fromJson(output).object();
        QVERIFY2(check.exitCode() == 0 && found.contains(QStringLiteral("axe")),
                 output.constData());
        const QJsonObject result = found.value(QStringLiteral("axe")).toObject();
        QCOMPARE(result.value(QStringLiteral("version")).toString(),
                 QStringLiteral(VELMORA_AXE_VERSION));
        QVERIFY(result.value(QStringLiteral("passes")).toInt() > 0);
        const auto empty = [&](const char *key) {
            return found.value(QLatin1String(key)).toArray().isEmpty() &&
                   result.value(QLatin1String(key)).toArray().isEmpty();
        };
        QVERIFY2(empty("violations") && empty("failedRequests") && empty("consoleErrors"),
                 output.constData());
        const QJsonArray icons = found.value(QStringLiteral("icons")).toArray();
        QVERIFY2(!icons.isEmpty(), output.constData());
        for (const QJsonValue icon : icons) {
            QVERIFY2(
                icon[QStringLiteral("status")].toInt() == 200 &&
                    icon[QStringLiteral("type")].toString().startsWith(QStringLiteral("image/")),
                output.constData());
        }
    }

    // The laptop's network drops: the page says so, then catches up by itself once the
    // server is back, with what was drawn meanwhile.
    void aLostConnectionIsSaidAndRecovered() {
        const QString lost = QString::fromUtf8(
            loadPage(QSize(360, 640), QStringLiteral("--dump-dom"),
                     [](PhoneBoardServer &server, HallState &) { server.stop(); }));
        QVERIFY2(has(lost, R"(id="collegamento"[^>]*>Collegamento perso, riprovo…<)") &&
                     !has(lost, R"(id="collegamento"[^>]*hidden)"),
                 qPrintable(lost));

        const QString back =
            QString::fromUtf8(loadPage(QSize(360, 640), QStringLiteral("--dump-dom"),
                                       [](PhoneBoardServer &server, HallState &state) {
                                           const quint16 port = server.port();
                                           server.stop();
                                           draw77(server, state);
                                           QVERIFY(server.start(port, nullptr));
                                       }));
        QVERIFY2(drawn(back, 77) && has(back, R"(id="collegamento"[^>]*hidden)"), qPrintable(back));
    }
};

QTEST_MAIN(PhoneBoardBrowserTest)
#include "tst_PhoneBoardBrowser.moc"
