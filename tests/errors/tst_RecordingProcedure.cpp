#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/RecordingProcedure.h"
#include "errors/VelmoraError.h"

#include <QtTest>
#include <deque>
#include <stdexcept>

using namespace velmora;

namespace {

const QString module = QStringLiteral("RIDODUR");
const QString procedure = QStringLiteral("StampaCartella");

// Answers from a script, and keeps every report with the trail it saw.
class ScriptedPresenter : public ErrorPresenter {
public:
    std::deque<int> answers;
    QStringList reports;
    QList<int> trailCounts;
    int showReport(const QString &report) override {
        reports << report;
        trailCounts << CallTrail::count();
        if (answers.empty()) {
            return IDABORT;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A step function over numbered steps: records the order and fails where it is told to.
struct Steps {
    QList<int> ran;
    int failingLine = 0;
    int failuresLeft = 0; // -1: fails every time
    int thrown = 0;       // 0: the program's error, 1: std::exception, 2: an int

    explicit Steps(int failing = 0, int failures = 0, int kind = 0)
        : failingLine(failing), failuresLeft(failures), thrown(kind) {}

    void operator()(int line) {
        ran << line;
        if (line == failingLine && failuresLeft != 0) {
            if (failuresLeft > 0) {
                --failuresLeft;
            }
            switch (thrown) {
            case 0:
                throw VelmoraError(VelmoraError::FileNotFound);
            case 1:
                throw std::runtime_error("font mancante");
            default:
                throw 7;
            }
        }
    }
};

} // namespace

class TestRecordingProcedure : public QObject {
    Q_OBJECT

    ScriptedPresenter presenter;
    ErrorPresenter *previous = nullptr;

private slots:
    void init() {
        presenter = ScriptedPresenter();
        previous = ErrorPresenter::install(&presenter);
    }
    void cleanup() {
        ErrorPresenter::install(previous);
        QCOMPARE(CallTrail::count(), 0);
    }

    void trailCountsPositionsFromOne() {
        QCOMPARE(CallTrail::count(), 0);
        CallTrail::push(QStringLiteral("A"), QStringLiteral("Uno"));
        CallTrail::push(QStringLiteral("B"), QStringLiteral("Due"));
        QCOMPARE(CallTrail::count(), 2);
        QCOMPARE(CallTrail::entry(1).ModuleName, QStringLiteral("A"));
        QCOMPARE(CallTrail::entry(2).ProcName, QStringLiteral("Due"));
        QVERIFY_THROWS_EXCEPTION(VelmoraError, CallTrail::entry(0));
        QVERIFY_THROWS_EXCEPTION(VelmoraError, CallTrail::entry(3));
        CallTrail::pop();
        QCOMPARE(CallTrail::count(), 1);
        QCOMPARE(CallTrail::entry(1).ProcName, QStringLiteral("Uno"));
        CallTrail::pop();
        CallTrail::pop(); // an empty trail stays empty
        QCOMPARE(CallTrail::count(), 0);
        QCOMPARE(ErrCall().ModuleName, QString());
    }

    void completesAllStepsAndLeavesTheTrailAsItWas() {
        CallTrail::push(QStringLiteral("Form1"), QStringLiteral("StampaCartelle"));
        Steps steps;
        int countInside = 0;
        RecordingProcedure::run(module, procedure, 4, [&](int line) {
            countInside = CallTrail::count();
            QCOMPARE(CallTrail::entry(countInside).ProcName, procedure);
            steps(line);
        });
        QCOMPARE(steps.ran, (QList<int>{1, 2, 3, 4}));
        QCOMPARE(countInside, 2);
        QCOMPARE(CallTrail::count(), 1);
        QCOMPARE(CallTrail::entry(1).ProcName, QStringLiteral("StampaCartelle"));
        CallTrail::pop();
        QVERIFY(presenter.reports.isEmpty());
    }

    void retryRunsTheStepAgainUntilItSucceeds() {
        presenter.answers = {IDRETRY, IDRETRY};
        Steps steps(2, 2);
        RecordingProcedure::run(module, procedure, 3, steps);
        QCOMPARE(steps.ran, (QList<int>{1, 2, 2, 2, 3}));
        QCOMPARE(presenter.reports.size(), 2);
        for (const QString &report : std::as_const(presenter.reports)) {
            QVERIFY(report.startsWith(QStringLiteral("Errore n. 53: File non trovato\r\n"
                                                     "Procedura StampaCartella nel modulo "
                                                     "RIDODUR\r\nalla riga 2\r\n\r\n")));
        }
        QCOMPARE(presenter.trailCounts, (QList<int>{1, 1}));
    }

    void answersForAStepThatAlwaysFails_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QList<int>>("ran");
        QTest::addColumn<int>("reports");
        QTest::newRow("ignore skips only the failed step")
            << QList<int>{IDIGNORE} << QList<int>{1, 2, 3, 4} << 1;
        QTest::newRow("terminate leaves at once") << QList<int>{IDABORT} << QList<int>{1, 2} << 1;
        QTest::newRow("closed without an answer") << QList<int>{0} << QList<int>{1, 2} << 1;
        QTest::newRow("an unknown answer leaves too") << QList<int>{99} << QList<int>{1, 2} << 1;
        QTest::newRow("retry, retry, then ignore")
            << QList<int>{IDRETRY, IDRETRY, IDIGNORE} << QList<int>{1, 2, 2, 2, 3, 4} << 3;
        QTest::newRow("retry, then terminate")
            << QList<int>{IDRETRY, IDABORT} << QList<int>{1, 2, 2} << 2;
    }
    void answersForAStepThatAlwaysFails() {
        QFETCH(QList<int>, answers);
        QFETCH(QList<int>, ran);
        QFETCH(int, reports);
        presenter.answers.assign(answers.begin(), answers.end());
        Steps steps(2, -1);
        RecordingProcedure::run(module, procedure, 4, steps);
        QCOMPARE(steps.ran, ran);
        QCOMPARE(presenter.reports.size(), reports);
        QCOMPARE(CallTrail::count(), 0);
    }

    void foreignFailuresAreReportedAndStayInside_data() {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("standard exception") << 1 << "Errore n. 51: Errore interno: font mancante";
        QTest::newRow("not an exception class") << 2 << "Errore n. 51: Errore interno";
    }
    void foreignFailuresAreReportedAndStayInside() {
        QFETCH(int, thrown);
        QFETCH(QString, firstLine);
        presenter.answers = {IDIGNORE, IDABORT};
        Steps steps(1, -1, thrown);
        Steps later(3, -1, thrown);
        RecordingProcedure::run(module, procedure, 4, [&](int line) {
            steps(line);
            later(line);
        });
        QCOMPARE(steps.ran, (QList<int>{1, 2, 3}));
        QCOMPARE(presenter.reports.size(), 2);
        QCOMPARE(presenter.reports.at(0).section(QStringLiteral("\r\n"), 0, 0), firstLine);
        QVERIFY(presenter.reports.at(0).contains(QStringLiteral("\r\nalla riga 1\r\n")));
        QVERIFY(presenter.reports.at(1).contains(QStringLiteral("\r\nalla riga 3\r\n")));
    }

    void withoutAPresenterAFailureLeavesTheProcedure() {
        ErrorPresenter::install(nullptr);
        Steps steps(1, -1);
        RecordingProcedure::run(module, procedure, 3, steps);
        QCOMPARE(steps.ran, (QList<int>{1}));
    }

    void aStepCanLeaveEarly() {
        QList<int> ran;
        RecordingProcedure::run(module, procedure, 5, [&](int line) {
            ran << line;
            return line == 2 ? RecordingProcedure::Flow::Exit : RecordingProcedure::Flow::Next;
        });
        QCOMPARE(ran, (QList<int>{1, 2}));
    }

    void nestedProceduresReportTheirCallers() {
        presenter.answers = {IDABORT};
        QList<int> outerRan;
        RecordingProcedure::run(
            QStringLiteral("RIDODUR"), QStringLiteral("Stampa"), 3, [&](int line) {
                outerRan << line;
                if (line == 2) {
                    RecordingProcedure::run(module, procedure, 2, [](int inner) {
                        if (inner == 2) {
                            throw VelmoraError(VelmoraError::Overflow);
                        }
                    });
                    QCOMPARE(CallTrail::count(), 1);
                }
            });
        // The inner procedure gave up; the outer one carried on.
        QCOMPARE(outerRan, (QList<int>{1, 2, 3}));
        QCOMPARE(presenter.reports.size(), 1);
        QVERIFY2(presenter.reports.first().startsWith(
                     QStringLiteral("Errore n. 6: Overflow\r\n"
                                    "Procedura StampaCartella nel modulo RIDODUR\r\n"
                                    "alla riga 2\r\n\r\n"
                                    "... chiamato da RIDODUR.Stampa\r\n\r\nProgramma: ")),
                 qPrintable(presenter.reports.first()));
    }
};

QTEST_GUILESS_MAIN(TestRecordingProcedure)
#include "tst_RecordingProcedure.moc"
