#include "evening/RunRegistration.h"
#include "print/StampaCartelle.h"
#include "register/ArchiveFingerprint.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/RecordingPresenter.h"

#include "app/Form1.h"
#include "app/PrintPage.h"
#include "appearance/clsPrintDialog.h"
#include "errors/MessagePresenter.h"
#include "errors/MsgErrorPresenter.h"
#include "errors/VelmoraError.h"
#include "errors/frmMsgError.h"
#include "print/CancStampa.h"
#include "print/CardArchive.h"
#include "print/CurrentPrinter.h"
#include "print/FontResolver.h"
#include "print/PrinterSurface.h"
#include "print/PrinterTarget.h"
#include "print/RecordingSurface.h"
#include "print/ScreenPointer.h"
#include "print/SeriesGenerator.h"
#include "settings/SettingsFile.h"
#include "tests/support/CardFixture.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/RegisterFixture.h"
#include "tests/support/RunFaults.h"
#include "tests/support/TestFiles.h"
#include "ui/qbButtons_H.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

using velmora::testing::RecordingPresenter;

namespace {

constexpr int archiveCards = 60;

// The archive numbers printed on the pages, sorted ("1:00001" is card 1 on page 1).
QStringList archiveNumbersIn(const QString &pdf) {
    QStringList found;
    for (const PrintedNumber &printed : printedCardNumbers(pdf)) {
        found.append(QStringLiteral("%1:%2").arg(printed.page).arg(printed.number));
    }
    found.sort();
    return found;
}

// A printer whose card number fails from the second card on: a fault no check foresees.
class FailingSurface : public RecordingSurface {
protected:
    void paintText(const QPointF &topLeft, const FontFace &face, const QString &text) override {
        RecordingSurface::paintText(topLeft, face, text);
        if (text == QLatin1String("N.") && ++m_numbers > 1) {
            throw VelmoraError(VelmoraError::PrinterError, QStringLiteral("Errore di stampa"));
        }
    }

private:
    int m_numbers = 0;
};

QStringList expectedNumbers(int first, int last, int perPage) {
    QStringList result;
    for (int card = first; card <= last; ++card) {
        result.append(QStringLiteral("%1:%2")
                          .arg((card - first) / perPage + 1)
                          .arg(card, 5, 10, QLatin1Char('0')));
    }
    return result;
}

} // namespace

class TestStampaCartelle : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_archiveFolder;
    RecordingPresenter m_messages;
    Configurazione m_settings = SettingsFile::defaults();
    std::unique_ptr<QWidget> m_main;
    PrintPage *m_page = nullptr;
    int m_file = 0;

    QString nextPdf() { return m_dir.filePath(QStringLiteral("stampa-%1.pdf").arg(++m_file)); }
    void setRun(bool landscape, const QString &first, const QString &count) {
        m_page
            ->findChild<QRadioButton *>(landscape ? QStringLiteral("optOrientamento(0)")
                                                  : QStringLiteral("optOrientamento(1)"))
            ->click();
        QLineEdit *firstBox = m_page->box(PrintBox::PrimaCartella);
        firstBox->setText(first);
        QLineEdit *countBox = m_page->box(PrintBox::NCartelle);
        countBox->setText(count);
    }
    StampaCartelle::Result print(StampaCartelle &run) {
        m_messages.avvisi.clear();
        return run.run();
    }
    void checkMainWindowBack() {
        QVERIFY(m_main->isEnabled());
        QCOMPARE(m_main->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!ScreenPointer::isBusy());
        for (QWidget *window : QApplication::topLevelWidgets()) {
            QVERIFY2(!qobject_cast<CancStampa *>(window) || !window->isVisible(),
                     "the stop window is still shown");
        }
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void runs_data();
    void runs();
    void stoppingPrintsTheCardsDrawnSoFar_data();
    void stoppingPrintsTheCardsDrawnSoFar();
    void stopWindowClosedInsideACard_data();
    void stopWindowClosedInsideACard();
    void pdfThatCannotBeWritten_data();
    void pdfThatCannotBeWritten();
    void refusedBeforePrinting_data();
    void refusedBeforePrinting();
    void missingArchiveIsSaidOnceNamingTheFolders();
    void qualityNoticeOnlyWhenNotAt300();
    void stampaFromTheMainWindow();
    void eachCauseIsOneMessageAndNoCard_data();
    void eachCauseIsOneMessageAndNoCard();
    void windowsFacePrintsWithItsStandInAndOneNotice();
    void stopPressedWhileTheErrorWindowIsOpen();
    void sameFaultRetriedOffersToStop();
    void windowAnswersWhileTheArchiveIsRead();
};

