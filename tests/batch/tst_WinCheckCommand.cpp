#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"
#include "tests/support/BatchExec.h"
#include "tests/support/EveningFixture.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;

using Outcome = RunRecord::Outcome;
Q_DECLARE_METATYPE(RunSpec)

class TestWinCheckCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusals_data();
    void refusals();
    void linesPerWinningCard_data();
    void linesPerWinningCard();
    void rangesPrintingRefuses_data();
    void rangesPrintingRefuses();
    void cardsOfARegisteredRun_data();
    void cardsOfARegisteredRun();
    void cardsInPlayOfTheEvening_data();
    void cardsInPlayOfTheEvening();
    void questionBeginsNoEvening();

private:
    // Writes archive into folder; gives its fingerprint.
    static ArchiveFingerprint writeArchive(const QString &folder, const QByteArray &archive);

    QTemporaryDir m_dir;
    QString m_row; // the first row of card 8, drawn in full
};

ArchiveFingerprint TestWinCheckCommand::writeArchive(const QString &folder,
                                                     const QByteArray &archive) {
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(CardArchive::fileName));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(archive);
    }
    file.close();
    return ArchiveFingerprint::of(file.fileName()).value_or(ArchiveFingerprint{});
}

void TestWinCheckCommand::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("dati")).toUtf8());
    const QByteArray archive = SeriesGenerator::makeArchive(18, 3);
    QVERIFY(!writeArchive(m_dir.path(), archive).sha256.isEmpty());
    QVERIFY(!writeArchive(m_dir.filePath(QStringLiteral("copia")), archive).sha256.isEmpty());
    QVERIFY(
        !writeArchive(m_dir.filePath(QStringLiteral("altro")), SeriesGenerator::makeArchive(18, 4))
             .sha256.isEmpty());
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
    QTest::newRow("empty list") << QStringList{"--vincite", "--estratti", ""}
                                << "vuole i numeri estratti";
    QTest::newRow("blanks") << QStringList{"--vincite", "--estratti", "  "}
                            << "vuole i numeri estratti";
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
    QTest::addColumn<int>("checked");  // cards checked, as the summary says
    QTest::newRow("from 1") << QStringList{"--prima", "5", "--cartelle", "6"}
                            << "8\t4\tCinquina\tprima" << 6;
    QTest::newRow("archive numbers")
        << QStringList{"--prima", "5", "--cartelle", "6", "--numerazione", "archivio"}
        << "8\t00008\tCinquina\tprima" << 6;
    QTest::newRow("whole archive") << QStringList{} << "8\t8\tCinquina\tprima" << 18;
    QTest::newRow("first card 0 is card 1, as printing takes it")
        << QStringList{"--prima", "0", "--cartelle", "12"} << "8\t8\tCinquina\tprima" << 12;
    QTest::newRow("leading zeros are base 10")
        << QStringList{"--prima", "01", "--cartelle", "010"} << "8\t8\tCinquina\tprima" << 10;
}

void TestWinCheckCommand::linesPerWinningCard() {
    QFETCH(QStringList, range);
    QFETCH(QString, line);
    QFETCH(int, checked);
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
    QVERIFY2(errText.contains(QStringLiteral(" su %1 controllate").arg(checked)),
             qPrintable(errText));
}

void TestWinCheckCommand::rangesPrintingRefuses_data() {
    QTest::addColumn<QStringList>("range");
    QTest::newRow("first card past the archive's end")
        << QStringList{"--prima", "19", "--cartelle", "1"};
    QTest::newRow("cards past the archive's end")
        << QStringList{"--prima", "15", "--cartelle", "6"};
    QTest::newRow("a count that overflows") << QStringList{"--cartelle", "9223372036854775807"};
    QTest::newRow("first card past 32767") << QStringList{"--prima", "40000", "--cartelle", "1"};
}

// --vincite refuses, in the same words, every range printing refuses.
void TestWinCheckCommand::rangesPrintingRefuses() {
    QFETCH(QStringList, range);
    const auto run = [&](const QStringList &mode, QString *errText) {
        const BatchParsed parsed = BatchOptions::parse(
            QStringList{"velmora-pdf", "--archivio", m_dir.path()} + mode + range);
        if (!parsed.options) {
            *errText = parsed.error;
            return -1;
        }
        QString outText;
        QTextStream out(&outText), err(errText);
        BatchRun batch(out, err);
        const int status = batch.exec(*parsed.options);
        err.flush();
        return status;
    };
    QString printed, checked;
    const int printStatus = run({"-o", m_dir.filePath(QStringLiteral("rifiuto.pdf"))}, &printed);
    QCOMPARE(run({"--vincite", "--estratti", "4"}, &checked), printStatus);
    QVERIFY2(printStatus != BatchOptions::exitOk, qPrintable(printed));
    QVERIFY2(!checked.isEmpty() && printed.contains(checked.trimmed()),
             qPrintable(printed + u'|' + checked));
}

