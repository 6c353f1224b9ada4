#include "app/ValoreTesto.h"

#include <QtTest>

class TestValoreTesto : public QObject {
    Q_OBJECT
private slots:
    void numberAtTheStartOfTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("whole") << "12" << 12.0;
        QTest::newRow("trailing text") << "12abc" << 12.0;
        QTest::newRow("point") << "2.5" << 2.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("comma is not a separator") << "2,5" << 2.0;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("blanks are skipped") << " 1 2" << 12.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("bare exponent letter") << "7e" << 7.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
    }
    void numberAtTheStartOfTheText() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(velmora::ValoreTesto(text), value);
    }
};

QTEST_GUILESS_MAIN(TestValoreTesto)
#include "tst_ValoreTesto.moc"