void TestStampaCartelle::initTestCase() {
    if (!pdfToolsAvailable()) {
        QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
    }
    QVERIFY(m_dir.isValid());
    m_archiveFolder = m_dir.filePath(QStringLiteral("archivio"));
    QVERIFY(QDir().mkpath(m_archiveFolder));
    QFile archive(QDir(m_archiveFolder).filePath(CardArchive::fileName));
    QVERIFY(archive.open(QIODevice::WriteOnly));
    archive.write(SeriesGenerator::makeArchive(archiveCards, 7));
    archive.close();
    m_main = std::make_unique<QWidget>();
    m_page = new PrintPage(m_settings, m_main.get());
    m_page->applySettings();
    // The archive's own numbers are unique five-digit words on the page.
    m_page->findChild<QRadioButton *>(QStringLiteral("NumCartella(1)"))->click();
    QVERIFY(m_page->numerazioneArchivio());
    m_main->show();
}

void TestStampaCartelle::cleanupTestCase() {
    m_main.reset();
}

void TestStampaCartelle::runs_data() {
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("lastCard");
    QTest::addColumn<int>("pages");
    QTest::newRow("8 landscape from 1: cards 1 to 12") << true << "1"
                                                       << "8" << 12 << 2;
    QTest::newRow("6 landscape from 10: one page") << true << "10"
                                                   << "6" << 15 << 1;
    QTest::newRow("4 portrait: cards 1 to 6") << false << ""
                                              << "4" << 6 << 2;
    QTest::newRow("first card 0 is card 1") << false << "0"
                                            << "3" << 3 << 1;
}

void TestStampaCartelle::runs() {
    QFETCH(bool, landscape);
    QFETCH(QString, first);
    QFETCH(QString, count);
    QFETCH(int, lastCard);
    QFETCH(int, pages);
    setRun(landscape, first, count);
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    QList<int> progress;
    bool disabledWhileRunning = true;
    bool stopWindowShown = true;
    connect(&run, &StampaCartelle::cartellaStampata, this, [&](int done, int total) {
        progress.append(done);
        QCOMPARE(total, lastCard - qMax(1, first.toInt()) + 1);
        disabledWhileRunning = disabledWhileRunning && !m_main->isEnabled();
        stopWindowShown = stopWindowShown && run.stopWindow() && run.stopWindow()->isVisible();
    });
    QCOMPARE(print(run), StampaCartelle::Result::Completed);
    for (const QString &message : m_messages.avvisi) {
        QVERIFY2(message.startsWith(QStringLiteral("Printer.PrintQuality =")), qPrintable(message));
    }
    QVERIFY(disabledWhileRunning);
    QVERIFY(stopWindowShown);
    const int firstCard = qMax(1, first.toInt());
    QCOMPARE(progress.size(), lastCard - firstCard + 1);
    checkMainWindowBack();
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    QCOMPARE(pdfPageCount(pdf), pages);
    QCOMPARE(archiveNumbersIn(pdf), expectedNumbers(firstCard, lastCard, landscape ? 6 : 3));
}

void TestStampaCartelle::stoppingPrintsTheCardsDrawnSoFar_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("stop button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "close";
    QTest::newRow("main window's close box: ignored, the run stops") << "main";
}

void TestStampaCartelle::stoppingPrintsTheCardsDrawnSoFar() {
    QFETCH(QString, how);
    setRun(true, QStringLiteral("1"), QStringLiteral("12"));
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    int drawn = 0;
    connect(&run, &StampaCartelle::cartellaStampata, this, [&](int done, int) {
        drawn = done;
        if (done != 3) {
            return;
        }
        // The user acts while the third card is finishing: the action waits in the queue
        // until the run lets events through.
        CancStampa *window = run.stopWindow();
        QWidget *main = m_main.get();
        QTimer::singleShot(0, window, [window, how, main] {
            if (how == QLatin1String("main")) {
                main->close(); // must not go away under the run
                QTest::mouseClick(window->stopButton(), Qt::LeftButton);
            } else if (how == QLatin1String("button")) {
                QTest::mouseClick(window->stopButton(), Qt::LeftButton);
            } else if (how == QLatin1String("escape")) {
                QTest::keyClick(window, Qt::Key_Escape);
            } else {
                window->close();
            }
        });
    });
    QCOMPARE(print(run), StampaCartelle::Result::Stopped);
    QCOMPARE(drawn, 3);
    QVERIFY(m_main->isVisible());
    checkMainWindowBack();
    // The page in progress was ended: it holds the three cards drawn.
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    QCOMPARE(pdfPageCount(pdf), 1);
    QCOMPARE(archiveNumbersIn(pdf), expectedNumbers(1, 3, 6));
}

