#include "VelmoraConfig.h"
#include "errors/TestoVersione.h"

#include <QtTest>

class TestTestoVersione : public QObject {
    Q_OBJECT
private slots:
    void minorAndRevisionHaveAtLeastTwoDigits_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("5.18.05") << 5 << 18 << 5 << "5.18.05";
        QTest::newRow("padded") << 1 << 0 << 0 << "1.00.00";
        QTest::newRow("wide") << 12 << 123 << 456 << "12.123.456";
    }
    void minorAndRevisionHaveAtLeastTwoDigits() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(velmora::componiVersione(major, minor, revision), text);
    }
    void programTextFollowsTheBuildVersion() {
        const QString expected =
            velmora::componiVersione(velmora::config::versionMajor, velmora::config::versionMinor,
                                     velmora::config::versionRevision);
        QCOMPARE(velmora::TestoVersione(), expected);
        QCOMPARE(velmora::TestoVersione(), expected);
    }
};

QTEST_GUILESS_MAIN(TestTestoVersione)
#include "tst_TestoVersione.moc"
