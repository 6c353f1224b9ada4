#include "appearance/PrintDialogSettings.h"

#include <QtTest>

using namespace velmora;

namespace {
// A sequence of settings, written as "Min=1", "FromPage=3", ...
void apply(PrintDialogSettings &settings, const QStringList &steps) {
    for (const QString &step : steps) {
        const QStringList parts = step.split(QLatin1Char('='));
        const auto value = static_cast<qint16>(parts.at(1).toInt());
        if (parts.at(0) == QLatin1String("Min")) {
            settings.setMin(value);
        } else if (parts.at(0) == QLatin1String("FromPage")) {
            settings.setFromPage(value);
        } else if (parts.at(0) == QLatin1String("ToPage")) {
            settings.setToPage(value);
        } else {
            settings.setMax(value);
        }
    }
}
} // namespace

class TestPrintDialogSettings : public QObject {
    Q_OBJECT
private slots:
    void startsAtZero();
    void settersKeepTheRange_data();
    void settersKeepTheRange();
    void offer_data();
    void offer();
    void returnedFlags_data();
    void returnedFlags();
};

void TestPrintDialogSettings::startsAtZero() {
    const PrintDialogSettings settings;
    QCOMPARE(settings.Flags, 0);
    QCOMPARE(settings.CancelError, false);
    QCOMPARE(settings.Min(), qint16(0));
    QCOMPARE(settings.FromPage(), qint16(0));
    QCOMPARE(settings.ToPage(), qint16(0));
    QCOMPARE(settings.Max(), qint16(0));
}

void TestPrintDialogSettings::settersKeepTheRange_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("expected"); // Min, FromPage, ToPage, Max
    QTest::newRow("the print command's order")
        << QStringList{"Min=1", "FromPage=3", "ToPage=5", "Max=100"} << QList<int>{1, 3, 5, 100};
    QTest::newRow("negative Min stores 0") << QStringList{"Min=-5"} << QList<int>{0, 0, 0, 0};
    QTest::newRow("negative Max stores 0")
        << QStringList{"Max=10", "Max=-1"} << QList<int>{0, 0, 0, 0};
    QTest::newRow("Min pushes everything up") << QStringList{"Min=7"} << QList<int>{7, 7, 7, 7};
    QTest::newRow("Min inside the range moves nothing else")
        << QStringList{"Max=100", "ToPage=50", "FromPage=20", "Min=10"}
        << QList<int>{10, 20, 50, 100};
    QTest::newRow("Min above FromPage stops at ToPage")
        << QStringList{"Max=100", "ToPage=50", "FromPage=5", "Min=10"}
        << QList<int>{10, 10, 50, 100};
    QTest::newRow("ToPage below FromPage leaves FromPage")
        << QStringList{"Min=1", "FromPage=3", "ToPage=5", "Max=100", "ToPage=2"}
        << QList<int>{1, 3, 2, 100};
    QTest::newRow("ToPage above Max raises Max only")
        << QStringList{"Min=1", "FromPage=3", "ToPage=5", "Max=10", "ToPage=20"}
        << QList<int>{1, 3, 20, 20};
    QTest::newRow("Max below the range pulls it down")
        << QStringList{"Min=5", "FromPage=8", "ToPage=9", "Max=20", "Max=3"}
        << QList<int>{3, 3, 3, 3};
    QTest::newRow("Max below ToPage only")
        << QStringList{"Min=1", "FromPage=3", "ToPage=50", "Max=100", "Max=10"}
        << QList<int>{1, 3, 10, 10};
    QTest::newRow("FromPage above ToPage raises ToPage and Max")
        << QStringList{"Min=1", "FromPage=3", "ToPage=5", "Max=6", "FromPage=8"}
        << QList<int>{1, 8, 8, 8};
    QTest::newRow("FromPage below Min leaves Min")
        << QStringList{"Min=4", "FromPage=2"} << QList<int>{4, 2, 4, 4};
    QTest::newRow("largest page number") << QStringList{"Max=32767"} << QList<int>{0, 0, 0, 32767};
}

void TestPrintDialogSettings::settersKeepTheRange() {
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, expected);
    PrintDialogSettings settings;
    apply(settings, steps);
    const QList<int> actual{settings.Min(), settings.FromPage(), settings.ToPage(), settings.Max()};
    QCOMPARE(actual, expected);
}

void TestPrintDialogSettings::offer_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("printers");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<bool>("pageRange");
    QTest::addColumn<bool>("selection");
    QTest::newRow("print command, printers installed")
        << 0x8000C << true << false << false << false;
    QTest::newRow("print command, no printer: a PDF file all the same")
        << 0x8000C << false << true << false << false;
    QTest::newRow("no flags") << 0 << true << true << true << true;
    QTest::newRow("file hidden") << 0x100000 << true << false << true << true;
    QTest::newRow("no page numbers only") << 0x8 << true << true << false << true;
    QTest::newRow("no selection only") << 0x4 << true << true << true << false;
}

void TestPrintDialogSettings::offer() {
    QFETCH(int, flags);
    QFETCH(bool, printers);
    QFETCH(bool, toFile);
    QFETCH(bool, pageRange);
    QFETCH(bool, selection);
    const PrintDialogSettings::Offer offered = PrintDialogSettings::offer(flags, printers);
    QCOMPARE(offered.printToFile, toFile);
    QCOMPARE(offered.pageRange, pageRange);
    QCOMPARE(offered.selection, selection);
}

void TestPrintDialogSettings::returnedFlags_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<int>("expected");
    using Range = PrintDialogSettings::Range;
    QTest::newRow("all pages to a printer")
        << 0x8000C << int(Range::All) << false << false << 0x8000C;
    QTest::newRow("all pages to a file") << 0x8000C << int(Range::All) << true << false << 0x8002C;
    QTest::newRow("old choices are replaced")
        << 0x33 << int(Range::PageRange) << false << false << 0x2;
    QTest::newRow("selection, collated") << 0 << int(Range::Selection) << false << true << 0x11;
    QTest::newRow("current page") << 0x800000 << int(Range::CurrentPage) << false << false
                                  << 0xC00000;
}

void TestPrintDialogSettings::returnedFlags() {
    QFETCH(int, flags);
    QFETCH(int, range);
    QFETCH(bool, toFile);
    QFETCH(bool, collate);
    QFETCH(int, expected);
    QCOMPARE(PrintDialogSettings::returnedFlags(
                 flags, static_cast<PrintDialogSettings::Range>(range), toFile, collate),
             expected);
}

QTEST_GUILESS_MAIN(TestPrintDialogSettings)
#include "tst_PrintDialogSettings.moc"
