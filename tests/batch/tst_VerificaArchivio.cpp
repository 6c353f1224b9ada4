#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "batch/VerificaArchivio.h"
#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"

#include <QtTest>

using velmora::ArchiveFinding;
using velmora::ArchiveRule;
using velmora::ArchiveValidator;
using velmora::BatchOptions;
using velmora::BatchRun;
using velmora::CardArchive;
using velmora::RecordCartella;
using velmora::SeriesGenerator;
using velmora::VerificaArchivio;

namespace {

constexpr int recordSize = RecordCartella::recordSize;

RecordCartella cardAt(const QByteArray &stored, int card) {
    return RecordCartella::fromStored(stored.mid((card - 1) * recordSize, recordSize));
}

void putCard(QByteArray &stored, int card, const RecordCartella &record) {
    stored.replace((card - 1) * recordSize, recordSize, record.toStored());
}

// The decade of a column: 1-9, 10-19, ..., 80-90.
std::pair<int, int> decade(int column) {
    return {column == 0 ? 1 : column * 10, column == 8 ? 90 : column * 10 + 9};
}

// Replaces the only number of a one-number column of the card with another of its decade that
// the card does not hold: the card keeps every card rule, its series loses the old number and
// holds the new one twice. Returns {old, new}.
std::pair<int, int> swapLoneNumber(RecordCartella &card) {
    for (int column = 0; column < RecordCartella::columns; ++column) {
        int filled = 0;
        int cell = -1;
        for (int row = 0; row < RecordCartella::rows; ++row) {
            const int k = RecordCartella::cellIndex(column, row);
            if (card.isFilled(k)) {
                ++filled;
                cell = k;
            }
        }
        if (filled != 1) {
            continue;
        }
        const int old = card.cellNumber(cell);
        const auto [low, high] = decade(column);
        const int replacement = old == low ? low + 1 : low;
        Q_ASSERT(replacement <= high);
        card.setCellNumber(cell, replacement);
        return {old, replacement};
    }
    return {0, 0};
}

class ArchiveFolder {
public:
    explicit ArchiveFolder(const QByteArray &stored) {
        QFile file(m_dir.filePath(CardArchive::fileName));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(stored);
        }
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

struct Verified {
    int status = -1;
    QStringList lines; // what went to standard output, the summary last
    QString errors;
};

Verified runVerifica(const QString &folder, const QStringList &extra = {}) {
    const auto parsed =
        BatchOptions::parse(QStringList{QStringLiteral("velmora-pdf"), QStringLiteral("--verifica"),
                                        QStringLiteral("--archivio"), folder} +
                            extra);
    Verified result;
    if (!parsed.options) {
        result.errors = parsed.error;
        return result;
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    BatchRun run(outStream, errStream);
    result.status = run.exec(*parsed.options);
    outStream.flush();
    errStream.flush();
    result.lines = out.split(u'\n', Qt::SkipEmptyParts);
    result.errors = err;
    return result;
}

} // namespace

class tst_VerificaArchivio : public QObject {
    Q_OBJECT

private slots:
    // A sound archive passes, with the summary as its only line and status 0.
    void soundArchivePasses() {
        const ArchiveFolder folder(SeriesGenerator::makeArchive(120, 7));
        const Verified result = runVerifica(folder.path());
        QCOMPARE(result.status, BatchOptions::exitOk);
        QCOMPARE(result.lines.size(), 1);
        QVERIFY2(result.lines.first().contains(QStringLiteral("120 cartelle verificate")),
                 qPrintable(result.lines.first()));
        QVERIFY(result.lines.first().contains(QStringLiteral("integro")));
    }

    // The archive the build puts beside the program is sound.
    void sampleArchiveIsSound() {
        const QString sample = QStringLiteral(VELMORA_BINARY_DIR "/data");
        if (!QFileInfo::exists(sample + QStringLiteral("/RidoDur.dat"))) {
            QSKIP("the build has not written the sample archive");
        }
        const Verified result = runVerifica(sample);
        QCOMPARE(result.status, BatchOptions::exitOk);
        QVERIFY2(result.lines.last().contains(QStringLiteral("nessun errore")),
                 qPrintable(result.lines.join(u'\n')));
    }

