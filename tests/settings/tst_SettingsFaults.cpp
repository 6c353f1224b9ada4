#include "settings/ConfigurazioneCodec.h"
#include "settings/SettingsFile.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using velmora::Configurazione;
using velmora::ConfigurazioneCodec;
using velmora::SettingsFile;

using velmora::testing::readAll;
using velmora::testing::ReadOnlyMount;
using velmora::testing::SmallTmpfs;
using velmora::testing::writeAll;

namespace {

// A record that uses every field, so a lost or shifted byte shows.
Configurazione sample() {
    Configurazione record = SettingsFile::defaults();
    record.ParX = 1.5F;
    record.ParY = -2.25F;
    record.Titolo = QStringLiteral("Tombola di Natale");
    record.Frase1 = QStringLiteral("Città in festa");
    record.Orientamento = 1;
    record.Dimensione = 22;
    record.setBold(true);
    record.PrimaCartella = 601;
    record.ColoreTitolo = 0x0000FF;
    record.ColoreTerzaCinquina = 0x00FF00;
    return record;
}

} // namespace

class TestSettingsFaults : public QObject {
    Q_OBJECT
private slots:
    // Damaged files that still load: whatever bytes they hold are read, the save writes a
    // whole record and gives back every byte that was there, the part beyond the record too.
    void damagedFilesLoadAndLoseNothing_data() {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray record = ConfigurazioneCodec::encode(sample());
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated inside Frase1") << record.left(80);
        QTest::newRow("truncated inside a colour") << record.left(300);
        QTest::newRow("one byte short") << record.left(306);
        QTest::newRow("over-long, 64 KiB beyond the record") << record + QByteArray(65536, 'z');
        QTest::newRow("all 0xFF, record size") << QByteArray(307, '\xFF');
        QTest::newRow("all 0xFF, 4 KiB") << QByteArray(4096, '\xFF');
        QTest::newRow("all 0xFF, truncated") << QByteArray(17, '\xFF');
    }
    void damagedFilesLoadAndLoseNothing() {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(writeAll(path, contents));

        SettingsFile file(path);
        Configurazione record;
        const SettingsFile::LoadResult loaded = file.load(record);
        QCOMPARE(loaded.outcome, SettingsFile::LoadOutcome::Loaded);
        QCOMPARE(loaded.error, QString());
        QCOMPARE(readAll(path), contents); // loading never writes

        const SettingsFile::SaveResult saved = file.save(record);
        QVERIFY2(saved.ok, qPrintable(saved.error));
        const QByteArray written = readAll(path);
        QCOMPARE(written.size(), qMax<qsizetype>(contents.size(), 307));
        QCOMPARE(written.left(contents.size()), contents);
        // A short file is completed with the empty form of each missing field.
        Configurazione reloaded;
        QCOMPARE(SettingsFile(path).load(reloaded).outcome, SettingsFile::LoadOutcome::Loaded);
        // Compared as bytes: all 0xFF makes ParX a NaN, which equals nothing, itself included.
        QCOMPARE(ConfigurazioneCodec::encode(reloaded), ConfigurazioneCodec::encode(record));
    }

    void allOxFFReadsAsStoredValues() {
        // Nothing in the file is taken for anything else: -1 for every number, 'ÿ' for text.
        const Configurazione record = ConfigurazioneCodec::decode(QByteArray(307, '\xFF'));
        QCOMPARE(record.Dimensione, qint16(-1));
        QCOMPARE(record.PrimaCartella, qint16(-1));
        QCOMPARE(record.ColoreBordo, qint32(-1));
        QVERIFY(record.bold() && record.italic());
        QCOMPARE(record.Titolo.padded(), QString(30, QChar(0xFF)));
        QVERIFY(std::isnan(record.ParX));
    }

