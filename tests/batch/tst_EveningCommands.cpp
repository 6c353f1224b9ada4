#include "batch/BatchOptions.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "tests/support/BatchExec.h"
#include "tests/support/EveningFixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;
using Outcome = RunRecord::Outcome;

// --serate and --vendute on the command line, over a register whose current evening has run 1
// (cards 1-18 numbered from 1) and run 2 (failed before its first card).
class tst_EveningCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("velmora"));
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("dati")).toUtf8());
    }

    void sellAndList_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");   // on standard error
        QTest::addColumn<QString>("listed"); // --serate afterwards: runs, cards, takings
        QTest::newRow("sold at 1,50") << "--vendute \"1-10, 12\" --corsa 1 --prezzo 1,50" << 0
                                      << ": 11 cartelle della corsa 1."
                                      << "corrente\t2\t11\t16,50 €";
        // One decimal is tenths, none is whole euros: 11 cards at each price.
        const QList<std::pair<const char *, const char *>> prices{
            {"1,5", "16,50 €"},  {"1.5", "16,50 €"}, {"1", "11,00 €"},
            {"1,05", "11,55 €"}, {"0,5", "5,50 €"},  {" 2,00 € ", "22,00 €"}};
        for (const auto &[price, takings] : prices) {
            QTest::addRow("at %s", price)
                << QStringLiteral("--vendute \"1-10, 12\" --corsa 1 --prezzo \"%1\"").arg(price)
                << 0 << ": 11 cartelle della corsa 1."
                << QStringLiteral("corrente\t2\t11\t%1").arg(takings);
        }
        QTest::newRow("free") << "--vendute 18 --corsa 1" << 0 << ": 1 cartella della corsa 1."
                              << "\t2\t1\t0,00 €";
        QTest::newRow("past the run's end, nothing sold")
            << "--vendute 1-5,15-20 --corsa 1" << 1
            << "velmora-pdf: la corsa 1 non ha consegnato le cartelle N. 19-20 (ha consegnato le "
               "cartelle N. 1-18): nessuna cartella è stata messa in gioco."
            << "\t2\t0\t0,00 €";
        QTest::newRow("run that delivered nothing")
            << "--vendute 1 --corsa 2" << 1 << "la corsa 2 non ha consegnato nessuna cartella"
            << "\t2\t0\t0,00 €";
        QTest::newRow("run not of the evening")
            << "--vendute 1 --corsa 7" << 1 << "la corsa 7 non è di questa serata"
            << "\t2\t0\t0,00 €";
        const QList<std::pair<const char *, const char *>> misuses{
            {"--vendute 1-x --corsa 1", "--vendute: \"1-x\" non è un numero"},
            {"--vendute 5-1 --corsa 1", "--vendute: l'intervallo \"5-1\""},
            {"--vendute 1-5", "--vendute vuole la stampa delle cartelle: --corsa R"},
            {"--vendute 1 --corsa 1 --prezzo tanto", "--prezzo vuole il prezzo"},
            {"--prezzo 2", "--prezzo vale solo con --vendute"},
            {"--vendute 1 --corsa 1 --prezzo 1,505", "--prezzo vuole il prezzo"},
            {"--serate --corsa 1", "--serate elenca le serate"},
            {"--serate -o x.pdf", "-o non vale con --serate"},
            {"--in-gioco", "--in-gioco vale solo con --vincite"},
            {"--vincite --estratti 1,2 --vendute 1", "--vincite non si usa con --serate"},
        };
        for (const auto &[arguments, said] : misuses) {
            QTest::newRow(arguments) << arguments << 2 << said << "\t2\t0\t0,00 €";
        }
    }

    void sellAndList() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, listed);
        QVERIFY(QFile::remove(RegisterDatabase::defaultPath()) ||
                !QFile::exists(RegisterDatabase::defaultPath()));
        {
            RegisterDatabase db;
            QCOMPARE(registerEveningRun(db.connection(), {Outcome::Completed, 1, 18, 18, true}), 1);
            QCOMPARE(registerEveningRun(db.connection(), {Outcome::Failed, 1, 6, 0, false}), 2);
        }
        QString out, err;
        QCOMPARE(execBatch(arguments, out, err), status);
        QVERIFY2(err.contains(said), qPrintable(err));
        QCOMPARE(execBatch(QStringLiteral("--serate"), out, err), 0);
        QVERIFY2(out.startsWith(QStringLiteral("1\t%1\tSerata del ")
                                    .arg(QDate::currentDate().toString(Qt::ISODate))),
                 qPrintable(out));
        QVERIFY2(out.endsWith(listed + u'\n'), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(tst_EveningCommands)
#include "tst_EveningCommands.moc"
