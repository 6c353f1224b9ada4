#include "errors/VelmoraError.h"
#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"
#include "print/RecordCartella.h"
#include "print/SeriesGenerator.h"

#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

namespace {

constexpr int recordSize = RecordCartella::recordSize;

// A sound series of six cards with one cell of one card replaced by text.
QByteArray seriesWithCell(int card, int column, int row, const QString &text) {
    QByteArray stored = SeriesGenerator::makeArchive(6, 7);
    RecordCartella record = RecordCartella::fromStored(
        QByteArrayView(stored).sliced((card - 1) * recordSize, recordSize));
    record.setCellText(RecordCartella::cellIndex(column, row), text);
    stored.replace((card - 1) * recordSize, recordSize, record.toStored());
    return stored;
}

} // namespace

class TestArchiveFaults : public QObject {
    Q_OBJECT
private slots:
    // Damaged archives: every card reads without a crash, the checker says what is wrong in
    // Italian, naming the card and the place, and the file keeps its bytes.
    void damagedArchivesAreReadAndReported_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("card");
        QTest::addColumn<QString>("saying");

        const QByteArray series = SeriesGenerator::makeArchive(6, 7);
        QTest::newRow("empty") << QByteArray() << 0 << int(ArchiveRule::EmptyArchive) << 1
                               << "\u00e8 vuoto";
        QTest::newRow("truncated mid-record")
            << series.left(5 * recordSize + 30) << 5 << int(ArchiveRule::IncompleteRecord) << 6
            << "termina con una cartella incompleta (cartella 6)";
        QTest::newRow("shorter than one record")
            << series.left(20) << 0 << int(ArchiveRule::IncompleteRecord) << 1
            << "cartella incompleta (cartella 1)";
        QTest::newRow("letters in a cell")
            << seriesWithCell(3, 4, 1, QStringLiteral("ab")) << 6 << int(ArchiveRule::CellNotNumber)
            << 3
            << "Cartella 3: la casella in colonna 5, riga 2 contiene \"ab\", che non \u00e8 un "
               "numero.";
        QTest::newRow("sign before a digit")
            << seriesWithCell(1, 0, 0, QStringLiteral("-5")) << 6 << int(ArchiveRule::CellNotNumber)
            << 1 << "contiene \"-5\"";
        QTest::newRow("no-break space before a digit")
            << seriesWithCell(2, 0, 2, QString(QChar(0xA0)) + QLatin1Char('7')) << 6
            << int(ArchiveRule::CellNotNumber) << 2 << "riga 3 contiene";
        QTest::newRow("number above 90")
            << seriesWithCell(6, 8, 0, QStringLiteral("95")) << 6
            << int(ArchiveRule::NumberOutOfRange) << 6
            << "Cartella 6: il numero 95 in colonna 9, riga 1 \u00e8 fuori dall'intervallo da 1 "
               "a 90.";
        QTest::newRow("99, the largest two digits")
            << seriesWithCell(4, 0, 1, QStringLiteral("99")) << 6
            << int(ArchiveRule::NumberOutOfRange) << 4 << "il numero 99";
    }
    void damagedArchivesAreReadAndReported() {
        QFETCH(QByteArray, contents);
        QFETCH(int, cards);
        QFETCH(int, rule);
        QFETCH(int, card);
        QFETCH(QString, saying);
        QTemporaryDir dir;
        const QString path = dir.filePath(CardArchive::fileName);
        QVERIFY(writeAll(path, contents));

        CardArchive archive(dir.path());
        QCOMPARE(archive.cardCount(), cards);
        // Every card the file holds, the short one and one beyond the end.
        for (qint64 n = 1; n <= cards + 2; ++n) {
            const RecordCartella record = archive.read(n);
            const qint64 offset = (n - 1) * recordSize;
            QByteArray expected = contents.mid(offset, recordSize);
            expected.append(recordSize - expected.size(), char(255 - ' '));
            QCOMPARE(record.toStored(), expected);
        }

        const QList<ArchiveFinding> findings = ArchiveValidator::checkArchive(archive);
        const auto found = std::find_if(findings.begin(), findings.end(),
                                        [&](const auto &f) { return int(f.rule) == rule; });
        QVERIFY2(found != findings.end(), "the fault is not reported");
        QCOMPARE(found->card, card);
        QVERIFY2(found->message.contains(saying), qPrintable(found->message));
        if (rule == int(ArchiveRule::EmptyArchive) || rule == int(ArchiveRule::IncompleteRecord)) {
            QVERIFY(found->message.contains(path));
        }
        QCOMPARE(readAll(path), contents);
    }

    void folderInPlaceOfTheArchiveIsAClearError() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(CardArchive::fileName));
        const QString inside = QDir(dir.filePath(CardArchive::fileName)).filePath("dentro.txt");
        QVERIFY(writeAll(inside, "non toccare"));
        try {
            CardArchive archive(dir.path());
            QFAIL("a folder opened as an archive");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), 75);
            QVERIFY(error.description().contains(
                QDir::toNativeSeparators(dir.filePath(CardArchive::fileName))));
            QVERIFY(error.description().contains(QStringLiteral("non \u00e8 un file")));
        }
        QCOMPARE(readAll(inside), QByteArray("non toccare"));
    }

    void absurdCardNumbersAreClearErrorsOrBlank_data() {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<bool>("error");
        QTest::newRow("zero") << qint64(0) << true;
        QTest::newRow("negative") << qint64(-59) << true;
        QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << true;
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << false;
        QTest::newRow("offset beyond 64 bits")
            << std::numeric_limits<qint64>::max() / 59 + 2 << false;
    }
    void absurdCardNumbersAreClearErrorsOrBlank() {
        QFETCH(qint64, number);
        QFETCH(bool, error);
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(CardArchive::fileName), SeriesGenerator::makeArchive(6, 7)));
        CardArchive archive(dir.path());
        try {
            QCOMPARE(archive.read(number), RecordCartella::blank());
            QVERIFY(!error);
        } catch (const VelmoraError &e) {
            QVERIFY(error);
            QCOMPARE(e.number(), int(VelmoraError::BadRecordNumber));
            QVERIFY(e.description().contains(QString::number(number)));
        }
    }
};

QTEST_GUILESS_MAIN(TestArchiveFaults)
#include "tst_ArchiveFaults.moc"
