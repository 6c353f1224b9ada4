#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"

#include <QtTest>

using velmora::ArchiveValidator;
using velmora::CardArchive;

namespace {

const QString maker =
    QStringLiteral(VELMORA_BINARY_DIR "/tools/archive-maker/velmora-archive-maker");

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result run(const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(maker, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestArchiveMaker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(maker).isExecutable(),
                 "build the whole project first (velmora-archive-maker)");
    }

    void badArgumentsAreRefusedAndTouchNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no card count") << QStringList{"--seme", "3"} << "manca l'opzione --carte";
        QTest::newRow("zero cards") << QStringList{"--carte", "0"} << "da 1 a 99999";
        QTest::newRow("too many cards") << QStringList{"--carte", "100000"} << "da 1 a 99999";
        QTest::newRow("cards not a number") << QStringList{"--carte", "molte"} << "\"molte\"";
        QTest::newRow("negative seed")
            << QStringList{"--carte", "6", "--seme", "-1"} << "il seme \"-1\"";
        QTest::newRow("unknown option")
            << QStringList{"--carte", "6", "--fretta"} << "opzione sconosciuta \"--fretta\"";
        QTest::newRow("missing value") << QStringList{"--carte"} << "manca il valore";
    }
    void badArgumentsAreRefusedAndTouchNothing() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("RidoDur.dat"));
        QFile previous(output);
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("precedente");
        previous.close();

        // The output goes first so that a missing value stays the last argument.
        const Result result = run(QStringList{"-o", output} + arguments);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.err.contains(QStringLiteral("Uso: velmora-archive-maker")));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("precedente"));
    }

    void writesAValidArchiveOrSaysWhyNot() {
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("RidoDur.dat"));
        const Result done = run({"--carte", "1202", "--seme", "9", "-o", output});
        QCOMPARE(done.exitCode, 0);
        QVERIFY(done.out.contains(QStringLiteral("1202 cartelle")));
        QCOMPARE(QFileInfo(output).size(), 1202 * 59);
        CardArchive archive(dir.path());
        QVERIFY(ArchiveValidator::checkArchive(archive).isEmpty());

        const Result nowhere = run({"--carte", "6", "-o", dir.filePath("assente/RidoDur.dat")});
        QCOMPARE(nowhere.exitCode, 2);
        QVERIFY2(nowhere.err.contains(QStringLiteral("impossibile scrivere")),
                 qPrintable(nowhere.err));
    }

    void buildPutsTheSampleArchiveNextToTheProgram() {
        const QString folder = QStringLiteral(VELMORA_BINARY_DIR "/data");
        CardArchive archive(folder);
        QCOMPARE(archive.cardCount(), 6000);
        QVERIFY(!archive.hasIncompleteLastRecord());
        QVERIFY(ArchiveValidator::checkArchive(archive).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestArchiveMaker)
#include "tst_ArchiveMaker.moc"
