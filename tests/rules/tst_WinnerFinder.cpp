#include "rules/WinnerFinder.h"

#include <QtTest>

using namespace velmora;

namespace {

CardInPlay card(qint64 run, qint64 printed, const QList<QList<int>> &rows) {
    CardInPlay made{run,          QStringLiteral("corsa %1").arg(run),
                    printed,      QString::number(printed),
                    int(printed), {}};
    for (int row = 0; row < rows.size(); ++row) {
        for (const int number : rows.at(row)) {
            made.rows.rows.at(row).insert(number);
        }
    }
    return made;
}

// Three cards in play; N. 9 of run 2 would make every prize but was not sold.
const QList<CardInPlay> inPlay{
    card(2, 1, {{1, 2, 3, 4, 5}, {10, 11, 12, 13, 14}, {20, 21, 22, 23, 24}}),
    card(2, 2, {{1, 2, 30, 31, 32}, {40, 41, 42, 43, 44}, {50, 51, 52, 53, 54}}),
    card(3, 3, {{1, 2, 3, 60, 61}, {62, 63, 64, 65, 66}, {70, 71, 72, 73, 74}}),
};

// Every number of cards N. 1 then N. 2: N. 1 makes tombola at the 15th, N. 2 at the 28th.
QList<int> bothCardsWhole() {
    return {1,  2,  3,  4,  5,  10, 11, 12, 13, 14, 20, 21, 22, 23,
            24, 30, 31, 32, 40, 41, 42, 43, 44, 50, 51, 52, 53, 54};
}

// Prizes given before, in order, each to the card of run 2 with that printed number.
PrizePlan planGiven(const QList<int> &given, bool tombolino) {
    PrizePlan plan;
    if (tombolino) {
        plan.addTombolino();
    }
    for (int prize = 0; prize < given.size(); ++prize) {
        plan.record({prize, {{2, given.at(prize), given.at(prize), 1}}, {}});
    }
    return plan;
}

} // namespace

class TestWinnerFinder : public QObject {
    Q_OBJECT
private slots:
    void claimsAreFoundAndAwarded_data();
    void claimsAreFoundAndAwarded();
    void earlierCardsShareOnlyWhenDecided();
    void announceNamesTenAndCountsTheRest_data();
    void announceNamesTenAndCountsTheRest();
};

void TestWinnerFinder::claimsAreFoundAndAwarded_data() {
    QTest::addColumn<QList<int>>("draw");
    QTest::addColumn<QList<int>>("given");
    QTest::addColumn<bool>("tombolino");
    QTest::addColumn<bool>("takeBackLast");
    QTest::addColumn<qint64>("run");
    QTest::addColumn<qint64>("printed");
    QTest::addColumn<QString>("announced");
    QTest::addColumn<QString>("outcome"); // "prize: card@draw ..." or the refusal

    QTest::newRow("ties at the same draw share the award")
        << QList<int>{1, 2} << QList<int>{} << false << false << qint64(2) << qint64(2)
        << "Ambo: 3 cartelle in gioco — N. 1 (corsa 2) estr. 2, N. 2 (corsa 2) "
           "estr. 2, N. 3 (corsa 3) estr. 2"
        << "Ambo: 1@2 2@2 3@2";
    QTest::newRow("a later prize counts; an earlier reach is not a tie")
        << QList<int>{60, 1, 2, 3} << QList<int>{} << false << false << qint64(3) << qint64(3)
        << "Ambo: 3 cartelle in gioco — N. 3 (corsa 3) estr. 2, N. 1 (corsa 2) "
           "estr. 3, N. 2 (corsa 2) estr. 3"
        << "Ambo: 3@2";
    QTest::newRow("only cards in play")
        << QList<int>{1, 2} << QList<int>{} << false << false << qint64(2) << qint64(9)
        << "Ambo: 3 cartelle in gioco — N. 1 (corsa 2) estr. 2, N. 2 (corsa 2) "
           "estr. 2, N. 3 (corsa 3) estr. 2"
        << "La cartella N. 9 non è tra le cartelle in gioco: non può vincere.";
    QTest::newRow("a prize already given")
        << QList<int>{1, 2, 3} << QList<int>{2} << false << false << qint64(2) << qint64(2)
        << "Terno: 2 cartelle in gioco — N. 1 (corsa 2) estr. 3, N. 3 (corsa 3) "
           "estr. 3"
        << "La cartella N. 2 (corsa 2) ha fatto Ambo, premio già assegnato: si gioca ora Terno.";
    QTest::newRow("the ambo's card plays for the terno")
        << QList<int>{1, 2, 30} << QList<int>{2} << false << false << qint64(2) << qint64(2)
        << "Terno: 1 cartella in gioco — N. 2 (corsa 2) estr. 3"
        << "Terno: 2@3";
    QTest::newRow("a card given every row prize plays for the tombola")
        << bothCardsWhole() << QList<int>{1, 1, 1, 1} << false << false << qint64(2) << qint64(1)
        << "Tombola: 2 cartelle in gioco — N. 1 (corsa 2) estr. 15, N. 2 (corsa 2) "
           "estr. 28"
        << "Tombola: 1@15";
    QTest::newRow("a number taken back before the award")
        << QList<int>{1, 2, 3} << QList<int>{2} << false << true << qint64(2) << qint64(1)
        << "Terno: nessuna cartella in gioco."
        << "La cartella N. 1 (corsa 2) ha fatto Ambo, premio già assegnato: si gioca ora Terno.";
    QTest::newRow("a second tombola")
        << bothCardsWhole() << QList<int>{1, 1, 1, 1, 1} << true << false << qint64(2) << qint64(2)
        << "Tombolino: 1 cartella in gioco — N. 2 (corsa 2) estr. 28"
        << "Tombolino: 2@28";
    QTest::newRow("the tombola's card does not play for the second")
        << bothCardsWhole() << QList<int>{1, 1, 1, 1, 1} << true << false << qint64(2) << qint64(1)
        << "Tombolino: 1 cartella in gioco — N. 2 (corsa 2) estr. 28"
        << "La cartella N. 1 (corsa 2) ha già vinto una tombola: si gioca il Tombolino.";
    QTest::newRow("every prize given")
        << bothCardsWhole() << QList<int>{1, 1, 1, 1, 1} << false << false << qint64(2) << qint64(2)
        << "Tutti i premi sono stati assegnati."
        << "Tutti i premi sono stati assegnati.";
}

