#include "common/ShownText.h"

#include <QtTest>

using velmora::ShownText;

class tst_ShownText : public QObject {
    Q_OBJECT

private slots:
    // Bytes from a damaged record or a name in another encoding come out as one readable line:
    // UTF-8 as it is, controls and stray bytes as \xNN, a backslash doubled.
    void bytesAreShownOnOneReadableLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QByteArray("cartelle.pdf") << "cartelle.pdf";
        QTest::newRow("UTF-8 accent") << QByteArray("caff\xc3\xa8.pdf") << "caffè.pdf";
        QTest::newRow("Latin-1 accent") << QByteArray("caf\xe9.pdf") << "caf\\xE9.pdf";
        QTest::newRow("NUL and newline") << QByteArray("a\0\nb", 4) << "a\\x00\\x0Ab";
        QTest::newRow("escape and DEL") << QByteArray("\x1b[2J\x7f") << "\\x1B[2J\\x7F";
        QTest::newRow("C1 control in UTF-8") << QByteArray("\xc2\x85") << "\\x85";
        QTest::newRow("backslash") << QByteArray("a\\x00") << "a\\\\x00";
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << "\\xC0\\xAF";
        QTest::newRow("cut sequence") << QByteArray("\xe2\x82") << "\\xE2\\x82";
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << "\\xED\\xA0\\x80";
        QTest::newRow("four bytes") << QByteArray("\xf0\x9f\x8e\xb2") << "\U0001F3B2";
    }
    void bytesAreShownOnOneReadableLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(ShownText::fromBytes(bytes), shown);
    }
};

QTEST_GUILESS_MAIN(tst_ShownText)
#include "tst_ShownText.moc"