void TestStampaCartelle::stopWindowClosedInsideACard_data() {
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("lastDrawn");
    QTest::addColumn<int>("pages");
    QTest::newRow("first card: it is finished, no other follows") << 1 << 1 << 1;
    QTest::newRow("last card: the run is whole") << 12 << 12 << 2;
}

void TestStampaCartelle::stopWindowClosedInsideACard() {
    QFETCH(int, card);
    QFETCH(int, lastDrawn);
    QFETCH(int, pages);
    setRun(true, QStringLiteral("1"), QStringLiteral("12"));
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    CurrentPrinter::target().setResolution(600); // so the quality notice marks the start
    struct ArmingPresenter : RecordingPresenter {
        std::function<void()> arm;
        void avviso(QWidget *, const QString &text) override {
            avvisi.append(text);
            if (arm) {
                std::exchange(arm, {})();
            }
        }
    } messages;
    StampaCartelle run(*m_main, m_page->request(), m_settings, messages, CurrentPrinter::surface(),
                       RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    // Each pass of the event loop delivers only what was posted before it began, so a close
    // posted from a posted call lands one pump later. Armed at the quality notice (before the
    // first card) or after the card before, the first pump is the one before the card, the
    // second the one inside the card, after its record is read.
    const auto closeInsideNextCard = [&run] {
        QTimer::singleShot(0, &run, [&run] {
            QTimer::singleShot(0, run.stopWindow(), [&run] { run.stopWindow()->close(); });
        });
    };
    if (card == 1) {
        messages.arm = closeInsideNextCard;
    }
    int drawn = 0;
    bool closedWhileDrawing = false;
    connect(&run, &StampaCartelle::cartellaStampata, this, [&](int done, int) {
        drawn = done;
        if (done == card - 1) {
            closeInsideNextCard();
        }
        if (done == card) {
            closedWhileDrawing = !run.stopWindow()->isLoaded();
        }
    });
    const StampaCartelle::Result result = run.run();
    CurrentPrinter::target().setResolution(300);
    QCOMPARE(result,
             card == 12 ? StampaCartelle::Result::Completed : StampaCartelle::Result::Stopped);
    QCOMPARE(drawn, lastDrawn);
    QVERIFY(closedWhileDrawing);
    checkMainWindowBack();
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    QCOMPARE(pdfPageCount(pdf), pages);
    QCOMPARE(archiveNumbersIn(pdf), expectedNumbers(1, lastDrawn, 6));
}

void TestStampaCartelle::pdfThatCannotBeWritten_data() {
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("says");
    QTest::newRow("folder that does not exist") << false << "non esiste";
    QTest::newRow("disk full") << true << "non è stato scritto per intero";
}

void TestStampaCartelle::pdfThatCannotBeWritten() {
    QFETCH(bool, fullDisk);
    QFETCH(QString, says);
    const QString folder =
        m_dir.filePath(fullDisk ? QStringLiteral("piena") : QStringLiteral("mancante"));
    std::unique_ptr<SmallTmpfs> disk;
    if (fullDisk) {
        QVERIFY(QDir().mkpath(folder));
        disk = std::make_unique<SmallTmpfs>(folder);
        if (!disk->isMounted()) {
            QSKIP(qPrintable(QStringLiteral("no small tmpfs to fill: ") + disk->why()));
        }
    }
    const QString pdf = QDir(folder).filePath(QStringLiteral("cartelle.pdf"));
    setRun(true, QStringLiteral("1"), QStringLiteral("12"));
    CurrentPrinter::target().selectPdfFile(pdf);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    QCOMPARE(print(run), StampaCartelle::Result::Failed);
    QStringList said;
    for (const QString &message : m_messages.avvisi) {
        if (!message.startsWith(QStringLiteral("Printer.PrintQuality ="))) {
            said.append(message);
        }
    }
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().contains(says) && said.first().contains(QDir::toNativeSeparators(pdf)) &&
                 said.first().contains(QStringLiteral("Nessuna cartella è stata stampata")),
             qPrintable(said.first()));
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    checkMainWindowBack();
}

