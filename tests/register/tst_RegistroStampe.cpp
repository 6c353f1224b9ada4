#include "register/RegistroStampe.h"

#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"
#include "print/CardArchive.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterTarget.h"
#include "print/SeriesGenerator.h"
#include "print/StampaCartelle.h"
#include "register/PrintRegister.h"
#include "settings/SettingsFile.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/TestFiles.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

class tst_RegistroStampe : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("dati")).toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    }

    // The window's print leaves its entry too: completed, six cards, into the PDF chosen.
    void windowPrintIsRegistered() {
        const QString folder = m_dir.filePath(QStringLiteral("archivio"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(testing::writeAll(folder + u'/' + CardArchive::fileName,
                                  SeriesGenerator::makeArchive(12, 3)));
        const Configurazione settings = SettingsFile::defaults();
        QWidget main;
        const PrintRequest request{QStringLiteral("4"), QStringLiteral("3"), true, false};
        const QString pdf = m_dir.filePath(QStringLiteral("finestra.pdf"));
        CurrentPrinter::target().selectPdfFile(pdf);
        testing::RecordingPresenter messages;
        StampaCartelle run(main, request, settings, messages, CurrentPrinter::surface(),
                           RunRegistration::opener());
        run.setArchiveFolders({folder});
        QCOMPARE(run.run(), StampaCartelle::Result::Completed);
        QVERIFY(!messages.avvisi.join(u'|').contains(QStringLiteral("registro")));

        RegisterDatabase db;
        const RunRecord entry = PrintRegister(db.connection()).runs().value(0);
        QCOMPARE(entry.program, QStringLiteral("velmora"));
        QCOMPARE(entry.outcome, RunRecord::Outcome::Completed);
        QCOMPARE(entry.firstCard, 4);
        QCOMPARE(entry.cardsAsked, 3);
        QCOMPARE(entry.cardsDrawn, 6); // raised to a full landscape page
        QVERIFY(entry.delivered);
        QVERIFY2(entry.destination.contains(pdf), qPrintable(entry.destination));
    }

    // A run is flagged when its archive is not the one the program would use now.
    void archiveMismatchIsFlagged_data() {
        QTest::addColumn<QString>("currentHash");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("same archive") << "abc"
                                      << "uguale all'attuale" << false;
        QTest::newRow("other bytes") << "def"
                                     << "DIVERSO dall'attuale" << true;
        QTest::newRow("none found now") << ""
                                        << "attuale non trovato" << true;
    }

    void archiveMismatchIsFlagged() {
        QFETCH(QString, currentHash);
        QFETCH(QString, shown);
        QFETCH(bool, flagged);
        RunRecord run;
        run.id = 3;
        run.archiveSize = 354;
        run.archiveSha256 = QStringLiteral("abc");
        run.outcome = RunRecord::Outcome::Completed;
        std::optional<ArchiveFingerprint> current;
        if (!currentHash.isEmpty()) {
            current = ArchiveFingerprint{QStringLiteral("/altro/RidoDur.dat"), 354, currentHash};
        }
        RegistroStampe window({run}, current);
        const auto *model = qobject_cast<QStandardItemModel *>(window.table()->model());
        const QStandardItem *item = model->item(0, RegistroStampe::Archivio);
        QCOMPARE(item->text(), shown);
        QCOMPARE(item->font().bold(), flagged);
        for (int column = 0; column < model->columnCount(); ++column) {
            QVERIFY(!(model->item(0, column)->flags() & Qt::ItemIsEditable));
        }
    }
};

QTEST_MAIN(tst_RegistroStampe)
#include "tst_RegistroStampe.moc"
