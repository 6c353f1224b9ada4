// The program velmora-pdf as a user runs it, and its pages beside the window program's.

#include "app/PrintPage.h"
#include "app/SalvaPdf.h"
#include "batch/BatchOptions.h"
#include "errors/MessagePresenter.h"
#include "evening/RunRegistration.h"
#include "print/CardArchive.h"
#include "print/CurrentPrinter.h"
#include "print/PrinterTarget.h"
#include "print/SeriesGenerator.h"
#include "print/StampaCartelle.h"
#include "settings/SettingsFile.h"
#include "ui/FileChooser.h"

#include "tests/support/PdfProbe.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/TestFiles.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <csignal>

using namespace velmora::testing;

using velmora::BatchOptions;
using velmora::CardArchive;
using velmora::Configurazione;
using velmora::CurrentPrinter;
using velmora::PrintBox;
using velmora::PrintPage;
using velmora::RunRegistration;
using velmora::SettingsFile;
using velmora::StampaCartelle;

namespace {

const QString program = QStringLiteral(VELMORA_BINARY_DIR "/velmora-pdf");
const QString sampleFolder = QStringLiteral(VELMORA_BINARY_DIR "/data");

// The window's messages, kept instead of shown.
class KeptMessages : public velmora::MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override { said.append(text); }
    bool conferma(QWidget *, const QString &text) override {
        said.append(text);
        return answer;
    }
    QStringList said;
    bool answer = false;
};

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

Ran runProgram(const QStringList &arguments,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Ran ran;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return ran;
    }
    ran.status = process.exitCode();
    ran.out = QString::fromUtf8(process.readAllStandardOutput());
    ran.err = QString::fromUtf8(process.readAllStandardError());
    return ran;
}

// Words as pdftotext places them, one line each, positions to a hundredth of a point.
QStringList placedWords(const QString &pdf) {
    QStringList lines;
    for (const PdfWord &w : pdfWords(pdf)) {
        lines.append(QStringLiteral("%1 %2 %3 %4 %5 %6")
                         .arg(w.page)
                         .arg(w.box.left(), 0, 'f', 2)
                         .arg(w.box.top(), 0, 'f', 2)
                         .arg(w.box.right(), 0, 'f', 2)
                         .arg(w.box.bottom(), 0, 'f', 2)
                         .arg(w.text));
    }
    return lines;
}

} // namespace

class tst_VelmoraPdf : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_settings;

