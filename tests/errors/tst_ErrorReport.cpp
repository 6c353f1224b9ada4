#include "errors/CallTrail.h"
#include "errors/ErrorPresenter.h"
#include "errors/ErrorReport.h"
#include "errors/ModCallErr.h"
#include "errors/VelmoraError.h"

#include <QtTest>
#include <stdexcept>
#include <vector>

using namespace velmora;

namespace {

ProgramInfo sampleProgram() {
    ProgramInfo program;
    program.folder = QStringLiteral("/opt/velmora");
    program.title = QStringLiteral("Velmora 2018");
    program.executablePath = QStringLiteral("/opt/velmora/velmora");
    program.major = 1;
    program.minor = 2;
    program.revision = 3;
    return program;
}

std::vector<ErrCall> trailOf(const QStringList &names) {
    std::vector<ErrCall> trail;
    for (const QString &name : names) {
        const QStringList parts = name.split(QLatin1Char('.'));
        trail.push_back(ErrCall{parts.at(0), parts.at(1)});
    }
    return trail;
}

class RecordingPresenter : public ErrorPresenter {
public:
    int answer = IDRETRY;
    bool fail = false;
    QStringList reports;
    int showReport(const QString &report) override {
        reports << report;
        if (fail) {
            throw std::runtime_error("window did not open");
        }
        return answer;
    }
};

} // namespace