    // Each kind of damage is reported on its own line, by card and rule, and fails the check.
    void faultsAreReportedByCardAndRule_data() {
        QTest::addColumn<int>("damage");
        QTest::addColumn<QString>("expectedStart"); // the line begins with the card
        QTest::addColumn<QString>("expectedDetail");
        QTest::addColumn<QString>("expectedRule");

        QTest::newRow("number missing from a series")
            << 0 << QStringLiteral("Serie delle cartelle da 1 a 6")
            << QStringLiteral("manca il numero")
            << QStringLiteral("serie di sei cartelle con i numeri da 1 a 90 una volta sola");
        QTest::newRow("number in the wrong column")
            << 1 << QStringLiteral("Cartella 8:") << QStringLiteral("appartiene alla colonna 6")
            << QStringLiteral("numero nella colonna della sua decina");
        QTest::newRow("duplicate card") << 2 << QStringLiteral("Cartella 9:")
                                        << QStringLiteral("stessi numeri della cartella 2")
                                        << QStringLiteral("nessuna cartella uguale a un'altra");
        QTest::newRow("short last record") << 3 << QStringLiteral("L'archivio")
                                           << QStringLiteral("cartella incompleta (cartella 13)")
                                           << QStringLiteral("cartella completa");
    }
    void faultsAreReportedByCardAndRule() {
        QFETCH(int, damage);
        QFETCH(QString, expectedStart);
        QFETCH(QString, expectedDetail);
        QFETCH(QString, expectedRule);

        QByteArray stored = SeriesGenerator::makeArchive(12, 3);
        int missing = 0;
        switch (damage) {
        case 0: {
            RecordCartella card = cardAt(stored, 3);
            missing = swapLoneNumber(card).first;
            QVERIFY(missing > 0);
            QVERIFY(ArchiveValidator::checkCard(card, 3).isEmpty()); // the card itself is fine
            putCard(stored, 3, card);
            expectedDetail += QStringLiteral(" %1 ").arg(missing);
            break;
        }
        case 1: {
            // A number of the sixth column (50-59) put in a filled cell of the third.
            RecordCartella card = cardAt(stored, 8);
            for (int row = 0; row < RecordCartella::rows; ++row) {
                const int k = RecordCartella::cellIndex(2, row);
                if (card.isFilled(k)) {
                    card.setCellNumber(k, 55);
                    break;
                }
            }
            putCard(stored, 8, card);
            break;
        }
        case 2:
            putCard(stored, 9, cardAt(stored, 2));
            break;
        case 3:
            stored.append(stored.left(20));
            break;
        }
        const ArchiveFolder folder(stored);
        const Verified result = runVerifica(folder.path());
        QCOMPARE(result.status, BatchOptions::exitFailed);

        bool found = false;
        for (const QString &line : result.lines) {
            if (line.startsWith(expectedStart) && line.contains(expectedDetail) &&
                line.endsWith(QStringLiteral("(regola: %1).").arg(expectedRule))) {
                found = true;
            }
        }
        QVERIFY2(found, qPrintable(result.lines.join(u'\n')));
        QVERIFY(result.lines.last().contains(QStringLiteral("error")));
        QVERIFY(!result.lines.last().contains(QStringLiteral("integro")));
    }

    // On the whole archive the check finds exactly what the core validator finds.
    void wholeArchiveMatchesTheValidator() {
        QByteArray stored = SeriesGenerator::makeArchive(30, 11);
        RecordCartella card = cardAt(stored, 14);
        swapLoneNumber(card);
        putCard(stored, 14, card);
        putCard(stored, 27, cardAt(stored, 5));
        card = cardAt(stored, 20);
        card.setCellText(0, QStringLiteral("x1"));
        putCard(stored, 20, card);
        stored.append(QByteArray(7, '\xdf'));
        const ArchiveFolder folder(stored);

        CardArchive archive(folder.path());
        const auto report = VerificaArchivio::check(archive, 1, std::nullopt);
        auto expected = ArchiveValidator::checkArchive(archive);
        const auto key = [](const ArchiveFinding &f) {
            return std::tuple(f.card, int(f.rule), f.number, f.column, f.row, f.message);
        };
        std::stable_sort(
            expected.begin(), expected.end(),
            [&](const ArchiveFinding &a, const ArchiveFinding &b) { return key(a) < key(b); });
        auto actual = report.findings;
        std::stable_sort(
            actual.begin(), actual.end(),
            [&](const ArchiveFinding &a, const ArchiveFinding &b) { return key(a) < key(b); });
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < actual.size(); ++i) {
            QCOMPARE(actual[i].message, expected[i].message);
            QCOMPARE(int(actual[i].rule), int(expected[i].rule));
        }
        QVERIFY(!report.sound());
        QCOMPARE(report.cardsChecked, 30);
    }

