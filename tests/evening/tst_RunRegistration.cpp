#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "print/CardArchive.h"
#include "print/PdfTarget.h"
#include "print/RecordCartella.h"
#include "print/SeriesGenerator.h"
#include "register/ArchiveFingerprint.h"
#include "register/PrintRegister.h"
#include "settings/SettingsFile.h"

#include "tests/support/BatchExec.h"
#include "tests/support/CardFixture.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace velmora::testing;

using namespace velmora;
using Outcome = RunRecord::Outcome;

// The register as the print runs leave it, through velmora-pdf's own run: one entry per run,
// begun before the first card and completed at the end.
class tst_RunRegistration : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_settings;
    QString m_archive; // a sound archive of 120 cards
    QString m_err;
    QString m_out;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString writeArchive(const QString &folder, QByteArray stored) {
        QDir().mkpath(folder);
        testing::writeAll(folder + u'/' + CardArchive::fileName, stored);
        return folder;
    }

    // Every number drawn: every card has a tombola.
    static QString everyNumber() {
        QStringList all;
        for (int n = 1; n <= 90; ++n) {
            all << QString::number(n);
        }
        return all.join(u',');
    }

    // failing: a page so small that every card's drawing fails (its title's first size is 0).
    int exec(const QString &arguments, int stopAfter = 0, bool failing = false) {
        return execBatch(arguments, m_out, m_err, [=](BatchRun &run) {
            BatchRun::clearStopRequest();
            if (failing) {
                run.setPdfTargetFactory([](const QString &name) -> std::unique_ptr<PageTarget> {
                    return std::make_unique<PdfTarget>(
                        name, QPageSize(QSizeF(8, 8), QPageSize::Millimeter));
                });
            }
            if (stopAfter > 0) {
                run.setCardHook([stopAfter](int done, int) {
                    if (done == stopAfter) {
                        BatchRun::requestStop();
                    }
                });
            }
        });
    }

    static QList<RunRecord> registered() {
        RegisterDatabase db;
        return PrintRegister(db.connection()).runs();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", path(QStringLiteral("dati")).toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("velmora"));
        m_settings = path(QStringLiteral("vel.cnf"));
        QVERIFY(SettingsFile(m_settings).save(SettingsFile::defaults()).ok);
        m_archive =
            writeArchive(path(QStringLiteral("buono")), SeriesGenerator::makeArchive(120, 5));
    }

    void eachRunLeavesItsEntry_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("expected"); // first, asked, last, drawn, delivered, numbering
        QTest::newRow("completed") << "--prima 5 --cartelle 8 --numerazione archivio" << false << 0
                                   << int(Outcome::Completed) << "5 8 16 12 1 1";
        QTest::newRow("stopped after card 7")
            << "--cartelle 60" << false << 7 << int(Outcome::Stopped) << "1 60 60 7 0 0";
        QTest::newRow("failed in card 1")
            << "--cartelle 12" << true << 0 << int(Outcome::Failed) << "1 12 12 1 0 0";
    }

    void eachRunLeavesItsEntry() {
        QFETCH(QString, arguments);
        QFETCH(bool, failing);
        QFETCH(int, stopAfter);
        QFETCH(int, outcome);
        QFETCH(QString, expected);
        const QString archive = m_archive;
        const QString pdf = path(QStringLiteral("uscita.pdf"));
        exec(QStringLiteral("%1 --orientamento orizzontale --archivio %2 --configurazione %3 -o %4")
                 .arg(arguments, archive, m_settings, pdf),
             stopAfter, failing);
        const RunRecord run = registered().value(0);
        QCOMPARE(int(run.outcome), outcome);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(run.firstCard)
                     .arg(run.cardsAsked)
                     .arg(run.lastCard)
                     .arg(run.cardsDrawn)
                     .arg(int(run.delivered))
                     .arg(int(run.archiveNumbering)),
                 expected);
        const QString file = archive + u'/' + CardArchive::fileName;
        QCOMPARE(run.archivePath, file);
        QCOMPARE(run.archiveSha256, ArchiveFingerprint::of(file)->sha256);
        QCOMPARE(run.program, QStringLiteral("velmora-pdf"));
        QVERIFY2(run.destination.contains(pdf), qPrintable(run.destination));
        QVERIFY(run.ended.isValid() && run.started <= run.ended);
        // Every run belongs to the current evening.
        RegisterDatabase db;
        EveningStore evenings(db.connection());
        QCOMPARE(evenings.runs(evenings.current()->id).constLast().id, run.id);
    }

    // The register answers on the command line what these runs printed.
    void queries_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");  // the lines, each cut after its fourth field
        QTest::addColumn<QString>("says"); // a part of the message, when one is expected
        QTest::newRow("list, newest first")
            << "--registro" << 0 << "3\t\t\tvelmora-pdf|2\t\t\tvelmora-pdf|1\t\t\tvelmora-pdf"
            << "";
        QTest::newRow("N. 7, archive numbers") << "--trova 7" << 0 << "1\t7\t7\tcerta"
                                               << "";
        QTest::newRow("N. 7 of a run that handed on nothing")
            << "--trova 7 --corsa 2" << 1 << ""
            << "La corsa n. 2 non ha stampato il numero 7";
        QTest::newRow("N. 20 beyond the one run asked")
            << "--trova 20 --corsa 1" << 1 << ""
            << "La corsa n. 1 non ha stampato il numero 20";
        QTest::newRow("N. 99 nowhere") << "--trova 99" << 1 << ""
                                       << "Nessuna corsa del registro ha stampato il numero 99";
        QTest::newRow("run that is not there") << "--trova 7 --corsa 9" << 1 << ""
                                               << "La corsa n. 9 non è nel registro";
        QTest::newRow("archive card 16") << "--numero-archivio 16" << 0 << "1\t16\t16\tcerta"
                                         << "";
        QTest::newRow("archive card 17 never printed") << "--numero-archivio 17" << 1 << ""
                                                       << "";
        for (const char *misuse :
             {"--trova 7 -o x.pdf", "--corsa 3", "--registro --trova 7", "--trova 0"}) {
            QTest::newRow(misuse) << misuse << 2 << ""
                                  << "";
        }
    }

    void queries() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, says);
        QCOMPARE(exec(arguments), status);
        QVERIFY2(m_err.contains(says), qPrintable(m_err));
        QStringList lines;
        for (const QString &line : m_out.split(u'\n', Qt::SkipEmptyParts)) {
            QStringList fields = line.split(u'\t');
            if (arguments == QLatin1String("--registro")) {
                fields[1].clear(); // the times vary
                fields[2].clear();
            }
            lines << fields.mid(0, 4).join(u'\t');
        }
        QCOMPARE(lines.join(u'|'), out);
        QCOMPARE(m_err.isEmpty(), status == 0);
    }

    // An archive whose records store other numbers than their positions: the PDF, tracing and
    // --vincite give the same number for card 101, and tracing finds the card by it.
    void numberPrintedIsTheSameEverywhere_data() {
        QTest::addColumn<QString>("numbering");
        QTest::addColumn<QString>("printed"); // under card 101, and after --trova
        QTest::newRow("archive numbers") << "archivio"
                                         << "01101";
        QTest::newRow("from 1: the stored number less the first card, plus 1") << "progressiva"
                                                                               << "1001";
    }
    void numberPrintedIsTheSameEverywhere() {
        QFETCH(QString, numbering);
        QFETCH(QString, printed);
        const QString archive =
            writeArchive(path(QStringLiteral("spostati")),
                         testing::shiftedNumbers(SeriesGenerator::makeArchive(120, 5)));
        const QString pdf = path(QStringLiteral("spostati.pdf"));
        QCOMPARE(exec(QStringLiteral("--prima 101 --cartelle 6 --orientamento orizzontale "
                                     "--numerazione %1 --archivio %2 --configurazione %3 -o %4")
                          .arg(numbering, archive, m_settings, pdf)),
                 BatchOptions::exitOk);
        const qint64 run = registered().first().id;
        if (pdfToolsAvailable() && numbering == QLatin1String("archivio")) {
            QCOMPARE(printedCardNumbers(pdf).value(0).number, printed);
        }
        const QString line = QStringLiteral("%1\t101\t%2\t").arg(run).arg(printed.toInt());
        QCOMPARE(exec(QStringLiteral("--trova %1 --corsa %2").arg(printed).arg(run)), 0);
        QVERIFY2(m_out.startsWith(line), qPrintable(m_out + m_err));
        QCOMPARE(exec(QStringLiteral("--numero-archivio 101")), 0);
        QVERIFY2(m_out.startsWith(line), qPrintable(m_out + m_err));
        QCOMPARE(exec(QStringLiteral("--vincite --estratti %1 --corsa %2 --archivio %3")
                          .arg(everyNumber(), QString::number(run), archive)),
                 0);
        // --vincite writes the number as the card does (five characters under archive numbers).
        QVERIFY2(m_out.startsWith(QStringLiteral("101\t%1\t").arg(printed)),
                 qPrintable(m_out + m_err));
        // The archive changed since: the answer is a guess, and says so.
        QVERIFY(testing::writeAll(archive + u'/' + CardArchive::fileName,
                                  SeriesGenerator::makeArchive(120, 5)));
        QCOMPARE(exec(QStringLiteral("--numero-archivio 101")), 0);
        QVERIFY2(m_err.contains(QStringLiteral("è cambiato")), qPrintable(m_err));
    }

    // A register that cannot be written never stops a print; it is said once per program.
    // Asking it then fails with the reason.
    void unwritableRegisterIsToldOnceAndThePrintGoesOn() {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        const QString blocker = path(QStringLiteral("non-cartella"));
        QVERIFY(testing::writeAll(blocker, "x"));
        qputenv("XDG_DATA_HOME", blocker.toUtf8());
        QStringList said;
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(exec(QStringLiteral("--cartelle 6 --archivio %1 --configurazione %2 -o %3")
                              .arg(m_archive, m_settings, path(QStringLiteral("ok.pdf")))),
                     BatchOptions::exitOk);
            said << QString::number(m_err.count(QStringLiteral("non può essere scritto")));
        }
        // Asked, the register that cannot be opened is said, never listed as empty.
        QCOMPARE(exec(QStringLiteral("--registro")), BatchOptions::exitFailed);
        said << m_err.section(QStringLiteral(": "), -1).trimmed();
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(said, QStringList({"1", "0", "una parte del percorso non è una cartella."}));
    }

    // velmora-pdf killed in the middle of a run leaves its entry in progress; the next run
    // reports it as interrupted.
    void killedRunIsReportedInterruptedNextTime() {
        const QString big =
            writeArchive(path(QStringLiteral("grande")), SeriesGenerator::makeArchive(30000, 7));
        QProcess child;
        child.start(QStringLiteral(VELMORA_BINARY_DIR "/velmora-pdf"),
                    {QStringLiteral("--cartelle"), QStringLiteral("30000"),
                     QStringLiteral("--archivio"), big, QStringLiteral("--configurazione"),
                     m_settings, QStringLiteral("-o"), path(QStringLiteral("grande.pdf"))});
        QVERIFY(child.waitForStarted());
        const auto inProgress = [&child] {
            const QList<RunRecord> runs = registered();
            return !runs.isEmpty() && runs.first().pid == child.processId() &&
                   runs.first().outcome == Outcome::InProgress;
        };
        QTRY_VERIFY_WITH_TIMEOUT(inProgress(), 60000);
        const qint64 killed = registered().first().id;
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(registered().first().outcome, Outcome::InProgress); // nobody has looked yet
        // Asking the register first only reads it: the next print still reports the run.
        QCOMPARE(exec(QStringLiteral("--registro")), BatchOptions::exitOk);
        QVERIFY2(m_out.contains(QStringLiteral("%1\t").arg(killed)), qPrintable(m_out));
        QCOMPARE(registered().first().outcome, Outcome::InProgress);

        QCOMPARE(exec(QStringLiteral("--cartelle 6 --archivio %1 --configurazione %2 -o %3")
                          .arg(m_archive, m_settings, path(QStringLiteral("dopo.pdf")))),
                 BatchOptions::exitOk);
        QVERIFY2(m_err.contains(QStringLiteral("La corsa n. %1 ").arg(killed)), qPrintable(m_err));
        const QList<RunRecord> runs = registered();
        QCOMPARE(runs.at(0).outcome, Outcome::Completed);
        QCOMPARE(runs.at(1).id, killed);
        QCOMPARE(runs.at(1).outcome, Outcome::Interrupted);
        // Reported once: the print after it says nothing more of it.
        QCOMPARE(exec(QStringLiteral("--cartelle 6 --archivio %1 --configurazione %2 -o %3")
                          .arg(m_archive, m_settings, path(QStringLiteral("ancora.pdf")))),
                 BatchOptions::exitOk);
        QVERIFY2(!m_err.contains(QStringLiteral("La corsa n. %1 ").arg(killed)), qPrintable(m_err));
        // Killed before its file was put in place, it delivered no card to put in play.
        QCOMPARE(exec(QStringLiteral("--vendute 1-6 --corsa %1").arg(killed)),
                 BatchOptions::exitFailed);
        QVERIFY2(m_err.contains(
                     QStringLiteral("la corsa %1 non ha consegnato nessuna cartella").arg(killed)),
                 qPrintable(m_err));
    }
};

QTEST_MAIN(tst_RunRegistration)
#include "tst_RunRegistration.moc"
