#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"
#include "evening/Verbale.h"
#include "game/GameDesk.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"

#include "tests/support/EveningFixture.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/RegisterHolder.h"
#include "tests/support/TestFiles.h"

#include <QMutex>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QWaitCondition>

#include <sys/mount.h>
#include <thread>

using namespace velmora;
using Outcome = RunRecord::Outcome;

namespace {

enum class Fault {
    None,
    LockAtStart,
    LockInMiddle,
    LockAcrossEnd,
    LockThroughout,
    ReadOnly,
    FullDisk,
    Foreign
};

using Holder = testing::RegisterHolder;

RunRecord sampleRun(const QString &archive) {
    RunRecord run;
    run.program = QStringLiteral("velmora-pdf");
    run.archivePath = archive;
    run.archiveCards = 60;
    run.firstCard = 1;
    run.cardsAsked = 6;
    run.lastCard = 6;
    run.destination = QStringLiteral("il file serata.pdf");
    return run;
}

// The Tabellone's game over the register at path, its games begun under the organiser given.
class Table {
public:
    Table(const QString &path, const QString &organiser)
        : m_db(path), m_store(m_db.connection(), [organiser] {
              return GameStore::Heading{organiser, QStringLiteral("Via Roma 1"),
                                        QStringLiteral("Tel. 0123 456"),
                                        QStringLiteral("Tombola di Natale")};
          }) {
        // A lock held by another program is found at once rather than after the busy timeout.
        QSqlQuery(m_db.connection()).exec(QStringLiteral("PRAGMA busy_timeout = 50"));
        m_restored = m_db.isOpen() && m_store.restore();
        GameDesk::Seams seams;
        seams.store = &m_store;
        seams.cardsInPlay = [] { return QList<CardInPlay>(); };
        m_desk = std::make_unique<GameDesk>(std::move(seams));
    }
    bool restored() const { return m_restored; }
    QSqlDatabase connection() const { return m_db.connection(); }
    GameStore &store() { return m_store; }
    GameDesk &desk() { return *m_desk; }

private:
    RegisterDatabase m_db;
    GameStore m_store;
    std::unique_ptr<GameDesk> m_desk;
    bool m_restored = false;
};

// The numbers of a game in the register's order, those taken back left out.
QList<int> standing(const QList<DrawLogEntry> &log) {
    QList<int> numbers;
    for (const DrawLogEntry &entry : log) {
        if (!entry.takenBack()) {
            numbers.append(entry.number);
        }
    }
    return numbers;
}

} // namespace

// The register through the faults of a bad night: whatever happens, the runs already in it stay
// listed and traceable, a sound file is never set aside, and a delivered run is recorded as
// completed whenever the register can be written before the program ends.
class tst_BadNight : public QObject {
    Q_OBJECT

private slots:
    void earlierRunsSurviveEveryFault_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("newRunKept");   // the faulty night's run is in the register
        QTest::addColumn<QString>("noticeHas"); // what the user is told ("" for nothing)
        QTest::addColumn<bool>("setAside");

