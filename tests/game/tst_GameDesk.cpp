#include "batch/BatchRun.h"
#include "game/GameDesk.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"
#include "tests/support/BatchExec.h"
#include "tests/support/CardFixture.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/TestFiles.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Three cards with no number in common: card n holds, in column c and row r, 10 c + 3 (n - 1)
// + r + 1 (five cells a row). Card 1's first row is 1 21 41 61 81, card 2's is 4 24 44 64 84.
RecordCartella apart(int n) {
    RecordCartella record = numberedCard(n);
    for (int cell = 0; cell < RecordCartella::rows * RecordCartella::columns; ++cell) {
        if (const int number = record.cellNumber(cell); number > 0) {
            record.setCellNumber(cell, number + 3 * (n - 1));
        }
    }
    return record;
}

// The runs of the register's current evening, as the Tabellone's session reads them.
class EveningRuns : public PrintedRunSource {
public:
    EveningRuns(QSqlDatabase db, QString archive) : m_db(std::move(db)), m_archive(archive) {}
    QList<PrintedRun> runs() const override {
        EveningStore evenings(m_db);
        const std::optional<Evening> evening = evenings.openOne();
        return PrintedRun::fromRegister(evening ? evenings.runs(evening->id) : QList<RunRecord>(),
                                        ArchiveFingerprint::of(m_archive));
    }
    QString sourceName() const override { return QStringLiteral("registro di prova"); }

private:
    QSqlDatabase m_db;
    QString m_archive;
};

// A whole game, step by step: the numbers drawn, then the card claimed (run 1). Card 1 makes
// ambo, quaterna, cinquina and tombola, card 2 the terno and, with its last number, the
// Tombolino.
const QList<QList<int>> draws{{1, 21},
                              {4, 24, 44},
                              {41, 61},
                              {81},
                              {12, 32, 52, 72, 82, 3, 23, 43, 63, 83},
                              {64, 84, 15, 35, 55, 75, 85, 6, 26, 46, 66},
                              {86}};
const QList<int> claimed{1, 2, 1, 1, 1, 1, 2};

// The register keeps times to the millisecond: what comes next must come after.
void nextMillisecond() {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    while (QDateTime::currentDateTimeUtc() <= now) {
    }
}

} // namespace

namespace velmora {
// An award as a failing comparison shows it.
char *toString(const HallAward &award) {
    QStringList cards;
    for (const HallCard &card : award.cards) {
        cards.append(card.printed + u'/' + card.run);
    }
    return QTest::toString(QStringLiteral("%1 [%2] %3")
                               .arg(award.prize, cards.join(QStringLiteral(", ")))
                               .arg(award.drawnBefore));
}
} // namespace velmora

// A whole game with no window: the numbers, the winners found, the claims, the awards and what
// the hall is told, through the register as the evening keeps it.
class TestGameDesk : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void prizesAreGivenInTurn_data();
    void prizesAreGivenInTurn();
    void takingBackTheWinningNumberTakesTheWinnerAway();
    void earlierCardsShareOnlyAsDecided_data();
    void earlierCardsShareOnlyAsDecided();
    void hallIsToldThePrizesGivenWithTheirCards_data();
    void hallIsToldThePrizesGivenWithTheirCards();
    void eachRunIsReadFromItsOwnArchive_data();
    void eachRunIsReadFromItsOwnArchive();

private:
    // The cards 1..3 of the archive printed once more, numbered as the archive numbers them.
    void printAgain();
    void draw(const QList<int> &numbers);
    GameDesk::Verdict claim(int printed, int run = 0);
    QStringList whoWon(Premio prize);

    QTemporaryDir m_dir;
    ArchiveFixture m_archive{3, apart};
    std::unique_ptr<RegisterDatabase> m_register;
    std::unique_ptr<GameStore> m_store;
    std::unique_ptr<EveningRuns> m_runs;
    std::optional<QSet<std::pair<qint64, qint64>>> m_sold;
    std::unique_ptr<GameDesk> m_desk;
};

