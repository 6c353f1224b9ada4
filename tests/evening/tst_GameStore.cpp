#include "evening/GameStore.h"

#include "evening/RegisterDatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimeZone>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace velmora;

namespace {

const char *const childVariable = "VELMORA_GAME_STORE_CHILD";

// The register on a file, with its schema, as the program opens it.
std::unique_ptr<RegisterDatabase> openRegister(const QString &path) {
    return std::make_unique<RegisterDatabase>(path);
}

QList<int> upTo(int count) {
    QList<int> numbers;
    for (int n = 1; n <= count; ++n) {
        numbers.append(n);
    }
    return numbers;
}

// The child of the kill test: draws 1..90 game after game, saying after each commit which
// game holds how many numbers, until it is killed.
int drawUntilKilled(const QString &path) {
    int argc = 1;
    char name[] = "child";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const auto db = openRegister(path);
    GameStore store(db->connection());
    if (!store.restore()) {
        return 3;
    }
    for (;;) {
        for (int number = 1; number <= 90; ++number) {
            if (!store.draw(number)) {
                return 4;
            }
            std::printf("%lld %d\n", store.gameId(), store.game().count());
            std::fflush(stdout);
        }
        if (!store.newGame()) {
            return 5;
        }
    }
}

// Runs before QTest takes over when the test starts itself as the child.
const int childStatus = [] {
    if (qEnvironmentVariableIsSet(childVariable)) {
        std::exit(drawUntilKilled(qEnvironmentVariable(childVariable)));
    }
    return 0;
}();

} // namespace

class TestGameStore : public QObject {
    Q_OBJECT
private slots:
    void changesSurviveAReopen();
    void newGameKeepsTheOldOne();
    void refusedWriteChangesNothing();
    void unreadableGameIsAnErrorNotANewGame();
    void timesAreKeptInUtc();
    void restoresAfterKillMidChange();
    void drawOrderSurvivesARestart_data();
    void drawOrderSurvivesARestart();
    void drawLogKeepsTakeBacksAcrossARestart();
    void prizesAndAwardsSurviveARestart();
    void claimsSurviveARestart();
    void gameEndsAtItsLastMove_data();
    void gameEndsAtItsLastMove();

private:
    QTemporaryDir m_dir;
};

void TestGameStore::changesSurviveAReopen() {
    const QString path = m_dir.filePath(QStringLiteral("reopen.sqlite"));
    {
        const auto db = openRegister(path);
        GameStore store(db->connection());
        QVERIFY2(store.restore(), qPrintable(store.lastError()));
        for (const int number : {12, 5, 77, 40, 9}) {
            QVERIFY(store.draw(number));
        }
        QVERIFY(!store.draw(5));
        QVERIFY(store.remove(77)); // a number marked by mistake, in the middle
        QCOMPARE(store.undo().number, 9);
        QVERIFY(store.draw(90));
        QVERIFY(store.lastError().isEmpty());
    }
    const auto db = openRegister(path);
    GameStore again(db->connection());
    QVERIFY(again.restore());
    QCOMPARE(again.game().numbers(), (QList<int>{12, 5, 40, 90}));
    QCOMPARE(again.game().last(), 90);
}

void TestGameStore::newGameKeepsTheOldOne() {
    const QString path = m_dir.filePath(QStringLiteral("new.sqlite"));
    const auto reg = openRegister(path);
    QSqlDatabase db = reg->connection();
    GameStore store(db);
    QVERIFY(store.restore());
    const qint64 first = store.gameId();
    QVERIFY(store.draw(1));
    QVERIFY(store.draw(2));
    // The hall is the evening's: the next game of the evening takes it up.
    const HallSetup hall{QStringLiteral("HDMI-1"), true, true, 8123, true, false};
    QVERIFY(store.keepHall(hall));
    QVERIFY(store.newGame());
    QVERIFY(store.gameId() != first);
    QCOMPARE(store.game().count(), 0);
    QVERIFY(store.draw(3));

    const auto second = openRegister(path);
    GameStore again(second->connection());
    QVERIFY(again.restore());
    QCOMPARE(again.game().numbers(), QList<int>{3});
    QCOMPARE(again.keptHall(), std::optional<HallSetup>(hall));
    QSqlQuery old(db);
    QVERIFY(old.exec(
        QStringLiteral("SELECT number FROM drawn WHERE game = %1 ORDER BY position").arg(first)));
    QList<int> kept;
    while (old.next()) {
        kept.append(old.value(0).toInt());
    }
    QCOMPARE(kept, (QList<int>{1, 2}));
}

