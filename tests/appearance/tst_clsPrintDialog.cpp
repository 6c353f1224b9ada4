#include "appearance/clsPrintDialog.h"

#include "errors/VelmoraError.h"
#include "print/PrinterTarget.h"
#include "tests/support/PrintQueues.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Answers the dialog once ShowPrinter() has it on screen. The answer must accept or reject.
void answerDialog(std::function<void(QPrintDialog &)> answer) {
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        QPrintDialog *dialog = clsPrintDialog::openDialog();
        if (dialog && dialog->isVisible()) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start();
}

struct PrinterState {
    bool pdf;
    QString device;
    QString port;
    int copies;
    int orientation;
    bool operator==(const PrinterState &) const = default;
};

PrinterState stateOf(const PrinterTarget &target) {
    return {target.isPdfFile(), target.deviceName(), target.port(), target.copies(),
            target.orientation()};
}

} // namespace

class TestclsPrintDialog : public QObject {
    Q_OBJECT
private slots:
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void confirmAppliesTheChoices_data();
    void confirmAppliesTheChoices();
    void chosenPageRangeIsReadBack();
    void printCommandOffersNoRangeAndAFileOnlyWithoutPrinters();
    void confirmMakesTheChosenQueueCurrent();

private:
    QTemporaryDir m_dir;
};

void TestclsPrintDialog::cancelChangesNothing_data() {
    QTest::addColumn<bool>("cancelError");
    QTest::newRow("cancel is no error") << false;
    QTest::newRow("cancel raises 32755") << true;
}

void TestclsPrintDialog::cancelChangesNothing() {
    QFETCH(bool, cancelError);
    PrinterTarget target;
    target.selectPdfFile(m_dir.filePath(QStringLiteral("prima.pdf")));
    target.setCopies(3);
    target.setOrientation(2);
    const PrinterState before = stateOf(target);

    clsPrintDialog dialog(target);
    dialog.Flags = 0x8000C;
    dialog.setMin(1);
    dialog.setFromPage(3);
    dialog.setToPage(5);
    dialog.setMax(100);
    dialog.CancelError = cancelError;
    answerDialog([](QPrintDialog &shown) {
        shown.findChild<QSpinBox *>(QStringLiteral("copies"))->setValue(7);
        shown.reject();
    });
    bool confirmed = true;
    try {
        confirmed = dialog.ShowPrinter();
        QVERIFY(!cancelError);
    } catch (const VelmoraError &error) {
        QVERIFY(cancelError);
        QCOMPARE(error.number(), 32755);
        QCOMPARE(error.description(), QStringLiteral("Cancel."));
        QCOMPARE(error.source(), QStringLiteral("ZQ PrintDialog"));
        confirmed = false;
    }
    QVERIFY(!confirmed);
    QVERIFY(stateOf(target) == before);
    QCOMPARE(dialog.Flags, 0x8000C);
    QCOMPARE(dialog.FromPage(), qint16(3));
    QCOMPARE(dialog.ToPage(), qint16(5));
    QCOMPARE(clsPrintDialog::openDialog(), nullptr);
}

void TestclsPrintDialog::confirmAppliesTheChoices_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("copies");
    QTest::newRow("landscape kept, one copy") << 2 << 1;
    QTest::newRow("portrait kept, one copy") << 1 << 1;
    // A PDF file holds one copy: more are refused, saying why, and nothing changes.
    QTest::newRow("two copies to a file") << 2 << 2;
}

void TestclsPrintDialog::confirmAppliesTheChoices() {
    QFETCH(int, orientation);
    QFETCH(int, copies);
    PrinterTarget target;
    const QString first = m_dir.filePath(QStringLiteral("uno.pdf"));
    const QString second = m_dir.filePath(QStringLiteral("due-%1.pdf").arg(orientation));
    target.selectPdfFile(first);
    target.setOrientation(orientation);
    target.setCopies(5);

    clsPrintDialog dialog(target);
    dialog.setMin(1);
    dialog.setFromPage(3);
    dialog.setToPage(5);
    dialog.setMax(100);
    QString presetFile;
    answerDialog([&](QPrintDialog &shown) {
        auto *file = shown.findChild<QLineEdit *>(QStringLiteral("filename"));
        presetFile = file->text();
        file->setText(second);
        shown.findChild<QSpinBox *>(QStringLiteral("copies"))->setValue(copies);
        shown.accept();
    });
    if (copies > 1) {
        const PrinterState before = stateOf(target);
        try {
            dialog.ShowPrinter();
            QFAIL("more than one copy to a file was taken");
        } catch (const VelmoraError &error) {
            QVERIFY(error.description().contains(QStringLiteral("una sola copia")));
        }
        QVERIFY(stateOf(target) == before);
        return;
    }
    QVERIFY(dialog.ShowPrinter());
    QCOMPARE(presetFile, first); // the dialog opened on the current file
    QVERIFY(target.isPdfFile());
    QCOMPARE(target.port(), second);
    QCOMPARE(target.copies(), copies);
    QCOMPARE(target.orientation(), orientation);
    QCOMPARE(target.duplex(), int(PrinterTarget::Simplex));
    QCOMPARE(dialog.Flags & PrintDialogSettings::PrintToFile,
             int(PrintDialogSettings::PrintToFile));
    QCOMPARE(dialog.FromPage(), qint16(3));
    QCOMPARE(dialog.ToPage(), qint16(5));
}

