#include "errors/VelmoraError.h"

#include <QtTest>

using velmora::VelmoraError;

class TestVelmoraError : public QObject {
    Q_OBJECT
private slots:
    void knownNumbersHaveTheirItalianText_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("overflow") << 6 << "Overflow";
        QTest::newRow("type mismatch") << 13 << "Tipo non corrispondente";
        QTest::newRow("bad file name") << 52 << "Nome o numero di file non valido";
        QTest::newRow("file not found") << 53 << "File non trovato";
        QTest::newRow("past end") << 62 << "Input oltre la fine del file";
    }
    void knownNumbersHaveTheirItalianText() {
        QFETCH(int, number);
        QFETCH(QString, text);
        const VelmoraError error(number);
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), text);
        QCOMPARE(QString::fromUtf8(error.what()), text);
    }
    void unknownNumberGetsAGenericDescriptionAndAnExplicitOneWins() {
        QVERIFY(VelmoraError::describe(12345).contains(QStringLiteral("12345")));
        const VelmoraError custom(53, QStringLiteral("Archivio assente"));
        QCOMPARE(custom.description(), QStringLiteral("Archivio assente"));
    }
};

QTEST_GUILESS_MAIN(TestVelmoraError)
#include "tst_VelmoraError.moc"
