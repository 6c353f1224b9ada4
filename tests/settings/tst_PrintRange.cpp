#include "settings/PrintRange.h"

#include <QtTest>

using velmora::Decimal;
using velmora::PrintBox;
using velmora::PrintRange;
using velmora::PrintRangeTexts;

Q_DECLARE_METATYPE(PrintBox)

namespace {

constexpr int landscape = PrintRange::landscapeCardsPerPage;
constexpr int portrait = PrintRange::portraitCardsPerPage;
const QString fortyNines = QString(40, QLatin1Char('9'));
const QString untouched = QStringLiteral("untouched");

} // namespace

class TestPrintRange : public QObject {
    Q_OBJECT
private slots:
    void pagesRoundTowardsPlusInfinity_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("cardsPerPage");
        QTest::addColumn<QString>("pages");
        QTest::newRow("1 landscape") << "1" << landscape << "1";
        QTest::newRow("6 landscape") << "6" << landscape << "1";
        QTest::newRow("7 landscape") << "7" << landscape << "2";
        QTest::newRow("12 landscape") << "12" << landscape << "2";
        QTest::newRow("13 landscape") << "13" << landscape << "3";
        QTest::newRow("51 landscape") << "51" << landscape << "9";
        QTest::newRow("0") << "0" << landscape << "0";
        QTest::newRow("-1 landscape") << "-1" << landscape << "0";
        QTest::newRow("-5 landscape") << "-5" << landscape << "0";
        QTest::newRow("-6 landscape") << "-6" << landscape << "-1";
        QTest::newRow("-7 landscape") << "-7" << landscape << "-1";
        QTest::newRow("3 portrait") << "3" << portrait << "1";
        QTest::newRow("4 portrait") << "4" << portrait << "2";
        QTest::newRow("-2 portrait") << "-2" << portrait << "0";
        QTest::newRow("-3 portrait") << "-3" << portrait << "-1";
        QTest::newRow("fraction") << "6.5" << landscape << "2";
        QTest::newRow("forty nines") << fortyNines << portrait << QString(40, QLatin1Char('3'));
    }
    void pagesRoundTowardsPlusInfinity() {
        QFETCH(QString, count);
        QFETCH(int, cardsPerPage);
        QFETCH(QString, pages);
        QCOMPARE(PrintRange::pages(Decimal::fromText(count), cardsPerPage).toString(), pages);
    }

    // Each row: the box a key was released in, the cards per page, the texts before (page
    // count, card count, first card, last card), and the texts after, with the caption.
    void recomputesTheRowOfTheBox_data() {
        QTest::addColumn<PrintBox>("box");
        QTest::addColumn<int>("cardsPerPage");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("caption");
        QTest::newRow("12 landscape cards from 1")
            << PrintBox::NCartelle << landscape << QStringList{"1", "12", "1", "3"}
            << QStringList{"2", "12", "1", "12"} << untouched;
        QTest::newRow("13 landscape cards from 1")
            << PrintBox::NCartelle << landscape << QStringList{"2", "13", "1", "12"}
            << QStringList{"3", "13", "1", "13"} << untouched;
        QTest::newRow("2 portrait pages keep the last card")
            << PrintBox::NPagine << portrait << QStringList{"2", "3", "1", "3"}
            << QStringList{"2", "6", "1", "3"} << untouched;
        QTest::newRow("2 landscape pages")
            << PrintBox::NPagine << landscape << QStringList{"2", "3", "1", "3"}
            << QStringList{"2", "12", "1", "3"} << untouched;
        QTest::newRow("first card 100 with 3 cards")
            << PrintBox::PrimaCartella << landscape << QStringList{"1", "3", "100", "3"}
            << QStringList{"1", "3", "100", "102"} << "100..101..102..103..";
        QTest::newRow("last card 150 from 100, landscape")
            << PrintBox::UltimaCartella << landscape << QStringList{"1", "3", "100", "150"}
            << QStringList{"9", "51", "100", "150"} << untouched;
        QTest::newRow("last card 150 from 100, portrait")
            << PrintBox::UltimaCartella << portrait << QStringList{"1", "3", "100", "150"}
            << QStringList{"17", "51", "100", "150"} << untouched;
        QTest::newRow("empty first card counts as 0")
            << PrintBox::PrimaCartella << landscape << QStringList{"1", "3", "", "3"}
            << QStringList{"1", "3", "", "2"} << "..1..2..3..";
        QTest::newRow("empty first card, count typed")
            << PrintBox::NCartelle << landscape << QStringList{"1", "5", "", "3"}
            << QStringList{"1", "5", "", "4"} << untouched;
        QTest::newRow("last card one below the first")
            << PrintBox::UltimaCartella << landscape << QStringList{"1", "3", "100", "99"}
            << QStringList{"0", "0", "100", "99"} << untouched;
        QTest::newRow("count -5 makes no page")
            << PrintBox::UltimaCartella << landscape << QStringList{"1", "3", "100", "94"}
            << QStringList{"0", "-5", "100", "94"} << untouched;
        QTest::newRow("count -6 makes -1 page")
            << PrintBox::UltimaCartella << landscape << QStringList{"1", "3", "100", "93"}
            << QStringList{"-1", "-6", "100", "93"} << untouched;
        QTest::newRow("pasted text reads its leading number")
            << PrintBox::NCartelle << landscape << QStringList{"1", "8 cartelle", "1", "3"}
            << QStringList{"2", "8 cartelle", "1", "8"} << untouched;
        QTest::newRow("pasted text without a number")
            << PrintBox::NCartelle << landscape << QStringList{"1", "tante", "1", "3"}
            << QStringList{"0", "tante", "1", "0"} << untouched;
        QTest::newRow("first card as pasted")
            << PrintBox::PrimaCartella << landscape << QStringList{"1", "3", "12abc", "3"}
            << QStringList{"1", "3", "12abc", "14"} << "12abc..13..14..15..";
        QTest::newRow("fractions written with a point")
            << PrintBox::NCartelle << portrait << QStringList{"1", "2.5", "1.25", "3"}
            << QStringList{"1", "2.5", "1.25", "2.75"} << untouched;
        QTest::newRow("fractional pages")
            << PrintBox::NPagine << portrait << QStringList{"1.5", "3", "1", "3"}
            << QStringList{"1.5", "4.5", "1", "3"} << untouched;
        QTest::newRow("forty nines cards")
            << PrintBox::NCartelle << portrait << QStringList{"1", fortyNines, "1", "3"}
            << QStringList{QString(40, QLatin1Char('3')), fortyNines, "1", fortyNines} << untouched;
        QTest::newRow("forty nines pages")
            << PrintBox::NPagine << portrait << QStringList{fortyNines, "3", "1", "3"}
            << QStringList{fortyNines, "2" + QString(39, QLatin1Char('9')) + "7", "1", "3"}
            << untouched;
    }
    void recomputesTheRowOfTheBox() {
        QFETCH(PrintBox, box);
        QFETCH(int, cardsPerPage);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QString, caption);
        PrintRangeTexts texts{before[0], before[1], before[2], before[3], untouched};
        PrintRange::recompute(box, texts, cardsPerPage);
        const PrintRangeTexts expected{after[0], after[1], after[2], after[3], caption};
        QCOMPARE(texts.nPagine, expected.nPagine);
        QCOMPARE(texts.nCartelle, expected.nCartelle);
        QCOMPARE(texts.primaCartella, expected.primaCartella);
        QCOMPARE(texts.ultimaCartella, expected.ultimaCartella);
        QCOMPARE(texts.numerazione, expected.numerazione);
    }

    void numberingCaptionFollowsTheFirstCard_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1") << "1"
                           << "1..2..3..4..";
        QTest::newRow("120") << "120"
                             << "120..121..122..123..";
        QTest::newRow("9999") << "9999"
                              << "9999..10000..10001..10002..";
        QTest::newRow("typed with a point") << "7."
                                            << "7...8..9..10..";
        QTest::newRow("fraction") << "2.5"
                                  << "2.5..3.5..4.5..5.5..";
    }
    void numberingCaptionFollowsTheFirstCard() {
        QFETCH(QString, first);
        QFETCH(QString, caption);
        QCOMPARE(PrintRange::numberingCaption(first), caption);
    }

    void firstCardIsLimitedAndStoredRounded_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("limited"); // empty: the text stays
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("field");
        QTest::newRow("ordinary") << "120"
                                  << "" << true << 120;
        QTest::newRow("at the limit") << "9999"
                                      << "" << true << 9999;
        QTest::newRow("five digits") << "12345"
                                     << "9999" << true << 9999;
        QTest::newRow("just over the limit") << "9999.01"
                                             << "9999" << true << 9999;
        QTest::newRow("forty nines") << fortyNines << "9999" << true << 9999;
        QTest::newRow("half rounds to even below") << "2.5"
                                                   << "" << true << 2;
        QTest::newRow("half rounds to even above") << "3.5"
                                                   << "" << true << 4;
        QTest::newRow("empty") << ""
                               << "" << true << 0;
        QTest::newRow("pasted letters") << "abc"
                                        << "" << true << 0;
        QTest::newRow("pasted negative") << "-5"
                                         << "" << true << -5;
        QTest::newRow("pasted negative beyond 16 bits") << "-40000"
                                                        << "" << false << 0;
    }
    void firstCardIsLimitedAndStoredRounded() {
        QFETCH(QString, text);
        QFETCH(QString, limited);
        QFETCH(bool, stored);
        QFETCH(int, field);
        QCOMPARE(PrintRange::limitedFirstCard(text).value_or(QString()), limited);
        if (!limited.isEmpty()) {
            return; // the limited text is what gets stored
        }
        const auto value = PrintRange::storedFirstCard(text);
        QCOMPARE(value.has_value(), stored);
        if (stored) {
            QCOMPARE(int(*value), field);
        }
    }
};

QTEST_GUILESS_MAIN(TestPrintRange)
#include "tst_PrintRange.moc"
