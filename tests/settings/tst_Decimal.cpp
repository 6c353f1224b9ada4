#include "settings/Decimal.h"

#include <QtTest>

#include <cmath>
#include <optional>

using velmora::Decimal;

namespace {

const QString fortyNines = QString(40, QLatin1Char('9'));

Decimal value(const QString &text) {
    return Decimal::fromText(text);
}

} // namespace

class TestDecimal : public QObject {
    Q_OBJECT
private slots:
    void readsTheNumberAtTheStartOfAText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasNumber");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty") << "" << false << "0";
        QTest::newRow("blanks only") << "   " << false << "0";
        QTest::newRow("letters") << "abc" << false << "0";
        QTest::newRow("point alone") << "." << false << "0";
        QTest::newRow("sign alone") << "-" << false << "0";
        QTest::newRow("plain") << "12" << true << "12";
        QTest::newRow("zero") << "0" << true << "0";
        QTest::newRow("negative zero") << "-0.0" << true << "0";
        QTest::newRow("leading zeros") << "007" << true << "7";
        QTest::newRow("letters after") << "12abc" << true << "12";
        QTest::newRow("leading blanks") << "  42 " << true << "42";
        QTest::newRow("minus") << "-5" << true << "-5";
        QTest::newRow("plus") << "+7" << true << "7";
        QTest::newRow("point first") << ".5" << true << "0.5";
        QTest::newRow("point last") << "5." << true << "5";
        QTest::newRow("trailing zeros dropped") << "2.500" << true << "2.5";
        QTest::newRow("second point ends it") << "1.2.3" << true << "1.2";
        QTest::newRow("no exponent") << "1e5" << true << "1";
        QTest::newRow("comma is not a separator") << "1,5" << true << "1";
        QTest::newRow("only ascii digits") << QString::fromUtf8("\u0661\u0662") << false << "0";
        QTest::newRow("forty nines") << fortyNines << true << fortyNines;
        QTest::newRow("long fraction")
            << "0.000000000000000000000000001" << true << "0.000000000000000000000000001";
    }
    void readsTheNumberAtTheStartOfAText() {
        QFETCH(QString, text);
        QFETCH(bool, hasNumber);
        QFETCH(QString, written);
        QCOMPARE(Decimal::leadingNumber(text).has_value(), hasNumber);
        QCOMPARE(Decimal::fromText(text).toString(), written);
    }

    void addsAndSubtractsExactly_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<QString>("difference");
        QTest::newRow("whole") << "12"
                               << "1"
                               << "13"
                               << "11";
        QTest::newRow("crossing zero") << "3"
                                       << "5"
                                       << "8"
                                       << "-2";
        QTest::newRow("negatives") << "-3"
                                   << "-5"
                                   << "-8"
                                   << "2";
        QTest::newRow("tenths that doubles miss") << "0.1"
                                                  << "0.2"
                                                  << "0.3"
                                                  << "-0.1";
        QTest::newRow("halves to whole") << "1.5"
                                         << "1.5"
                                         << "3"
                                         << "0";
        QTest::newRow("different scales") << "100"
                                          << "0.001"
                                          << "100.001"
                                          << "99.999";
        QTest::newRow("small negative") << "-0.05"
                                        << "0.1"
                                        << "0.05"
                                        << "-0.15";
        QTest::newRow("zero") << "0"
                              << "-7.25"
                              << "-7.25"
                              << "7.25";
        QTest::newRow("forty nines and one")
            << fortyNines << "1"
            << "1" + QString(40, QLatin1Char('0')) << QString(39, QLatin1Char('9')) + "8";
        QTest::newRow("forty nines less themselves")
            << fortyNines << fortyNines << "1" + QString(39, QLatin1Char('9')) + "8"
            << "0";
    }
    void addsAndSubtractsExactly() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, sum);
        QFETCH(QString, difference);
        QCOMPARE((value(a) + value(b)).toString(), sum);
        QCOMPARE((value(b) + value(a)).toString(), sum);
        QCOMPARE((value(a) - value(b)).toString(), difference);
    }

    void multipliesAndDividesByCardsPerPage_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("factor");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("ceilQuotient");
        QTest::newRow("12 by 6") << "12" << 6 << "72"
                                 << "2";
        QTest::newRow("13 by 6") << "13" << 6 << "78"
                                 << "3";
        QTest::newRow("1 by 3") << "1" << 3 << "3"
                                << "1";
        QTest::newRow("zero") << "0" << 6 << "0"
                              << "0";
        QTest::newRow("-5 by 6") << "-5" << 6 << "-30"
                                 << "0";
        QTest::newRow("-6 by 6") << "-6" << 6 << "-36"
                                 << "-1";
        QTest::newRow("-7 by 6") << "-7" << 6 << "-42"
                                 << "-1";
        QTest::newRow("-0.5 by 6") << "-0.5" << 6 << "-3"
                                   << "0";
        QTest::newRow("6.5 by 6") << "6.5" << 6 << "39"
                                  << "2";
        QTest::newRow("0.01 by 3") << "0.01" << 3 << "0.03"
                                   << "1";
        QTest::newRow("2.5 by 3") << "2.5" << 3 << "7.5"
                                  << "1";
        QTest::newRow("forty nines by 3")
            << fortyNines << 3 << "2" + QString(39, QLatin1Char('9')) + "7"
            << QString(40, QLatin1Char('3'));
        QTest::newRow("forty nines by 6")
            << fortyNines << 6 << "5" + QString(39, QLatin1Char('9')) + "4"
            << "1" + QString(38, QLatin1Char('6')) + "7";
    }
    void multipliesAndDividesByCardsPerPage() {
        QFETCH(QString, number);
        QFETCH(int, factor);
        QFETCH(QString, product);
        QFETCH(QString, ceilQuotient);
        QCOMPARE(value(number).multipliedBy(factor).toString(), product);
        QCOMPARE(value(number).ceilDividedBy(factor).toString(), ceilQuotient);
    }

    void roundsHalvesToTheEvenNeighbour_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("rounded");
        QTest::newRow("2.5") << "2.5"
                             << "2";
        QTest::newRow("3.5") << "3.5"
                             << "4";
        QTest::newRow("0.5") << "0.5"
                             << "0";
        QTest::newRow("-0.5") << "-0.5"
                              << "0";
        QTest::newRow("-2.5") << "-2.5"
                              << "-2";
        QTest::newRow("-3.5") << "-3.5"
                              << "-4";
        QTest::newRow("just above a half") << "2.5000001"
                                           << "3";
        QTest::newRow("just below a half") << "3.4999999"
                                           << "3";
        QTest::newRow("2.6") << "2.6"
                             << "3";
        QTest::newRow("whole") << "9999"
                               << "9999";
        QTest::newRow("carry") << "9999.5"
                               << "10000";
    }
    void roundsHalvesToTheEvenNeighbour() {
        QFETCH(QString, number);
        QFETCH(QString, rounded);
        QCOMPARE(value(number).roundedHalfEven().toString(), rounded);
    }

    void fitsA16BitFieldOnlyWhenInRange_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("field");
        QTest::newRow("largest") << "32767" << true << 32767;
        QTest::newRow("rounds down into range") << "32766.5" << true << 32766;
        QTest::newRow("rounds up out of range") << "32767.5" << false << 0;
        QTest::newRow("smallest") << "-32768" << true << -32768;
        QTest::newRow("half below smallest rounds to it") << "-32768.5" << true << -32768;
        QTest::newRow("below smallest") << "-32769" << false << 0;
        QTest::newRow("beyond 64 bits") << fortyNines << false << 0;
        QTest::newRow("empty") << "" << true << 0;
    }
    void fitsA16BitFieldOnlyWhenInRange() {
        QFETCH(QString, number);
        QFETCH(bool, fits);
        QFETCH(int, field);
        const std::optional<qint16> result = value(number).roundedToInt16();
        QCOMPARE(result.has_value(), fits);
        if (fits) {
            QCOMPARE(int(*result), field);
        }
    }

    void convertsAndCompares() {
        QCOMPARE(value("-2.5").toDouble(), -2.5);
        QVERIFY(std::isinf(value(QString(400, QLatin1Char('9'))).toDouble()));
        QCOMPARE(Decimal(std::numeric_limits<qint64>::min()).toString(),
                 QStringLiteral("-9223372036854775808"));
        QCOMPARE(value("-123456789012345678").toInt64(),
                 std::optional<qint64>(-123456789012345678));
        QVERIFY(!value("1.5").toInt64().has_value());
        QVERIFY(value("9999.0001") > Decimal(9999));
        QVERIFY(!(value("9999.000") > Decimal(9999)));
        QVERIFY(value("-1") < Decimal(0));
        QVERIFY(value(fortyNines) > Decimal(10000));
        QVERIFY(value("-" + fortyNines) < Decimal(-10000));
        QCOMPARE(value("2.50"), value("2.5"));
    }
};

QTEST_GUILESS_MAIN(TestDecimal)
#include "tst_Decimal.moc"
