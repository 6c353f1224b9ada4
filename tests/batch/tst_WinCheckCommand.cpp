#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

using namespace velmora;

class TestWinCheckCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusals_data();
    void refusals();
    void linesPerWinningCard_data();
    void linesPerWinningCard();

private:
    QTemporaryDir m_dir;
    QString m_row; // the first row of card 8, drawn in full
};

void TestWinCheckCommand::initTestCase() {
    const QByteArray archive = SeriesGenerator::makeArchive(18, 3);
    QFile file(m_dir.filePath(CardArchive::fileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(archive);
    file.close();
    const RecordCartella card =
        RecordCartella::fromStored(archive.mid(7 * RecordCartella::recordSize));
    QStringList numbers;
    for (int column = 0; column < RecordCartella::columns; ++column) {
        if (const int n = card.cellNumber(RecordCartella::cellIndex(column, 0)); n > 0) {
            numbers.append(QString::number(n));
        }
    }
    m_row = numbers.join(QLatin1Char(','));
}

void TestWinCheckCommand::refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no list") << QStringList{"--vincite"} << "vuole i numeri estratti";
    QTest::newRow("outside") << QStringList{"--vincite", "--estratti", "4,0"}
                             << "0 non è tra 1 e 90";
    QTest::newRow("repeat") << QStringList{"--vincite", "--estratti", "4,9,4"}
                            << "4 compare due volte";
    QTest::newRow("text") << QStringList{"--vincite", "--estratti", "4;9"}
                          << "\"4;9\" non è un numero";
    QTest::newRow("printing too") << QStringList{"--vincite", "--estratti", "4", "-o", "x.pdf"}
                                  << "non stampa";
    QTest::newRow("run and range")
        << QStringList{"--vincite", "--estratti", "4", "--corsa", "2", "--prima", "3"}
        << "non si usa con --prima";
    QTest::newRow("list without --vincite")
        << QStringList{"--verifica", "--estratti", "4"} << "vale solo con --vincite";
}

void TestWinCheckCommand::refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    const BatchParsed parsed = BatchOptions::parse(QStringList{"velmora-pdf"} + arguments);
    QVERIFY(!parsed.options);
    QVERIFY2(parsed.error.contains(reason), qPrintable(parsed.error));
}

void TestWinCheckCommand::linesPerWinningCard_data() {
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QString>("line"); // the line of card 8
    QTest::newRow("from 1") << QStringList{"--prima", "5", "--cartelle", "6"}
                            << "8\t4\tCinquina\tprima";
    QTest::newRow("archive numbers")
        << QStringList{"--prima", "5", "--cartelle", "6", "--numerazione", "archivio"}
        << "8\t00008\tCinquina\tprima";
    QTest::newRow("whole archive") << QStringList{} << "8\t8\tCinquina\tprima";
}

void TestWinCheckCommand::linesPerWinningCard() {
    QFETCH(QStringList, range);
    QFETCH(QString, line);
    const BatchParsed parsed = BatchOptions::parse(
        QStringList{"velmora-pdf", "--vincite", "--estratti", m_row, "--archivio", m_dir.path()} +
        range);
    QVERIFY2(parsed.options, qPrintable(parsed.error));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    BatchRun run(out, err);
    QCOMPARE(run.exec(*parsed.options), BatchOptions::exitOk);
    const QStringList lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.contains(line), qPrintable(outText));
    for (const QString &other : lines) {
        QCOMPARE(other.count(QLatin1Char('\t')), 3);
    }
}

QTEST_GUILESS_MAIN(TestWinCheckCommand)
#include "tst_WinCheckCommand.moc"