void TestGameStore::refusedWriteChangesNothing() {
    const auto reg = openRegister(m_dir.filePath(QStringLiteral("refused.sqlite")));
    QSqlDatabase db = reg->connection();
    GameStore store(db);
    QVERIFY(store.restore());
    QVERIFY(store.draw(5));
    QVERIFY(QSqlQuery(db).exec(QStringLiteral("DROP TABLE drawn")));
    const GameStore::Change change = store.draw(8);
    QVERIFY(change.notStored());
    QVERIFY(!change.reason.isEmpty());
    QCOMPARE(store.game().numbers(), QList<int>{5});
    QCOMPARE(store.log().size(), 1);
}

void TestGameStore::unreadableGameIsAnErrorNotANewGame() {
    const auto reg = openRegister(m_dir.filePath(QStringLiteral("unreadable.sqlite")));
    GameStore store(reg->connection());
    QVERIFY(store.restore());
    QVERIFY(store.draw(4));
    QVERIFY(QSqlQuery(reg->connection()).exec(QStringLiteral("DROP TABLE drawn")));
    QVERIFY(!store.restore());
    QVERIFY2(store.lastError().startsWith(QStringLiteral("La partita salvata nel registro non si "
                                                         "legge")),
             qPrintable(store.lastError()));
    QCOMPARE(store.game().count(), 0);
    QSqlQuery games(reg->connection());
    QVERIFY(games.exec(QStringLiteral("SELECT COUNT(*) FROM games")) && games.next());
    QCOMPARE(games.value(0).toInt(), 1); // no game was started in its place
}

void TestGameStore::timesAreKeptInUtc() {
    const auto reg = openRegister(m_dir.filePath(QStringLiteral("times.sqlite")));
    GameStore store(reg->connection());
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    QVERIFY(store.restore() && store.newGame());
    QSqlQuery times(reg->connection());
    QVERIFY(times.exec(QStringLiteral("SELECT started, ended FROM games WHERE id = %1")
                           .arg(store.gameId() - 1)) &&
            times.next());
    for (const int column : {0, 1}) {
        const QString text = times.value(column).toString();
        const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
        QVERIFY2(text.endsWith(u'Z') && time >= before && time <= QDateTime::currentDateTimeUtc(),
                 qPrintable(text));
    }
}

void TestGameStore::restoresAfterKillMidChange() {
    const QString path = m_dir.filePath(QStringLiteral("killed.sqlite"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(childVariable), path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    // Killed somewhere in the second game, while it keeps writing.
    QStringList lines;
    while (lines.size() < 130 && child.waitForReadyRead(10000)) {
        while (child.canReadLine()) {
            lines.append(QString::fromLatin1(child.readLine()).trimmed());
        }
    }
    child.kill();
    QVERIFY(child.waitForFinished());
    lines += QString::fromLatin1(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 130, qPrintable(lines.join(QLatin1Char('|'))));
    const QStringList last = lines.constLast().split(QLatin1Char(' '));
    const qint64 lastGame = last.at(0).toLongLong();
    const int lastCount = last.at(1).toInt();

    const auto db = openRegister(path);
    GameStore store(db->connection());
    QVERIFY(store.restore());
    const int count = store.game().count();
    QCOMPARE(store.game().numbers(), upTo(count)); // whole changes only, in order
    // Everything reported as written is there; at most the change under way is beyond it.
    if (store.gameId() == lastGame) {
        QVERIFY(count == lastCount || count == lastCount + 1);
    } else {
        QCOMPARE(store.gameId(), lastGame + 1);
        QVERIFY(count <= 1);
        QCOMPARE(lastCount, 90);
    }
}

void TestGameStore::drawOrderSurvivesARestart_data() {
    // Steps: "12" draws 12, "-12" takes it back, "u" is "Annulla ultimo", "r" restarts the
    // program, "k12" is a take-back of 12 whose writer dies before its commit.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("take-back of the first, then a draw")
        << "12 5 77 40 -12 9 r" << QList<int>{5, 77, 40, 9};
    QTest::newRow("take-back in the middle, undo, draw")
        << "12 5 77 40 9 -77 u 90 r" << QList<int>{12, 5, 40, 90};
    QTest::newRow("restart between take-back and draw")
        << "12 5 77 40 -5 r 9 r" << QList<int>{12, 77, 40, 9};
    QTest::newRow("several take-backs, restarts between")
        << "1 2 3 4 5 -2 r -4 6 r u 7 r" << QList<int>{1, 3, 5, 7};
    QTest::newRow("killed writer during a take-back in the middle")
        << "12 5 77 40 k77 r 9 r" << QList<int>{12, 5, 77, 40, 9};
}

void TestGameStore::drawOrderSurvivesARestart() {
    QFETCH(QString, steps);
    QFETCH(QList<int>, expected);
    const QString path = m_dir.filePath(
        QStringLiteral("order-%1.sqlite")
            .arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), u'-')));
    auto db = openRegister(path);
    auto store = std::make_unique<GameStore>(db->connection());
    QVERIFY(store->restore());
    for (const QString &step : steps.split(u' ')) {
        if (step == u"r") {
            store.reset();
            db = openRegister(path);
            store = std::make_unique<GameStore>(db->connection());
            QVERIFY2(store->restore(), qPrintable(store->lastError()));
        } else if (step == u"u") {
            QVERIFY(store->undo());
        } else if (step.startsWith(u'k')) {
            // Another writer deletes the number and renumbers, then dies before committing.
            QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "killed");
            writer.setDatabaseName(path);
            QVERIFY(writer.open());
            QSqlQuery query(writer);
            QVERIFY(query.exec(QStringLiteral("BEGIN")));
            QVERIFY(query.exec(
                QStringLiteral("DELETE FROM drawn WHERE number = %1").arg(step.mid(1).toInt())));
            QVERIFY(query.exec(QStringLiteral("UPDATE drawn SET position = position - 1")));
            query.finish();
            writer.close();
            writer = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("killed"));
        } else if (step.startsWith(u'-')) {
            QVERIFY(store->remove(step.mid(1).toInt()));
        } else {
            QVERIFY(store->draw(step.toInt()));
        }
        QVERIFY2(store->lastError().isEmpty(), qPrintable(store->lastError()));
    }
    QCOMPARE(store->game().numbers(), expected);
    QCOMPARE(store->game().last(), expected.constLast());
    QCOMPARE(store->undo().number,
             expected.constLast()); // "Annulla ultimo" takes back the last drawn
}