void TestclsPrintDialog::chosenPageRangeIsReadBack() {
    PrinterTarget target;
    target.selectPdfFile(m_dir.filePath(QStringLiteral("pagine.pdf")));
    clsPrintDialog dialog(target);
    dialog.setMin(1);
    dialog.setFromPage(3);
    dialog.setToPage(5);
    dialog.setMax(100);
    QList<int> preset;
    answerDialog([&](QPrintDialog &shown) {
        auto *from = shown.findChild<QSpinBox *>(QStringLiteral("from"));
        auto *to = shown.findChild<QSpinBox *>(QStringLiteral("to"));
        preset = {from->minimum(), from->value(), to->value(), to->maximum()};
        shown.findChild<QAbstractButton *>(QStringLiteral("printRange"))->setChecked(true);
        to->setValue(9);
        from->setValue(4);
        shown.accept();
    });
    QVERIFY(dialog.ShowPrinter());
    QCOMPARE(preset, (QList<int>{1, 3, 5, 100}));
    QCOMPARE(dialog.Flags & PrintDialogSettings::PageNums, int(PrintDialogSettings::PageNums));
    QCOMPARE(dialog.FromPage(), qint16(4));
    QCOMPARE(dialog.ToPage(), qint16(9));
    QCOMPARE(dialog.Min(), qint16(1)); // Min and Max are not read back
    QCOMPARE(dialog.Max(), qint16(100));
}

void TestclsPrintDialog::printCommandOffersNoRangeAndAFileOnlyWithoutPrinters() {
    const bool noPrinter = PrinterTarget::installedPrinters().isEmpty();
    PrinterTarget target; // the default printer, or a PDF file without one
    QCOMPARE(target.isPdfFile(), noPrinter);
    clsPrintDialog dialog(target);
    dialog.Flags = 0x8000C;
    dialog.setMin(1);
    dialog.setFromPage(3);
    dialog.setToPage(5);
    dialog.setMax(100);
    const QString chosen = m_dir.filePath(QStringLiteral("scelto.pdf"));
    QList<bool> offered;
    answerDialog([&](QPrintDialog &shown) {
        // Qt's own range group stays on show unless taken out of sight.
        offered = {shown.testOption(QAbstractPrintDialog::PrintToFile),
                   shown.testOption(QAbstractPrintDialog::PrintPageRange),
                   shown.testOption(QAbstractPrintDialog::PrintSelection),
                   !shown.findChild<QWidget *>(QStringLiteral("gbPrintRange"))->isHidden()};
        if (noPrinter) {
            shown.findChild<QLineEdit *>(QStringLiteral("filename"))->setText(chosen);
        }
        shown.accept();
    });
    QVERIFY(dialog.ShowPrinter());
    QCOMPARE(offered, (QList<bool>{noPrinter, false, false, false}));
    if (noPrinter) {
        // A machine without printers still prints: to the PDF file chosen in the dialog.
        QVERIFY(target.isPdfFile());
        QCOMPARE(target.port(), chosen);
        QCOMPARE(dialog.Flags, 0x8002C);
    } else {
        QVERIFY(!target.isPdfFile());
        QCOMPARE(dialog.Flags, 0x8000C);
    }
}

void TestclsPrintDialog::confirmMakesTheChosenQueueCurrent() {
    if (!schedulerRunning()) {
        QSKIP("no CUPS scheduler is running: choosing a printer cannot be shown");
    }
    // A queue of this test's own: the others may add and remove theirs meanwhile.
    const OwnQueue own(QStringLiteral("VelmoraTestDialogo"), QStringLiteral("VelmoraTest"));
    if (!own.made()) {
        QSKIP(qPrintable(QStringLiteral("no test queue could be made: %1").arg(own.error())));
    }
    QTRY_VERIFY_WITH_TIMEOUT(PrinterTarget::installedPrinters().contains(own.name()), 10000);
    PrinterTarget target;
    target.selectPdfFile(m_dir.filePath(QStringLiteral("prima.pdf")));
    clsPrintDialog dialog(target);
    answerDialog([&](QPrintDialog &shown) {
        auto *printers = shown.findChild<QComboBox *>(QStringLiteral("printers"));
        printers->setCurrentIndex(printers->findText(own.name()));
        shown.accept();
    });
    QVERIFY(dialog.ShowPrinter());
    QVERIFY(!target.isPdfFile());
    QCOMPARE(target.deviceName(), own.name());
}

QTEST_MAIN(TestclsPrintDialog)
#include "tst_clsPrintDialog.moc"