class TestErrorReport : public QObject {
    Q_OBJECT
private slots:
    void composesTheReport_data() {
        QTest::addColumn<QStringList>("trail");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected");

        const QString tail = QStringLiteral("\r\nProgramma: /opt/velmora/Velmora 2018 (Ver. "
                                            "1.02.0003)\r\n/opt/velmora/velmora");
        QTest::newRow("one entry, with line")
            << QStringList{"RIDODUR.StampaCartella"} << 19
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura StampaCartella nel modulo RIDODUR\r\n"
                              "alla riga 19\r\n") +
                   tail;
        QTest::newRow("one entry, without line")
            << QStringList{"RIDODUR.StampaCartella2"} << 0
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura StampaCartella2 nel modulo RIDODUR\r\n") +
                   tail;
        QTest::newRow("three entries, with line")
            << QStringList{"A.Uno", "B.Due", "C.Tre"} << 7
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura Tre nel modulo C\r\n"
                              "alla riga 7\r\n"
                              "\r\n"
                              "... chiamato da B.Due\r\n"
                              "... chiamato da A.Uno\r\n") +
                   tail;
        QTest::newRow("three entries, without line")
            << QStringList{"A.Uno", "B.Due", "C.Tre"} << 0
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura Tre nel modulo C\r\n"
                              "\r\n"
                              "... chiamato da B.Due\r\n"
                              "... chiamato da A.Uno\r\n") +
                   tail;
        QTest::newRow("empty trail")
            << QStringList{} << 0
            << QStringLiteral("Errore n. 53: File non trovato\r\n"
                              "Procedura (sconosciuta) nel modulo (sconosciuto)\r\n") +
                   tail;
    }
    void composesTheReport() {
        QFETCH(QStringList, trail);
        QFETCH(int, line);
        QFETCH(QString, expected);
        const Failure failure{VelmoraError::FileNotFound, VelmoraError::describe(53), line};
        const std::vector<ErrCall> entries = trailOf(trail);
        QCOMPARE(ErrorReport::compose(failure, entries, sampleProgram()), expected);
    }

    void writesTheVersion_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("expected");
        QTest::newRow("small numbers padded") << 1 << 2 << 3 << "1.02.0003";
        QTest::newRow("minor 7, revision 42") << 1 << 7 << 42 << "1.07.0042";
        QTest::newRow("two-digit minor, four-digit revision") << 10 << 18 << 2018 << "10.18.2018";
        QTest::newRow("wide numbers in full") << 2 << 123 << 12345 << "2.123.12345";
        QTest::newRow("zeros") << 0 << 0 << 0 << "0.00.0000";
    }
    void writesTheVersion() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, expected);
        ProgramInfo program = sampleProgram();
        program.major = major;
        program.minor = minor;
        program.revision = revision;
        const QString report = ErrorReport::compose(Failure{6, QStringLiteral("Overflow"), 0},
                                                    trailOf({"RIDODUR.StampaCartella"}), program);
        QVERIFY2(report.contains(QStringLiteral("(Ver. ") + expected + QStringLiteral(")\r\n")),
                 qPrintable(report));
    }

    void rootFolderGetsNoDoubleSeparator() {
        ProgramInfo program = sampleProgram();
        program.folder = QStringLiteral("/");
        program.executablePath = QStringLiteral("/velmora");
        const QString report = ErrorReport::compose(Failure{6, QStringLiteral("Overflow"), 0},
                                                    trailOf({"RIDODUR.StampaCartella"}), program);
        QVERIFY(report.endsWith(
            QStringLiteral("\r\nProgramma: /Velmora 2018 (Ver. 1.02.0003)\r\n/velmora")));
    }

    void readsAnyException_data() {
        QTest::addColumn<std::exception_ptr>("exception");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("program error")
            << std::make_exception_ptr(VelmoraError(62)) << 62 << "Input oltre la fine del file";
        QTest::newRow("program error with its own text")
            << std::make_exception_ptr(VelmoraError(53, QStringLiteral("Manca RidoDur.dat"))) << 53
            << "Manca RidoDur.dat";
        QTest::newRow("standard exception keeps its message")
            << std::make_exception_ptr(std::out_of_range("indice 27 fuori campo")) << 51
            << "Errore interno: indice 27 fuori campo";
        QTest::newRow("out of memory")
            << std::make_exception_ptr(std::bad_alloc()) << 7 << "Memoria esaurita";
        QTest::newRow("not an exception class")
            << std::make_exception_ptr(42) << 51 << "Errore interno";
        QTest::newRow("no exception at all") << std::exception_ptr() << 51 << "Errore interno";
    }
    void readsAnyException() {
        QFETCH(std::exception_ptr, exception);
        QFETCH(int, number);
        QFETCH(QString, description);
        const Failure failure = Failure::fromException(exception, 12);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.description, description);
        QCOMPARE(failure.line, 12);
    }

    void callErrShowsTheReportOfTheCurrentTrail() {
        RecordingPresenter presenter;
        presenter.answer = IDIGNORE;
        ErrorPresenter *previous = ErrorPresenter::install(&presenter);
        CallTrail::push(QStringLiteral("RIDODUR"), QStringLiteral("StampaCartella"));
        int answer = 0;
        try {
            throw VelmoraError(VelmoraError::TypeMismatch);
        } catch (...) {
            answer = CallErr(19);
        }
        CallTrail::pop();
        ErrorPresenter::install(previous);

        QCOMPARE(answer, IDIGNORE);
        QCOMPARE(presenter.reports.size(), 1);
        const QStringList lines = presenter.reports.first().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(0), QStringLiteral("Errore n. 13: Tipo non corrispondente"));
        QCOMPARE(lines.value(1), QStringLiteral("Procedura StampaCartella nel modulo RIDODUR"));
        QCOMPARE(lines.value(2), QStringLiteral("alla riga 19"));
        const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
        QVERIFY(lines.value(4).startsWith(QStringLiteral("Programma: ") + folder +
                                          QDir::separator() + QStringLiteral("Velmora 2018")));
        // The last line is the running executable itself, whatever its name.
        QCOMPARE(lines.value(5), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QVERIFY(QFileInfo::exists(lines.value(5)));
    }

    void callErrAnswersAbortWithoutAWindow() {
        RecordingPresenter failing;
        failing.fail = true;
        ErrorPresenter *previous = ErrorPresenter::install(nullptr);
        const int withoutPresenter = CallErr(Failure{6, QStringLiteral("Overflow"), 1});
        ErrorPresenter::install(&failing);
        const int whenShowingFails = CallErr(Failure{6, QStringLiteral("Overflow"), 1});
        ErrorPresenter::install(previous);
        QCOMPARE(withoutPresenter, IDABORT);
        QCOMPARE(whenShowingFails, IDABORT);
        QCOMPARE(failing.reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestErrorReport)
#include "tst_ErrorReport.moc"
