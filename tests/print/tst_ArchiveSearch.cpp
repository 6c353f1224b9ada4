#include "tests/support/CardFixture.h"

#include "errors/VelmoraError.h"
#include "print/ArchiveSearch.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

class TestArchiveSearch : public QObject {
    Q_OBJECT

private slots:
    // The current directory first, then the user's data folder, then beside the program.
    void foldersInOrder() {
        QTemporaryDir here;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        QStringList folders = ArchiveSearch::folders();
        QDir::setCurrent(before);
        QVERIFY(folders.size() >= 3);
        QCOMPARE(folders.at(0), QDir(here.path()).canonicalPath());
        QCOMPARE(folders.at(1), QDir::cleanPath(QStandardPaths::writableLocation(
                                    QStandardPaths::AppDataLocation)));
        const QString program = QCoreApplication::applicationDirPath();
        QVERIFY(folders.contains(QDir::cleanPath(program + QStringLiteral("/../share/velmora"))));
        QCOMPARE(folders.last(), QDir::cleanPath(program + QStringLiteral("/data")));
        QCOMPARE(folders.removeDuplicates(), 0);
    }

    // The first folder holding an archive is used.
    void firstFolderWithAnArchive() {
        QTemporaryDir empty;
        ArchiveFixture second(2);
        ArchiveFixture third(5);
        const auto archive = ArchiveSearch::open({empty.path(), second.folder(), third.folder()});
        QVERIFY(archive);
        QCOMPARE(archive->cardCount(), 2);
    }

    // What the print page shows before a print: the archive found with its cards, or that
    // none is found (no print has failed yet).
    void describesTheArchiveAPrintWouldRead_data() {
        QTest::addColumn<int>("cards"); // -1: no archive
        QTest::addColumn<QString>("said");
        QTest::newRow("one card") << 1 << "1 cartella, \"";
        QTest::newRow("several") << 5 << "5 cartelle, \"";
        QTest::newRow("none") << -1 << "Archivio delle cartelle RidoDur.dat non trovato.";
    }
    void describesTheArchiveAPrintWouldRead() {
        QFETCH(int, cards);
        QFETCH(QString, said);
        QTemporaryDir empty;
        std::unique_ptr<ArchiveFixture> archive;
        QStringList folders{empty.path()};
        if (cards >= 0) {
            archive = std::make_unique<ArchiveFixture>(cards);
            folders.append(archive->folder());
        }
        const QString text = ArchiveSearch::describe(folders);
        QVERIFY2(text.contains(said), qPrintable(text));
        if (archive) {
            QVERIFY2(text.contains(QDir::toNativeSeparators(archive->folder())), qPrintable(text));
        }
    }

    // No archive anywhere: one message that names every folder looked in.
    void missingArchiveNamesEveryFolder() {
        QTemporaryDir a;
        QTemporaryDir b;
        const QString missing = a.path() + QStringLiteral("/non-esiste");
        try {
            ArchiveSearch::open({a.path(), b.path(), missing});
            QFAIL("no error");
        } catch (const VelmoraError &e) {
            QCOMPARE(e.number(), 53);
            for (const QString &folder : {a.path(), b.path(), missing}) {
                QVERIFY2(e.description().contains(QDir::toNativeSeparators(folder)),
                         qPrintable(e.description()));
            }
            QVERIFY(e.description().contains(QStringLiteral("RidoDur.dat")));
        }
    }

    // An archive that is there but cannot be used is reported, not replaced by a later one.
    void unusableArchiveIsReported_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("folder under its name")
            << QStringList{QStringLiteral("RidoDur.dat")} << QStringList{};
        QTest::newRow("two differing in case")
            << QStringList{}
            << QStringList{QStringLiteral("RIDODUR.DAT"), QStringLiteral("ridodur.dat")};
    }
    void unusableArchiveIsReported() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QTemporaryDir broken;
        for (const QString &name : folders) {
            QVERIFY(QDir(broken.path()).mkdir(name));
        }
        for (const QString &name : files) {
            QFile file(QDir(broken.path()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        ArchiveFixture good(2);
        try {
            ArchiveSearch::open({broken.path(), good.folder()});
            QFAIL("no error");
        } catch (const VelmoraError &e) {
            QVERIFY2(e.description().contains(QDir::toNativeSeparators(broken.path())) ||
                         e.description().contains(broken.path()),
                     qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TestArchiveSearch)
#include "tst_ArchiveSearch.moc"
