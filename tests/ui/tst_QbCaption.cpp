#include "ui/QbCaption.h"

#include <QtTest>

using velmora::QbCaption;

class TestQbCaption : public QObject {
    Q_OBJECT
private slots:
    void captionAccessKey_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("mnemonic");
        QTest::newRow("forward") << "&Avanti >"
                                 << "Avanti >" << 0 << "A"
                                 << "&Avanti >";
        QTest::newRow("no marker") << "Stampa"
                                   << "Stampa" << -1 << ""
                                   << "Stampa";
        QTest::newRow("doubled is literal") << "A && B"
                                            << "A & B" << -1 << ""
                                            << "A && B";
        QTest::newRow("last single wins") << "&File &edit"
                                          << "File edit" << 5 << "E"
                                          << "File &edit";
        QTest::newRow("literal then key") << "Tom && &Jerry"
                                          << "Tom & Jerry" << 6 << "J"
                                          << "Tom && &Jerry";
        QTest::newRow("three in a row") << "x&&&y"
                                        << "x&y" << 2 << "Y"
                                        << "x&&&y";
        QTest::newRow("trailing marker") << "abc&"
                                         << "abc" << -1 << ""
                                         << "abc";
        QTest::newRow("before a space") << "a& b"
                                        << "a b" << -1 << ""
                                        << "a b";
        QTest::newRow("empty") << ""
                               << "" << -1 << ""
                               << "";
    }
    void captionAccessKey() {
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(QString, mnemonic);
        const QbCaption parsed(caption);
        QCOMPARE(parsed.text(), text);
        QCOMPARE(parsed.accessIndex(), index);
        QCOMPARE(parsed.accessKey().isNull() ? QString() : QString(parsed.accessKey()), key);
        QCOMPARE(parsed.mnemonicText(), mnemonic);
    }
};

QTEST_GUILESS_MAIN(TestQbCaption)
#include "tst_QbCaption.moc"
