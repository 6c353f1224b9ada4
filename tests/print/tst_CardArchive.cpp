#include "errors/VelmoraError.h"
#include "print/CardArchive.h"

#include "tests/support/TestFiles.h"

#include <QtTest>

#include <unistd.h>

using namespace velmora::testing;

using velmora::CardArchive;
using velmora::RecordCartella;
using velmora::VelmoraError;

namespace {

// Record N of a test archive, as text: cell 0 holds N % 100, cell 26 holds "zz", and the
// archive number is N in five digits. Stored by hand (255 minus each byte).
QByteArray storedCard(int n) {
    QByteArray text(59, ' ');
    text.replace(0, 2, QByteArray::number(n % 100).rightJustified(2, ' '));
    text.replace(52, 2, "zz");
    text.replace(54, 5, QByteArray::number(n).rightJustified(5, '0'));
    for (char &c : text) {
        c = static_cast<char>(255 - static_cast<unsigned char>(c));
    }
    return text;
}

QByteArray archiveOf(int cards) {
    QByteArray bytes;
    for (int n = 1; n <= cards; ++n) {
        bytes += storedCard(n);
    }
    return bytes;
}

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isBlank(const RecordCartella &record) {
    return record == RecordCartella::blank();
}

} // namespace

class TestCardArchive : public QObject {
    Q_OBJECT
private slots:
    void cardNIsRecordAtOffsetNMinusOneTimes59_data() {
        QTest::addColumn<int>("card");
        QTest::newRow("first card at 0") << 1;
        QTest::newRow("second card at 59") << 2;
        QTest::newRow("last card") << 250;
        QTest::newRow("a card in the middle") << 137;
    }
    void cardNIsRecordAtOffsetNMinusOneTimes59() {
        QFETCH(int, card);
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(QStringLiteral("RidoDur.dat")), archiveOf(250)));
        CardArchive archive(dir.path());
        QCOMPARE(archive.cardCount(), 250);
        const RecordCartella record = archive.read(card);
        QCOMPARE(record.numeroArchivio(), QString::number(card).rightJustified(5, u'0'));
        QCOMPARE(record.cellNumber(0), card % 100);
        QCOMPARE(record.cell(8, 2), QStringLiteral("zz"));
        QCOMPARE(record.cell(4, 1), QStringLiteral("  "));
    }

    void cardsBeyondTheEndReadBlankAndTheRunGoesOn() {
        QTemporaryDir dir;
        // Five whole records and 20 bytes of a sixth: its first ten cells.
        QVERIFY(
            writeAll(dir.filePath(QStringLiteral("RidoDur.dat")), archiveOf(6).left(5 * 59 + 20)));
        CardArchive archive(dir.path());
        QCOMPARE(archive.cardCount(), 5);
        QVERIFY(archive.hasIncompleteLastRecord());

        const RecordCartella partial = archive.read(6);
        QCOMPARE(partial.cellText(0), QStringLiteral(" 6"));
        QCOMPARE(partial.cellText(10), QStringLiteral("  "));
        QCOMPARE(partial.cellText(26), QStringLiteral("  "));
        QCOMPARE(partial.numeroArchivio(), QStringLiteral("     "));

        // A whole run past the end, as a print run would read it, then back to the start.
        for (qint64 card = 7; card <= 40; ++card) {
            QVERIFY(isBlank(archive.read(card)));
        }
        QVERIFY(isBlank(archive.read(std::numeric_limits<qint64>::max())));
        QCOMPARE(archive.read(1).numeroArchivio(), QStringLiteral("00001"));
        QCOMPARE(archive.read(5).numeroArchivio(), QStringLiteral("00005"));
    }

    void emptyArchiveOpensAndReadsBlank() {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(QStringLiteral("RidoDur.dat")), {}));
        CardArchive archive(dir.path());
        QCOMPARE(archive.cardCount(), 0);
        QVERIFY(!archive.hasIncompleteLastRecord());
        QVERIFY(isBlank(archive.read(1)));
    }

    void cardNumberBelowOneIsAnError_data() {
        QTest::addColumn<qint64>("card");
        QTest::newRow("zero") << qint64(0);
        QTest::newRow("negative") << qint64(-3);
    }
    void cardNumberBelowOneIsAnError() {
        QFETCH(qint64, card);
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(QStringLiteral("RidoDur.dat")), archiveOf(2)));
        CardArchive archive(dir.path());
        try {
            archive.read(card);
            QFAIL("no error");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), 63);
            QVERIFY(error.description().contains(QString::number(card)));
        }
        QCOMPARE(archive.read(2).numeroArchivio(), QStringLiteral("00002"));
    }

    void archiveNameIsFoundRegardlessOfCase_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("chosen"); // empty: none can be chosen
        QTest::newRow("exact name") << QStringList{"RidoDur.dat"} << "RidoDur.dat";
        QTest::newRow("upper case") << QStringList{"RIDODUR.DAT"} << "RIDODUR.DAT";
        QTest::newRow("lower case") << QStringList{"ridodur.dat"} << "ridodur.dat";
        QTest::newRow("exact wins over others")
            << QStringList{"RIDODUR.DAT", "RidoDur.dat", "ridodur.dat"} << "RidoDur.dat";
        QTest::newRow("two candidates, none exact")
            << QStringList{"RIDODUR.DAT", "ridodur.dat"} << "";
        QTest::newRow("similar names are not the archive")
            << QStringList{"RidoDur.dat.bak", "RidoDur.da", "xRidoDur.dat"} << "";
        QTest::newRow("nothing") << QStringList{} << "";
    }
    void archiveNameIsFoundRegardlessOfCase() {
        QFETCH(QStringList, files);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        for (qsizetype i = 0; i < files.size(); ++i) {
            QVERIFY(writeAll(dir.filePath(files.at(i)), storedCard(int(i) + 1)));
        }
        const QString located = CardArchive::locate(dir.path());
        QCOMPARE(QFileInfo(located).fileName(), chosen);
        if (chosen.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(VelmoraError, CardArchive{dir.path()});
        } else {
            CardArchive archive(dir.path());
            const int index = int(files.indexOf(chosen)) + 1;
            QCOMPARE(archive.read(1).numeroArchivio(),
                     QString::number(index).rightJustified(5, u'0'));
        }
        // Looking never adds or renames anything.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), files.size());
    }

    void failuresToOpenAreClearErrors_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("missing archive") << "empty" << 53 << "RidoDur.dat";
        QTest::newRow("missing folder") << "no folder" << 76 << "assente";
        QTest::newRow("a folder under the archive's name") << "folder" << 75 << "RidoDur.dat";
        QTest::newRow("ambiguous names") << "two" << 75 << "RIDODUR.DAT, ridodur.dat";
        QTest::newRow("a file given for the folder")
            << "file" << 76 << "è un file, non la cartella";
        QTest::newRow("a symbolic link loop") << "loop" << 76 << "rimanda a se stesso";
        QTest::newRow("a dangling symbolic link")
            << "dangling" << 76 << "a qualcosa che non esiste";
    }
    void failuresToOpenAreClearErrors() {
        QFETCH(QString, setup);
        QFETCH(int, number);
        QFETCH(QString, mentions);
        QTemporaryDir dir;
        QString folder = dir.path();
        if (setup == u"no folder") {
            folder = dir.filePath(QStringLiteral("assente"));
        } else if (setup == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("RidoDur.dat")));
        } else if (setup == u"file") {
            folder = dir.filePath(QStringLiteral("note.txt"));
            QVERIFY(writeAll(folder, "note"));
        } else if (setup == u"loop" || setup == u"dangling") {
            folder = dir.filePath(QStringLiteral("giro"));
            QVERIFY(QFile::link(setup == u"loop" ? folder : dir.filePath(QStringLiteral("via")),
                                folder));
        } else if (setup == u"two") {
            QVERIFY(writeAll(dir.filePath(QStringLiteral("RIDODUR.DAT")), archiveOf(1)));
            QVERIFY(writeAll(dir.filePath(QStringLiteral("ridodur.dat")), archiveOf(1)));
        }
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        try {
            CardArchive archive(folder);
            QFAIL("the archive opened");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), number);
            QVERIFY2(error.description().contains(mentions), qPrintable(error.description()));
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(dir.path())),
                     qPrintable(error.description()));
        }
        // A missing archive (or folder) is not created.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    // Card numbers stop at 32767: a file longer than that many records is refused on opening,
    // saying why, without reading it (a sparse file of gigabytes is refused as at once).
    void archiveLongerThanTheLastCardNumberIsRefused_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("opens");
        const qint64 largest = qint64(32767) * RecordCartella::recordSize;
        QTest::newRow("32767 cards") << largest << true;
        QTest::newRow("one byte more") << largest + 1 << false;
        QTest::newRow("2 GB") << (qint64(2) << 30) << false;
    }
    void archiveLongerThanTheLastCardNumberIsRefused() {
        QFETCH(qint64, size);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        QFile file(dir.filePath(CardArchive::fileName));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
        file.close();
        try {
            CardArchive archive(dir.path());
            QVERIFY(opens);
            QCOMPARE(archive.cardCount(), qint64(32767));
        } catch (const VelmoraError &error) {
            QVERIFY2(!opens, qPrintable(error.description()));
            QVERIFY2(error.description().contains(QStringLiteral("è troppo grande")) &&
                         error.description().contains(QStringLiteral("al massimo 32767")),
                     qPrintable(error.description()));
        }
    }

    // The archive file itself named where its folder is expected is the archive.
    void archiveFileGivenForItsFolderOpens() {
        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(QStringLiteral("ridodur.dat")), archiveOf(3)));
        const CardArchive archive(dir.filePath(QStringLiteral("ridodur.dat")));
        QCOMPARE(archive.cardCount(), qint64(3));
    }

    void archiveIsOnlyRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RidoDur.dat"));
        const QByteArray bytes = archiveOf(12);
        QVERIFY(writeAll(path, bytes));
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QDateTime modified = QFileInfo(path).lastModified();
        {
            CardArchive archive(dir.path());
            for (int card = 1; card <= 20; ++card) {
                archive.read(card);
            }
        }
        QCOMPARE(contentOf(path), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }

    void unreadableArchiveIsPermissionDenied() {
        if (::geteuid() == 0) {
            QSKIP("root reads every file: permissions cannot be denied here");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RidoDur.dat"));
        QVERIFY(writeAll(path, archiveOf(1)));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        try {
            CardArchive archive(dir.path());
            QFAIL("the archive opened");
        } catch (const VelmoraError &error) {
            QCOMPARE(error.number(), 70);
            QVERIFY(error.description().contains(QDir::toNativeSeparators(path)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCardArchive)
#include "tst_CardArchive.moc"