// Run 2 of the register printed from the archive of the test's folder; it is checked on the
// archive the register recorded for it, whatever --archivio names (the same file, a copy
// elsewhere, or other cards).
void TestWinCheckCommand::cardsOfARegisteredRun_data() {
    QTest::addColumn<RunSpec>("printed");
    QTest::addColumn<QString>("folder"); // under the test's folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // in the summary or the refusal
    QTest::addColumn<QString>("out");  // every line, under the numbers the run printed
    const RunSpec all{Outcome::Completed, 5, 10, 6, true};
    QTest::newRow("on the run's archive") << all << "" << 0 << "su 6 controllate"
                                          << "8\t4\tCinquina\tprima\n";
    QTest::newRow("on a copy of it elsewhere") << all << "copia" << 0 << "su 6"
                                               << "8\t4\tCinquina\tprima\n";
    QTest::newRow("another archive given: the run's own is read") << all << "altro" << 0 << "su 6"
                                                                  << "8\t4\tCinquina\tprima\n";
    QTest::newRow("with the archive's numbers")
        << RunSpec{Outcome::Completed, 5, 10, 6, true, true} << "" << 0 << "su 6 controllate"
        << "8\t00008\tCinquina\tprima\n";
    QTest::newRow("stopped after two delivered")
        << RunSpec{Outcome::Stopped, 5, 10, 2, true} << "" << 0 << "su 2 controllate"
        << "";
    QTest::newRow("stopped, nothing delivered")
        << RunSpec{Outcome::Stopped, 5, 10, 4, false} << "" << 1
        << "la corsa n. 2 non ha consegnato nessuna cartella (esito: fermata dopo la cartella 8)"
        << "";
    QTest::newRow("failed before any card")
        << RunSpec{Outcome::Failed, 5, 10, 0, false} << "" << 1
        << "la corsa n. 2 non ha consegnato nessuna cartella (esito: non riuscita)"
        << "";
}

void TestWinCheckCommand::cardsOfARegisteredRun() {
    QFETCH(RunSpec, printed);
    QFETCH(QString, folder);
    QFETCH(int, status);
    QFETCH(QString, said);
    QVERIFY(QFile::remove(RegisterDatabase::defaultPath()) ||
            !QFile::exists(RegisterDatabase::defaultPath()));
    {
        RegisterDatabase db;
        QVERIFY(db.isOpen());
        const ArchiveFingerprint archive =
            ArchiveFingerprint::of(m_dir.filePath(CardArchive::fileName)).value();
        QCOMPARE(registerRun(db.connection(), {Outcome::Completed, 1, 18, 18, true}, archive), 1);
        QCOMPARE(registerRun(db.connection(), printed, archive), 2);
    }
    QFETCH(QString, out);
    QString lines, err;
    QCOMPARE(execBatch(QStringLiteral("--vincite --estratti %1 --corsa 2 --archivio \"%2\"")
                           .arg(m_row, QDir(m_dir.path()).filePath(folder)),
                       lines, err),
             status);
    QVERIFY2(err.contains(said), qPrintable(err));
    QCOMPARE(lines, out);
}

// Only the cards in play of the current evening are checked, each line naming its run; a run of
// the evening that delivered nothing is said.
void TestWinCheckCommand::cardsInPlayOfTheEvening_data() {
    QTest::addColumn<QString>("sold");  // of run 1, cards 1-18 numbered from 1
    QTest::addColumn<QString>("extra"); // more arguments
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("said");
    QTest::newRow("card 8 among 7-9") << "7-9"
                                      << "" << 0 << "8\t8\tCinquina\tprima\t1\n"
                                      << "Cartelle in gioco con un premio: 1 su 3";
    QTest::newRow("the run that delivered nothing")
        << "7-9"
        << "" << 0 << "8\t8\tCinquina\tprima\t1\n"
        << "la corsa n. 2 non ha consegnato nessuna cartella (esito: non riuscita)";
    QTest::newRow("card 8 not sold") << "1-7,9-12"
                                     << "" << 0 << ""
                                     << "Cartelle in gioco con un premio: 0 su 11";
    QTest::newRow("nothing in play") << ""
                                     << "" << 1 << ""
                                     << "nessuna cartella in gioco";
    QTest::newRow("with a run") << ""
                                << "--corsa 1" << 2 << ""
                                << "--in-gioco sceglie già";
}

void TestWinCheckCommand::cardsInPlayOfTheEvening() {
    QFETCH(QString, sold);
    QFETCH(QString, extra);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, said);
    QVERIFY(QFile::remove(RegisterDatabase::defaultPath()) ||
            !QFile::exists(RegisterDatabase::defaultPath()));
    {
        RegisterDatabase db;
        const ArchiveFingerprint archive =
            ArchiveFingerprint::of(m_dir.filePath(CardArchive::fileName)).value();
        QCOMPARE(
            registerEveningRun(db.connection(), {Outcome::Completed, 1, 18, 18, true}, archive), 1);
        QCOMPARE(registerEveningRun(db.connection(), {Outcome::Failed, 1, 6, 0, false}, archive),
                 2);
        EveningStore store(db.connection());
        if (!sold.isEmpty()) {
            QVERIFY(store.addSold(store.current()->id, 1, *EveningStore::parseRanges(sold, nullptr),
                                  100));
        }
    }
    QString printed, err;
    QCOMPARE(execBatch(QStringLiteral("--vincite --in-gioco --estratti %1 --archivio \"%2\" %3")
                           .arg(m_row, m_dir.path(), extra),
                       printed, err),
             status);
    QCOMPARE(printed, out);
    QVERIFY2(err.contains(said), qPrintable(err));
}

// Asking who won only reads the register: without an evening being held, none is begun.
void TestWinCheckCommand::questionBeginsNoEvening() {
    QVERIFY(QFile::remove(RegisterDatabase::defaultPath()) ||
            !QFile::exists(RegisterDatabase::defaultPath()));
    QString out, err;
    QCOMPARE(execBatch(QStringLiteral("--vincite --in-gioco --estratti %1").arg(m_row), out, err),
             BatchOptions::exitFailed);
    QVERIFY2(err.contains(QStringLiteral("nessuna serata in corso")), qPrintable(err));
    RegisterDatabase db;
    QCOMPARE(EveningStore(db.connection()).evenings().size(), 0);
}

QTEST_GUILESS_MAIN(TestWinCheckCommand)
#include "tst_WinCheckCommand.moc"
