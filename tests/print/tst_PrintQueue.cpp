#include "app/PrintPage.h"
#include "errors/MessagePresenter.h"
#include "evening/RunRegistration.h"
#include "print/CardArchive.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterSurface.h"
#include "print/PrinterTarget.h"
#include "print/SeriesGenerator.h"
#include "print/StampaCartelle.h"
#include "settings/SettingsFile.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/PrintQueues.h"
#include "tests/support/RecordingPresenter.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace velmora::testing;

using namespace velmora;

// Prints through a real CUPS queue, "VelmoraTest", whose PDF backend writes each job into a
// folder of this test: the program's own path to a printer, from the print run to the spooler.
using velmora::testing::RecordingPresenter;

namespace {

const QString queue = QStringLiteral("VelmoraTest");
constexpr int spoolTimeoutMs = 120000;

QString scriptPath() {
    return QStringLiteral(VELMORA_SOURCE_DIR "/scripts/test-printer.sh");
}

bool queueEmpty() {
    const ToolOutcome jobs = runTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    return jobs.ok && jobs.output.trimmed().isEmpty();
}

// The job files in the folder, oldest job first.
QStringList jobFiles(const QString &folder) {
    static const QRegularExpression jobId(QStringLiteral("job_(\\d+)\\.pdf$"));
    QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    std::sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return jobId.match(a.fileName()).captured(1).toInt() <
               jobId.match(b.fileName()).captured(1).toInt();
    });
    QStringList result;
    for (const QFileInfo &file : files) {
        result.append(file.absoluteFilePath());
    }
    return result;
}

QString pageRotation(const QString &pdf) {
    const auto info = toolOutput(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression rotation(QStringLiteral("^Page rot:\\s+(\\d+)"),
                                             QRegularExpression::MultilineOption);
    const auto match = info ? rotation.match(*info) : QRegularExpressionMatch();
    return match.hasMatch() ? match.captured(1) : QString();
}

QStringList cardNumbers(const QString &pdf) {
    QStringList found;
    for (const PrintedNumber &printed : printedCardNumbers(pdf)) {
        found.append(printed.number);
    }
    found.sort();
    return found;
}

} // namespace

class TestPrintQueue : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_outFolder;
    QString m_archiveFolder;
    bool m_startedScheduler = false;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void runsComeOutOfTheQueue_data();
    void runsComeOutOfTheQueue();
    void queueStoppedOrRefusingDuringTheRun_data();
    void queueStoppedOrRefusingDuringTheRun();
};

void TestPrintQueue::initTestCase() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    if (!QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd")) ||
        !QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")) ||
        QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty()) {
        QSKIP("cups, cups-client and printer-driver-cups-pdf are not installed "
              "(scripts/deps.sh test installs them)");
    }
    const bool running = schedulerRunning();
    if (!running && ::geteuid() != 0) {
        QSKIP("no CUPS scheduler is running and starting one needs root: run the tests as root "
              "(scripts/test.sh) to print through a real queue");
    }
    QVERIFY(m_dir.isValid());
    m_outFolder = m_dir.filePath(QStringLiteral("coda"));
    QVERIFY(QDir().mkpath(m_outFolder));
    // cups-pdf writes as its own user: the folder must be open to it.
    QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7777));
    QFile::setPermissions(m_outFolder, QFile::Permissions(0x7777));
    const ToolOutcome started =
        runTool(QStringLiteral("bash"), {scriptPath(), QStringLiteral("start"), m_outFolder});
    if (!started.ok) {
        QSKIP(qPrintable(QStringLiteral("the test print queue could not be set up: %1")
                             .arg(started.output.trimmed())));
    }
    m_startedScheduler = !running;
    QTRY_VERIFY_WITH_TIMEOUT(PrinterTarget::installedPrinters().contains(queue), 10000);

    m_archiveFolder = m_dir.filePath(QStringLiteral("archivio"));
    QVERIFY(QDir().mkpath(m_archiveFolder));
    QFile archive(QDir(m_archiveFolder).filePath(CardArchive::fileName));
    QVERIFY(archive.open(QIODevice::WriteOnly));
    archive.write(SeriesGenerator::makeArchive(60, 11));
}

void TestPrintQueue::cleanupTestCase() {
    if (m_startedScheduler) {
        runTool(QStringLiteral("bash"), {scriptPath(), QStringLiteral("stop")});
    }
}

void TestPrintQueue::runsComeOutOfTheQueue_data() {
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("rotation");
    QTest::newRow("portrait: cards 1 to 6 on two pages")
        << false << "4" << QStringList{"00001", "00002", "00003", "00004", "00005", "00006"} << "0";
    QTest::newRow("landscape: cards 1 to 12 on two pages")
        << true << "8" << QStringList{"00001", "00002", "00003", "00004", "00005", "00006",
                                      "00007", "00008", "00009", "00010", "00011", "00012"}
        << "90";
}

