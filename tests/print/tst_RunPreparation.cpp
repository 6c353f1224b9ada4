// The steps before a run, shared by the print, the preview, "Salva PDF" and velmora-pdf: each
// refusal of the run comes out of the one preparation with its kind and its words.

#include "print/RunPreparation.h"
#include "settings/SettingsFile.h"
#include "tests/support/CardFixture.h"

#include <QtTest>

using namespace velmora;
using Kind = RunPreparation::Kind;

class tst_RunPreparation : public QObject {
    Q_OBJECT

    static constexpr int archiveCards = 20;
    testing::ArchiveFixture m_archive{archiveCards};
    QTemporaryDir m_noArchive;

private slots:
    // One row a refusal, and the runs that are ready with their range fitted to the archive.
    void refusalsAndReadyRuns_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("archiveFound");
        QTest::addColumn<int>("dimensione");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("last");
        QTest::newRow("no archive")
            << 1 << 6 << false << 16 << Kind::NoArchive << "Impossibile trovare l'archivio" << 0;
        QTest::newRow("first card past 32767")
            << 32768 << 1 << true << 16 << Kind::Refused << "fino a 32767" << 0;
        QTest::newRow("a card past the archive's end")
            << 19 << 3 << true << 16 << Kind::Refused << "contiene 20 cartelle" << 0;
        QTest::newRow("the run check's refusal")
            << 1 << 6 << true << 7 << Kind::Refused << "La dimensione del carattere 7" << 0;
        QTest::newRow("nothing to print")
            << 1 << 0 << true << 16 << Kind::NothingToPrint << "Nessuna cartella da stampare" << 0;
        QTest::newRow("ready: the last page filled")
            << 1 << 8 << true << 16 << Kind::Ready << QString() << 12;
        QTest::newRow("ready: the filling stops at the archive's end")
            << 17 << 4 << true << 16 << Kind::Ready << QString() << archiveCards;
    }
    void refusalsAndReadyRuns() {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(bool, archiveFound);
        QFETCH(int, dimensione);
        QFETCH(Kind, kind);
        QFETCH(QString, said);
        QFETCH(int, last);
        Configurazione settings = SettingsFile::defaults();
        settings.Dimensione = qint16(dimensione);
        const QString folder = archiveFound ? m_archive.folder() : m_noArchive.path();

        RunPreparation run =
            RunPreparation::prepare({QString::number(first), QString::number(count), true, false},
                                    settings, {.archiveFolders = {folder}});

        QCOMPARE(run.kind(), kind);
        QCOMPARE(run.refused(), kind != Kind::Ready);
        QVERIFY2(run.refusal().contains(said), qPrintable(run.refusal()));
        QCOMPARE(run.refusal().isEmpty(), said.isEmpty());
        if (kind == Kind::Ready) {
            QCOMPARE(int(run.plan().last), last);
            QCOMPARE(run.archive().path(), m_archive.path());
        } else {
            QVERIFY(!run.takeArchive()); // a refused run holds no archive open
        }
    }

    // "Salva PDF" asks for its file between the range and the archive: the range alone opens
    // nothing, and a range refused stays refused in its own words whatever the archive.
    void rangeBeforeTheArchive_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<Kind>("planned");
        QTest::addColumn<Kind>("opened");
        QTest::newRow("a range that prints") << "6" << Kind::Planned << Kind::Ready;
        QTest::newRow("a range refused") << "40000" << Kind::Refused << Kind::Refused;
    }
    void rangeBeforeTheArchive() {
        QFETCH(QString, count);
        QFETCH(Kind, planned);
        QFETCH(Kind, opened);
        RunPreparation run({QStringLiteral("1"), count, true, false});
        QCOMPARE(run.kind(), planned);
        QVERIFY(!run.takeArchive());
        const QString refusal = run.refusal();

        run.openArchive(SettingsFile::defaults(), {.archiveFolders = {m_archive.folder()}});
        QCOMPARE(run.kind(), opened);
        QCOMPARE(run.refusal(), refusal);
    }
};

QTEST_MAIN(tst_RunPreparation)
#include "tst_RunPreparation.moc"