void TestGameDesk::init() {
    m_register = std::make_unique<RegisterDatabase>(m_dir.filePath(
        QStringLiteral("%1 %2.sqlite").arg(QTest::currentTestFunction(), QTest::currentDataTag())));
    QVERIFY2(m_register->isOpen(), qPrintable(m_register->error()));
    m_store = std::make_unique<GameStore>(m_register->connection());
    QVERIFY(m_store->restore());
    QVERIFY(registerEveningRun(m_register->connection(), {.first = 1, .last = 3, .drawn = 3},
                               *ArchiveFingerprint::of(m_archive.path())) == 1);
    m_runs = std::make_unique<EveningRuns>(m_register->connection(), m_archive.path());
    const QString folder = m_archive.folder();
    GameDesk::Seams seams;
    seams.store = m_store.get();
    seams.runs = m_runs.get();
    seams.archivePlaces = {folder};
    seams.soldCards = [this] { return m_sold; };
    m_desk = std::make_unique<GameDesk>(std::move(seams));
}

void TestGameDesk::cleanup() {
    m_desk.reset();
    m_runs.reset();
    m_store.reset();
    m_register.reset();
    m_sold.reset();
}

void TestGameDesk::printAgain() {
    QVERIFY(registerEveningRun(m_register->connection(),
                               {.first = 1, .last = 3, .drawn = 3, .archiveNumbering = true},
                               *ArchiveFingerprint::of(m_archive.path())) == 2);
}

void TestGameDesk::draw(const QList<int> &numbers) {
    for (const int number : numbers) {
        QCOMPARE(m_desk->drawTyped(QString::number(number)).number, number);
    }
}

GameDesk::Verdict TestGameDesk::claim(int printed, int run) {
    m_desk->lookUpClaim(QString::number(printed));
    return m_desk->checkClaim(run);
}

QStringList TestGameDesk::whoWon(Premio prize) {
    QStringList cards;
    for (const QStringList &row : m_desk->whoWon(prize).rows) {
        cards.append(row.first());
    }
    return cards;
}

void TestGameDesk::prizesAreGivenInTurn_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("winners");    // the cards that reached the prize, after the draw
    QTest::addColumn<QStringList>("whoWon"); // "Chi ha vinto?" for that prize: printed numbers
    QTest::addColumn<QString>("said");       // the claim's award, or why it is refused
    QTest::newRow("ambo") << 0 << "Ambo: 1 cartella in gioco — N. 1 (corsa 1) estr. 2"
                          << QStringList{"1"} << "Ambo: premio assegnato a N. 1 (corsa 1).";
    QTest::newRow("terno") << 1 << "Terno: 1 cartella in gioco — N. 2 (corsa 1) estr. 5"
                           << QStringList{"2"} << "Terno: premio assegnato a N. 2 (corsa 1).";
    QTest::newRow("quaterna") << 2 << "Quaterna: 1 cartella in gioco — N. 1 (corsa 1) estr. 7"
                              << QStringList{"1"} << "Quaterna: premio assegnato a N. 1 (corsa 1).";
    QTest::newRow("cinquina") << 3 << "Cinquina: 1 cartella in gioco — N. 1 (corsa 1) estr. 8"
                              << QStringList{"1"} << "Cinquina: premio assegnato a N. 1 (corsa 1).";
    QTest::newRow("tombola to the ambo's card")
        << 4 << "Tombola: 1 cartella in gioco — N. 1 (corsa 1) estr. 18" << QStringList{"1"}
        << "Tombola: premio assegnato a N. 1 (corsa 1).";
    QTest::newRow("the tombola's card does not play for the Tombolino")
        << 5 << "Tombolino: nessuna cartella in gioco." << QStringList{}
        << "La cartella N. 1 (corsa 1) ha già vinto una tombola: si gioca il Tombolino.";
    QTest::newRow("Tombolino") << 6 << "Tombolino: 1 cartella in gioco — N. 2 (corsa 1) estr. 30"
                               << QStringList{"2"}
                               << "Tombolino: premio assegnato a N. 2 (corsa 1).";
}