void TestWinnerFinder::claimsAreFoundAndAwarded() {
    QFETCH(QList<int>, draw);
    QFETCH(QList<int>, given);
    QFETCH(bool, tombolino);
    QFETCH(bool, takeBackLast);
    QFETCH(qint64, run);
    QFETCH(qint64, printed);
    QFETCH(QString, announced);
    QFETCH(QString, outcome);
    const PrizePlan plan = planGiven(given, tombolino);
    if (takeBackLast) {
        draw.removeLast();
    }
    QCOMPARE(WinnerFinder::announce(inPlay, WinnerFinder::find(inPlay, draw, plan), plan),
             announced);
    QString refusal;
    const std::optional<Award> award =
        WinnerFinder::award(inPlay, draw, plan, run, printed, &refusal);
    QString got = refusal;
    if (award) {
        QCOMPARE(award->prize, plan.playing());
        QStringList cards;
        for (const AwardedCard &won : award->cards) {
            cards.append(QStringLiteral("%1@%2").arg(won.printed).arg(won.reachedAt));
        }
        got = plan.prizes().at(award->prize).name + QStringLiteral(": ") +
              cards.join(QLatin1Char(' '));
    }
    QCOMPARE(got, outcome);
}

// Card N. 3 made the ambo with the 2nd number; N. 1 and N. 2 with the 3rd, and N. 1 claims it.
void TestWinnerFinder::earlierCardsShareOnlyWhenDecided() {
    const QList<int> draw{60, 1, 2, 3};
    const PrizePlan plan;
    const auto shown = [](const QList<CardInPlay> &cards, const QList<WinnerFinder::Reached> &r) {
        QStringList found;
        for (const WinnerFinder::Reached &one : r) {
            found.append(
                QStringLiteral("%1@%2").arg(cards.at(one.card).printed).arg(one.reachedAt));
        }
        return found.join(u' ');
    };
    QCOMPARE(shown(inPlay, WinnerFinder::earlier(inPlay, draw, plan, 2, 1)), QStringLiteral("3@2"));
    QCOMPARE(shown(inPlay, WinnerFinder::earlier(inPlay, draw, plan, 3, 3)), QString());
    QCOMPARE(shown(inPlay, WinnerFinder::earlier(inPlay, {1}, plan, 2, 1)), QString());
    for (const auto &[sharing, given] :
         {std::pair{WinnerFinder::Sharing::SameNumber, "1@3 2@3"},
          std::pair{WinnerFinder::Sharing::WithEarlier, "3@2 1@3 2@3"}}) {
        const std::optional<Award> award =
            WinnerFinder::award(inPlay, draw, plan, 2, 1, nullptr, sharing);
        QVERIFY(award);
        QStringList cards;
        for (const AwardedCard &won : award->cards) {
            cards.append(QStringLiteral("%1@%2").arg(won.printed).arg(won.reachedAt));
        }
        QCOMPARE(cards.join(u' '), QString::fromUtf8(given));
    }
}

void TestWinnerFinder::announceNamesTenAndCountsTheRest_data() {
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("tail"); // after the card named last
    QTest::newRow("ten") << 10 << "N. 10 (corsa 2) estr. 2";
    QTest::newRow("eleven") << 11 << "N. 10 (corsa 2) estr. 2, e altre 1";
    QTest::newRow("twelve") << 12 << "N. 10 (corsa 2) estr. 2, e altre 2";
}

void TestWinnerFinder::announceNamesTenAndCountsTheRest() {
    QFETCH(int, cards);
    QFETCH(QString, tail);
    QList<CardInPlay> all;
    for (int printed = 1; printed <= cards; ++printed) {
        all.append(card(2, printed, {{1, 2, 3, 4, 5}, {10, 11, 12, 13, 14}, {20, 21, 22, 23, 24}}));
    }
    const PrizePlan plan;
    const QString said = WinnerFinder::announce(all, WinnerFinder::find(all, {1, 2}, plan), plan);
    QVERIFY2(
        said.startsWith(QStringLiteral("Ambo: %1 cartelle in gioco — N. 1 (corsa 2) estr. 2, N. 2 ")
                            .arg(cards)),
        qPrintable(said));
    QVERIFY2(said.endsWith(tail), qPrintable(said));
    QCOMPARE(said.count(QStringLiteral("N. ")), 10);
}

QTEST_GUILESS_MAIN(TestWinnerFinder)
#include "tst_WinnerFinder.moc"