void TestStampaCartelle::refusedBeforePrinting_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("says");
    QTest::newRow("last card past 32767") << "9999"
                                          << "22770"
                                          << "al massimo 22764 cartelle";
    QTest::newRow("count past 32767") << "1"
                                      << "40000"
                                      << "al massimo 32766 cartelle";
    QTest::newRow("nothing to print") << "1"
                                      << "0"
                                      << "Nessuna cartella da stampare";
    // Cards past the archive's end would come out without numbers.
    QTest::newRow("past the archive's end") << QString::number(archiveCards - 2) << "6"
                                            << "nessuna cartella è stata stampata";
}

void TestStampaCartelle::refusedBeforePrinting() {
    QFETCH(QString, first);
    QFETCH(QString, count);
    QFETCH(QString, says);
    setRun(true, first, count);
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    QSignalSpy cards(&run, &StampaCartelle::cartellaStampata);
    QVERIFY(print(run) != StampaCartelle::Result::Completed);
    QCOMPARE(m_messages.avvisi.size(), 1);
    QVERIFY2(m_messages.avvisi.first().contains(says), qPrintable(m_messages.avvisi.first()));
    QCOMPARE(cards.count(), 0);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!CurrentPrinter::surface().documentOpen());
    checkMainWindowBack();
}

void TestStampaCartelle::missingArchiveIsSaidOnceNamingTheFolders() {
    setRun(true, QStringLiteral("1"), QStringLiteral("6"));
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    const QString empty1 = m_dir.filePath(QStringLiteral("vuota uno"));
    const QString empty2 = m_dir.filePath(QStringLiteral("vuota due"));
    QVERIFY(QDir().mkpath(empty1));
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({empty1, empty2}); // the second does not even exist
    QCOMPARE(print(run), StampaCartelle::Result::NoArchive);
    QCOMPARE(m_messages.avvisi.size(), 1);
    const QString &message = m_messages.avvisi.first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(empty1)), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(empty2)), qPrintable(message));
    QVERIFY(message.contains(CardArchive::fileName));
    QVERIFY(!QFile::exists(pdf));
    checkMainWindowBack();
}

void TestStampaCartelle::qualityNoticeOnlyWhenNotAt300() {
    setRun(false, QStringLiteral("1"), QStringLiteral("3"));
    QStringList notices;
    for (const int dpi : {600, 300}) {
        CurrentPrinter::target().selectPdfFile(nextPdf());
        CurrentPrinter::target().setResolution(dpi);
        StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                           CurrentPrinter::surface(), RunRegistration::opener());
        run.setArchiveFolders({m_archiveFolder});
        QCOMPARE(print(run), StampaCartelle::Result::Completed);
        notices.append(m_messages.avvisi.join(QLatin1Char('|')));
    }
    QCOMPARE(notices, (QStringList{QStringLiteral("Printer.PrintQuality =600"), QString()}));
}

void TestStampaCartelle::stampaFromTheMainWindow() {
    QVERIFY(velmora::testing::forgetEvenings());
    // The whole road: start-up on the archive folder, three times forward, Stampa, the dialog.
    const QString startDir = QDir::currentPath();
    RecordingPresenter messages;
    Form1 form;
    form.setSettingsPath(m_dir.filePath(QStringLiteral("vel.cnf")));
    form.setMessagePresenter(&messages);
    QVERIFY(form.avvio(m_archiveFolder));
    for (int press = 0; press < 3; ++press) {
        QTest::mouseClick(form.cmdNav(3), Qt::LeftButton);
    }
    QCOMPARE(form.pagina(), 4);
    PrintPage *page = form.printPage();
    QVERIFY(page);
    QCOMPARE(page->parentWidget(), form.page(3));
    QVERIFY(!page->numerazioneArchivio());
    page->box(PrintBox::NCartelle)->setText(QStringLiteral("7"));
    page->box(PrintBox::PrimaCartella)->setText(QStringLiteral("1"));
    page->findChild<QRadioButton *>(QStringLiteral("optOrientamento(0)"))->click();

    const QString before = nextPdf();
    CurrentPrinter::target().selectPdfFile(before);
    // Cancelled: nothing printed, page 4 still shown.
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(clsPrintDialog::openDialog());
        clsPrintDialog::openDialog()->reject();
    });
    QTest::mouseClick(form.cmdNav(3), Qt::LeftButton);
    QCOMPARE(form.pagina(), 4);
    QVERIFY(!QFile::exists(before));
    QVERIFY(messages.avvisi.isEmpty());
    QCOMPARE(CurrentPrinter::target().port(), before);

    if (!PrinterTarget::installedPrinters().isEmpty()) {
        QDir::setCurrent(startDir);
        QSKIP("printers are installed: the print command's dialog offers no PDF file");
    }
    // Confirmed with a PDF file chosen in the dialog: the cards come out in it.
    const QString chosen = nextPdf();
    QTimer::singleShot(0, [chosen] {
        QTRY_VERIFY(clsPrintDialog::openDialog());
        QPrintDialog *dialog = clsPrintDialog::openDialog();
        dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(chosen);
        dialog->accept();
    });
    QTest::mouseClick(form.cmdNav(3), Qt::LeftButton);
    QDir::setCurrent(startDir);
    for (const QString &message : messages.avvisi) {
        QVERIFY2(message.startsWith(QStringLiteral("Printer.PrintQuality =")), qPrintable(message));
    }
    QCOMPARE(form.pagina(), 4);
    QVERIFY(form.isEnabled());
    QCOMPARE(pdfPageCount(chosen), 2);
    int labels = 0; // one "N." before each card's number
    for (const PdfWord &word : pdfWords(chosen)) {
        labels += word.text.startsWith(QLatin1String("N.")) ? 1 : 0;
    }
    QCOMPARE(labels, 12);
}