    // Files that cannot be read at all: the failure names the file, the record in memory is
    // untouched and the file system is left as it was.
    void unreadableSettingsAreReportedAndNothingChanges_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty folder in place of the file") << "emptyFolder";
        QTest::newRow("folder holding files in place of the file") << "fullFolder";
    }
    void unreadableSettingsAreReportedAndNothingChanges() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("vel.cnf")));
        const QString inside = QDir(path).filePath(QStringLiteral("dentro.txt"));
        if (kind == u"fullFolder") {
            QVERIFY(writeAll(inside, "non toccare"));
        }

        SettingsFile file(path);
        Configurazione record = sample();
        const SettingsFile::LoadResult loaded = file.load(record);
        QCOMPARE(loaded.outcome, SettingsFile::LoadOutcome::ReadFailed);
        QVERIFY(loaded.error.startsWith(QStringLiteral("Impossibile leggere il file di "
                                                       "configurazione")));
        QVERIFY(loaded.error.contains(QDir::toNativeSeparators(path)));
        QVERIFY(loaded.error.contains(QStringLiteral("cartella")));
        QCOMPARE(record, sample());

        const SettingsFile::SaveResult saved = file.save(record);
        QVERIFY(!saved.ok);
        QVERIFY(saved.error.startsWith(QStringLiteral("Impossibile salvare")));
        QVERIFY(saved.error.contains(QDir::toNativeSeparators(path)));
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(readAll(inside), kind == u"fullFolder" ? QByteArray("non toccare") : QByteArray());
    }

    // Places the save cannot write, even as root: the failure names the file, the old file (if
    // any) keeps its bytes, no temporary file is left behind and the record is unchanged.
    // The reason given is the true one (empty: any Italian reason will do).
    void unwritablePlacesAreReportedAndNothingIsLost_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file system holding the old file")
            << "readOnlyMount"
            << "il file system è di sola lettura";
        QTest::newRow("full disk") << "fullDisk"
                                   << "il disco è pieno";
        QTest::newRow("kernel file system: /proc/self/fdinfo") << "proc"
                                                               << "";
        QTest::newRow("kernel file system: /sys") << "sys"
                                                  << "";
        QTest::newRow("path component that is a file") << "fileAsFolder"
                                                       << "è un file, non una cartella";
        QTest::newRow("path component that is a system file") << "etcHostname"
                                                              << "è un file, non una cartella";
    }
    void unwritablePlacesAreReportedAndNothingIsLost() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QByteArray oldBytes = ConfigurazioneCodec::encode(SettingsFile::defaults()) + "coda";
        QString path;
        QString untouched; // a file that must keep its bytes
        QByteArray untouchedBytes;
        std::unique_ptr<ReadOnlyMount> readOnly;
        std::unique_ptr<SmallTmpfs> fullDisk;
        if (kind == u"readOnlyMount") {
            const QString folder = dir.filePath(QStringLiteral("sola-lettura"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sola-lettura")));
            readOnly = std::make_unique<ReadOnlyMount>(
                folder,
                QList<std::pair<QString, QByteArray>>{{QStringLiteral("vel.cnf"), oldBytes}});
            if (!readOnly->isReadOnly()) {
                QSKIP(qPrintable(QStringLiteral("cannot mount a read-only file system here (%1); "
                                                "the /proc and /sys rows stand in")
                                     .arg(readOnly->why())));
            }
            path = QDir(folder).filePath(QStringLiteral("vel.cnf"));
            untouched = path;
            untouchedBytes = oldBytes;
        } else if (kind == u"fullDisk") {
            const QString folder = dir.filePath(QStringLiteral("piena"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("piena")));
            fullDisk = std::make_unique<SmallTmpfs>(folder);
            if (!fullDisk->isMounted()) {
                QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill: ") + fullDisk->why()));
            }
            QFile filler(QDir(folder).filePath(QStringLiteral("riempitivo")));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(512, 'x')) == 512) {
            }
            path = QDir(folder).filePath(QStringLiteral("vel.cnf"));
        } else if (kind == u"proc") {
            path = QStringLiteral("/proc/self/fdinfo/vel.cnf");
        } else if (kind == u"sys") {
            path = QStringLiteral("/sys/vel.cnf");
        } else if (kind == u"fileAsFolder") {
            untouched = dir.filePath(QStringLiteral("impostazioni"));
            untouchedBytes = "un file, non una cartella";
            QVERIFY(writeAll(untouched, untouchedBytes));
            path = QDir(untouched).filePath(QStringLiteral("vel.cnf"));
        } else {
            untouched = QStringLiteral("/etc/hostname");
            if (!QFileInfo(untouched).isFile()) {
                QSKIP("this system has no /etc/hostname");
            }
            untouchedBytes = readAll(untouched);
            path = QStringLiteral("/etc/hostname/vel.cnf");
        }

        SettingsFile file(path);
        Configurazione record = sample();
        if (kind == u"readOnlyMount") {
            // The old file still loads; only the save fails.
            Configurazione old;
            QCOMPARE(file.load(old).outcome, SettingsFile::LoadOutcome::Loaded);
            QCOMPARE(old, SettingsFile::defaults());
        }
        const SettingsFile::SaveResult saved = file.save(record);
        QVERIFY(!saved.ok);
        QVERIFY(saved.error.startsWith(QStringLiteral("Impossibile salvare la configurazione nel "
                                                      "file ")));
        QVERIFY2(saved.error.contains(QDir::toNativeSeparators(path)), qPrintable(saved.error));
        QVERIFY2(saved.error.contains(reason), qPrintable(saved.error));
        QVERIFY2(!saved.error.contains(QStringLiteral("potrebbe")), qPrintable(saved.error));
        QCOMPARE(record, sample());
        if (!untouched.isEmpty()) {
            QCOMPARE(readAll(untouched), untouchedBytes);
        }
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (folder.isDir() && kind == u"readOnlyMount") {
            QCOMPARE(QDir(folder.filePath()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("vel.cnf")});
        }
        if (kind == u"fullDisk") { // no empty file left in place of the settings
            QCOMPARE(QDir(folder.filePath()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("riempitivo")});
        }

        // A missing file that cannot be created: the defaults are in use, and the user is told.
        if (kind != u"readOnlyMount" && kind != u"fullDisk") {
            Configurazione fresh = sample();
            const SettingsFile::LoadResult loaded = file.load(fresh);
            QCOMPARE(loaded.outcome, SettingsFile::LoadOutcome::CreateFailed);
            QVERIFY(loaded.error.startsWith(QStringLiteral("Impossibile creare il file di "
                                                           "configurazione")));
            QVERIFY(loaded.error.contains(QDir::toNativeSeparators(path)));
            QCOMPARE(fresh, SettingsFile::defaults());
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_SettingsFaults.moc"
