#include "register/RegisterDatabase.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;

class tst_RegisterDatabase : public QObject {
    Q_OBJECT

    // A row written and read back through a fresh connection: the database really works.
    static bool holdsWhatIsWritten(const QString &path) {
        {
            RegisterDatabase db(path);
            QSqlQuery insert(db.connection());
            if (!insert.exec(QStringLiteral(
                    "INSERT INTO print_runs (program, started, archive_path, archive_size, "
                    "archive_sha256, archive_cards, first_card, cards_asked, last_card, "
                    "archive_numbering, landscape, destination, outcome, pid, boot_id) VALUES "
                    "('t', 'x', 'a', 1, 'h', 1, 1, 1, 1, 0, 1, 'd', 'completed', 1, 'b')"))) {
                return false;
            }
        }
        RegisterDatabase again(path);
        QSqlQuery count(again.connection());
        return count.exec(QStringLiteral("SELECT COUNT(*) FROM print_runs")) && count.next() &&
               count.value(0).toInt() == 1;
    }

private slots:
    void defaultPathIsTheDataFolder() {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("velmora"));
        QCOMPARE(RegisterDatabase::defaultPath(), home.path() + "/velmora/registro.sqlite");
    }

    void newDatabaseInMissingFolderUsesWriteAheadLog() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sotto/registro.sqlite"));
        RegisterDatabase db(path);
        QVERIFY2(db.isOpen(), qPrintable(db.error()));
        QVERIFY(db.notice().isEmpty());
        QSqlQuery mode(db.connection());
        QVERIFY(mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
        QVERIFY(holdsWhatIsWritten(dir.filePath(QStringLiteral("sotto/registro.sqlite"))));
    }

    void damagedFileIsSetAsideAndANewOneWorks_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not a database") << QByteArray("questo non è un database\n").repeated(200);
        QByteArray header("SQLite format 3");
        header.append('\0');
        QTest::newRow("header, then rubbish") << header + QByteArray(4096, '\x5a');
    }

    void damagedFileIsSetAsideAndANewOneWorks() {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
        QVERIFY(writeAll(path, contents));
        QString aside;
        {
            RegisterDatabase db(path);
            QVERIFY2(db.isOpen(), qPrintable(db.error()));
            aside = db.setAsidePath();
            QVERIFY(aside.startsWith(path + ".danneggiato-"));
            QVERIFY(db.notice().contains(QDir::toNativeSeparators(aside)));
        }
        QCOMPARE(readAll(aside), contents); // kept as it was, never deleted
        QVERIFY(holdsWhatIsWritten(path));
    }
};

QTEST_GUILESS_MAIN(tst_RegisterDatabase)
#include "tst_RegisterDatabase.moc"