void TestPrintQueue::runsComeOutOfTheQueue() {
    QFETCH(bool, landscape);
    QFETCH(QString, count);
    QFETCH(QStringList, numbers);
    QFETCH(QString, rotation);
    QVERIFY(CurrentPrinter::target().selectPrinter(queue));
    QCOMPARE(CurrentPrinter::target().deviceName(), queue);

    Configurazione settings = SettingsFile::defaults();
    QWidget main;
    auto *page = new PrintPage(settings, &main);
    page->applySettings();
    page->findChild<QRadioButton *>(QStringLiteral("NumCartella(1)"))->click();
    page->findChild<QRadioButton *>(landscape ? QStringLiteral("optOrientamento(0)")
                                              : QStringLiteral("optOrientamento(1)"))
        ->click();
    page->box(PrintBox::PrimaCartella)->setText(QStringLiteral("1"));
    page->box(PrintBox::NCartelle)->setText(count);
    main.show();

    const int jobsBefore = static_cast<int>(jobFiles(m_outFolder).size());
    RecordingPresenter messages;
    StampaCartelle run(main, page->request(), settings, messages, CurrentPrinter::surface(),
                       RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    QCOMPARE(run.run(), StampaCartelle::Result::Completed);
    for (const QString &message : messages.avvisi) {
        QVERIFY2(message.startsWith(QStringLiteral("Printer.PrintQuality =")), qPrintable(message));
    }

    // The job has left the queue and its file is complete once the queue is empty.
    QTRY_VERIFY_WITH_TIMEOUT(queueEmpty() && jobFiles(m_outFolder).size() > jobsBefore,
                             spoolTimeoutMs);
    const QString pdf = jobFiles(m_outFolder).last();
    QCOMPARE(pdfPageCount(pdf), 2);
    QCOMPARE(pageRotation(pdf), rotation);
    QCOMPARE(cardNumbers(pdf), numbers);
}

void TestPrintQueue::queueStoppedOrRefusingDuringTheRun_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("atCard"); // 0: before the run
    QTest::addColumn<bool>("jobHeld");
    QTest::addColumn<QString>("says");
    QTest::newRow("stopped before the run: the job waits")
        << "cupsdisable" << 0 << true << "Il lavoro è in attesa";
    QTest::newRow("stopped in the middle of the run: the job waits")
        << "cupsdisable" << 3 << true << "Il lavoro è in attesa";
    QTest::newRow("refusing jobs from the middle of the run")
        << "cupsreject" << 3 << false << "non ha accettato il lavoro";
}

void TestPrintQueue::queueStoppedOrRefusingDuringTheRun() {
    QFETCH(QString, command);
    QFETCH(int, atCard);
    QFETCH(bool, jobHeld);
    QFETCH(QString, says);
    // A queue of this test's own, so that stopping it holds up no other print.
    const OwnQueue own(QStringLiteral("VelmoraTestFerma"), queue);
    if (!own.made()) {
        QSKIP(qPrintable(
            QStringLiteral("a second test queue could not be made: %1").arg(own.error())));
    }
    const QString held = own.name();
    QTRY_VERIFY_WITH_TIMEOUT(PrinterTarget::installedPrinters().contains(held), 10000);
    QVERIFY(CurrentPrinter::target().selectPrinter(held));

    Configurazione settings = SettingsFile::defaults();
    QWidget main;
    auto *page = new PrintPage(settings, &main);
    page->applySettings();
    page->box(PrintBox::PrimaCartella)->setText(QStringLiteral("1"));
    page->box(PrintBox::NCartelle)->setText(QStringLiteral("8"));
    main.show();

    if (atCard == 0) {
        QVERIFY(runTool(command, {held}).ok);
    }
    RecordingPresenter messages;
    StampaCartelle run(main, page->request(), settings, messages, CurrentPrinter::surface(),
                       RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    connect(&run, &StampaCartelle::cartellaStampata, this, [&](int done, int) {
        if (done == atCard) {
            QVERIFY(runTool(command, {held}).ok);
        }
    });
    const StampaCartelle::Result result = run.run();
    QCOMPARE(result, jobHeld ? StampaCartelle::Result::Completed : StampaCartelle::Result::Failed);
    QStringList said;
    for (const QString &message : messages.avvisi) {
        if (!message.startsWith(QStringLiteral("Printer.PrintQuality ="))) {
            said.append(message);
        }
    }
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(says) && said.first().contains(held), qPrintable(said.first()));
    if (!jobHeld) {
        QVERIFY2(said.first().contains(QStringLiteral("Nessuna cartella è stata stampata")),
                 qPrintable(said.first()));
    }
    const ToolOutcome jobs = runTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), held});
    QCOMPARE(!jobs.output.trimmed().isEmpty(), jobHeld);
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    QVERIFY(main.isEnabled());
    QCOMPARE(main.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!run.stopWindow());
}

QTEST_MAIN(TestPrintQueue)
#include "tst_PrintQueue.moc"