void TestStampaCartelle::eachCauseIsOneMessageAndNoCard_data() {
    QTest::addColumn<int>("cause");
    const QList<Cause> causes = runFaultCauses();
    for (int i = 0; i < causes.size(); ++i) {
        QTest::newRow(causes[i].name) << i;
    }
}

void TestStampaCartelle::eachCauseIsOneMessageAndNoCard() {
    QFETCH(int, cause);
    const Cause what = runFaultCauses().at(cause);
    const QString folder = m_dir.filePath(QStringLiteral("guasto-%1").arg(cause));
    QVERIFY(QDir().mkpath(folder));
    QFile archive(QDir(folder).filePath(CardArchive::fileName));
    QVERIFY(archive.open(QIODevice::WriteOnly));
    archive.write(runFaultArchive(archiveCards, what.damagedCard));
    archive.close();
    const Configurazione kept = m_settings;
    what.spoil(m_settings);
    setRun(true, QStringLiteral("1"), QStringLiteral("30"));
    m_page->findChild<QRadioButton *>(QStringLiteral("NumCartella(0)"))->click();
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    ScriptedPresenter errors;
    StampaCartelle::Result result = StampaCartelle::Result::Completed;
    int cards = 0;
    const qsizetype runsBefore = registeredRuns();
    {
        PresenterScope scope(errors);
        StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                           CurrentPrinter::surface(), RunRegistration::opener());
        run.setArchiveFolders({folder});
        QSignalSpy drawn(&run, &StampaCartelle::cartellaStampata);
        result = print(run);
        cards = int(drawn.count());
    }
    m_settings = kept;
    m_page->findChild<QRadioButton *>(QStringLiteral("NumCartella(1)"))->click();
    QCOMPARE(result, StampaCartelle::Result::Refused);
    QCOMPARE(m_messages.avvisi.size(), 1);
    QVERIFY2(m_messages.avvisi.first().contains(what.said), qPrintable(m_messages.avvisi.first()));
    QVERIFY(errors.reports.isEmpty());
    QCOMPARE(cards, 0);
    QCOMPARE(registeredRuns(), runsBefore); // a refused run is no run of the register
    QVERIFY(!QFile::exists(pdf));
    checkMainWindowBack();
}

void TestStampaCartelle::windowsFacePrintsWithItsStandInAndOneNotice() {
    const QString windowsFace = QStringLiteral("Verdana");
    if (FontResolver::exists(windowsFace)) {
        QSKIP("Verdana is installed here");
    }
    const Configurazione kept = m_settings;
    m_settings.FontTombola = windowsFace;
    setRun(true, QStringLiteral("1"), QStringLiteral("12"));
    const QString pdf = nextPdf();
    CurrentPrinter::target().selectPdfFile(pdf);
    ScriptedPresenter errors;
    PresenterScope scope(errors);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    const StampaCartelle::Result result = print(run);
    m_settings = kept;
    QCOMPARE(result, StampaCartelle::Result::Completed);
    QVERIFY(errors.reports.isEmpty());
    QCOMPARE(m_messages.avvisi.size(), 1);
    const QString family = FontResolver::face(windowsFace)->family;
    QVERIFY2(m_messages.avvisi.first().contains(
                 QStringLiteral("\"%1\" non è installato: le cartelle si stampano con \"%2\"")
                     .arg(windowsFace, family)),
             qPrintable(m_messages.avvisi.first()));
    QCOMPARE(archiveNumbersIn(pdf), expectedNumbers(1, 12, 6));
}

