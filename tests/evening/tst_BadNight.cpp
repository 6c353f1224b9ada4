#include "evening/RegisterDatabase.h"
#include "evening/RunRegistration.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"

#include "tests/support/ReadOnlyMount.h"
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

// Another program's connection holding the register with BEGIN EXCLUSIVE until released.
class Holder {
public:
    explicit Holder(const QString &path, const QString &name) : m_name(name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_held = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~Holder() { release(); }
    bool held() const { return m_held; }
    void release() {
        if (QSqlDatabase::contains(m_name)) {
            {
                QSqlDatabase db = QSqlDatabase::database(m_name);
                QSqlQuery(db).exec(QStringLiteral("COMMIT"));
                db.close();
            }
            QSqlDatabase::removeDatabase(m_name);
        }
    }

private:
    QString m_name;
    bool m_held = false;
};

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
};

QTEST_GUILESS_MAIN(tst_BadNight)
#include "tst_BadNight.moc"