    // A range checks its cards, whole series around them, duplicates among its own cards, and
    // says which cards asked for lie beyond the archive's end.
    void rangeChecks_data() {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("checked");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QString>("expected"); // a line that must be there ("" for none)

        // Card 3 lost a number to its series 1-6; card 20 repeats card 15.
        QTest::newRow("inside series 7-12")
            << qint64(7) << qint64(6) << qint64(6) << true << QString();
        QTest::newRow("card 5 alone: its whole series is checked")
            << qint64(5) << qint64(1) << qint64(1) << false
            << QStringLiteral("Serie delle cartelle da 1 a 6: manca il numero");
        QTest::newRow("duplicate outside the range is not a duplicate")
            << qint64(16) << qint64(6) << qint64(6) << false
            << QStringLiteral("Serie delle cartelle da 19 a 24"); // 20 breaks its series
        QTest::newRow("duplicate inside the range")
            << qint64(13) << qint64(12) << qint64(12) << false
            << QStringLiteral("Cartella 20: ha gli stessi numeri della cartella 15 (regola: ");
        QTest::newRow("beyond the end")
            << qint64(25) << qint64(10) << qint64(6) << false
            << QStringLiteral("Cartelle da 31 a 34: oltre la fine dell'archivio");
        QTest::newRow("first 0 is card 1") << qint64(0) << qint64(1) << qint64(1) << false
                                           << QStringLiteral("Serie delle cartelle da 1 a 6");
    }
    void rangeChecks() {
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        QFETCH(qint64, checked);
        QFETCH(bool, sound);
        QFETCH(QString, expected);

        QByteArray stored = SeriesGenerator::makeArchive(30, 5);
        RecordCartella card = cardAt(stored, 3);
        swapLoneNumber(card);
        putCard(stored, 3, card);
        putCard(stored, 20, cardAt(stored, 15));
        const ArchiveFolder folder(stored);
        CardArchive archive(folder.path());

        const auto report = VerificaArchivio::check(archive, first, count);
        QCOMPARE(report.cardsChecked, checked);
        QCOMPARE(report.sound(), sound);
        const QStringList lines = report.lines();
        if (!expected.isEmpty()) {
            QVERIFY2(std::any_of(lines.cbegin(), lines.cend(),
                                 [&](const QString &l) { return l.startsWith(expected); }),
                     qPrintable(lines.join(u'\n')));
        }
        if (first == 16) {
            for (const QString &line : lines) {
                QVERIFY2(!line.contains(QStringLiteral("stessi numeri")), qPrintable(line));
            }
        }
        // Every line names the rule it breaks.
        for (const QString &line : lines) {
            QVERIFY2(line.contains(QStringLiteral("(regola: ")), qPrintable(line));
        }
    }

    // A check asked to stop ends early and never calls the archive sound.
    void stopEndsTheCheck() {
        const ArchiveFolder folder(SeriesGenerator::makeArchive(60, 9));
        CardArchive archive(folder.path());
        int asked = 0;
        const auto report =
            VerificaArchivio::check(archive, 1, std::nullopt, [&asked] { return ++asked > 10; });
        QCOMPARE(report.cardsChecked, 10);
        QVERIFY(report.stopped);
        QVERIFY(!report.sound());
        QVERIFY(report.summary().contains(QStringLiteral("interrotta")));
    }

    // A garbage archive (every byte 0xFF: every cell NUL once decoded) breaks every rule on
    // every card: the listing stays short and free of control characters, each card listed
    // with a few lines and how many more, and the summary still counts every fault.
    void garbageArchiveGivesABoundedEscapedListing() {
        const ArchiveFolder folder(QByteArray(RecordCartella::recordSize * 3000, '\xff'));
        const Verified result = runVerifica(folder.path());
        QCOMPARE(result.status, BatchOptions::exitFailed);
        QVERIFY2(result.lines.size() <= VerificaArchivio::maxLines + 2,
                 qPrintable(QString::number(result.lines.size())));
        QVERIFY(result.lines.first().contains(QStringLiteral("\"\\x00\\x00\"")));
        QVERIFY(result.lines.contains(QStringLiteral("Cartella 1: ci sono altri 111 errori.")));
        QVERIFY(result.lines.at(result.lines.size() - 2).startsWith(QStringLiteral("Altri ")));
        QVERIFY2(result.lines.last().contains(QStringLiteral("errori in 3000 cartelle")),
                 qPrintable(result.lines.last()));
        for (const QString &line : result.lines) {
            QVERIFY2(std::none_of(line.cbegin(), line.cend(),
                                  [](QChar c) { return c.unicode() < 0x20; }),
                     qPrintable(line));
        }
    }

    // A missing archive is a failure with a message on the error stream, not a sound archive.
    void missingArchiveFails() {
        QTemporaryDir empty;
        const Verified result = runVerifica(empty.path());
        QCOMPARE(result.status, BatchOptions::exitFailed);
        QVERIFY(result.lines.isEmpty());
        QVERIFY2(result.errors.contains(QStringLiteral("RidoDur.dat")), qPrintable(result.errors));
    }
};

QTEST_GUILESS_MAIN(tst_VerificaArchivio)
#include "tst_VerificaArchivio.moc"
