#include "settings/ConfigurazioneCodec.h"
#include "settings/SettingsFile.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <optional>
#include <unistd.h>

using velmora::Configurazione;
using velmora::ConfigurazioneCodec;
using velmora::SettingsFile;

using velmora::testing::readAll;
using velmora::testing::writeAll;

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsCreatedWithTheDefaults() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/vel.cnf"));
        SettingsFile file(path);
        Configurazione record;
        record.Dimensione = 99;
        const SettingsFile::LoadResult result = file.load(record);
        QCOMPARE(result.outcome, SettingsFile::LoadOutcome::Created);
        QCOMPARE(record, SettingsFile::defaults());
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.size(), 307);
        QCOMPARE(bytes, ConfigurazioneCodec::encode(SettingsFile::defaults()));
    }

    void savingTwiceGivesTheSameBytesAndKeepsTheTail() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        Configurazione stored = SettingsFile::defaults();
        stored.Orientamento = 7; // no such option: kept as it is
        stored.Riservato = QByteArray("\x00\x01\x02\x03 riservato \xFE", 16);
        const QByteArray tail("dati di un'altra versione\x00\xFF", 27);
        QVERIFY(writeAll(path, ConfigurazioneCodec::encode(stored) + tail));

        SettingsFile file(path);
        Configurazione record;
        QCOMPARE(file.load(record).outcome, SettingsFile::LoadOutcome::Loaded);
        QCOMPARE(record.Orientamento, qint16(7));
        const QByteArray before = readAll(path);
        QVERIFY(file.save(record).ok);
        const QByteArray once = readAll(path);
        QVERIFY(file.save(record).ok);
        QCOMPARE(readAll(path), once);
        QCOMPARE(once, before);
        QCOMPARE(once.mid(307), tail);
    }

    void tailWrittenSinceTheLoadIsKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        SettingsFile file(path);
        Configurazione record;
        file.load(record); // creates it
        QVERIFY(writeAll(path, readAll(path) + "aggiunto dopo"));
        record.Titolo = QStringLiteral("Nuovo");
        QVERIFY(file.save(record).ok);
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.mid(307), QByteArray("aggiunto dopo"));
        QCOMPARE(ConfigurazioneCodec::decode(bytes).Titolo.trimmed(), QStringLiteral("Nuovo"));
    }

    // A file cut short keeps the defaults of the fields it does not reach, says so once, and
    // is saved whole.
    void shortFilesKeepTheDefaultsTheyLack_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<qint16>("dimensione");    // the field at 150
        QTest::addColumn<qint16>("primaCartella"); // the field at 265
        QTest::newRow("empty") << 0 << qint16(16) << qint16(1);
        QTest::newRow("68 bytes: up to Frase1") << 68 << qint16(16) << qint16(1);
        QTest::newRow("up to Dimensione") << 152 << qint16(22) << qint16(1);
        QTest::newRow("one byte short") << 306 << qint16(22) << qint16(601);
        QTest::newRow("whole") << 307 << qint16(22) << qint16(601);
    }
    void shortFilesKeepTheDefaultsTheyLack() {
        QFETCH(int, size);
        QFETCH(qint16, dimensione);
        QFETCH(qint16, primaCartella);
        Configurazione stored = SettingsFile::defaults();
        stored.Dimensione = 22;
        stored.PrimaCartella = 601;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(writeAll(path, ConfigurazioneCodec::encode(stored).left(size)));
        SettingsFile file(path);
        Configurazione record;
        const SettingsFile::LoadResult result = file.load(record);
        QCOMPARE(result.outcome, SettingsFile::LoadOutcome::Loaded);
        QCOMPARE(record.Dimensione, dimensione);
        QCOMPARE(record.PrimaCartella, primaCartella);
        QCOMPARE(result.incomplete, size < 307);
        if (result.incomplete) {
            QVERIFY(result.notice.contains(QDir::toNativeSeparators(path)));
            QVERIFY(result.notice.contains(QStringLiteral("incompleto")));
        }
        QVERIFY(file.save(record).ok);
        QCOMPARE(readAll(path).size(), 307);
    }

    // What is not a regular file is refused before it is read (a device never ends), and a
    // file far longer than any settings file is refused rather than read whole or cut.
    void pathsThatAreNotFilesAreRefusedUnread_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("device") << "/dev/null"
                                << "dispositivo";
        QTest::newRow("too long") << "long"
                                  << "troppo grande";
    }
    void pathsThatAreNotFilesAreRefusedUnread() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = kind;
        if (kind == u"long") {
            path = dir.filePath(QStringLiteral("vel.cnf"));
            QVERIFY(writeAll(path, QByteArray(307 + SettingsFile::maxTailSize + 1, ' ')));
        }
        Configurazione record;
        record.Titolo = QStringLiteral("intatto");
        const SettingsFile::LoadResult result = SettingsFile(path).load(record);
        QCOMPARE(result.outcome, SettingsFile::LoadOutcome::ReadFailed);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY(result.error.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(record.Titolo.trimmed(), QStringLiteral("intatto"));
    }

    void unreadableFileIsAFailureThatNamesIt() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("vel.cnf"))); // a folder in its place
        SettingsFile file(path);
        Configurazione record;
        record.Titolo = QStringLiteral("intatto");
        const SettingsFile::LoadResult result = file.load(record);
        QCOMPARE(result.outcome, SettingsFile::LoadOutcome::ReadFailed);
        QVERIFY(result.error.contains(QDir::toNativeSeparators(path)));
        QVERIFY(result.error.startsWith(QStringLiteral("Impossibile leggere")));
        QCOMPARE(record.Titolo.trimmed(), QStringLiteral("intatto"));
    }

    // A home that cannot be written (its permissions, or as root a read-only file system): the
    // first start cannot make its folders. The one sentence says why, not that a folder is
    // missing, and names the file once.
    void readOnlyHomeIsSaidAsPermissions() {
        QTemporaryDir dir;
        const QString homePath = dir.filePath(QStringLiteral("casa"));
        QVERIFY(QDir().mkpath(homePath));
        const bool root = ::geteuid() == 0;
        std::optional<velmora::testing::ReadOnlyMount> mount;
        if (root) {
            mount.emplace(homePath, QList<std::pair<QString, QByteArray>>{});
            if (!mount->isReadOnly()) {
                QSKIP(qPrintable(QStringLiteral("run as root, where permissions do not bite, "
                                                "and no read-only mount: ") +
                                 mount->why()));
            }
        } else {
            QVERIFY(QFile::setPermissions(homePath, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QString path = homePath + QStringLiteral("/.config/velmora/vel.cnf");
        Configurazione record;
        const SettingsFile::LoadResult loaded = SettingsFile(path).load(record);
        mount.reset();
        QVERIFY(QFile::setPermissions(homePath,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(loaded.outcome, SettingsFile::LoadOutcome::CreateFailed);
        const QString &said = loaded.error;
        QCOMPARE(said.count(QDir::toNativeSeparators(path)), 1);
        QVERIFY2(said.contains(root ? QStringLiteral("sola lettura")
                                    : QStringLiteral("permesso negato")),
                 qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("non esiste")), qPrintable(said));
        QVERIFY2(said.endsWith(u'.') && !said.endsWith(QStringLiteral("..")), qPrintable(said));
        QVERIFY2(!said.contains(u'\n'), qPrintable(said));
        QCOMPARE(record, SettingsFile::defaults());
    }

    void failedSaveIsReportedAndLeavesTheOldFile() {
        QTemporaryDir dir;
        // The folder of the file cannot be created: a plain file stands where it should be.
        QVERIFY(writeAll(dir.filePath(QStringLiteral("blocco")), "x"));
        const QString path = dir.filePath(QStringLiteral("blocco/vel.cnf"));
        SettingsFile file(path);
        const SettingsFile::SaveResult result = file.save(SettingsFile::defaults());
        QVERIFY(!result.ok);
        QVERIFY(result.error.startsWith(QStringLiteral("Impossibile salvare")));
        QVERIFY(result.error.contains(QDir::toNativeSeparators(path)));

        Configurazione record;
        SettingsFile missing(dir.filePath(QStringLiteral("blocco/altro/vel.cnf")));
        const SettingsFile::LoadResult load = missing.load(record);
        QCOMPARE(load.outcome, SettingsFile::LoadOutcome::CreateFailed);
        QCOMPARE(record, SettingsFile::defaults()); // the defaults are still in use
        QVERIFY(!load.error.isEmpty());
    }

    void pathPrefersTheProgramFolderWhenUsable_data() {
        QTest::addColumn<bool>("programDirExists");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("inProgramDir");
        QTest::newRow("writable program folder") << true << false << true;
        QTest::newRow("file in the program folder") << true << true << true;
        QTest::newRow("no usable program folder") << false << false << false;
    }
    void pathPrefersTheProgramFolderWhenUsable() {
        QFETCH(bool, programDirExists);
        QFETCH(bool, fileThere);
        QFETCH(bool, inProgramDir);
        QTemporaryDir dir;
        const QString programDir = dir.filePath(QStringLiteral("bin"));
        const QString userDir = dir.filePath(QStringLiteral("config/velmora"));
        if (programDirExists) {
            QVERIFY(QDir().mkpath(programDir));
        }
        if (fileThere) {
            QVERIFY(writeAll(programDir + QStringLiteral("/vel.cnf"), "x"));
        }
        const QString chosen = SettingsFile::choosePath(programDir, userDir);
        QCOMPARE(chosen, (inProgramDir ? programDir : userDir) + QStringLiteral("/vel.cnf"));
    }

    void trimmingTakesOnlySpaces() {
        Configurazione record;
        record.Ditta = QStringLiteral("   Pro loco  ");
        record.Via = QStringLiteral("\tVia Roma ");
        SettingsFile::trimTexts(record);
        QCOMPARE(record.Ditta.padded(), QStringLiteral("Pro loco").leftJustified(30, u' '));
        QCOMPARE(record.Via.trimmed(), QStringLiteral("Via Roma"));
        QVERIFY(record.Via.padded().startsWith(u'\t'));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_SettingsFile.moc"
