#include "errors/VelmoraError.h"
#include "register/CardNumbering.h"

#include <QTest>

using namespace velmora;

class tst_CardNumbering : public QObject {
    Q_OBJECT

private slots:
    void textUnderTheCard_data() {
        QTest::addColumn<QString>("numero");
        QTest::addColumn<bool>("archiveNumbering");
        QTest::addColumn<int>("firstCard");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("from 1, first card of a run from 101") << "00101" << false << 101 << " 1";
        QTest::newRow("from 1, last card of a run from 120") << "00131" << false << 120 << " 12";
        QTest::newRow("from 1, last card of the archive") << "99999" << false << 1 << " 99999";
        QTest::newRow("from 1, blanks around") << " 42  " << false << 1 << " 42";
        QTest::newRow("from 1, before the first card") << "00005" << false << 10 << "-4";
        QTest::newRow("archive, first card") << "00001" << true << 1 << "00001";
        QTest::newRow("archive, kept as stored") << " 42  " << true << 7 << " 42  ";
        QTest::newRow("archive, not read as a number") << "AB1  " << true << 1 << "AB1  ";
        QTest::newRow("from 1, letters") << "AB1  " << false << 1 << "";
        QTest::newRow("from 1, blank") << "     " << false << 1 << "";
        QTest::newRow("from 1, blank inside") << "1 2  " << false << 1 << "";
        QTest::newRow("from 1, sign") << "-0001" << false << 1 << "";
    }
    void textUnderTheCard() {
        QFETCH(QString, numero);
        QFETCH(bool, archiveNumbering);
        QFETCH(int, firstCard);
        QFETCH(QString, expected);
        if (!expected.isEmpty()) {
            QCOMPARE(CardNumbering::printedText(numero, archiveNumbering, firstCard), expected);
            return;
        }
        try {
            CardNumbering::printedText(numero, archiveNumbering, firstCard);
            QFAIL("not refused");
        } catch (const VelmoraError &e) {
            QCOMPARE(e.number(), 13);
            QVERIFY(e.description().startsWith(QStringLiteral("Tipo non corrispondente")));
            QVERIFY(e.description().contains(numero));
        }
    }
};

QTEST_GUILESS_MAIN(tst_CardNumbering)
#include "tst_CardNumbering.moc"
