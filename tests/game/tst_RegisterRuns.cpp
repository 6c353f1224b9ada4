#include "game/RegisterRuns.h"
#include "register/ArchiveFingerprint.h"
#include "register/RegisterDatabase.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;

class TestRegisterRuns : public QObject {
    Q_OBJECT
private slots:
    void runsOfTheRegister();
};

void TestRegisterRuns::runsOfTheRegister() {
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("RidoDur.dat"));
    QFile file(archive);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(59 * 12, char(207)));
    file.close();
    RegisterDatabase db(dir.filePath(QStringLiteral("registro.sqlite")));
    QVERIFY(db.isOpen());
    const QString current = ArchiveFingerprint::of(archive).value().sha256;
    QCOMPARE(current.size(), 64);

    // first, last, drawn, archive numbering, fingerprint: a complete run from 1, one cut
    // short by a crash (nothing counted), one of another archive, one that printed nothing.
    const QList<std::tuple<int, int, int, bool, QString>> rows{
        {7, 12, 6, false, current},
        {1, 12, 0, true, current},
        {3, 8, 6, false, QStringLiteral("00ff")},
        {5, 4, 0, false, current},
    };
    for (const auto &[first, last, drawn, archiveNumbers, sha] : rows) {
        QSqlQuery insert(db.connection());
        insert.prepare(QStringLiteral(
            "INSERT INTO print_runs (program, started, archive_path, archive_size, "
            "archive_sha256, archive_cards, first_card, cards_asked, last_card, "
            "archive_numbering, landscape, destination, outcome, cards_drawn, pid, boot_id) "
            "VALUES ('velmora', '2026-12-07T20:30:00', ?, 708, ?, 12, ?, ?, ?, ?, 1, 'x.pdf', "
            "'completata', ?, 1, 'b')"));
        for (const QVariant &value :
             {QVariant(archive), QVariant(sha), QVariant(first), QVariant(last - first + 1),
              QVariant(last), QVariant(archiveNumbers), QVariant(drawn)}) {
            insert.addBindValue(value);
        }
        QVERIFY2(insert.exec(), qPrintable(insert.lastQuery()));
    }

    const RegisterRuns register_(db.connection(), current);
    const QList<PrintedRun> runs = register_.runs();
    QCOMPARE(runs.size(), 3); // newest first, the empty run left out
    QCOMPARE(runs.at(0).label, QStringLiteral("corsa 3 del 7/12/2026 20:30"));
    QVERIFY(runs.at(0).otherArchive);
    QCOMPARE(runs.at(1).count, 12); // cut short: all it meant to print
    QVERIFY(runs.at(1).archiveNumbering && !runs.at(1).otherArchive);
    QCOMPARE(runs.at(2).firstCard, 7);

    // Printed number 3: card 5 of run 3, card 3 of run 2 (archive numbers), card 9 of run 1.
    QList<qint64> cards;
    for (const PrintedMatch &match : findPrinted(runs, 3)) {
        cards.append(match.archiveCard);
    }
    QCOMPARE(cards, (QList<qint64>{5, 3, 9}));
    QVERIFY(findPrinted(runs, 13).isEmpty());
    QCOMPARE(register_.run(1)->firstCard, 7);
    QVERIFY(!register_.run(4));
}

QTEST_GUILESS_MAIN(TestRegisterRuns)
#include "tst_RegisterRuns.moc"
