#include "register/RegisterTime.h"

#include <QtTest>

using namespace velmora;

// The register's times, kept in UTC, as the windows and the command line show them in Italy
// (TZ=Europe/Rome for every test): an hour ahead in winter, two in summer, and the next day
// past midnight.
class tst_RegisterTime : public QObject {
    Q_OBJECT
private slots:
    void shownInItalianTime_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("iso");
        QTest::newRow("winter evening") << "2026-12-07T20:15:00.000Z"
                                        << "07/12/2026 21:15"
                                        << "2026-12-07T21:15:00+01:00";
        QTest::newRow("summer evening") << "2026-07-14T19:30:05.000Z"
                                        << "14/07/2026 21:30"
                                        << "2026-07-14T21:30:05+02:00";
        QTest::newRow("past midnight in winter") << "2026-12-07T23:30:00.000Z"
                                                 << "08/12/2026 00:30"
                                                 << "2026-12-08T00:30:00+01:00";
        QTest::newRow("past midnight in summer") << "2026-07-14T22:10:00.000Z"
                                                 << "15/07/2026 00:10"
                                                 << "2026-07-15T00:10:00+02:00";
        QTest::newRow("new year") << "2026-12-31T23:59:00.000Z"
                                  << "01/01/2027 00:59"
                                  << "2027-01-01T00:59:00+01:00";
        QTest::newRow("kept with an offset") << "2026-12-07T21:15:00.000+01:00"
                                             << "07/12/2026 21:15"
                                             << "2026-12-07T21:15:00+01:00";
        QTest::newRow("before times were kept in UTC: local") << "2026-12-07T21:15:00"
                                                              << "07/12/2026 21:15"
                                                              << "2026-12-07T21:15:00+01:00";
        QTest::newRow("unreadable") << "ieri sera"
                                    << ""
                                    << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void shownInItalianTime() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, iso);
        const QDateTime time = RegisterTime::read(stored);
        QCOMPARE(RegisterTime::shown(time), shown);
        QCOMPARE(RegisterTime::shownIso(time), iso);
        QCOMPARE(RegisterTime::shownAs(time, QStringLiteral("HH:mm")), shown.mid(11));
    }

    // Kept as UTC with its zone whatever zone the time came in.
    void keptInUtc() {
        const QDateTime local(QDate(2026, 12, 8), QTime(0, 30));
        QCOMPARE(RegisterTime::stored(local), QStringLiteral("2026-12-07T23:30:00.000Z"));
        QCOMPARE(RegisterTime::stored(QDateTime(QDate(2026, 7, 14), QTime(21, 30, 0, 250))),
                 QStringLiteral("2026-07-14T19:30:00.250Z"));
        QCOMPARE(RegisterTime::read(RegisterTime::stored(local)), local);
        QCOMPARE(RegisterTime::stored(QDateTime()), QString());
    }
};

QTEST_GUILESS_MAIN(tst_RegisterTime)
#include "tst_RegisterTime.moc"
