#include "evening/RegisterDatabase.h"

#include "batch/RegisterCommands.h"
#include "evening/GameStore.h"
#include "register/PrintRegister.h"
#include "register/Transaction.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <ctime>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A register as the program wrote it before the schema had a version, made with the program's
// own statements of that time (kept beside this test); gives its path, empty on failure.
QString olderRegister(const QTemporaryDir &dir) {
    QString script = QString::fromUtf8(
        readAll(QStringLiteral(VELMORA_SOURCE_DIR "/tests/evening/registro-before-versions.sql")));
    script.remove(
        QRegularExpression(QStringLiteral("^--[^\n]*\n"), QRegularExpression::MultilineOption));
    const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
    bool ok = !script.isEmpty();
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(path);
        ok = ok && db.open() && QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        for (const QString &statement : script.split(QStringLiteral(";\n"))) {
            ok = ok && QSqlQuery(db).exec(statement);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    return ok ? path : QString();
}

// The schema version a register file holds; -1 when it cannot be read.
int fileVersion(const QString &path) {
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v"));
        db.setDatabaseName(path);
        QSqlQuery read(db);
        if (QFileInfo::exists(path) && db.open() &&
            read.exec(QStringLiteral("PRAGMA user_version")) && read.next()) {
            version = read.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v"));
    return version;
}

QString storedText(const QSqlDatabase &db, const QString &table, int id, const QString &column) {
    QSqlQuery query(db);
    query.exec(QStringLiteral("SELECT %1 FROM %2 WHERE id = %3").arg(column, table).arg(id));
    return query.next() ? query.value(0).toString() : QStringLiteral("(missing)");
}

} // namespace

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
        QVERIFY(db.notice().isEmpty()); // a new file: no copy of it is kept
        QVERIFY(
            QDir(dir.filePath(QStringLiteral("sotto"))).entryList({"*prima-della-*"}).isEmpty());
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

    // Every run and game of a register from before is there after the update, and every time
    // is the same moment, now in UTC: the game's Italian local times moved by one hour in winter
    // and two in summer.
    void olderRegisterIsCarriedForward_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::newRow("run start") << "print_runs" << 1 << "started"
                                   << "2026-12-07T19:02:11.348Z";
        QTest::newRow("run end") << "print_runs" << 2 << "ended"
                                 << "2026-12-07T19:30:02.250Z";
        QTest::newRow("run not ended") << "print_runs" << 3 << "ended" << QString();
        QTest::newRow("summer game start") << "games" << 1 << "started"
                                           << "2026-07-14T19:30:00.000Z";
        QTest::newRow("summer game end") << "games" << 1 << "ended"
                                         << "2026-07-14T21:10:12.000Z";
        QTest::newRow("winter game start") << "games" << 2 << "started"
                                           << "2026-12-07T19:05:40.000Z";
        QTest::newRow("open game") << "games" << 2 << "ended" << QString();
        QTest::newRow("game from before its heading") << "games" << 2 << "organiser" << QString();
        QTest::newRow("evening from before its venue") << "evenings" << 1 << "venue"
                                                       << "";
    }

    void olderRegisterIsCarriedForward() {
        QFETCH(QString, table);
        QFETCH(int, id);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        const QString path = olderRegister(dir);
        QVERIFY(!path.isEmpty());
        RegisterDatabase db(path);
        QVERIFY2(db.isOpen(), qPrintable(db.error()));
        QVERIFY(db.setAsidePath().isEmpty());
        QSqlQuery version(db.connection());
        QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
        QCOMPARE(version.value(0).toInt(), RegisterDatabase::currentSchemaVersion());
        QCOMPARE(storedText(db.connection(), table, id, column), stored);

        const QList<RunRecord> runs = PrintRegister(db.connection()).runs();
        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs.at(1).started,
                 QDateTime(QDate(2026, 12, 7), QTime(19, 30, 0, 500), QTimeZone::utc()));
        QCOMPARE(runs.at(1).cardsDrawn, 6);
        GameStore store(db.connection());
        QVERIFY2(store.restore(), qPrintable(store.lastError()));
        QCOMPARE(store.gameId(), qint64(2));
        QCOMPARE(store.game().numbers(), (QList<int>{33, 8}));
        QCOMPARE(store.started(), QDateTime(QDate(2026, 12, 7), QTime(20, 5, 40)));
        // Numbers stored before the draw log: drawn at the game's start, source unknown.
        for (const DrawLogEntry &entry : store.log()) {
            QCOMPARE(entry.drawnAt, store.started());
            QCOMPARE(entry.source, DrawSource::Unknown);
            QVERIFY(!entry.takenBack());
        }
        QCOMPARE(store.prizes().playingText(), QStringLiteral("Si gioca: Ambo"));
        // The last step's table is there: a claim is kept.
        QVERIFY2(store.recordClaim({QDateTime::currentDateTime(), 1, 5, QStringLiteral("Ambo")}),
                 qPrintable(store.lastError()));
    }

    // The runs and games of a register from before the evening belong to one first evening,
    // closed and named after their dates; a register with neither gets no evening.
    void olderRunsAndGamesJoinAFirstEvening_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("evenings");
        QTest::addColumn<int>("copied"); // the version of the copy kept before the upgrade
        QTest::newRow("before versions") << ""
                                         << "Serate dal 14/7/2026 al 7/12/2026|3|2" << 0;
        QTest::newRow("version 1") << "PRAGMA user_version = 1"
                                   << "Serate dal 14/7/2026 al 7/12/2026|3|2" << 1;
        QTest::newRow("one day") << "DELETE FROM drawn; DELETE FROM games"
                                 << "Serata del 7/12/2026|3|0" << 0;
        // 23:30 in UTC is half past midnight of the next day in Italy.
        QTest::newRow("past midnight in Italy")
            << "DELETE FROM drawn; DELETE FROM games; "
               "UPDATE print_runs SET started = '2026-12-07T23:30:00.000Z'"
            << "Serata del 8/12/2026|3|0" << 0;
        QTest::newRow("one run past midnight in Italy")
            << "DELETE FROM drawn; DELETE FROM games; "
               "UPDATE print_runs SET started = '2026-12-07T23:30:00.000Z' WHERE id = 3"
            << "Serate dal 7/12/2026 al 8/12/2026|3|0" << 0;
        QTest::newRow("empty") << "DELETE FROM drawn; DELETE FROM games; DELETE FROM print_runs"
                               << "" << 0;
    }

    void olderRunsAndGamesJoinAFirstEvening() {
        QFETCH(QString, setUp);
        QFETCH(QString, evenings);
        QFETCH(int, copied);
        QTemporaryDir dir;
        const QString path = olderRegister(dir);
        QVERIFY(!path.isEmpty());
        {
            QSqlDatabase old =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
            old.setDatabaseName(path);
            QVERIFY(old.open());
            for (const QString &statement : setUp.split(u';', Qt::SkipEmptyParts)) {
                QVERIFY(QSqlQuery(old).exec(statement));
            }
            old.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("setup"));
        RegisterDatabase db(path);
        QVERIFY2(db.isOpen(), qPrintable(db.error()));
        // The file as it was is kept beside it, said once.
        const QString copy = QStringLiteral("%1.prima-della-versione-%2")
                                 .arg(path)
                                 .arg(RegisterDatabase::currentSchemaVersion());
        QCOMPARE(fileVersion(copy), copied);
        QVERIFY2(db.notice().contains(QDir::toNativeSeparators(copy)), qPrintable(db.notice()));
        QVERIFY(RegisterDatabase(path).notice().isEmpty());
        QSqlQuery read(db.connection());
        QVERIFY(read.exec(QStringLiteral(
            "SELECT name || '|' || (SELECT COUNT(*) FROM evening_runs r WHERE r.evening = e.id) "
            "|| '|' || (SELECT COUNT(*) FROM evening_games g WHERE g.evening = e.id) "
            "FROM evenings e WHERE closed IS NOT NULL")));
        QStringList found;
        while (read.next()) {
            found.append(read.value(0).toString());
        }
        QCOMPARE(found.join(u'/'), evenings);
        QCOMPARE(PrintRegister(db.connection()).runs().size(),
                 setUp.contains("DELETE FROM print_runs") ? 0 : 3);
    }

    // velmora-pdf's columns give the times in local time with their offset, and each run's
    // numbering and orientation as it printed.
    void commandLineColumns_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("shown");
        const int list = int(RegisterQuery::Kind::List);
        QTest::newRow("list: start") << list << 0 << 2 << 1 << "2026-12-07T20:02:11+01:00";
        QTest::newRow("list: end") << list << 0 << 1 << 2 << "2026-12-07T20:30:02+01:00";
        QTest::newRow("list: not ended") << list << 0 << 0 << 2 << "";
        QTest::newRow("list: portrait") << list << 0 << 1 << 11 << "verticale";
        QTest::newRow("list: landscape") << list << 0 << 2 << 11 << "orizzontale";
        QTest::newRow("list: archive numbers") << list << 0 << 1 << 10 << "archivio";
        QTest::newRow("list: numbers from 1") << list << 0 << 0 << 10 << "progressiva";
        QTest::newRow("printed number: start") << int(RegisterQuery::Kind::PrintedNumber) << 25 << 0
                                               << 4 << "2026-12-07T20:30:00+01:00";
    }

    void commandLineColumns() {
        QFETCH(int, kind);
        QFETCH(int, number);
        QFETCH(int, line);
        QFETCH(int, field);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString path = olderRegister(dir);
        QVERIFY(!path.isEmpty());
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        RegisterQuery query;
        query.kind = RegisterQuery::Kind(kind);
        query.number = number;
        QCOMPARE(RegisterCommands::exec(query, outStream, errStream, path), 0);
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(line < lines.size(), qPrintable(out));
        QCOMPARE(lines.at(line).split(u'\t').value(field, QStringLiteral("(missing)")), shown);
    }

    // A register of a newer version, or one held by another program, is never set aside nor
    // changed: it is not damaged.
    void registerThatCannotBeUpdatedIsLeftAsItIs_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("said");
        QTest::newRow("newer version") << "PRAGMA user_version = 99"
                                       << "versione più recente";
        QTest::newRow("held by another program") << "BEGIN EXCLUSIVE"
                                                 << "occupato da un altro programma";
    }

    void registerThatCannotBeUpdatedIsLeftAsItIs() {
        QFETCH(QString, setUp);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = olderRegister(dir);
        QVERIFY(!path.isEmpty());
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec(setUp));
        {
            RegisterDatabase db(path);
            QVERIFY(!db.isOpen());
            QVERIFY2(db.error().contains(said), qPrintable(db.error()));
            QVERIFY(db.setAsidePath().isEmpty());
        }
        QSqlQuery(other).exec(QStringLiteral("COMMIT"));
        QCOMPARE(storedText(other, QStringLiteral("games"), 1, QStringLiteral("started")),
                 QStringLiteral("2026-07-14T21:30:00"));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }

    // A change that fails part way leaves nothing behind, and says why.
    void failedTransactionLeavesNothing() {
        QTemporaryDir dir;
        RegisterDatabase db(dir.filePath(QStringLiteral("registro.sqlite")));
        QSqlError error;
        QVERIFY(!Transaction::run(
            db.connection(),
            [&db](QSqlError *stepError) {
                QSqlQuery query(db.connection());
                return (query.exec(QStringLiteral("INSERT INTO games (started) VALUES ('y')")) &&
                        query.exec(QStringLiteral("INSERT INTO games (started) VALUES (NULL)"))) ||
                       Transaction::failed(query, stepError);
            },
            &error));
        QVERIFY2(error.text().contains(QStringLiteral("NOT NULL")), qPrintable(error.text()));
        QSqlQuery count(db.connection());
        QVERIFY(count.exec(QStringLiteral("SELECT COUNT(*) FROM games")) && count.next());
        QCOMPARE(count.value(0).toInt(), 0); // the first row undone
    }

    // A register that cannot be read or written says so: never an empty list, never a success.
    void printRegisterFailuresAreErrors_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("call");
        QTest::newRow("runs of a missing table") << "DROP TABLE print_runs" << 0;
        QTest::newRow("interrupted runs of a missing table") << "DROP TABLE print_runs" << 1;
        QTest::newRow("begin into a missing table") << "DROP TABLE print_runs" << 2;
        QTest::newRow("finish of a run not there") << "DELETE FROM print_runs" << 3;
    }

    void printRegisterFailuresAreErrors() {
        QFETCH(QString, damage);
        QFETCH(int, call);
        QTemporaryDir dir;
        const QString path = olderRegister(dir);
        QVERIFY(!path.isEmpty());
        RegisterDatabase db(path);
        QVERIFY(QSqlQuery(db.connection()).exec(damage));
        PrintRegister reg(db.connection());
        switch (call) {
        case 0:
            QVERIFY(reg.runs().isEmpty());
            break;
        case 1:
            QVERIFY(reg.markInterrupted().isEmpty());
            break;
        case 2:
            QCOMPARE(reg.begin(RunRecord{}), 0);
            break;
        default:
            QVERIFY(!reg.finish(1, RunRecord::Outcome::Completed, 6, true));
        }
        QVERIFY(!reg.lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_RegisterDatabase)
#include "tst_RegisterDatabase.moc"