void TestGameStore::drawLogKeepsTakeBacksAcrossARestart() {
    const QString path = m_dir.filePath(QStringLiteral("log.sqlite"));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    {
        const auto db = openRegister(path);
        GameStore store(db->connection());
        QVERIFY(store.restore());
        QVERIFY(store.draw(12));
        QVERIFY(store.draw(5, DrawSource::Clicked));
        QCOMPARE(store.undo().number, 5);
        QVERIFY(store.draw(5));
        QVERIFY(store.remove(12));
        QVERIFY(store.draw(40, DrawSource::Computer));
    }
    const auto db = openRegister(path);
    GameStore store(db->connection());
    QVERIFY(store.restore());
    QCOMPARE(store.game().numbers(), (QList<int>{5, 40}));
    QStringList lines;
    for (const DrawLogEntry &entry : store.log()) {
        QVERIFY(entry.drawnAt >= before && entry.drawnAt <= QDateTime::currentDateTimeUtc());
        QVERIFY(!entry.takenBack() || entry.takenBackAt >= entry.drawnAt);
        lines.append(QStringLiteral("%1 %2%3")
                         .arg(entry.number)
                         .arg(int(entry.source))
                         .arg(entry.takenBack() ? QStringLiteral(" tolto") : QString()));
    }
    // Typed 1, clicked 2, computer 3.
    QCOMPARE(lines, (QStringList{"12 1 tolto", "5 2 tolto", "5 1", "40 3"}));
}

void TestGameStore::prizesAndAwardsSurviveARestart() {
    const QString path = m_dir.filePath(QStringLiteral("prizes.sqlite"));
    const Award terno{1, {{2, 123, 130, 7}, {2, 456, 463, 7}}, {}};
    {
        const auto db = openRegister(path);
        GameStore store(db->connection());
        QVERIFY(store.restore());
        QCOMPARE(store.prizes().prizes().size(), 5);
        QVERIFY(store.addTombolino());
        QVERIFY(!store.addTombolino());
        QVERIFY(store.setPrizeValue(4, QStringLiteral("50 euro")));
        QVERIFY(store.award({0, {{1, 9, 9, 4}}, {}}));
        QVERIFY(store.award(terno));
        QVERIFY(!store.award(terno)); // given already
        QVERIFY(store.lastError().isEmpty());
    }
    const auto db = openRegister(path);
    GameStore store(db->connection());
    QVERIFY(store.restore());
    const PrizePlan &plan = store.prizes();
    QStringList prizes;
    for (const Prize &prize : plan.prizes()) {
        prizes.append(prize.name + QLatin1Char('=') + prize.value);
    }
    QCOMPARE(prizes, (QStringList{"Ambo=", "Terno=", "Quaterna=", "Cinquina=", "Tombola=50 euro",
                                  "Tombolino="}));
    QCOMPARE(plan.awards().size(), 2);
    QCOMPARE(plan.awards().at(1).cards.size(), 2);
    QCOMPARE(plan.awards().at(1).cards.at(1).printed, 456);
    QCOMPARE(plan.awards().at(1).cards.at(1).reachedAt, 7);
    QCOMPARE(plan.playingText(), QStringLiteral("Si gioca: Quaterna"));
    // A new game plays every prize again, with the same values and the Tombolino, in the
    // register too.
    QVERIFY(store.newGame());
    GameStore next(db->connection());
    QVERIFY(next.restore());
    for (const GameStore *played : {&store, &next}) {
        QCOMPARE(played->prizes().playing(), 0);
        QStringList kept;
        for (const Prize &prize : played->prizes().prizes()) {
            kept.append(prize.name + QLatin1Char('=') + prize.value);
        }
        QCOMPARE(kept, prizes);
    }
}

