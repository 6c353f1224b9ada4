#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "evening/RegisterDatabase.h"
#include "print/CardArchive.h"
#include "print/PdfTarget.h"
#include "print/SeriesGenerator.h"
#include "settings/SettingsFile.h"

#include "tests/support/BatchExec.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/RegisterFixture.h"
#include "tests/support/RunFaults.h"
#include "tests/support/TestFiles.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace velmora::testing;

using velmora::BatchOptions;
using velmora::BatchRun;
using velmora::CardArchive;
using velmora::Configurazione;
using velmora::PageTarget;
using velmora::PdfTarget;
using velmora::RecordCartella;
using velmora::SeriesGenerator;
using velmora::SettingsFile;
using velmora::testing::readAll;

namespace {

constexpr int archiveCards = 120;

// A PDF target that also counts how each document ended, as a printer queue would see it.
class CountingTarget : public PageTarget {
public:
    CountingTarget(const QString &file, int *ended, int *aborted)
        : m_pdf(file), m_ended(ended), m_aborted(aborted) {}
    QPageLayout pageLayout() const override { return m_pdf.pageLayout(); }
    void setPageOrientation(QPageLayout::Orientation o) override { m_pdf.setPageOrientation(o); }
    int resolution() const override { return m_pdf.resolution(); }
    void setResolution(int dpi) override { m_pdf.setResolution(dpi); }
    QPagedPaintDevice *beginDocument() override {
        m_wasAborted = false;
        return m_pdf.beginDocument();
    }
    bool newPage() override { return m_pdf.newPage(); }
    void endDocument() override {
        m_pdf.endDocument();
        ++*(m_wasAborted ? m_aborted : m_ended);
    }
    void abortDocument() override {
        m_wasAborted = true;
        m_pdf.abortDocument();
    }
    QString description() const override { return QStringLiteral("la stampante \"Prova\""); }

private:
    PdfTarget m_pdf;
    int *m_ended;
    int *m_aborted;
    bool m_wasAborted = false;
};

} // namespace

