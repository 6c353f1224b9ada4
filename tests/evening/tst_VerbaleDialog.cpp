#include "evening/VerbaleDialog.h"

#include "appearance/clsPrintDialog.h"
#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/TestFiles.h"
#include "ui/FileChooser.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Answers the file dialog with a fixed name.
class Answer : public FileChooser {
public:
    QString fileToSave(QWidget *, const QString &, const QString &) override { return file; }
    QString file;
};

// Two games of the evening: the first ended with its numbers, the second being played.
const QStringList firstGame{"83", "4", "61", "27", "90", "15"};
const QStringList secondGame{"12", "70"};

} // namespace

class tst_VerbaleDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<RegisterDatabase> m_db;
    RecordingPresenter m_messages;
    Answer m_answer;
    qint64 m_firstGame = 0;
    qint64 m_secondGame = 0;

    std::unique_ptr<VerbaleDialog> dialog() {
        auto window = std::make_unique<VerbaleDialog>(m_db->connection(), m_messages);
        window->setFileChooser(&m_answer);
        return window;
    }
    static void press(const QWidget &window, const char *name) {
        QTest::mouseClick(window.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

private slots:
    void init() {
        m_db = std::make_unique<RegisterDatabase>(
            m_dir.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction())));
        QVERIFY2(m_db->isOpen(), qPrintable(m_db->error()));
        GameStore store(m_db->connection());
        QVERIFY(store.restore());
        m_firstGame = store.gameId();
        for (const QString &number : firstGame) {
            QVERIFY(store.draw(number.toInt()));
        }
        QVERIFY(store.newGame());
        m_secondGame = store.gameId();
        for (const QString &number : secondGame) {
            QVERIFY(store.draw(number.toInt()));
        }
        m_messages = {};
        m_answer.file = m_dir.filePath(QStringLiteral("verbale.pdf"));
        QFile::remove(m_answer.file);
    }

    // The evening's games, the one being played chosen; every control is reached by the
    // keyboard and named by its own text.
    void listsTheEveningsGamesWithTheCurrentOneChosen() {
        const auto window = dialog();
        auto *games = window->findChild<QListWidget *>(QStringLiteral("lstPartite"));
        QCOMPARE(games->count(), 2);
        QCOMPARE(games->currentRow(), 1);
        QVERIFY(games->item(1)->text().endsWith(QStringLiteral("2 numeri (in corso)")));
        QCOMPARE(window->shownGame(), m_secondGame);
        games->setCurrentRow(0);
        QCOMPARE(window->shownGame(), m_firstGame);
        for (const QPushButton *button : window->findChildren<QPushButton *>()) {
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
            QVERIFY2(button->accessibleName().contains(button->text().remove(u'&')),
                     qPrintable(button->text()));
        }
        QVERIFY(
            !window->findChild<QWidget *>(QStringLiteral("anteprima"))->accessibleName().isEmpty());
    }

    // "Salva PDF…" writes the chosen game's record: its numbers read back in the order drawn.
    void savedPdfHoldsTheGamesNumbersInOrder() {
        if (!pdfToolsAvailable()) {
            QSKIP("pdftotext is not installed");
        }
        const auto window = dialog();
        window->findChild<QListWidget *>(QStringLiteral("lstPartite"))->setCurrentRow(0);
        press(*window, "cmdSalvaPdf");
        QCOMPARE(
            m_messages.avvisi,
            QStringList{
                QStringLiteral("Il verbale è stato salvato nel file \"%1\".").arg(m_answer.file)});
        const std::optional<QString> text =
            toolOutput(QStringLiteral("pdftotext"),
                       {QStringLiteral("-layout"), m_answer.file, QStringLiteral("-")});
        QVERIFY(text);
        // Each line of the draw log: its place in the draw, the number, the time; the draw's
        // columns stand side by side, so the places put them in order.
        QMap<int, QString> found;
        static const QRegularExpression logLine(
            QStringLiteral("(\\d+)\\s+(\\d+)\\s+\\d\\d:\\d\\d:\\d\\d"));
        for (auto it = logLine.globalMatch(*text); it.hasNext();) {
            const QRegularExpressionMatch line = it.next();
            found.insert(line.captured(1).toInt(), line.captured(2));
        }
        QCOMPARE(QStringList(found.values()), firstGame);
    }

    void printDialogAnswered_data() {
        QTest::addColumn<bool>("toFile");
        QTest::newRow("cancelled: nothing printed, nothing said") << false;
        QTest::newRow("a PDF file: written as \"Salva PDF…\" writes it") << true;
    }

    void printDialogAnswered() {
        QFETCH(bool, toFile);
        const auto window = dialog();
        auto *poll = new QTimer(window.get());
        connect(poll, &QTimer::timeout, poll, [poll, toFile, this] {
            QPrintDialog *shown = clsPrintDialog::openDialog();
            if (!shown || !shown->isVisible()) {
                return;
            }
            poll->stop();
            if (!toFile) {
                return shown->reject();
            }
            auto *printers = shown->findChild<QComboBox *>(QStringLiteral("printers"));
            printers->setCurrentIndex(printers->count() - 1); // the file, after any queue
            shown->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(m_answer.file);
            shown->accept();
        });
        poll->start(10);
        press(*window, "cmdStampa");
        QVERIFY(!poll->isActive()); // the dialog was shown, and answered
        QCOMPARE(m_messages.avvisi.size(), int(toFile));
        QCOMPARE(readAll(m_answer.file).startsWith("%PDF-"), toFile);
    }

    void refusedFileIsSaidOnceAndNothingIsWritten_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before"); // what the file held; empty: no file
        QTest::newRow("folder that does not exist") << "nessuna/verbale.pdf" << QByteArray();
        QTest::newRow("a file that is no PDF") << "appunti.txt" << QByteArray("appunti\n");
    }

    void refusedFileIsSaidOnceAndNothingIsWritten() {
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        m_answer.file = m_dir.filePath(file);
        QVERIFY(before.isEmpty() || writeAll(m_answer.file, before));
        press(*dialog(), "cmdSalvaPdf");
        QCOMPARE(m_messages.avvisi.size(), 1);
        QVERIFY2(
            !m_messages.avvisi.first().startsWith(QStringLiteral("Il verbale è stato salvato")),
            qPrintable(m_messages.avvisi.first()));
        QCOMPARE(QFile::exists(m_answer.file), !before.isEmpty());
        QCOMPARE(readAll(m_answer.file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files),
                 QStringList());
    }
};

QTEST_MAIN(tst_VerbaleDialog)
#include "tst_VerbaleDialog.moc"