// Each claim checked is kept at once, in the order checked, with its game: a restart or a new
// game loses none, and a verdict that came in several lines is kept as one.
void TestGameStore::claimsSurviveARestart() {
    const QString path = m_dir.filePath(QStringLiteral("claims.sqlite"));
    const QDateTime checked(QDate(2026, 12, 7), QTime(21, 14, 5));
    qint64 game = 0;
    {
        const auto db = openRegister(path);
        GameStore store(db->connection());
        QVERIFY(store.restore());
        game = store.gameId();
        QVERIFY(store.recordClaim({checked, 2, 456, QStringLiteral("Terno: vincente")}));
        QVERIFY(store.recordClaim(
            {checked.addSecs(60), 0, 31, QStringLiteral("Cartella non in gioco:\nnon vale")}));
        QVERIFY(store.lastError().isEmpty());
    }
    const auto db = openRegister(path);
    GameStore store(db->connection());
    QVERIFY(store.restore());
    QVERIFY(store.newGame());
    QList<ClaimCheck> claims;
    QSqlError error;
    QVERIFY(GameStore::readClaims(db->connection(), game, &claims, &error));
    QCOMPARE(claims.size(), 2);
    QCOMPARE(claims.at(0).checked, checked);
    QCOMPARE(claims.at(0).run, 2);
    QCOMPARE(claims.at(0).printedNumber, 456);
    QCOMPARE(claims.at(1).verdict, QStringLiteral("Cartella non in gioco: non vale"));
    claims.clear();
    QVERIFY(GameStore::readClaims(db->connection(), store.gameId(), &claims, &error));
    QVERIFY(claims.isEmpty());
}

void TestGameStore::gameEndsAtItsLastMove_data() {
    QTest::addColumn<bool>("closed");  // a new game began
    QTest::addColumn<int>("awards");   // prizes given, of five
    QTest::addColumn<int>("expected"); // minutes after the start; -1 for still being played
    QTest::newRow("being played") << false << 4 << -1;
    QTest::newRow("every prize given") << false << 5 << 50;
    QTest::newRow("closed by the next game") << true << 2 << 40;
    QTest::newRow("closed with nothing done") << true << 0 << 0;
}

// "Fine" is the game's last number or award, neither "in corso" after its last prize nor the
// next game's start.
void TestGameStore::gameEndsAtItsLastMove() {
    QFETCH(bool, closed);
    QFETCH(int, awards);
    QFETCH(int, expected);
    const QDateTime start(QDate(2026, 12, 7), QTime(20, 0), QTimeZone::utc());
    const QList<DrawLogEntry> log =
        awards == 0
            ? QList<DrawLogEntry>()
            : QList<DrawLogEntry>{{5, start.addSecs(600), DrawSource::Typed, {}},
                                  {9, start.addSecs(1200), DrawSource::Typed, start.addSecs(2400)}};
    QList<Award> given;
    for (int prize = 0; prize < awards; ++prize) {
        given.append({prize, {{1, prize + 1, prize + 1, 1}}, start.addSecs(600 * (prize + 1))});
    }
    const QDateTime end = GameStore::endOf(start, closed ? start.addSecs(7200) : QDateTime(), log,
                                           PrizePlan(PrizePlan::defaults(), given));
    QCOMPARE(end, expected < 0 ? QDateTime() : start.addSecs(60 * expected));
}

QTEST_GUILESS_MAIN(TestGameStore)
#include "tst_GameStore.moc"