// The steps before are played and their claims given; then this step's draw and claim.
void TestGameDesk::prizesAreGivenInTurn() {
    QFETCH(int, step);
    QFETCH(QString, winners);
    QFETCH(QStringList, whoWon);
    QFETCH(QString, said);
    QVERIFY(m_desk->addTombolino().done);
    for (int before = 0; before < step; ++before) {
        draw(draws.at(before));
        claim(claimed.at(before));
        m_desk->awardClaim();
    }
    draw(draws.at(step));
    const PrizePlan &plan = m_store->prizes();
    const Premio playing = plan.prizes().at(plan.playing()).kind;
    QCOMPARE(m_desk->winnersText(), winners);
    QCOMPARE(this->whoWon(playing), whoWon);
    const bool wins = said.contains(QStringLiteral("premio assegnato"));
    QCOMPARE(claim(claimed.at(step)).awardable, wins);
    const qsizetype awards = plan.awards().size();
    const GameDesk::Given given = m_desk->awardClaim();
    QCOMPARE(given.awarded, wins);
    QCOMPARE(given.said, said);
    QCOMPARE(plan.awards().size(), awards + (wins ? 1 : 0));
}

void TestGameDesk::takingBackTheWinningNumberTakesTheWinnerAway() {
    draw({1, 21});
    const GameDesk::Verdict verdict = claim(1);
    QVERIFY(verdict.awardable);
    // A claim is stamped in UTC, as every time the register keeps.
    QCOMPARE(verdict.claim->checked.timeZone(), QTimeZone::utc());
    QCOMPARE(m_desk->undo().said, QStringLiteral("Tolto il 21."));
    QCOMPARE(m_desk->winnersText(), QStringLiteral("Ambo: nessuna cartella in gioco."));
    QCOMPARE(whoWon(Premio::Ambo), QStringList());
    const GameDesk::Given given = m_desk->awardClaim();
    QVERIFY(!given.awarded);
    QCOMPARE(given.said, QStringLiteral("La cartella N. 1 (corsa 1) non ha fatto Ambo."));
    QVERIFY(m_store->prizes().awards().isEmpty());
}

void TestGameDesk::hallIsToldThePrizesGivenWithTheirCards_data() {
    QTest::addColumn<bool>("stillInPlay");
    QTest::addColumn<QList<HallCard>>("ambo");
    QTest::addColumn<QList<HallCard>>("terno");
    QTest::newRow("cards in play, named as printed")
        << true << QList<HallCard>{{"1", "corsa 1"}, {"00001", "corsa 2"}}
        << QList<HallCard>{{"2", "corsa 1"}, {"00002", "corsa 2"}};
    QTest::newRow("cards no longer in play, by number and run")
        << false << QList<HallCard>{{"1", "corsa 1"}, {"1", "corsa 2"}}
        << QList<HallCard>{{"2", "corsa 1"}, {"2", "corsa 2"}};
}

// Both printings of a card reach each prize together and share it; a number drawn and taken
// back before an award is not counted among the numbers standing when it was given.
void TestGameDesk::hallIsToldThePrizesGivenWithTheirCards() {
    QFETCH(bool, stillInPlay);
    QFETCH(QList<HallCard>, ambo);
    QFETCH(QList<HallCard>, terno);
    printAgain();
    draw({1, 21});
    claim(1);
    QVERIFY(m_desk->awardClaim().awarded);
    nextMillisecond();
    draw({41});
    QVERIFY(m_desk->undo().done);
    draw({4, 24, 44});
    claim(2);
    QVERIFY(m_desk->awardClaim().awarded);
    nextMillisecond();
    draw({90});
    if (!stillInPlay) {
        m_sold = QSet<std::pair<qint64, qint64>>{{1, 3}};
    }
    const HallState state = m_desk->hallState();
    QCOMPARE(state.playing, QStringLiteral("Si gioca: Quaterna"));
    QCOMPARE(state.awards, (QList<HallAward>{{"Ambo", ambo, 2}, {"Terno", terno, 5}}));
}

