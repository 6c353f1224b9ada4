// "Salva PDF…": the window's run into a file the user names, written whole or not at all.

#include "app/PrintPage.h"
#include "app/SalvaPdf.h"
#include "evening/RegisterDatabase.h"
#include "print/CancStampa.h"
#include "print/CardArchive.h"
#include "register/PrintRegister.h"
#include "settings/SettingsFile.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/RecordingPresenter.h"
#include "ui/FileChooser.h"

#include "tests/support/PdfProbe.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;
using velmora::testing::RecordingPresenter;

namespace {

const QString sampleFolder = QStringLiteral(VELMORA_BINARY_DIR "/data");

// Answers the file dialog with a name in a folder (empty: the user gives up) and keeps what
// was proposed.
class Answer : public FileChooser {
public:
    QString fileToSave(QWidget *, const QString &, const QString &offered) override {
        proposed << offered;
        return file;
    }
    QString file;
    QStringList proposed;
};

} // namespace

class tst_SalvaPdf : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    Configurazione m_settings = SettingsFile::defaults();
    QWidget m_window;
    PrintPage *m_page = nullptr;
    RecordingPresenter m_messages;
    Answer m_answer;
    std::unique_ptr<SalvaPdf> m_save;

    void choose(const QString &first, const QString &count) {
        m_page->box(PrintBox::PrimaCartella)->setText(first);
        m_page->box(PrintBox::NCartelle)->setText(count);
    }
    QStringList filesLeft() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() {
        if (!QFileInfo::exists(sampleFolder + u'/' + CardArchive::fileName)) {
            QSKIP("the build has not written the sample archive");
        }
    }
    void init() {
        QVERIFY(forgetEvenings());
        m_page = new PrintPage(m_settings, &m_window);
        m_page->applySettings();
        m_window.show();
        m_messages = RecordingPresenter();
        m_answer = Answer();
        m_save = std::make_unique<SalvaPdf>(m_window, *m_page, m_settings);
        m_save->setFileChooser(&m_answer);
        m_save->setArchiveFolders({sampleFolder});
        for (const QString &name : filesLeft()) {
            QFile::remove(m_dir.filePath(name));
        }
    }
    void cleanup() { delete m_page; }

    // A run the print command would refuse (its range, its archive, its settings) is refused
    // before a file is asked for, and leaves nothing in the folder.
    void refusedRunsWriteNothing_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("archiveFound");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("said");
        QTest::newRow("beyond the card numbers") << "40000" << true << 10 << "32767";
        QTest::newRow("no cards") << "0" << true << 10 << "Nessuna cartella";
        QTest::newRow("no archive") << "12" << false << 10 << "RidoDur.dat";
        QTest::newRow("a size the cards cannot print") << "12" << true << 5 << "da 8 a 999";
    }
    void refusedRunsWriteNothing() {
        QFETCH(QString, count);
        QFETCH(bool, archiveFound);
        QFETCH(int, size);
        QFETCH(QString, said);
        QTemporaryDir empty;
        if (!archiveFound) {
            m_save->setArchiveFolders({empty.path()});
        }
        const qint16 sizeBefore = m_settings.Dimensione;
        m_settings.Dimensione = qint16(size);
        const auto restore = qScopeGuard([&] { m_settings.Dimensione = sizeBefore; });
        choose(QStringLiteral("1"), count);
        m_answer.file = m_dir.filePath(QStringLiteral("serata.pdf"));
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Refused);
        QCOMPARE(m_answer.proposed.size(), 0);
        QCOMPARE(m_messages.avvisi.size(), 1);
        QVERIFY2(m_messages.avvisi.constFirst().contains(said),
                 qPrintable(m_messages.avvisi.constFirst()));
        QCOMPARE(filesLeft(), QStringList());
    }

    // The card archive, the settings file and what is not a plain file are never written
    // over, whatever the name typed.
    void protectedFilesStayAsTheyWere_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QTest::newRow("an archive") << "ridodur.dat"
                                    << "sembra un archivio delle cartelle";
        QTest::newRow("a settings file") << "vel.cnf"
                                         << "sembra un file di configurazione";
        QTest::newRow("the settings in use") << "impostazioni.bin"
                                             << "è il file di configurazione";
        QTest::newRow("a text file") << "note.txt"
                                     << "sembra un file di altro tipo, non un PDF";
        QTest::newRow("not a plain file") << "/dev/null"
                                          << "è un dispositivo";
    }
    void protectedFilesStayAsTheyWere() {
        QFETCH(QString, name);
        QFETCH(QString, said);
        const QString file = QDir(m_dir.path()).filePath(name);
        if (QFileInfo(file).path() == m_dir.path()) {
            QFile kept(file);
            QVERIFY(kept.open(QIODevice::WriteOnly));
            kept.write("kept");
        }
        m_save->setSettingsPath(m_dir.filePath(QStringLiteral("impostazioni.bin")));
        choose(QStringLiteral("1"), QStringLiteral("6"));
        m_answer.file = file;
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Refused);
        QVERIFY2(m_messages.avvisi.constLast().contains(said),
                 qPrintable(m_messages.avvisi.constLast()));
        if (QFileInfo(file).path() == m_dir.path()) {
            QCOMPARE(filesLeft(), QStringList{QFileInfo(file).fileName()});
            QFile kept(file);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray("kept"));
        }
    }

    // A save writes the whole run under the name chosen, and no temporary file beside it; the
    // next save proposes that folder again, named after its own cards, and giving up writes
    // nothing.
    void savedFileAndTheFolderProposedNext() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils are not installed");
        }
        choose(QStringLiteral("5"), QStringLiteral("10"));
        m_answer.file = m_dir.filePath(QStringLiteral("serata.pdf"));
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Saved);
        QCOMPARE(QFileInfo(m_answer.proposed.constFirst()).fileName(),
                 QStringLiteral("cartelle-5-16.pdf"));
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("serata.pdf")});
        QCOMPARE(pdfPageCount(m_answer.file), 2);
        QVERIFY(m_messages.avvisi.constLast().contains(QStringLiteral("serata.pdf")));

        choose(QStringLiteral("100"), QStringLiteral("3"));
        m_answer.file.clear();
        m_messages.risposta = true; // numbers 1-6 again: printed all the same
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Cancelled);
        QCOMPARE(m_answer.proposed.constLast(),
                 m_dir.filePath(QStringLiteral("cartelle-100-105.pdf")));
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("serata.pdf")});
    }

    // A save that would put in the hall again numbers printed this evening asks first, naming
    // them and the way out; answered no, no file is even asked for.
    void repeatingTheEveningsNumbersAsksFirst() {
        choose(QStringLiteral("5"), QStringLiteral("10"));
        m_answer.file = m_dir.filePath(QStringLiteral("serata.pdf"));
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Saved);
        QVERIFY(m_messages.domande.isEmpty());
        choose(QStringLiteral("100"), QStringLiteral("3"));
        m_answer.file = m_dir.filePath(QStringLiteral("ancora.pdf"));
        const qsizetype asked = m_answer.proposed.size();
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Cancelled);
        QCOMPARE(m_messages.domande,
                 QStringList{"I numeri stampati N. 1-6 (corsa 1) sono già su altre cartelle di "
                             "questa serata: in sala ci sarebbero due cartelle con lo stesso "
                             "numero.\nCon la numerazione dell'archivio ogni cartella porta il "
                             "proprio numero d'archivio.\nStampare lo stesso?"});
        QCOMPARE(m_answer.proposed.size(), asked);
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("serata.pdf")});
    }

    // The register names the file the user asked for, never the temporary one, and counts the
    // run as completed and delivered once that file is in place; a stopped save is no delivery.
    void registeredUnderTheChosenName_data() {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("outcome");
        QTest::newRow("saved") << false << int(RunRecord::Outcome::Completed);
        QTest::newRow("stopped") << true << int(RunRecord::Outcome::Stopped);
    }
    void registeredUnderTheChosenName() {
        QFETCH(bool, stop);
        QFETCH(int, outcome);
        choose(QStringLiteral("1"), stop ? QStringLiteral("60") : QStringLiteral("6"));
        m_answer.file = m_dir.filePath(QStringLiteral("registrata.pdf"));
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, this, [] {
            for (QWidget *shown : QApplication::topLevelWidgets()) {
                if (auto *window = qobject_cast<CancStampa *>(shown);
                    window && window->isLoaded()) {
                    window->unload();
                }
            }
        });
        if (stop) {
            stopper.start(0);
        }
        m_save->run(m_messages);
        RegisterDatabase database;
        const QList<RunRecord> runs = PrintRegister(database.connection()).runs();
        QVERIFY(!runs.isEmpty());
        const RunRecord &run = runs.constFirst();
        QVERIFY2(run.destination.endsWith(QStringLiteral("registrata.pdf\"")),
                 qPrintable(run.destination));
        QCOMPARE(int(run.outcome), outcome);
        QCOMPARE(run.delivered, !stop);
        QCOMPARE(QFileInfo::exists(m_answer.file), !stop);
    }

    // Stopped from the stop window, the save leaves no file, not even the pages drawn so far,
    // and an older file of that name stays as it was.
    void stoppedSaveLeavesTheOldFile() {
        const QString file = m_dir.filePath(QStringLiteral("serata.pdf"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("%PDF-older");
        old.close();
        choose(QStringLiteral("1"), QStringLiteral("60"));
        m_answer.file = file;
        QTimer stopper;
        connect(&stopper, &QTimer::timeout, this, [this] {
            for (QWidget *shown : QApplication::topLevelWidgets()) {
                if (auto *stop = qobject_cast<CancStampa *>(shown); stop && stop->isLoaded()) {
                    stop->unload();
                }
            }
        });
        stopper.start(0);
        QCOMPARE(m_save->run(m_messages), SalvaPdf::Result::Stopped);
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("serata.pdf")});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("%PDF-older"));
        QVERIFY(m_messages.avvisi.constLast().contains(QStringLiteral("non è stato scritto")));
    }
};

QTEST_MAIN(tst_SalvaPdf)
#include "tst_SalvaPdf.moc"