// The error window of a real run: a click on the stop button while it is open is taken, the
// window says the run will stop, and after "Riprova" the card is left and no other follows.
void TestStampaCartelle::stopPressedWhileTheErrorWindowIsOpen() {
    setRun(true, QStringLiteral("1"), QStringLiteral("6"));
    FailingSurface surface;
    MsgErrorPresenter windows;
    PresenterScope scope(windows);
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages, surface,
                       RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    int shown = 0;
    bool noticeBefore = true;
    bool noticeAfter = false;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&] {
        auto *window = qobject_cast<frmMsgError *>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) {
            return;
        }
        auto *notice = window->findChild<QLabel *>(QStringLiteral("lblInterruzione"));
        if (++shown == 1) {
            noticeBefore = notice->isVisible();
            // Through the window system, as a real click comes, so a modal block would drop it.
            QWidget *stop = run.stopWindow()->stopButton();
            QTest::mouseClick(stop->window()->windowHandle(), Qt::LeftButton, {},
                              stop->mapTo(stop->window(), stop->rect().center()));
            noticeAfter = notice->isVisible();
        }
        // Past the first showing the stop was lost: give up the card so the run can end.
        QTest::mouseClick(window->findChild<QPushButton *>(shown == 1
                                                               ? QStringLiteral("cmdResponse(1)")
                                                               : QStringLiteral("cmdResponse(0)")),
                          Qt::LeftButton);
    });
    answerer.start(5);
    int drawn = 0;
    connect(&run, &StampaCartelle::cartellaStampata, this, [&](int done, int) { drawn = done; });
    QCOMPARE(print(run), StampaCartelle::Result::Stopped);
    QCOMPARE(shown, 1);
    QVERIFY(!noticeBefore);
    QVERIFY(noticeAfter);
    QCOMPARE(drawn, 2); // the failing card is left, and none follows
    checkMainWindowBack();
}

void TestStampaCartelle::sameFaultRetriedOffersToStop() {
    setRun(true, QStringLiteral("1"), QStringLiteral("6"));
    FailingSurface surface;
    ScriptedPresenter errors;
    errors.answers.assign(10, IDRETRY);
    PresenterScope scope(errors);
    RecordingPresenter messages;
    messages.risposta = true;
    StampaCartelle run(*m_main, m_page->request(), m_settings, messages, surface,
                       RunRegistration::opener());
    run.setArchiveFolders({m_archiveFolder});
    QCOMPARE(run.run(), StampaCartelle::Result::Stopped);
    QCOMPARE(errors.reports.size(), 3);
    QCOMPARE(messages.domande.size(), 1);
    QVERIFY(messages.domande.first().contains(QStringLiteral("Interrompere la stampa?")));
    checkMainWindowBack();
}

// The archive's fingerprint is read off the window's thread: an event posted to the window
// while the hash is held in progress is handled before the hash goes on.
void TestStampaCartelle::windowAnswersWhileTheArchiveIsRead() {
    const QString folder = m_dir.filePath(QStringLiteral("impronta"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeAll(QDir(folder).filePath(CardArchive::fileName), runFaultArchive(12, 0)));
    QSemaphore handled;
    bool windowAnswered = false;
    ArchiveFingerprint::setReadHook([&] {
        QMetaObject::invokeMethod(
            m_main.get(), [&handled] { handled.release(); }, Qt::QueuedConnection);
        // Reading on the window's own thread could never see it handled: the wait runs out.
        windowAnswered = handled.tryAcquire(1, 20000);
    });
    setRun(true, QStringLiteral("1"), QStringLiteral("6"));
    CurrentPrinter::target().selectPdfFile(nextPdf());
    StampaCartelle run(*m_main, m_page->request(), m_settings, m_messages,
                       CurrentPrinter::surface(), RunRegistration::opener());
    run.setArchiveFolders({folder});
    const StampaCartelle::Result result = print(run);
    ArchiveFingerprint::setReadHook({});
    QCOMPARE(result, StampaCartelle::Result::Completed);
    QVERIFY(windowAnswered);
    QVERIFY(ArchiveFingerprint::known(QDir(folder).filePath(CardArchive::fileName)));
    checkMainWindowBack();
}

QTEST_MAIN(TestStampaCartelle)
#include "tst_StampaCartelle.moc"