// A run printed from the archive of a folder of its own; afterwards that archive
// stays, is moved to a folder searched, is changed in its place or is gone, while the current
// archive (searched first) holds other cards. The desk and velmora-pdf --vincite --in-gioco read
// the run's cards from its own archive wherever it is, or say that they cannot.
// Card 1 makes the ambo with the 2nd number, card 2 with the 4th and claims it: card 1 is named
// before the award, and shares it only when the organiser so decides; the register keeps the
// cards given it with the draw each reached it at.
void TestGameDesk::earlierCardsShareOnlyAsDecided_data() {
    QTest::addColumn<bool>("withEarlier");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("kept"); // printed number @ draw
    QTest::newRow("the hall's rule") << false << "Ambo: premio assegnato a N. 2 (corsa 1)."
                                     << "2@4";
    QTest::newRow("shared with the earlier card")
        << true << "Ambo: premio assegnato a N. 1 (corsa 1), N. 2 (corsa 1)."
        << "1@2 2@4";
}

void TestGameDesk::earlierCardsShareOnlyAsDecided() {
    QFETCH(bool, withEarlier);
    QFETCH(QString, said);
    QFETCH(QString, kept);
    draw({1, 21, 4, 24});
    QCOMPARE(m_desk->winnersText(),
             QStringLiteral("Ambo: 2 cartelle in gioco — N. 1 (corsa 1) estr. 2, N. 2 (corsa 1) "
                            "estr. 4"));
    claim(1);
    QCOMPARE(m_desk->earlierReached(), QString());
    claim(2);
    QVERIFY2(m_desk->earlierReached().startsWith(
                 QStringLiteral("Ambo è stato fatto prima, e non reclamato, da: N. 1 (corsa 1) "
                                "estr. 2.\n")),
             qPrintable(m_desk->earlierReached()));
    const GameDesk::Given given = m_desk->awardClaim(
        withEarlier ? WinnerFinder::Sharing::WithEarlier : WinnerFinder::Sharing::SameNumber);
    QCOMPARE(given.said, said);
    QStringList cards;
    for (const AwardedCard &won : m_store->prizes().awards().value(0).cards) {
        cards.append(QStringLiteral("%1@%2").arg(won.printed).arg(won.reachedAt));
    }
    QCOMPARE(cards.join(u' '), kept);
}

void TestGameDesk::eachRunIsReadFromItsOwnArchive_data() {
    QTest::addColumn<QString>("then");    // what becomes of the run's archive
    QTest::addColumn<QString>("winners"); // the winners line begins so
    QTest::addColumn<QString>("claim");   // the claim's verdict holds it (%1: the test's folder)
    QTest::addColumn<QString>("whoWon");  // "Chi ha vinto?" holds it
    QTest::addColumn<int>("status");      // of velmora-pdf
    QTest::addColumn<QString>("lines");   // its answer
    const QString lost = QStringLiteral("le cartelle della corsa 1 non si possono verificare: "
                                        "l'archivio \"%1/stampa/RidoDur.dat\" non si trova");
    const QString none = QStringLiteral("Nessuna cartella in gioco. Attenzione: ") + lost;
    const QString card8 = QStringLiteral("8\t8\tCinquina\tprima\t1\n");
    QTest::newRow("where it was") << ""
                                  << "Ambo: 1 cartella in gioco — N. 8 (corsa 1)"
                                  << "la cartella è letta dal suo, \"%1/stampa/RidoDur.dat\"."
                                  << "Cartelle con Ambo o più: 1." << 0 << card8;
    QTest::newRow("moved, found by its hash")
        << "spostato"
        << "Ambo: 1 cartella in gioco — N. 8 (corsa 1)"
        << "la cartella è letta dal suo, \"%1/altrove/RidoDur.dat\"."
        << "Cartelle con Ambo o più: 1." << 0 << card8;
    QTest::newRow("changed in its place")
        << "cambiato" << none + " (il file che ora è lì non è quello della stampa)."
        << "Le" + lost.mid(2) + " (il file che ora è lì" << lost << 1 << "";
    QTest::newRow("gone") << "sparito" << none + "."
                          << "Le" + lost.mid(2) + "." << lost << 1 << "";
}