class tst_BatchRun : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_archive;  // folder of a sound archive
    QString m_settings; // a settings file with landscape and first card 1
    QString m_out;
    QString m_err;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    int exec(const QString &arguments, BatchRun *configured = nullptr) {
        const auto noSettingsFile = [this](BatchRun &run) {
            run.setDefaultSettingsPath(path(QStringLiteral("absent/vel.cnf")));
        };
        return execBatch(arguments, m_out, m_err, noSettingsFile, configured);
    }

    // Files of the folder other than the archive and settings: what a run left behind.
    QStringList leftovers(const QString &folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("archive"));
        QDir(m_dir.path()).mkpath(QStringLiteral("out"));
        m_archive = path(QStringLiteral("archive"));
        QFile archive(m_archive + u'/' + CardArchive::fileName);
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.write(SeriesGenerator::makeArchive(archiveCards, 17));
        archive.close();
        m_settings = path(QStringLiteral("vel.cnf"));
        QVERIFY(SettingsFile(m_settings).save(SettingsFile::defaults()).ok);
        Configurazione damaged = SettingsFile::defaults();
        damaged.PrimaCartella = -18351;
        QVERIFY(SettingsFile(path(QStringLiteral("damaged.cnf"))).save(damaged).ok);
    }

    void init() {
        BatchRun::clearStopRequest();
        for (const QString &name : leftovers(path(QStringLiteral("out")))) {
            QFile::remove(path(QStringLiteral("out/") + name));
        }
    }

    // A completed run: the file under its name with every page, nothing else left beside it,
    // the permissions of any new file, and the summary.
    void completedRunWritesTheWholeFile_data() {
        QTest::addColumn<QString>("choices");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("cards");
        QTest::addColumn<bool>("landscapePage");

        QTest::newRow("60 landscape") << "--cartelle 60" << 10 << 60 << true;
        QTest::newRow("8 landscape fill the page") << "--cartelle 8 --prima 10" << 2 << 12 << true;
        QTest::newRow("4 portrait") << "--cartelle 4 --orientamento verticale" << 2 << 6 << false;
        QTest::newRow("first 0 is card 1, archive numbers")
            << "--cartelle 3 --prima 0 --numerazione archivio --orientamento verticale" << 1 << 3
            << false;
        // The cards asked for are there; the slots past the archive's end stay blank.
        QTest::newRow("last page past the archive's end")
            << "--cartelle 8 --prima 113" << 2 << 8 << true;
        QTest::newRow("portrait page past the archive's end")
            << "--cartelle 2 --prima 119 --orientamento verticale" << 1 << 2 << false;
    }
    void completedRunWritesTheWholeFile() {
        QFETCH(QString, choices);
        QFETCH(int, pages);
        QFETCH(int, cards);
        QFETCH(bool, landscapePage);
        const QString file = path(QStringLiteral("out/run.pdf"));
        QCOMPARE(exec(QStringLiteral("%1 --archivio %2 --configurazione %3 -o %4")
                          .arg(choices, m_archive, m_settings, file)),
                 BatchOptions::exitOk);
        QCOMPARE(leftovers(path(QStringLiteral("out"))), QStringList{QStringLiteral("run.pdf")});
        QVERIFY2(m_err.contains(
                     QStringLiteral("Stampate %1 cartelle su %2 pagin").arg(cards).arg(pages)),
                 qPrintable(m_err));
        QVERIFY2(m_err.contains(
                     QStringLiteral("archivio \"%1/RidoDur.dat\" (120 cartelle)").arg(m_archive)),
                 qPrintable(m_err));

        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0666 & ~mask);

        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils are not installed");
        }
        QCOMPARE(pdfPageCount(file), pages);
        const QSizeF size = pdfPageSize(file);
        QCOMPARE(size.width() > size.height(), landscapePage);
    }

    // The run's defaults come from the settings: the stored orientation and first card. A
    // missing default settings file means the defaults, and is not created by this program.
    void choicesFromTheSettings() {
        Configurazione stored = SettingsFile::defaults();
        stored.Orientamento = 1;
        stored.PrimaCartella = 31;
        const QString settings = path(QStringLiteral("portrait.cnf"));
        QVERIFY(SettingsFile(settings).save(stored).ok);
        const QString file = path(QStringLiteral("out/stored.pdf"));
        QCOMPARE(exec(QStringLiteral("--cartelle 3 --numerazione archivio --archivio %1 "
                                     "--configurazione %2 -o %3")
                          .arg(m_archive, settings, file)),
                 BatchOptions::exitOk);
        if (pdfToolsAvailable()) {
            const auto words = pdfWords(file);
            // "N." and the number may come out as one word.
            const auto printed = [&words](const QString &number) {
                return std::any_of(words.cbegin(), words.cend(),
                                   [&](const PdfWord &w) { return w.text.endsWith(number); });
            };
            QVERIFY(printed(QStringLiteral("00031")));
            QVERIFY(printed(QStringLiteral("00033")));
            QVERIFY(!printed(QStringLiteral("00034")));
            const QSizeF size = pdfPageSize(file);
            QVERIFY(size.height() > size.width());
        }

        QCOMPARE(exec(QStringLiteral("--cartelle 6 --archivio %1 -o %2").arg(m_archive, file)),
                 BatchOptions::exitOk);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("absent/vel.cnf"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("absent"))));
    }

    // Runs refused before anything is printed: status 1, the reason, and no file at all.
    void refusedRuns_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("said");

        QTest::newRow("beyond the 16-bit card numbers")
            << "--prima 32760 --cartelle 12 --archivio ARCHIVE -o OUT"
            << "si possono stampare al massimo 6 cartelle";
        QTest::newRow("count beyond the card numbers")
            << "--cartelle 40000 --archivio ARCHIVE -o OUT"
            << "al massimo 32766 cartelle";
        QTest::newRow("first card beyond the card numbers")
            << "--prima 40000 --cartelle 6 --archivio ARCHIVE -o OUT"
            << "non può essere 40000";
        QTest::newRow("cards beyond the archive")
            << "--prima 113 --cartelle 10 --archivio ARCHIVE -o OUT"
            << "contiene 120 cartelle: le cartelle da 121 a 122 non ci sono (sarebbero stampate "
               "senza numeri); dalla cartella 113 se ne possono stampare al massimo 8;";
        QTest::newRow("one card beyond the archive")
            << "--prima 120 --cartelle 2 --archivio ARCHIVE -o OUT"
            << "la cartella 121 non c'è (sarebbe stampata senza numeri); dalla cartella 120 se ne "
               "può stampare al massimo 1;";
        QTest::newRow("first card beyond the archive")
            << "--prima 200 --cartelle 3 --archivio ARCHIVE -o OUT"
            << "le cartelle da 200 a 202 non ci sono (sarebbero stampate senza numeri); nessuna";
        QTest::newRow("output folder is a file")
            << "--cartelle 6 --archivio ARCHIVE -o ARCHIVE/RidoDur.dat/x.pdf"
            << "RidoDur.dat\" è un file, non una cartella";
        QTest::newRow("no archive in the folder") << "--cartelle 6 --archivio EMPTY -o OUT"
                                                  << "RidoDur.dat";
        QTest::newRow("archive folder missing") << "--cartelle 6 --archivio EMPTY/no -o OUT"
                                                << "non esiste";
        QTest::newRow("settings file missing")
            << "--cartelle 6 --archivio ARCHIVE --configurazione EMPTY/vel.cnf -o OUT"
            << "l file di configurazione \"";
        QTest::newRow("settings file is a folder")
            << "--cartelle 6 --archivio ARCHIVE --configurazione EMPTY -o OUT"
            << "cartella";
        QTest::newRow("output folder missing")
            << "--cartelle 6 --archivio ARCHIVE -o EMPTY/no/x.pdf"
            << "non esiste";
        QTest::newRow("output is a folder") << "--cartelle 6 --archivio ARCHIVE -o EMPTY"
                                            << "è una cartella";
        // A file system that is not full but takes no files.
        QTest::newRow("output where no file can be made")
            << "--cartelle 6 --archivio ARCHIVE -o /proc/velmora.pdf"
            << "nella cartella \"/proc\" non si possono creare file";
        QTest::newRow("no printer layer") << "--cartelle 6 --archivio ARCHIVE --stampante P"
                                          << "non è disponibile";
        QTest::newRow("a damaged first card in the settings")
            << "--cartelle 6 --archivio ARCHIVE --configurazione DAMAGED -o OUT"
            << "configurazione \"" + path(QStringLiteral("damaged.cnf")) + "\" è -18351";
        QTest::newRow("a 2 GB archive") << "--cartelle 6 --archivio HUGE -o OUT"
                                        << "è troppo grande";
        QTest::newRow("a 2 GB archive checked") << "--verifica --archivio HUGE"
                                                << "è troppo grande";
    }
    void refusedRuns() {
        QFETCH(QString, arguments);
        QFETCH(QString, said);
        QTemporaryDir empty;
        const QString file = path(QStringLiteral("out/refused.pdf"));
        arguments.replace(QStringLiteral("ARCHIVE"), m_archive)
            .replace(QStringLiteral("EMPTY"), empty.path())
            .replace(QStringLiteral("OUT"), file)
            .replace(QStringLiteral("DAMAGED"), path(QStringLiteral("damaged.cnf")));
        QTemporaryDir huge; // a sparse 2 GB archive: no disk space taken
        if (arguments.contains(QStringLiteral("HUGE"))) {
            QFile archive(huge.filePath(CardArchive::fileName));
            QVERIFY(archive.open(QIODevice::WriteOnly) && archive.resize(qint64(2) << 30));
            archive.close();
            arguments.replace(QStringLiteral("HUGE"), huge.path());
        }
        QCOMPARE(exec(arguments), BatchOptions::exitFailed);
        QVERIFY2(m_err.startsWith(QStringLiteral("velmora-pdf: ")), qPrintable(m_err));
        QVERIFY2(m_err.contains(said), qPrintable(m_err));
        QVERIFY2(!m_err.contains(QStringLiteral("  ")), qPrintable(m_err));
        QVERIFY(leftovers(path(QStringLiteral("out"))).isEmpty());
        QVERIFY(QDir(empty.path()).isEmpty());
    }

    // A disk that fills up under the run: the PDF engine says nothing, the finished file is
    // found cut short, and neither it nor its temporary file is left.
    void fullDiskLeavesNoFile_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<QByteArray>("diskSize");
        QTest::newRow("two pages: the file found cut short") << 12 << QByteArray("16k");
        QTest::newRow("twenty pages: a page refused on the way") << 120 << QByteArray("64k");
    }
    void fullDiskLeavesNoFile() {
        QFETCH(int, cards);
        QFETCH(QByteArray, diskSize);
        const QString folder = path(QStringLiteral("piena"));
        QVERIFY(QDir().mkpath(folder));
        SmallTmpfs disk(folder, diskSize.constData());
        if (!disk.isMounted()) {
            QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill: ") + disk.why()));
        }
        const QString file = QDir(folder).filePath(QStringLiteral("cartelle.pdf"));
        QCOMPARE(exec(QStringLiteral("--cartelle %1 --archivio %2 -o %3")
                          .arg(QString::number(cards), m_archive, file)),
                 BatchOptions::exitFailed);
        // The cause, from the file system's answer, in every way the engine gives up.
        QVERIFY2(m_err.contains(QStringLiteral("\"%1\"").arg(file)) &&
                     m_err.contains(QStringLiteral("il disco è pieno")) &&
                     !m_err.contains(QStringLiteral("nuova pagina")),
                 qPrintable(m_err));
        QVERIFY2(!m_err.contains(QStringLiteral(".part")), qPrintable(m_err));
        QVERIFY(leftovers(folder).isEmpty());
    }

    // A run stopped (as by Ctrl+C) keeps the older file of that name as it was, leaves no
    // temporary file, and says it was interrupted.
    void interruptedRunLeavesNoFile() {
        const QString file = path(QStringLiteral("out/kept.pdf"));
        QFile older(file);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("%PDF-1.4 older contents");
        older.close();

        QTextStream out(&m_out);
        QTextStream err(&m_err);
        BatchRun run(out, err);
        run.setDefaultSettingsPath(m_settings);
        QString during;
        run.setCardHook([&](int done, int) {
            if (done == 7) {
                during = leftovers(path(QStringLiteral("out"))).join(u',');
                BatchRun::requestStop();
            }
        });
        QCOMPARE(
            exec(QStringLiteral("--cartelle 60 --archivio %1 -o %2").arg(m_archive, file), &run),
            BatchOptions::exitFailed);
        err.flush();
        // While the run was on, its pages went to a hidden file beside the old one, named short
        // and after the run's process.
        QVERIFY2(during.contains(QStringLiteral(".vlm%1-").arg(::getpid())), qPrintable(during));
        QVERIFY2(m_err.contains(QStringLiteral("Stampa interrotta dopo 7 cartelle")),
                 qPrintable(m_err));
        QCOMPARE(run.figures().cards, 7);
        QCOMPARE(leftovers(path(QStringLiteral("out"))), QStringList{QStringLiteral("kept.pdf")});
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("%PDF-1.4 older contents"));
    }

    // A failure inside a card's drawing that no check foresees (here a page so small that the
    // title's first size is 0 points) has no one to answer it: the run stops with the error
    // report naming the card, status 1, and no file.
    void drawingFailureStopsTheRunNamingTheCard() {
        const QString file = path(QStringLiteral("out/failed.pdf"));
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        BatchRun run(out, err);
        run.setDefaultSettingsPath(m_settings);
        run.setPdfTargetFactory([](const QString &name) -> std::unique_ptr<PageTarget> {
            return std::make_unique<PdfTarget>(name,
                                               QPageSize(QSizeF(8, 8), QPageSize::Millimeter));
        });
        int cardsSeen = 0;
        run.setCardHook([&](int done, int) { cardsSeen = done; });
        QCOMPARE(
            exec(QStringLiteral("--cartelle 12 --prima 5 --archivio %1 -o %2").arg(m_archive, file),
                 &run),
            BatchOptions::exitFailed);
        err.flush();
        QCOMPARE(cardsSeen, 1); // the failing card is left, and no other is drawn
        QVERIFY2(m_err.contains(QStringLiteral("Errore nel disegno della cartella 5 "
                                               "dell'archivio, numero stampato 1:")),
                 qPrintable(m_err));
        QVERIFY2(m_err.contains(QStringLiteral("Procedura StampaCartella nel modulo RIDODUR")),
                 qPrintable(m_err));
        QVERIFY(!m_err.contains(u'\r'));
        QVERIFY(leftovers(path(QStringLiteral("out"))).isEmpty());
    }

    // -o never replaces what the run reads (by identity: another name of the archive too), what
    // is not a file, nor any file but a writable PDF of the user's own, whatever it looks like;
    // a symbolic link is followed to its file and stays a link, and a name as long as the file
    // system allows is written.
    void outputsNeverReplaceWhatTheRunReads_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("the archive") << "ARCHIVE" << 1 << "è l'archivio delle cartelle";
        QTest::newRow("a hard link to the archive") << "HARDLINK" << 1 << "è l'archivio";
        QTest::newRow("the settings file") << "SETTINGS" << 1 << "è il file di configurazione";
        QTest::newRow("a FIFO") << "FIFO" << 1 << "è una FIFO";
        QTest::newRow("a device node") << "DEVICE" << 1 << "è un dispositivo";
        QTest::newRow("the print register") << "REGISTER" << 1 << "è il registro delle stampe";
        QTest::newRow("a link to a PDF") << "LINK" << 0 << "Stampate 6 cartelle";
        QTest::newRow("another archive") << "OTHERARCHIVE" << 1 << "sembra un archivio";
        QTest::newRow("another vel.cnf") << "OTHERSETTINGS" << 1 << "sembra un file di config";
        QTest::newRow("another register") << "OTHERREGISTER" << 1 << "sembra un database SQLite";
        QTest::newRow("a text file") << "TEXT" << 1 << "sembra un file di altro tipo, non un PDF";
        QTest::newRow("a read-only PDF") << "READONLY" << 1 << "è di sola lettura";
        QTest::newRow("an older PDF") << "OLDPDF" << 0 << "Stampate 6 cartelle";
        QTest::newRow("a 255-byte name") << "LONGNAME" << 0 << "Stampate 6 cartelle";
    }
    void outputsNeverReplaceWhatTheRunReads() {
        QFETCH(QString, output);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString archive = dir.filePath(CardArchive::fileName);
        const QString settings = dir.filePath(QStringLiteral("vel.cnf"));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        const QString device = dir.filePath(QStringLiteral("null"));
        const QString pdf = dir.filePath(QStringLiteral("vecchio.pdf"));
        const QString link = dir.filePath(QStringLiteral("collegamento.pdf"));
        QVERIFY(QFile::copy(m_archive + u'/' + CardArchive::fileName, archive));
        QVERIFY(QFile::copy(m_settings, settings));
        QVERIFY(QFile(pdf).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(pdf, link));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link(archive, dir.filePath(QStringLiteral("altro-nome"))));
        QCOMPARE(::link(QFile::encodeName(archive).constData(),
                        QFile::encodeName(dir.filePath(QStringLiteral("duro"))).constData()),
                 0);
        if (output == u"DEVICE" &&
            ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            QSKIP("cannot make a device node here (not root)");
        }
        const velmora::RegisterDatabase
            printRegister; // made before the run, as after an earlier one
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("copia")));
        const QMap<QString, QByteArray> others = {
            {QStringLiteral("copia/RidoDur.dat"), readAll(archive)},
            {QStringLiteral("copia/vel.cnf"), readAll(settings)},
            {QStringLiteral("copia/registro.sqlite"), readAll(printRegister.path())},
            {QStringLiteral("note.txt"), QByteArrayLiteral("Venduta la 12 a Carla\n")},
            {QStringLiteral("sola-lettura.pdf"), QByteArrayLiteral("%PDF-1.4 venduta\n%%EOF\n")},
            {QStringLiteral("vecchia.pdf"), QByteArrayLiteral("%PDF-1.4 vecchia\n%%EOF\n")},
        };
        for (auto other = others.begin(); other != others.end(); ++other) {
            QVERIFY(writeAll(dir.filePath(other.key()), other.value()));
        }
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("sola-lettura.pdf")),
                                      QFile::ReadOwner | QFile::ReadGroup));
        const QString longName = QString(251, u'a') + QStringLiteral(".pdf");
        const QMap<QString, QString> targets = {
            {QStringLiteral("OTHERARCHIVE"), dir.filePath(QStringLiteral("copia/RidoDur.dat"))},
            {QStringLiteral("OTHERSETTINGS"), dir.filePath(QStringLiteral("copia/vel.cnf"))},
            {QStringLiteral("OTHERREGISTER"),
             dir.filePath(QStringLiteral("copia/registro.sqlite"))},
            {QStringLiteral("TEXT"), dir.filePath(QStringLiteral("note.txt"))},
            {QStringLiteral("READONLY"), dir.filePath(QStringLiteral("sola-lettura.pdf"))},
            {QStringLiteral("OLDPDF"), dir.filePath(QStringLiteral("vecchia.pdf"))},
            {QStringLiteral("LONGNAME"), dir.filePath(longName)},
            {QStringLiteral("REGISTER"), printRegister.path()},
            {QStringLiteral("ARCHIVE"), dir.filePath(QStringLiteral("altro-nome"))},
            {QStringLiteral("HARDLINK"), dir.filePath(QStringLiteral("duro"))},
            {QStringLiteral("SETTINGS"), settings},
            {QStringLiteral("FIFO"), fifo},
            {QStringLiteral("DEVICE"), device},
            {QStringLiteral("LINK"), link},
        };
        const QByteArray archiveBytes = readAll(archive);
        const QByteArray settingsBytes = readAll(settings);

        QCOMPARE(exec(QStringLiteral("--cartelle 6 --archivio %1 --configurazione %2 -o %3")
                          .arg(dir.path(), settings, targets.value(output))),
                 status);
        QVERIFY2(m_err.contains(said), qPrintable(m_err));
        QCOMPARE(readAll(archive), archiveBytes);
        QCOMPARE(readAll(settings), settingsBytes);
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
        QCOMPARE(::lstat(QFile::encodeName(link).constData(), &info), 0);
        QVERIFY(S_ISLNK(info.st_mode));
        QCOMPARE(readAll(pdf).startsWith("%PDF-"), output == u"LINK");
        QVERIFY(readAll(printRegister.path()).startsWith("SQLite format 3"));
        if (output == u"DEVICE") {
            QCOMPARE(::lstat(QFile::encodeName(device).constData(), &info), 0);
            QVERIFY(S_ISCHR(info.st_mode));
        }
        for (auto other = others.begin(); other != others.end(); ++other) {
            const bool written = status == 0 && targets.value(output) == dir.filePath(other.key());
            const QByteArray now = readAll(dir.filePath(other.key()));
            QVERIFY2(written ? now.startsWith("%PDF-") && now != other.value()
                             : now == other.value(),
                     qPrintable(other.key()));
        }
        if (output == u"LONGNAME") {
            QVERIFY(readAll(targets.value(output)).startsWith("%PDF-"));
        }
        QCOMPARE(
            QDir(dir.path())
                .entryList(QDir::Hidden | QDir::System | QDir::AllEntries | QDir::NoDotAndDotDot)
                .filter(QStringLiteral(".part")),
            QStringList());
    }

    // A check names the archive it read and its cards; an empty archive is a finding, and a
    // check of no card a usage error as for a print.
    void checksNameTheArchive_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("sound archive") << "--verifica --archivio ARCHIVE" << 0
                                       << "Archivio \"ARCHIVE/RidoDur.dat\" (120 cartelle)";
        QTest::newRow("empty archive") << "--verifica --archivio EMPTY" << 1
                                       << "(0 cartelle): nessuna cartella verificata: l'archivio "
                                          "è vuoto.";
        QTest::newRow("no card to check")
            << "--verifica --cartelle 0 --archivio ARCHIVE" << 2 << "--cartelle 0";
    }
    void checksNameTheArchive() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir empty;
        QVERIFY(QFile(empty.filePath(CardArchive::fileName)).open(QIODevice::WriteOnly));
        for (QString *text : {&arguments, &said}) {
            text->replace(QStringLiteral("ARCHIVE"), m_archive)
                .replace(QStringLiteral("EMPTY"), empty.path());
        }
        QCOMPARE(exec(arguments), status);
        QVERIFY2((m_out + m_err).contains(said), qPrintable(m_out + m_err));
    }

    // What no card can be drawn with is refused before the first card, in one message.
    void eachCauseIsOneMessageBeforeAnyCard_data() {
        QTest::addColumn<int>("cause");
        const QList<Cause> causes = runFaultCauses();
        for (int i = 0; i < causes.size(); ++i) {
            QTest::newRow(causes[i].name) << i;
        }
    }

    void eachCauseIsOneMessageBeforeAnyCard() {
        QFETCH(int, cause);
        const Cause what = runFaultCauses().at(cause);
        QTemporaryDir folder;
        QFile archive(folder.filePath(CardArchive::fileName));
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.write(runFaultArchive(archiveCards, what.damagedCard));
        archive.close();
        Configurazione settings = SettingsFile::defaults();
        what.spoil(settings);
        const QString settingsFile = folder.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(SettingsFile(settingsFile).save(settings).ok);
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        BatchRun run(out, err);
        int cardsSeen = 0;
        run.setCardHook([&](int done, int) { cardsSeen = done; });
        // The archive given as a relative path is named by its whole one.
        const qsizetype runsBefore = registeredRuns();
        QCOMPARE(exec(QStringLiteral("--cartelle 30 --configurazione %1 --archivio %2 -o %3")
                          .arg(settingsFile, QDir::current().relativeFilePath(folder.path()),
                               path(QStringLiteral("out/guasto.pdf"))),
                      &run),
                 BatchOptions::exitFailed);
        QCOMPARE(cardsSeen, 0);
        QCOMPARE(registeredRuns(), runsBefore); // a refused run is no run of the register
        QCOMPARE(m_err.count(QStringLiteral("velmora-pdf:")), 1);
        QVERIFY2(m_err.contains(what.said), qPrintable(m_err));
        if (what.damagedCard > 0) {
            QVERIFY2(m_err.contains(u'"' + archive.fileName() + u'"'), qPrintable(m_err));
        }
        QVERIFY(leftovers(path(QStringLiteral("out"))).isEmpty());
    }

    // Every fault is said as one Italian sentence on one line: a capital first, one full stop
    // at the end, no English word of a library or the system. A check's findings too.
    void faultsAreOneItalianSentence_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        const int failed = BatchOptions::exitFailed;
        QTest::newRow("archive folder missing")
            << "--cartelle 6 --archivio EMPTY/no -o OUT" << failed;
        QTest::newRow("no archive in the folder")
            << "--cartelle 6 --archivio EMPTY -o OUT" << failed;
        QTest::newRow("settings file missing")
            << "--cartelle 6 --archivio ARCHIVE --configurazione EMPTY/vel.cnf -o OUT" << failed;
        QTest::newRow("no printer layer")
            << "--cartelle 6 --archivio ARCHIVE --stampante P" << failed;
        QTest::newRow("cards beyond the archive")
            << "--prima 113 --cartelle 10 --archivio ARCHIVE -o OUT" << failed;
        QTest::newRow("output is the archive")
            << "--cartelle 6 --archivio ARCHIVE -o ARCHIVE/RidoDur.dat" << failed;
        QTest::newRow("output is a folder") << "--cartelle 6 --archivio ARCHIVE -o EMPTY" << failed;
        QTest::newRow("a damaged first card in the settings")
            << "--cartelle 6 --archivio ARCHIVE --configurazione DAMAGED -o OUT" << failed;
        QTest::newRow("a 2 GB archive") << "--cartelle 6 --archivio HUGE -o OUT" << failed;
        QTest::newRow("size 7 in the settings")
            << "--cartelle 6 --archivio ARCHIVE --configurazione SMALL -o OUT" << failed;
        QTest::newRow("a damaged card") << "--cartelle 6 --archivio BROKEN -o OUT" << failed;
        QTest::newRow("a damaged card checked") << "--verifica --archivio BROKEN" << failed;
        QTest::newRow("a run not in the register") << "--trova 5 --corsa 999" << failed;
        QTest::newRow("an unknown option") << "--sconosciuta" << int(BatchOptions::exitUsage);
    }
    void faultsAreOneItalianSentence() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QTemporaryDir empty;
        QTemporaryDir broken;
        QVERIFY(writeAll(broken.filePath(CardArchive::fileName), runFaultArchive(archiveCards, 3)));
        QTemporaryDir huge;
        QFile hugeArchive(huge.filePath(CardArchive::fileName));
        QVERIFY(hugeArchive.open(QIODevice::WriteOnly) && hugeArchive.resize(qint64(2) << 30));
        hugeArchive.close();
        Configurazione small = SettingsFile::defaults();
        small.Dimensione = 7;
        QVERIFY(SettingsFile(empty.filePath(QStringLiteral("small.cnf"))).save(small).ok);
        arguments.replace(QStringLiteral("ARCHIVE"), m_archive)
            .replace(QStringLiteral("EMPTY"), empty.path())
            .replace(QStringLiteral("OUT"), path(QStringLiteral("out/frase.pdf")))
            .replace(QStringLiteral("DAMAGED"), path(QStringLiteral("damaged.cnf")))
            .replace(QStringLiteral("SMALL"), empty.filePath(QStringLiteral("small.cnf")))
            .replace(QStringLiteral("BROKEN"), broken.path())
            .replace(QStringLiteral("HUGE"), huge.path());
        QCOMPARE(exec(arguments), status);
        // At most one line on the error stream; a check's findings go to standard output.
        const QString said = m_err.trimmed();
        QVERIFY2(!said.contains(u'\n'), qPrintable(m_err));
        QStringList lines = m_out.split(u'\n', Qt::SkipEmptyParts);
        if (!said.isEmpty()) {
            // A usage error comes from the options alone, without the program's name.
            const QString prefix = QStringLiteral("velmora-pdf: ");
            QVERIFY2(status == BatchOptions::exitUsage || said.startsWith(prefix),
                     qPrintable(said));
            lines.append(said.startsWith(prefix) ? said.mid(prefix.size()) : said);
        }
        QVERIFY(!lines.isEmpty());
        static const QRegularExpression english(
            QStringLiteral("\\b(Invalid|error|failed|Broken pipe|bad_alloc|Unable)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        // A full stop inside the line ends a sentence, but for the abbreviation "n. 3".
        static const QRegularExpression innerStop(QStringLiteral("(?<!\\bn)\\.\\s"));
        for (const QString &line : lines) {
            QVERIFY2(line.front().isUpper(), qPrintable(line));
            QVERIFY2(line.endsWith(u'.') && !line.endsWith(QStringLiteral("..")), qPrintable(line));
            QVERIFY2(!innerStop.match(line).hasMatch(), qPrintable(line));
            QVERIFY2(!english.match(line).hasMatch(), qPrintable(line));
        }
    }

    // On a printer a finished run ends its job; an interrupted one abandons it, so nothing of
    // it is printed. A printer that is not there is named in the message.
    void printerJobs() {
        int ended = 0;
        int aborted = 0;
        QTextStream out(&m_out);
        QTextStream err(&m_err);
        BatchRun run(out, err);
        run.setDefaultSettingsPath(m_settings);
        const QString sink = path(QStringLiteral("printer-sink.pdf"));
        run.setPrinterTargetFactory(
            [&](const QString &name, QString *error) -> std::unique_ptr<PageTarget> {
                if (name != QStringLiteral("Prova")) {
                    *error = QStringLiteral("la stampante \"%1\" non è installata.").arg(name);
                    return nullptr;
                }
                return std::make_unique<CountingTarget>(sink, &ended, &aborted);
            });
        const QString base = QStringLiteral("--cartelle 12 --archivio %1 ").arg(m_archive);

        QCOMPARE(exec(base + QStringLiteral("--stampante Prova"), &run), BatchOptions::exitOk);
        QCOMPARE(ended, 1);
        QCOMPARE(aborted, 0);
        QVERIFY2(m_err.contains(QStringLiteral("la stampante \"Prova\"")), qPrintable(m_err));

        run.setCardHook([](int done, int) {
            if (done == 2) {
                BatchRun::requestStop();
            }
        });
        m_err.clear();
        QCOMPARE(exec(base + QStringLiteral("--stampante Prova"), &run), BatchOptions::exitFailed);
        QCOMPARE(ended, 1);
        QCOMPARE(aborted, 1);
        QVERIFY2(m_err.contains(QStringLiteral("nessuna pagina inviata alla stampante")),
                 qPrintable(m_err));

        BatchRun::clearStopRequest();
        QCOMPARE(exec(base + QStringLiteral("--stampante Altra"), &run), BatchOptions::exitFailed);
        QVERIFY2(m_err.contains(QStringLiteral("\"Altra\" non è installata")), qPrintable(m_err));
        QCOMPARE(ended + aborted, 2);
    }
};

QTEST_MAIN(tst_BatchRun)
#include "tst_BatchRun.moc"
