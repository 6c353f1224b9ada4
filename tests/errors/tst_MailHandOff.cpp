#include "errors/MailHandOff.h"

#include "VelmoraConfig.h"

#include <QDesktopServices>
#include <QUrlQuery>
#include <QtTest>

using namespace velmora;

// Stands in for the mail client: keeps the links handed to it.
class MailCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestMailHandOff : public QObject {
    Q_OBJECT

    static QString decoded(const QUrl &url, const QString &key) {
        return QUrlQuery(url).queryItemValue(key, QUrl::FullyDecoded);
    }

private slots:
    void reportSurvivesTheLink_data() {
        QTest::addColumn<QString>("body");
        QTest::newRow("a report of several lines")
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura StampaCartella nel modulo RIDODUR\r\n"
                              "alla riga 2\r\n\r\n"
                              "Programma: /opt/velmora/Velmora 2018 (Ver. 1.00.0000)\r\n"
                              "/opt/velmora/velmora");
        QTest::newRow("ampersand, hash and question mark")
            << QStringLiteral("Rossi & Figli #3 ?subject=x&body=y");
        QTest::newRow("plus, percent and equals") << QStringLiteral("a+b = 100% %0D%0A");
        QTest::newRow("accented letters") << QStringLiteral("Si è verificato: più perché");
        QTest::newRow("leading and trailing spaces") << QStringLiteral("  spazi  ");
    }
    void reportSurvivesTheLink() {
        QFETCH(QString, body);
        const QUrl url = MailHandOff::errorReportLink(body);
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QString::fromUtf8(config::supportAddress));
        QCOMPARE(decoded(url, QStringLiteral("subject")), QStringLiteral("Errore Velmora 2018"));
        QCOMPARE(decoded(url, QStringLiteral("body")), body);
        QCOMPARE(QUrlQuery(url).queryItems().size(), 2);

        const QByteArray encoded = url.toEncoded();
        QVERIFY(!encoded.contains(' '));
        QVERIFY(!encoded.contains('#'));
        QVERIFY(!encoded.contains('\r'));
        QCOMPARE(encoded.count('&'), 1);
    }

    void lineBreaksAreWrittenAsCrLf() {
        const QByteArray encoded =
            MailHandOff::errorReportLink(QStringLiteral("uno\r\ndue\ntre")).toEncoded();
        QVERIFY2(encoded.endsWith("&body=uno%0D%0Adue%0D%0Atre"), encoded.constData());
        QVERIFY(encoded.startsWith(QByteArray("mailto:") + config::supportAddress +
                                   "?subject=Errore%20Velmora%202018&body="));
    }

    // Addresses may hold characters that a link must encode; the link stays valid and the
    // address comes back whole.
    void unusualAddressesGiveValidLinks_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << QStringLiteral("info@velmora.example.org");
        QTest::newRow("characters a URI refuses") << QStringLiteral("a^b`c{d|e}f@velmora.example");
        QTest::newRow("question mark, hash, percent and slash")
            << QStringLiteral("x?y#z%w/v@velmora.example");
        QTest::newRow("quoted local part with blanks")
            << QStringLiteral("\"Mario Rossi\"@posta.it");
        QTest::newRow("accented") << QStringLiteral("però@città.it");
    }
    void unusualAddressesGiveValidLinks() {
        QFETCH(QString, address);
        const QUrl url = MailHandOff::link(address, QStringLiteral("Oggetto"), QStringLiteral("x"));
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QCOMPARE(url.path(QUrl::FullyDecoded), address);
        QCOMPARE(QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode), url);
        QCOMPARE(decoded(url, QStringLiteral("subject")), QStringLiteral("Oggetto"));
    }

    void handsTheLinksToTheMailClient() {
        MailCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        const QString report = QStringLiteral("Errore n. 6: Overflow\r\nA & B #1");
        SendErrMail(report);
        SendMail(QStringLiteral("info@velmora.example.org"), QStringLiteral("Velmora 2018 & co"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

        QCOMPARE(catcher.opened.size(), 2);
        QCOMPARE(decoded(catcher.opened.at(0), QStringLiteral("body")), report);
        const QUrl plain = catcher.opened.at(1);
        QCOMPARE(plain.path(), QStringLiteral("info@velmora.example.org"));
        QCOMPARE(decoded(plain, QStringLiteral("subject")), QStringLiteral("Velmora 2018 & co"));
        QVERIFY(!QUrlQuery(plain).hasQueryItem(QStringLiteral("body")));
    }
};

QTEST_GUILESS_MAIN(TestMailHandOff)
#include "tst_MailHandOff.moc"