void TestGameDesk::eachRunIsReadFromItsOwnArchive() {
    QFETCH(QString, then);
    QFETCH(QString, winners);
    QFETCH(QString, claim);
    QFETCH(QString, whoWon);
    QFETCH(int, status);
    QFETCH(QString, lines);
    QTemporaryDir dir;
    const auto inDir = [&dir](QString text) {
        return text.replace(QStringLiteral("%1"), dir.path());
    };
    const auto folder = [&dir](const char *name) {
        QDir().mkpath(dir.filePath(QLatin1String(name)));
        return dir.filePath(QLatin1String(name));
    };
    const QByteArray printed = SeriesGenerator::makeArchive(18, 3);
    const QString archive = folder("stampa") + QStringLiteral("/RidoDur.dat");
    QVERIFY(writeAll(archive, printed));
    QVERIFY(writeAll(folder("corrente") + QStringLiteral("/RidoDur.dat"),
                     SeriesGenerator::makeArchive(18, 4)));
    const QStringList searched{folder("corrente"), folder("altrove")};
    QVERIFY(forgetEvenings());
    QCOMPARE(registerEveningRun(RegisterDatabase().connection(),
                                {RunRecord::Outcome::Completed, 1, 18, 18, true},
                                ArchiveFingerprint::of(archive).value()),
             1);
    QString out, err;
    QCOMPARE(execBatch(QStringLiteral("--vendute 7-9 --corsa 1"), out, err), BatchOptions::exitOk);
    if (then == QLatin1String("spostato")) {
        QVERIFY(QFile::rename(archive, folder("altrove") + QStringLiteral("/RidoDur.dat")));
    } else if (then == QLatin1String("cambiato")) {
        QVERIFY(QFile::remove(archive) && writeAll(archive, SeriesGenerator::makeArchive(18, 5)));
    } else if (then == QLatin1String("sparito")) {
        QVERIFY(QFile::remove(archive));
    }
    // The first row of card 8, drawn in full: a cinquina.
    const RecordCartella card8 = RecordCartella::fromStored(printed.mid(7 * 59, 59));
    QStringList row;
    for (int column = 0; column < RecordCartella::columns; ++column) {
        if (const int n = card8.cellNumber(RecordCartella::cellIndex(column, 0)); n > 0) {
            row.append(QString::number(n));
        }
    }

    RegisterDatabase db;
    GameStore store(db.connection());
    QVERIFY(store.restore());
    EveningRuns runs(db.connection(), searched.first() + QStringLiteral("/RidoDur.dat"));
    GameDesk::Seams seams;
    seams.store = &store;
    seams.runs = &runs;
    seams.archivePlaces = searched;
    GameDesk desk(std::move(seams));
    for (const QString &number : std::as_const(row)) {
        QVERIFY(desk.drawTyped(number).number > 0);
    }
    QVERIFY2(desk.winnersText().startsWith(inDir(winners)), qPrintable(desk.winnersText()));
    QCOMPARE(desk.lookUpClaim(QStringLiteral("8")).size(), 1);
    const QString verdict = desk.verdict(0).notice;
    QVERIFY2(verdict.contains(inDir(claim)), qPrintable(verdict));
    QVERIFY2(desk.whoWon(Premio::Ambo).notice.contains(inDir(whoWon)),
             qPrintable(desk.whoWon(Premio::Ambo).notice));

    QCOMPARE(execBatch(QStringLiteral("--vincite --in-gioco --estratti %1").arg(row.join(u',')),
                       out, err, [&searched](BatchRun &run) { run.setArchiveFolders(searched); }),
             status);
    QCOMPARE(out, lines);
    QVERIFY2(status == 0 || err.contains(inDir(whoWon)), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestGameDesk)
#include "tst_GameDesk.moc"