        QTest::newRow("no fault") << Fault::None << true << QString() << false;
        QTest::newRow("locked at the start, freed before the end")
            << Fault::LockAtStart << true << QString() << false;
        QTest::newRow("locked in the middle, longer than the busy timeout")
            << Fault::LockInMiddle << true << QString() << false;
        QTest::newRow("locked across the end of the run, freed before the program ends")
            << Fault::LockAcrossEnd << true << QString() << false;
        QTest::newRow("locked all night")
            << Fault::LockThroughout << false << QStringLiteral("occupato da un altro programma")
            << false;
        QTest::newRow("read-only medium")
            << Fault::ReadOnly << false << QStringLiteral("registro") << false;
        QTest::newRow("full disk")
            << Fault::FullDisk << false << QStringLiteral("il disco è pieno") << false;
        QTest::newRow("another program's database")
            << Fault::Foreign << true << QStringLiteral("non è un registro delle stampe di Velmora")
            << true;
    }

    void earlierRunsSurviveEveryFault() {
        QFETCH(Fault, fault);
        QFETCH(bool, newRunKept);
        QFETCH(QString, noticeHas);
        QFETCH(bool, setAside);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString archive = dir.filePath(QStringLiteral("Cartelle.dat"));
        QVERIFY(testing::writeAll(archive, QByteArray(60 * 91, '1')));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("reg")));
        const QString folder = dir.filePath(QStringLiteral("reg"));
        QString path = folder + QStringLiteral("/registro.sqlite");

        // The evening so far: two runs, or another program's table in the register's place.
        QByteArray earlier;
        {
            if (fault == Fault::Foreign) {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(
                    QStringLiteral("CREATE TABLE print_runs (id INTEGER, name TEXT)")));
                db.close();
            } else {
                for (int n = 0; n < 2; ++n) {
                    RunRegistration run(sampleRun(archive), path);
                    run.finish(Outcome::Completed, 6, true);
                    QVERIFY2(run.notices().isEmpty(), qPrintable(run.notices().join(u'\n')));
                }
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        if (fault != Fault::Foreign) {
            // All of it in the main file, so that it can be copied and compared.
            RegisterDatabase db(path);
            QVERIFY(
                QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
        }
        earlier = testing::readAll(path);

        std::unique_ptr<testing::ReadOnlyMount> readOnly;
        std::unique_ptr<Holder> holder;
        QByteArray mountedAt;
        if (fault == Fault::ReadOnly) {
            const QString medium = dir.filePath(QStringLiteral("chiavetta"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("chiavetta")));
            readOnly = std::make_unique<testing::ReadOnlyMount>(
                medium, QList<std::pair<QString, QByteArray>>{
                            {QStringLiteral("registro.sqlite"), earlier}});
            if (!readOnly->isReadOnly()) {
                QSKIP(qPrintable(QStringLiteral("no read-only mount here: ") + readOnly->why()));
            }
            path = medium + QStringLiteral("/registro.sqlite");
        } else if (fault == Fault::FullDisk) {
            QString why;
            const QString disk = dir.filePath(QStringLiteral("piena"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("piena")));
            mountedAt = QFile::encodeName(disk);
            if (!testing::privateMountNamespace(&why) ||
                mount("tmpfs", mountedAt.constData(), "tmpfs", 0, "size=128k") != 0) {
                QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill (needs root): ") + why));
            }
            path = disk + QStringLiteral("/registro.sqlite");
            QVERIFY(testing::writeAll(path, earlier));
            QFile filler(disk + QStringLiteral("/riempitivo"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(512, 'x')) == 512) {
            }
        } else if (fault == Fault::LockAtStart || fault == Fault::LockThroughout) {
            holder = std::make_unique<Holder>(path, QStringLiteral("holder"));
            QVERIFY(holder->held());
        }

        QStringList notices;
        {
            RunRegistration run(sampleRun(archive), path);
            if (fault == Fault::LockAtStart) {
                holder->release();
            }
            std::thread other;
            if (fault == Fault::LockInMiddle) {
                // Another program holds the register a little longer than one busy timeout,
                // from its own thread, just as this run ends.
                bool taken = false;
                QMutex mutex;
                QWaitCondition ready;
                other = std::thread([&] {
                    Holder lock(path, QStringLiteral("middle"));
                    {
                        QMutexLocker locked(&mutex);
                        taken = lock.held();
                        ready.wakeAll();
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(6000));
                });
                QMutexLocker locked(&mutex);
                while (!taken) {
                    ready.wait(&mutex);
                }
            }
            if (fault == Fault::LockAcrossEnd) {
                holder = std::make_unique<Holder>(path, QStringLiteral("holder"));
                QVERIFY(holder->held());
            }
            run.finish(Outcome::Completed, 6, true);
            if (other.joinable()) {
                other.join();
            }
            if (fault == Fault::LockAcrossEnd) {
                holder->release();
            }
            // As the program ends.
            notices = run.notices() + RunRegistration::completeWaiting(1);
        }
        holder.reset();
        const QString told = notices.join(u'\n');
        if (noticeHas.isEmpty()) {
            QVERIFY2(notices.isEmpty(), qPrintable(told));
        } else {
            QVERIFY2(told.contains(noticeHas), qPrintable(told));
        }
        QVERIFY2(!told.contains(QStringLiteral("database")) && !told.contains("Unable"),
                 qPrintable(told));
        if (fault == Fault::ReadOnly) {
            // Untouched on the medium; its copy in the folder is read in its place.
            QCOMPARE(testing::readAll(path), earlier);
            path = folder + QStringLiteral("/registro.sqlite");
        }
        if (fault == Fault::FullDisk) {
            QFile::remove(QFileInfo(path).dir().filePath(QStringLiteral("riempitivo")));
        }

        const QStringList asideFiles =
            QFileInfo(path).dir().entryList({QStringLiteral("registro.sqlite.*-*")}, QDir::Files);
        QCOMPARE(!asideFiles.isEmpty(), setAside);
        if (setAside) {
            // Named both: where it was and where it went.
            QVERIFY2(told.contains(path) && told.contains(asideFiles.first()), qPrintable(told));
            QCOMPARE(testing::readAll(QFileInfo(path).dir().filePath(asideFiles.first())), earlier);
        }

        RegisterDatabase db(path);
        QVERIFY2(db.isOpen(), qPrintable(db.error()));
        const QList<RunRecord> runs = PrintRegister(db.connection()).runs();
        const int before = fault == Fault::Foreign ? 0 : 2;
        QCOMPARE(runs.size(), before + int(newRunKept));
        for (const RunRecord &run : runs) {
            QCOMPARE(int(run.outcome), int(Outcome::Completed));
            QVERIFY(run.delivered);
        }
        QCOMPARE(CardTrace::byPrintedNumber(runs, 6).size(), runs.size());
        if (!mountedAt.isEmpty()) {
            umount2(mountedAt.constData(), MNT_DETACH);
        }
    }

    void gameShowsOnlyWhatTheRegisterHolds_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("said");
        QTest::newRow("locked by another program")
            << Fault::LockThroughout
            << QStringLiteral("il registro è occupato da un altro programma");
        QTest::newRow("full disk") << Fault::FullDisk << QStringLiteral("il disco è pieno");
    }

    // While the register cannot be written, no number, award or sale is shown as made, and each
    // says why; once it can, they are made again, and after a restart the register, the board
    // and the record hold the same numbers in the same order.
    void gameShowsOnlyWhatTheRegisterHolds() {
        QFETCH(Fault, fault);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::unique_ptr<testing::SmallTmpfs> disk;
        QString path = dir.filePath(QStringLiteral("registro.sqlite"));
        if (fault == Fault::FullDisk) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("disco")));
            disk =
                std::make_unique<testing::SmallTmpfs>(dir.filePath(QStringLiteral("disco")), "1m");
            if (!disk->isMounted()) {
                QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill: ") + disk->why()));
            }
            path = dir.filePath(QStringLiteral("disco/registro.sqlite"));
        }
        const QString filler = QFileInfo(path).dir().filePath(QStringLiteral("riempitivo"));
        const auto table = std::make_unique<Table>(path, QStringLiteral("Circolo del Borgo"));
        QVERIFY(table->restored());
        const qint64 run =
            testing::registerEveningRun(table->connection(), {.last = 6, .drawn = 6});
        QVERIFY(run != 0);
        const qint64 evening = EveningStore(table->connection()).openOne().value().id;
        GameDesk &desk = table->desk();
        QCOMPARE(desk.drawTyped(QStringLiteral("1")).number, 1);
        QCOMPARE(desk.drawClicked(2).number, 2);

        std::unique_ptr<Holder> holder;
        if (fault == Fault::LockThroughout) {
            holder = std::make_unique<Holder>(path, QStringLiteral("holder"));
            QVERIFY(holder->held());
        } else {
            QFile fill(filler);
            QVERIFY(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (fill.write(QByteArray(512, 'x')) == 512) {
            }
        }
        const GameDesk::Drawn three = desk.drawTyped(QStringLiteral("3"));
        const GameDesk::Drawn four = desk.drawClicked(4);
        const Award ambo{0, {{run, 1, 1, 2}}, {}};
        const GameStore::Change award = table->store().award(ambo);
        const RegisterChange sale =
            EveningStore(table->connection()).addSold(evening, run, {{1, 3}}, 100);
        for (const GameDesk::Drawn &drawn : {three, four}) {
            QCOMPARE(drawn.number, 0);
            QVERIFY(drawn.unsaved);
            QVERIFY2(drawn.notice.contains(said), qPrintable(drawn.notice));
        }
        QVERIFY(award.notStored() && sale.notStored());
        QCOMPARE(award.reason, said);
        QCOMPARE(sale.reason, said);
        QCOMPARE(desk.hallState().numbers, (QList<int>{1, 2}));
        QVERIFY(desk.hallState().awards.isEmpty());

        holder.reset();
        QFile::remove(filler);
        QCOMPARE(desk.drawAgain(three).number, 3);
        QCOMPARE(desk.drawAgain(four).number, 4);
        QVERIFY(table->store().award(ambo));
        QVERIFY(EveningStore(table->connection()).addSold(evening, run, {{1, 3}}, 100));
        QCOMPARE(desk.drawByComputer().number == 0, false);
        const qint64 game = table->store().gameId();
        const QList<int> board = desk.hallState().numbers;

        // The evening begins again.
        Table again(path, QStringLiteral("Circolo del Borgo"));
        QVERIFY(again.restored());
        QCOMPARE(again.desk().hallState().numbers, board);
        QList<DrawLogEntry> stored;
        QSqlError error;
        QVERIFY(GameStore::readLog(again.connection(), game, &stored, &error));
        QCOMPARE(standing(stored), board);
        QString reason;
        const std::optional<Verbale> record = Verbale::read(again.connection(), game, &reason);
        QVERIFY2(record, qPrintable(reason));
        QCOMPARE(standing(record->draws), board);
        QCOMPARE(record->awards.size(), 1);
        QCOMPARE(record->soldCount, 3);
    }

    // A restart after a prize is given: the hall is told the prize, and the organiser is told a
    // game was under way. The record of a game closed by the next one ends at its last award
    // and names the organiser it was played under, whatever the settings say when it is read.
    void restartAfterAnAwardKeepsIt() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
        QDateTime awarded;
        qint64 first = 0;
        {
            Table table(path, QStringLiteral("Circolo del Borgo"));
            QVERIFY(table.restored());
            QVERIFY(table.desk().drawTyped(QStringLiteral("10")).number == 10);
            QVERIFY(table.desk().drawTyped(QStringLiteral("20")).number == 20);
            QVERIFY(table.store().award({0, {{1, 7, 7, 2}}, {}}));
            awarded = table.store().prizes().awards().constLast().when;
            first = table.store().gameId();
        }
        Table table(path, QStringLiteral("Pro Loco"));
        QVERIFY(table.restored());
        const HallState hall = table.desk().hallState();
        QCOMPARE(hall.awards.size(), 1);
        QCOMPARE(hall.awards.at(0).banner(), QStringLiteral("Ambo: cartella N. 7"));
        QCOMPARE(hall.awards.at(0).drawnBefore, 2);
        // Who has each prize is said again, as when it was given.
        QCOMPARE(table.desk().resumedNotice(),
                 QStringLiteral("Partita in corso ripresa dal registro: 2 numeri estratti. Ambo: "
                                "premio assegnato a N. 7 (corsa 1)."));
        QVERIFY(table.desk().newGame().done);

        QString reason;
        const std::optional<Verbale> closed = Verbale::read(table.connection(), first, &reason);
        QVERIFY2(closed, qPrintable(reason));
        QCOMPARE(closed->ended, awarded);
        QCOMPARE(closed->ditta, QStringLiteral("Circolo del Borgo"));
        QCOMPARE(closed->title, QStringLiteral("Tombola di Natale"));
        const std::optional<Verbale> current =
            Verbale::read(table.connection(), table.store().gameId(), &reason);
        QVERIFY2(current, qPrintable(reason));
        QCOMPARE(current->ditta, QStringLiteral("Pro Loco"));
        QVERIFY(!current->ended.isValid());
    }
};

QTEST_GUILESS_MAIN(tst_BadNight)
#include "tst_BadNight.moc"
