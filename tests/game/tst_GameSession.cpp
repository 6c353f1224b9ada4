#include "errors/VelmoraError.h"
#include "evening/RegisterDatabase.h"
#include "game/GameSession.h"
#include "register/CardTrace.h"
#include "settings/Configurazione.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/RecordingPresenter.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;

using Outcome = RunRecord::Outcome;
Q_DECLARE_METATYPE(QList<RunSpec>)

class TestGameSession : public QObject {
    Q_OBJECT
private slots:
    void onlyRunsThatPutOutCardsAreOffered_data();
    void onlyRunsThatPutOutCardsAreOffered();
    void registerThatCannotBeReadIsAnError();
    void onlyTheEveningsRunsAndSoldCardsPlay();

private:
    // A session over a register in its own folder; the print page asks for cards 1-6.
    std::unique_ptr<GameSession> session(const QString &databasePath);

    Configurazione m_settings;
    RecordingPresenter m_presenter;
};

std::unique_ptr<GameSession> TestGameSession::session(const QString &databasePath) {
    auto made = std::make_unique<GameSession>(
        m_settings,
        [] {
            return PrintRequest{QStringLiteral("1"), QStringLiteral("6")};
        },
        [this]() -> MessagePresenter & { return m_presenter; }, nullptr);
    made->setDatabasePath(databasePath);
    return made;
}

void TestGameSession::onlyRunsThatPutOutCardsAreOffered_data() {
    QTest::addColumn<QList<RunSpec>>("runs"); // oldest first, into the register
    QTest::addColumn<QStringList>("offered"); // "corsa N:first-last", newest first
    const RunSpec completed{Outcome::Completed, 7, 18, 12, true};
    const RunSpec stoppedBeforeAny{Outcome::Stopped, 1, 300, 0, false};
    const RunSpec stoppedUndelivered{Outcome::Stopped, 1, 300, 120, false};
    QTest::newRow("a completed run") << QList<RunSpec>{completed} << QStringList{"corsa 1:7-18"};
    QTest::newRow("stopped runs that delivered nothing are left out")
        << QList<RunSpec>{completed, stoppedBeforeAny, stoppedUndelivered}
        << QStringList{"corsa 1:7-18"};
    QTest::newRow("a stopped run as far as it was delivered")
        << QList<RunSpec>{completed, {Outcome::Stopped, 20, 40, 3, true}}
        << QStringList{"corsa 2:20-22", "corsa 1:7-18"};
    QTest::newRow("a failed run is left out")
        << QList<RunSpec>{{Outcome::Failed, 1, 12, 6, false}, completed}
        << QStringList{"corsa 2:7-18"};
    QTest::newRow("a run still at work: all it is to print")
        << QList<RunSpec>{{Outcome::InProgress, 30, 35, 0, false}} << QStringList{"corsa 1:30-35"};
    QTest::newRow("nothing delivered: the print page's range")
        << QList<RunSpec>{stoppedBeforeAny} << QStringList{"stampa di pagina 4, cartelle 1-6:1-6"};
}

void TestGameSession::onlyRunsThatPutOutCardsAreOffered() {
    QFETCH(QList<RunSpec>, runs);
    QFETCH(QStringList, offered);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
    {
        RegisterDatabase db(path);
        QVERIFY(db.isOpen());
        const ArchiveFingerprint archive{QStringLiteral("RidoDur.dat"), 708, QStringLiteral("ab")};
        for (const RunSpec &wanted : runs) {
            QVERIFY(registerEveningRun(db.connection(), wanted, archive) > 0);
        }
    }
    QStringList shown;
    for (const PrintedRun &run : session(path)->runs()) {
        const std::optional<CardTrace::Range> range = CardTrace::printedRange(run.record);
        shown.append(QStringLiteral("%1:%2")
                         .arg(run.label.section(QStringLiteral(" del "), 0, 0))
                         .arg(range ? QStringLiteral("%1-%2").arg(range->first).arg(range->last)
                                    : QStringLiteral("nessuna")));
    }
    QCOMPARE(shown, offered);
}

void TestGameSession::registerThatCannotBeReadIsAnError() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
    const std::unique_ptr<GameSession> reading = session(path);
    {
        RegisterDatabase db(path);
        QVERIFY(registerEveningRun(db.connection(), {Outcome::Completed, 1, 6, 6, true}) > 0);
    }
    QCOMPARE(reading->runs().size(), 1);
    {
        RegisterDatabase db(path);
        QSqlQuery(db.connection()).exec(QStringLiteral("DROP TABLE print_runs"));
    }
    try {
        reading->runs();
        QFAIL("an unreadable register gave runs");
    } catch (const VelmoraError &error) {
        QVERIFY2(
            error.description().startsWith(QStringLiteral("Il registro delle stampe non si legge")),
            qPrintable(error.description()));
    }
}

void TestGameSession::onlyTheEveningsRunsAndSoldCardsPlay() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registro.sqlite"));
    const RunSpec completed{Outcome::Completed, 1, 30, 30, true};
    qint64 tonight = 0;
    {
        RegisterDatabase db(path);
        QVERIFY(registerEveningRun(db.connection(), completed) > 0);
        QVERIFY(EveningStore(db.connection()).startNew());
        tonight = registerEveningRun(db.connection(), completed);
        QVERIFY(tonight > 0);
    }
    const std::unique_ptr<GameSession> playing = session(path);
    const QList<PrintedRun> runs = playing->runs();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().record.id, tonight);
    QVERIFY(!playing->soldCards()); // none entered: every card printed tonight plays
    {
        RegisterDatabase db(path);
        EveningStore evenings(db.connection());
        QVERIFY(evenings.addSold(evenings.openOne()->id, tonight, {{4, 5}}, 150));
    }
    const auto sold = playing->soldCards();
    QVERIFY(sold);
    QCOMPARE(*sold, (QSet<std::pair<qint64, qint64>>{{tonight, 4}, {tonight, 5}}));
}

QTEST_MAIN(TestGameSession)
#include "tst_GameSession.moc"