private slots:
    void initTestCase() {
        // Both are built with this test's target: one missing is a fault of the build.
        QVERIFY2(QFileInfo(program).isExecutable(), "velmora-pdf is not built");
        QVERIFY2(QFileInfo::exists(sampleFolder + u'/' + CardArchive::fileName),
                 "the build has not written the sample archive");
        // Settings far from the defaults: another size, bold, colours, texts with blanks.
        Configurazione settings = SettingsFile::defaults();
        settings.Dimensione = 18;
        settings.setBold(true);
        settings.Titolo = QStringLiteral("  Tombola di Natale ");
        settings.Frase1 = QStringLiteral("Serata della parrocchia");
        settings.ColoreTitolo = 0x0000ff;
        settings.ColorePrimaCinquina = 0x00ff00;
        settings.ColoreGriglia = 0x808080;
        m_settings = m_dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(SettingsFile(m_settings).save(settings).ok);
    }

    // For the same choices the batch program prints the same words at the same places as the
    // window program's print run: the print page filled in, the stop window up, the current
    // printer set to a PDF file; and as the window's "Salva PDF…" on the same page. The rows
    // run one after another on that printer, as the window's runs do.
    void samePagesAsTheWindow_data() {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("cartelle");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("archivio");

        QTest::newRow("60 landscape from 1") << "1"
                                             << "60" << true << false;
        QTest::newRow("8 landscape from 10, archive numbers") << "10"
                                                              << "8" << true << true;
        QTest::newRow("7 portrait from 101, archive numbers") << "101"
                                                              << "7" << false << true;
        QTest::newRow("5 portrait from 3") << "3"
                                           << "5" << false << false;
        QTest::newRow("up to the sample archive's last card") << "5989"
                                                              << "12" << true << false;
        QTest::newRow("last page past the sample archive's end") << "5996"
                                                                 << "4" << true << false;
    }
    void samePagesAsTheWindow() {
        QFETCH(QString, prima);
        QFETCH(QString, cartelle);
        QFETCH(bool, landscape);
        QFETCH(bool, archivio);
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils are not installed");
        }

        const QString batchPdf = m_dir.filePath(QStringLiteral("batch.pdf"));
        const Ran ran = runProgram(
            {QStringLiteral("--prima"), prima, QStringLiteral("--cartelle"), cartelle,
             QStringLiteral("--orientamento"),
             landscape ? QStringLiteral("orizzontale") : QStringLiteral("verticale"),
             QStringLiteral("--numerazione"),
             archivio ? QStringLiteral("archivio") : QStringLiteral("progressiva"),
             QStringLiteral("--archivio"), sampleFolder, QStringLiteral("--configurazione"),
             m_settings, QStringLiteral("-o"), batchPdf});
        QVERIFY2(ran.status == BatchOptions::exitOk, qPrintable(ran.err));

        // The window: its settings as loaded at start-up, the same choices on its print page.
        Configurazione settings;
        QCOMPARE(SettingsFile(m_settings).load(settings).outcome,
                 SettingsFile::LoadOutcome::Loaded);
        SettingsFile::trimTexts(settings);
        QWidget mainWindow;
        auto *page = new PrintPage(settings, &mainWindow);
        page->applySettings();
        page->findChild<QRadioButton *>(
                QStringLiteral("optOrientamento(%1)").arg(landscape ? 0 : 1))
            ->click();
        page->findChild<QRadioButton *>(QStringLiteral("NumCartella(%1)").arg(archivio ? 1 : 0))
            ->click();
        QCOMPARE(page->numerazioneArchivio(), archivio);
        page->box(PrintBox::PrimaCartella)->setText(prima);
        page->box(PrintBox::NCartelle)->setText(cartelle);
        mainWindow.show();

        const QString windowPdf = m_dir.filePath(QStringLiteral("window.pdf"));
        CurrentPrinter::target().selectPdfFile(windowPdf);
        KeptMessages messages;
        StampaCartelle run(mainWindow, page->request(), settings, messages,
                           CurrentPrinter::surface(), RunRegistration::opener());
        run.setArchiveFolders({sampleFolder});
        QCOMPARE(run.run(), StampaCartelle::Result::Completed);
        // A fresh printer is not at 300 dots per inch: the window says so, and prints anyway.
        for (const QString &said : messages.said) {
            QVERIFY2(said.startsWith(QStringLiteral("Printer.PrintQuality =")), qPrintable(said));
        }

        QCOMPARE(pdfPageCount(windowPdf), pdfPageCount(batchPdf));
        QCOMPARE(pdfPageSize(windowPdf), pdfPageSize(batchPdf));
        const QStringList batchWords = placedWords(batchPdf);
        const QStringList windowWords = placedWords(windowPdf);
        QVERIFY(batchWords.size() > cartelle.toInt() * 10);
        QCOMPARE(windowWords.size(), batchWords.size());
        for (qsizetype i = 0; i < batchWords.size(); ++i) {
            QCOMPARE(windowWords.at(i), batchWords.at(i));
        }

        // "Salva PDF…" on the same page, the file dialog answered with the name it proposes.
        struct ProposedName : velmora::FileChooser {
            QString folder;
            QString fileToSave(QWidget *, const QString &, const QString &offered) override {
                return QDir(folder).filePath(QFileInfo(offered).fileName());
            }
        } chooser;
        chooser.folder = m_dir.path();
        velmora::SalvaPdf save(mainWindow, *page, settings);
        save.setFileChooser(&chooser);
        save.setArchiveFolders({sampleFolder});
        KeptMessages saveMessages;
        saveMessages.answer = true; // the same cards again this evening, on purpose
        QCOMPARE(save.run(saveMessages), velmora::SalvaPdf::Result::Saved);
        const int perPage = landscape ? 6 : 3;
        const int last = prima.toInt() + (cartelle.toInt() + perPage - 1) / perPage * perPage - 1;
        const QString savedPdf =
            m_dir.filePath(QStringLiteral("cartelle-%1-%2.pdf").arg(prima).arg(last));
        QCOMPARE(pdfPageSize(savedPdf), pdfPageSize(batchPdf));
        QCOMPARE(placedWords(savedPdf), batchWords);
        QVERIFY(QFile::remove(savedPdf));
    }

    // Usage errors: status 2, the reason in the program's words on the error stream, and a
    // pointer to the help; nothing on standard output.
    void usageErrorsGiveStatus2_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("nothing") << QStringList{} << "Indicare dove stampare";
        QTest::newRow("unknown option") << QStringList{"--pagine", "3"} << "Opzione sconosciuta";
        QTest::newRow("bad orientation")
            << QStringList{"--cartelle", "6", "-o", "x.pdf", "--orientamento", "3"}
            << "--orientamento vuole \"orizzontale\"";
        QTest::newRow("missing value")
            << QStringList{"--verifica", "--archivio"} << "Manca il valore dopo --archivio";
        QTest::newRow("unknown platform")
            << QStringList{"--piattaforma", "xyz", "--cartelle", "6", "-o", "x.pdf"}
            << "La piattaforma grafica \"xyz\" non si può usare (piattaforme disponibili: ";
    }
    void usageErrorsGiveStatus2() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const Ran ran = runProgram(arguments);
        QCOMPARE(ran.status, BatchOptions::exitUsage);
        QVERIFY2(ran.err.contains(QStringLiteral("velmora-pdf: ") + said), qPrintable(ran.err));
        QVERIFY(ran.err.contains(QStringLiteral("--help")));
        QVERIFY(ran.out.isEmpty());
    }

    // A file name whose bytes are not UTF-8 would come back as another name: it is refused,
    // shown with its bytes, and nothing is written under any name.
    void namesThatAreNotUtf8AreRefused_data() {
        QTest::addColumn<QString>("arguments"); // for the shell: $N is the name's bytes
        QTest::newRow("output") << "--cartelle 6 -o \"$N\"";
        QTest::newRow("archive folder") << "--cartelle 6 --archivio \"$N\" -o x.pdf";
        QTest::newRow("settings file") << "--cartelle 6 --configurazione \"$N\" -o x.pdf";
    }
    void namesThatAreNotUtf8AreRefused() {
        QFETCH(QString, arguments);
        QTemporaryDir folder;
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("N=$(printf 'caf\\351.pdf'); exec \"$0\" ") + arguments,
                       program});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), BatchOptions::exitUsage);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral("velmora-pdf: L'argomento \"caf\\xE9.pdf\" non "
                                               "è testo UTF-8 valido")),
                 qPrintable(err));
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    // Help and version go to standard output with status 0; a missing archive is status 1.
    void helpVersionAndMissingArchive() {
        Ran ran = runProgram({QStringLiteral("--help")});
        QCOMPARE(ran.status, BatchOptions::exitOk);
        QVERIFY(ran.out.startsWith(QStringLiteral("Uso: velmora-pdf")));
        ran = runProgram({QStringLiteral("--version")});
        QCOMPARE(ran.status, BatchOptions::exitOk);
        QVERIFY(ran.out.startsWith(QStringLiteral("velmora-pdf ")));

        QTemporaryDir empty;
        const QString pdf = empty.filePath(QStringLiteral("x.pdf"));
        ran = runProgram({QStringLiteral("--cartelle"), QStringLiteral("6"),
                          QStringLiteral("--archivio"), empty.path(), QStringLiteral("-o"), pdf});
        QCOMPARE(ran.status, BatchOptions::exitFailed);
        QVERIFY2(ran.err.contains(QStringLiteral("RidoDur.dat")), qPrintable(ran.err));
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    // The sample archive is sound; off a terminal a run ends with a one-line summary and
    // draws no progress bar.
    void checkAndSummary() {
        Ran ran =
            runProgram({QStringLiteral("--verifica"), QStringLiteral("--archivio"), sampleFolder});
        QCOMPARE(ran.status, BatchOptions::exitOk);
        QVERIFY2(ran.out.contains(QStringLiteral("l'archivio è integro")), qPrintable(ran.out));

        const QString pdf = m_dir.filePath(QStringLiteral("summary.pdf"));
        ran =
            runProgram({QStringLiteral("--cartelle"), QStringLiteral("60"),
                        QStringLiteral("--archivio"), sampleFolder,
                        QStringLiteral("--configurazione"), m_settings, QStringLiteral("-o"), pdf});
        QCOMPARE(ran.status, BatchOptions::exitOk);
        QVERIFY2(ran.err.contains(QStringLiteral("Stampate 60 cartelle su 10 pagine in ")),
                 qPrintable(ran.err));
        QVERIFY(!ran.err.contains(u'\r'));
    }

    // The program needs no display: whatever platform the environment names, it draws off
    // screen unless told otherwise with its own option. -o - writes the PDF to standard output.
    void runsHeadlessAndToStandardOutput_data() {
        QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM; DISPLAY and WAYLAND_* unset
        QTest::addColumn<QString>("output");
        QTest::newRow("xcb without a display") << "xcb"
                                               << "file";
        QTest::newRow("wayland without a compositor") << "wayland"
                                                      << "file";
        QTest::newRow("standard output") << ""
                                         << "-";
    }
    void runsHeadlessAndToStandardOutput() {
        QFETCH(QString, platform);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        QTemporaryDir folder;
        const QString pdf = output == u"-" ? output : folder.filePath(QStringLiteral("x.pdf"));
        const Ran ran =
            runProgram({QStringLiteral("--cartelle"), QStringLiteral("6"),
                        QStringLiteral("--archivio"), sampleFolder,
                        QStringLiteral("--configurazione"), m_settings, QStringLiteral("-o"), pdf},
                       environment);
        QCOMPARE(ran.status, BatchOptions::exitOk);
        QVERIFY2(ran.err.contains(QStringLiteral("Stampate 6 cartelle")), qPrintable(ran.err));
        const QString written =
            output == u"-" ? ran.out : QString::fromLatin1(velmora::testing::readAll(pdf));
        QVERIFY(written.startsWith(QStringLiteral("%PDF-")));
        QVERIFY(written.contains(QStringLiteral("%%EOF")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 output == u"-" ? 0 : 1);
    }

    // A disk that fills up under the program: the cause is said from the file system's own
    // answer, however the PDF engine gives up (the file found cut short, or a page refused).
    void fullDiskIsSaid_data() {
        QTest::addColumn<QString>("cards");
        QTest::addColumn<QByteArray>("diskSize");
        QTest::newRow("2 pages on 16 KiB") << "12" << QByteArray("16k");
        QTest::newRow("100 pages on 64 KiB") << "600" << QByteArray("64k");
    }
    void fullDiskIsSaid() {
        QFETCH(QString, cards);
        QFETCH(QByteArray, diskSize);
        QTemporaryDir folder;
        const velmora::testing::SmallTmpfs disk(folder.path(), diskSize.constData());
        if (!disk.isMounted()) {
            QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill: ") + disk.why()));
        }
        const Ran ran =
            runProgram({QStringLiteral("--cartelle"), cards, QStringLiteral("--archivio"),
                        sampleFolder, QStringLiteral("--configurazione"), m_settings,
                        QStringLiteral("-o"), folder.filePath(QStringLiteral("x.pdf"))});
        QCOMPARE(ran.status, BatchOptions::exitFailed);
        QVERIFY2(ran.err.contains(QStringLiteral("il disco è pieno")) &&
                     !ran.err.contains(QStringLiteral("nuova pagina")) && !ran.err.contains(u'?'),
                 qPrintable(ran.err));
        QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // A signal in the middle of a run, once its temporary file is there. SIGTERM (or Ctrl+C):
    // status 1, "Stampa interrotta", and no file under the requested name nor a temporary one
    // beside it. SIGHUP to a run started with it ignored (nohup): the run goes on to the end.
    // SIGKILL leaves the temporary file, and the next run writing to that folder removes it.
    void signalInTheMiddleOfARun_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("hangupIgnored");
        QTest::addColumn<int>("status"); // -1: killed
        QTest::addColumn<QString>("said");
        QTest::newRow("SIGTERM") << SIGTERM << false << int(BatchOptions::exitFailed)
                                 << "Stampa interrotta";
        QTest::newRow("SIGHUP") << SIGHUP << false << int(BatchOptions::exitFailed)
                                << "Stampa interrotta";
        QTest::newRow("SIGHUP under nohup") << SIGHUP << true << 0 << "Stampate 3000 cartelle";
        QTest::newRow("SIGKILL") << SIGKILL << false << -1 << "";
    }
    void signalInTheMiddleOfARun() {
        QFETCH(int, signal);
        QFETCH(bool, hangupIgnored);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir archiveFolder;
        QVERIFY(writeAll(archiveFolder.filePath(CardArchive::fileName),
                         velmora::SeriesGenerator::makeArchive(3000, 3)));
        QTemporaryDir folder;
        const auto names = [&folder] {
            return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        };
        QProcess process;
        if (hangupIgnored) {
            process.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
        }
        process.start(program, {QStringLiteral("--cartelle"), QStringLiteral("3000"),
                                QStringLiteral("--archivio"), archiveFolder.path(),
                                QStringLiteral("--configurazione"), m_settings,
                                QStringLiteral("-o"), folder.filePath(QStringLiteral("long.pdf"))});
        QVERIFY(process.waitForStarted());
        // The temporary file appears once the run has begun (after the signals are caught).
        QTRY_VERIFY_WITH_TIMEOUT(!names().isEmpty(), 60000);
        QCOMPARE(process.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(120000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (status < 0) {
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);
            QCOMPARE(names().filter(QStringLiteral(".part")).size(), 1);
            const Ran next = runProgram(
                {QStringLiteral("--cartelle"), QStringLiteral("6"), QStringLiteral("--archivio"),
                 archiveFolder.path(), QStringLiteral("--configurazione"), m_settings,
                 QStringLiteral("-o"), folder.filePath(QStringLiteral("breve.pdf"))});
            QCOMPARE(next.status, 0);
            QCOMPARE(names(), QStringList{QStringLiteral("breve.pdf")});
            return;
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(err.contains(said), qPrintable(err));
        QCOMPARE(names(), status == 0 ? QStringList{QStringLiteral("long.pdf")} : QStringList{});
    }
};

QTEST_MAIN(tst_VelmoraPdf)
#include "tst_VelmoraPdf.moc"
