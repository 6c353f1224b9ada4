#include "app/Form1.h"
#include "app/PrintPage.h"
#include "errors/VelmoraError.h"
#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "evening/Verbale.h"
#include "evening/VerbaleDocument.h"
#include "game/CardView.h"
#include "game/GameSession.h"
#include "game/Tabellone.h"
#include "hall/DigitFit.h"
#include "hall/HallBoard.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"
#include "register/ArchiveFingerprint.h"
#include "register/RegisterTime.h"
#include "settings/Configurazione.h"
#include "tests/support/CardFixture.h"
#include "tests/support/FreePort.h"
#include "tests/support/HttpProbe.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/RegisterHolder.h"
#include "tests/support/TestFiles.h"
#include "ui/qbButtons_H.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora::testing;

using namespace velmora;

namespace {

// Two printings of a 12-card archive: cards 7..12 numbered from 1, and the whole archive with
// its own numbers from another archive file; printed number 3 is in both.
class TwoRuns : public PrintedRunSource {
public:
    QList<PrintedRun> runs() const override {
        if (unreadable) {
            throw VelmoraError(VelmoraError::DeviceIo,
                               QStringLiteral("Il registro delle stampe non si legge: prova"));
        }
        if (!instead.isEmpty()) {
            return instead;
        }
        return {run(1, 7, 6, false, false), run(2, 1, 12, true, true)};
    }
    bool unreadable = false;
    QList<PrintedRun> instead;  // when set, the runs of the register
    ArchiveFingerprint archive; // both runs printed from
    QString sourceName() const override { return QStringLiteral("registro di prova"); }

private:
    PrintedRun run(int id, int first, int count, bool archiveNumbers, bool otherArchive) const {
        PrintedRun printed{*PrintedRun::fromPrintPage(first, count, archiveNumbers)};
        printed.record.id = id;
        printed.record.archivePath = archive.path;
        printed.record.archiveSize = archive.size;
        printed.record.archiveSha256 = archive.sha256;
        printed.label = QStringLiteral("corsa %1").arg(id);
        printed.otherArchive = otherArchive;
        return printed;
    }
};

// What of window's shown part is out of it, a control under its minimum (the one set on it, else
// the one its text asks for), a command stretched wide or a button over a sibling button.
QStringList layoutFaults(QWidget *window) {
    QStringList faults;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        // A spin box's own line edit is its part, sized by it: the spin box is what is checked.
        const bool part = qobject_cast<QAbstractSpinBox *>(widget->parentWidget());
        const bool control = !part && (label || button || qobject_cast<QLineEdit *>(widget) ||
                                       qobject_cast<QComboBox *>(widget) ||
                                       qobject_cast<QAbstractSpinBox *>(widget));
        QSize minimum =
            widget->minimumSize().isNull() ? widget->minimumSizeHint() : widget->minimumSize();
        if (label && label->wordWrap()) {
            minimum.setHeight(label->heightForWidth(label->width()));
        }
        const QString name =
            widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className();
        if (!widget->isVisible()) {
            continue;
        } else if (!window->rect().contains(
                       QRect(widget->mapTo(window, QPoint()), widget->size()))) {
            faults << name + QLatin1String(" out of the window");
        } else if (control &&
                   (widget->width() < minimum.width() || widget->height() < minimum.height())) {
            faults << name + QLatin1String(" squeezed");
        } else if (button && !button->isCheckable() &&
                   button->width() > 2 * button->sizeHint().width()) {
            faults << name + QLatin1String(" stretched");
        }
        for (const QAbstractButton *other :
             button ? widget->parentWidget()->findChildren<QAbstractButton *>(
                          Qt::FindDirectChildrenOnly)
                    : QList<QAbstractButton *>()) {
            if (other != button && other->isVisible() &&
                other->geometry().intersects(button->geometry())) {
                faults << name + QLatin1String(" over ") + other->objectName();
            }
        }
    }
    return faults;
}

} // namespace

class TestTabellone : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keysAndClicksMarkTheBoard();
    void numberNotStoredIsNotShownAndOfferedAgain();
    void drawnNumberStaysDrawnWhateverPressesIt_data();
    void drawnNumberStaysDrawnWhateverPressesIt();
    void typingAfterTheBoardReachesTheEntryBox_data();
    void typingAfterTheBoardReachesTheEntryBox();
    void badNumberIsSaidBesideTheBox_data();
    void badNumberIsSaidBesideTheBox();
    void checksAClaimedCard();
    void listsTheWinners();
    void claimIsAwardedAndThePrizeMovesOn();
    void earlierCardsAreNamedAndTheOrganiserDecides_data();
    void earlierCardsAreNamedAndTheOrganiserDecides();
    void awardTakenBackIsKeptAndThePrizePlayedAgain();
    void claimForACardNotInPlayIsSaid();
    void claimedNumberIsTheOneTheArchiveStores();
    void eachClaimCheckedIsKeptInTheRegister_data();
    void eachClaimCheckedIsKeptInTheRegister();
    void verbaleOpensFromTheBoard();
    void unreadableRegisterIsSaidNotTakenForNoRuns();
    void screenReaderSeesCheckedButtons();
    void everyAltKeyReachesOneControl();
    void openedFromTitleAndPrintPages();
    void gameStartIsShownInLocalTime_data();
    void gameStartIsShownInLocalTime();
    void fitsTheScreenAndGrowsWithIt_data();
    void fitsTheScreenAndGrowsWithIt();

private:
    void makeWindow(std::function<QList<CardInPlay>()> cardsInPlay);
    void type(QWidget *box, const QString &text);
    QList<int> rowOfCard(qint64 card, int row);

    QTemporaryDir m_dir;
    Configurazione m_settings;
    TwoRuns m_runs;
    testing::RecordingPresenter m_presenter;
    std::unique_ptr<RegisterDatabase> m_register;
    std::unique_ptr<GameStore> m_store;
    std::unique_ptr<Tabellone> m_window;
    int m_connection = 0;
};

void TestTabellone::init() {
    QFile archive(m_dir.filePath(CardArchive::fileName));
    QVERIFY(archive.open(QIODevice::WriteOnly));
    archive.write(SeriesGenerator::makeArchive(12, 5));
    archive.close();
    m_runs.archive = ArchiveFingerprint::of(archive.fileName()).value_or(ArchiveFingerprint{});
    m_register = std::make_unique<RegisterDatabase>(
        m_dir.filePath(QStringLiteral("t%1.sqlite").arg(++m_connection)));
    QVERIFY2(m_register->isOpen(), qPrintable(m_register->error()));
    m_store = std::make_unique<GameStore>(m_register->connection());
    QVERIFY(m_store->restore());
    m_settings.Dimensione = 16;
    makeWindow({});
}

void TestTabellone::makeWindow(std::function<QList<CardInPlay>()> cardsInPlay) {
    Tabellone::Seams seams;
    seams.store = m_store.get();
    seams.settings = &m_settings;
    seams.runs = &m_runs;
    seams.presenter = &m_presenter;
    const QString folder = m_dir.path();
    seams.archivePlaces = {folder};
    seams.cardsInPlay = std::move(cardsInPlay);
    m_window = std::make_unique<Tabellone>(std::move(seams));
    m_window->show();
}

void TestTabellone::cleanup() {
    m_runs.unreadable = false;
    m_runs.instead.clear();
    m_presenter = testing::RecordingPresenter();
    m_window.reset();
    m_store.reset();
    m_register.reset();
}

void TestTabellone::type(QWidget *box, const QString &text) {
    box->setFocus();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

QList<int> TestTabellone::rowOfCard(qint64 card, int row) {
    CardArchive archive(m_dir.path());
    const RecordCartella record = archive.read(card);
    QList<int> numbers;
    for (int column = 0; column < RecordCartella::columns; ++column) {
        if (const int n = record.cellNumber(RecordCartella::cellIndex(column, row)); n > 0) {
            numbers.append(n);
        }
    }
    return numbers;
}

void TestTabellone::keysAndClicksMarkTheBoard() {
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    auto *last = m_window->findChild<QLabel *>(QStringLiteral("lblUltimo"));
    auto *count = m_window->findChild<QLabel *>(QStringLiteral("lblConteggio"));
    type(entry, QStringLiteral("5"));
    type(entry, QStringLiteral("90"));
    QTest::mouseClick(m_window->numberButton(40), Qt::LeftButton);
    QCOMPARE(last->text(), QStringLiteral("40"));

    // Space on a focused button that is not drawn draws it; arrows walk the board.
    m_window->numberButton(80)->setFocus();
    QTest::keyClick(m_window->numberButton(80), Qt::Key_Space);
    QTest::keyClick(m_window->numberButton(80), Qt::Key_Up);
    QCOMPARE(m_window->focusWidget(), m_window->numberButton(70));
    QCOMPARE(m_store->game().numbers(), (QList<int>{5, 90, 40, 80}));
    QCOMPARE(count->text(), QStringLiteral("Numeri estratti: 4"));

    // "Annulla ultimo" asks first, and takes back only on yes.
    auto *undo = m_window->findChild<QPushButton *>(QStringLiteral("cmdAnnulla"));
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(m_presenter.domande, QStringList{"Togliere il 80, l'ultimo numero estratto?"});
    QCOMPARE(m_store->game().count(), 4);
    m_presenter.risposta = true;
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(last->text(), QStringLiteral("40"));
    QVERIFY(!m_window->numberButton(80)->isChecked());
    QCOMPARE(m_store->game().numbers(), (QList<int>{5, 90, 40}));
}

// While another program holds the register, a number typed is not marked: the window says why
// and offers to try again. Once free, it goes in; a restart says the game was under way.
void TestTabellone::numberNotStoredIsNotShownAndOfferedAgain() {
    QVERIFY(QSqlQuery(m_register->connection()).exec(QStringLiteral("PRAGMA busy_timeout = 50")));
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    {
        const testing::RegisterHolder holder(m_register->connection().databaseName());
        QVERIFY(holder.held());
        type(entry, QStringLiteral("7"));
    }
    QCOMPARE(m_presenter.domande,
             QStringList{"Il 7 non è stato segnato, il registro non lo ha salvato: il registro è "
                         "occupato da un altro programma.\nRiprovare?"});
    QVERIFY(!m_window->numberButton(7)->isChecked());
    QTest::mouseClick(m_window->numberButton(7), Qt::LeftButton);
    QVERIFY(m_window->numberButton(7)->isChecked());

    m_window.reset();
    m_store = std::make_unique<GameStore>(m_register->connection());
    QVERIFY(m_store->restore());
    makeWindow({});
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblAvviso"))->text(),
             QStringLiteral("Partita in corso ripresa dal registro: 1 numero estratto, nessun "
                            "premio assegnato."));
}

void TestTabellone::drawnNumberStaysDrawnWhateverPressesIt_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("mouse click") << "mouse";
    QTest::newRow("space on the focused button") << "space";
    QTest::newRow("screen reader press") << "reader";
}

void TestTabellone::drawnNumberStaysDrawnWhateverPressesIt() {
    QFETCH(QString, how);
    for (const int number : {7, 30}) {
        QVERIFY(m_store->draw(number));
    }
    m_window->refresh();
    QPushButton *seven = m_window->numberButton(7);
    if (how == u"mouse") {
        QTest::mouseClick(seven, Qt::LeftButton);
    } else if (how == u"space") {
        seven->setFocus();
        QTest::keyClick(seven, Qt::Key_Space);
    } else {
        QAccessible::queryAccessibleInterface(seven)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
    }
    QCOMPARE(m_store->game().numbers(), (QList<int>{7, 30}));
    QVERIFY(seven->isChecked());
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblUltimo"))->text(),
             QStringLiteral("30"));
    QCOMPARE(
        m_window->findChild<QLabel *>(QStringLiteral("lblAvviso"))->text(),
        QStringLiteral("Il 7 è già estratto: solo \"Annulla ultimo\" toglie l'ultimo numero."));
}

void TestTabellone::typingAfterTheBoardReachesTheEntryBox_data() {
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("after a mouse click") << true;
    QTest::newRow("on a board button reached by Tab") << false;
}

void TestTabellone::typingAfterTheBoardReachesTheEntryBox() {
    QFETCH(bool, byMouse);
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    entry->setFocus();
    if (byMouse) {
        QTest::mouseClick(m_window->numberButton(12), Qt::LeftButton);
    } else {
        m_window->numberButton(12)->setFocus();
        QTest::keyClick(m_window->numberButton(12), Qt::Key_Space);
    }
    QTest::keyClicks(m_window->focusWidget(), QStringLiteral("34"));
    QTest::keyClick(m_window->focusWidget(), Qt::Key_Return);
    QCOMPARE(m_window->focusWidget(), entry);
    QCOMPARE(m_store->game().numbers(), (QList<int>{12, 34}));
}

void TestTabellone::badNumberIsSaidBesideTheBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");
    QTest::newRow("zero") << "0"
                          << "Il 0 non è un numero della tombola: scrivere un numero da 1 a 90.";
    QTest::newRow("above 90") << "95"
                              << "Il 95 non è un numero della tombola: scrivere un numero da 1 "
                                 "a 90.";
    QTest::newRow("three digits") << "123"
                                  << "Il 123 non è un numero della tombola: scrivere un numero "
                                     "da 1 a 90.";
    QTest::newRow("nothing typed") << ""
                                   << "Scrivere un numero da 1 a 90.";
    QTest::newRow("already drawn") << "5"
                                   << "Il 5 è già estratto: solo \"Annulla ultimo\" toglie "
                                      "l'ultimo numero.";
}

void TestTabellone::badNumberIsSaidBesideTheBox() {
    QFETCH(QString, typed);
    QFETCH(QString, said);
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    auto *notice = m_window->findChild<QLabel *>(QStringLiteral("lblAvviso"));
    type(entry, QStringLiteral("5"));
    type(entry, typed);
    QCOMPARE(notice->text(), said);
    QCOMPARE(m_store->game().numbers(), QList<int>{5});
    type(entry, QStringLiteral("6")); // the next good number clears it
    QCOMPARE(notice->text(), QString());
    QCOMPARE(m_store->game().numbers(), (QList<int>{5, 6}));
}

void TestTabellone::checksAClaimedCard() {
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    const QList<int> row = rowOfCard(9, 1);
    for (const int number : row) {
        type(entry, QString::number(number));
    }
    auto *card = m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella"));
    auto *run = m_window->findChild<QComboBox *>(QStringLiteral("cboCorsa"));
    auto *outcome = m_window->findChild<QLabel *>(QStringLiteral("lblEsito"));
    auto *notice = m_window->findChild<QLabel *>(QStringLiteral("lblAvvisoCartella"));
    auto *view = m_window->findChild<CardView *>();
    m_settings.Titolo = QStringLiteral("Tombola di San Rocco 2026"); // longer than its place

    type(card, QStringLiteral("3")); // card 9 of the first run, card 3 of the second
    QVERIFY(run->isEnabled());
    QCOMPARE(run->count(), 2);
    QCOMPARE(outcome->text(), QStringLiteral("Cinquina sulla seconda riga"));
    QList<int> sorted = row;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(view->marked(), sorted);
    QVERIFY(notice->text().startsWith(QStringLiteral("Cartella 9 dell'archivio")));
    // The title is drawn smaller, whole on the card: ink in its band, none at the card's edge.
    const QImage picture = view->grab().toImage();
    const QRgb paper = picture.pixel(0, 0);
    int inked = 0;
    for (int y = 0; y < picture.height() / 8; ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            inked += picture.pixel(x, y) != paper ? 1 : 0;
            QVERIFY2(x > 2 || picture.pixel(x, y) == paper, qPrintable(QString::number(y)));
        }
    }
    QVERIFY(inked > 0);

    // Choosing the other run re-checks at once: card 3 holds none of card 9's row.
    run->setCurrentIndex(1);
    QVERIFY(notice->text().startsWith(QStringLiteral("Cartella 3 dell'archivio")));
    QVERIFY(notice->text().contains(QStringLiteral("archivio diverso")));
    QVERIFY(outcome->text() != QStringLiteral("Cinquina sulla seconda riga"));

    // Undo reaches the card shown at once.
    run->setCurrentIndex(0);
    QCOMPARE(outcome->text(), QStringLiteral("Cinquina sulla seconda riga"));
    m_presenter.risposta = true;
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdAnnulla")),
                      Qt::LeftButton);
    QCOMPARE(outcome->text(), QStringLiteral("Quaterna sulla seconda riga"));

    // Another number typed: the verdict of the one before is gone until it is checked.
    card->clear();
    QVERIFY(outcome->text().isEmpty() && !view->hasCard());
    type(card, QStringLiteral("20"));
    QVERIFY(!view->hasCard());
    QVERIFY(notice->text().startsWith(QStringLiteral("Nessuna cartella N. 20")));
}

void TestTabellone::listsTheWinners() {
    for (const int number : rowOfCard(9, 2)) {
        QVERIFY(m_store->draw(number));
    }
    m_window->refresh();
    auto *prize = m_window->findChild<QComboBox *>(QStringLiteral("cboPremio"));
    prize->setCurrentIndex(prize->findText(QStringLiteral("Cinquina")));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdChiHaVinto")),
                      Qt::LeftButton);
    auto *table = m_window->findChild<QTableWidget *>(QStringLiteral("tblVincite"));
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            cells.append(table->item(r, c)->text());
        }
        rows.append(cells.join(QLatin1Char('|')));
    }
    QCOMPARE(rows, (QStringList{QStringLiteral("3|9|Cinquina|terza|corsa 1"),
                                QStringLiteral("00009|9|Cinquina|terza|corsa 2")}));
    // A number taken back: the list is of the numbers drawn now.
    m_presenter.risposta = true;
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdAnnulla")),
                      Qt::LeftButton);
    QCOMPARE(table->rowCount(), 0);
}

void TestTabellone::claimIsAwardedAndThePrizeMovesOn() {
    auto *playing = m_window->findChild<QLabel *>(QStringLiteral("lblPremioInGioco"));
    auto *reached = m_window->findChild<QLabel *>(QStringLiteral("lblVincitori"));
    auto *award = m_window->findChild<QPushButton *>(QStringLiteral("cmdAssegna"));
    auto *notice = m_window->findChild<QLabel *>(QStringLiteral("lblAvvisoCartella"));
    QCOMPARE(playing->text(), QStringLiteral("Si gioca: Ambo"));
    QTableWidgetItem *value =
        m_window->findChild<QTableWidget *>(QStringLiteral("tblPremi"))->item(1, 1);
    value->setText(QStringLiteral("10 euro"));
    QCOMPARE(m_store->prizes().prizes().at(1).value, QStringLiteral("10 euro"));
    // Its tick: the whole value to each card that shares it, the value kept as it was.
    QVERIFY(!m_store->prizes().prizes().at(1).wholeToEach);
    value->setCheckState(Qt::Checked);
    QVERIFY(m_store->prizes().prizes().at(1).wholeToEach);
    QCOMPARE(m_store->prizes().prizes().at(1).value, QStringLiteral("10 euro"));
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    for (const int number : rowOfCard(9, 1).mid(0, 2)) {
        type(entry, QString::number(number));
    }
    // Card 9 is N. 3 of the first run: found at the draw, then claimed and given the prize.
    QVERIFY2(reached->text().startsWith(QStringLiteral("Ambo: ")) &&
                 reached->text().contains(QStringLiteral("N. 3 (corsa 1)")),
             qPrintable(reached->text()));
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("3"));
    QVERIFY(award->isEnabled());
    QTest::mouseClick(award, Qt::LeftButton);
    QCOMPARE(playing->text(), QStringLiteral("Si gioca: Terno (10 euro)"));
    QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("lblAvviso"))
                ->text()
                .startsWith(QStringLiteral("Ambo: premio assegnato a ")));
    QCOMPARE(m_store->prizes().awards().size(), 1);
    QCOMPARE(m_store->prizes().awards().first().cards.first().reachedAt, 2);
    // The same claim again is for a prize already given: said, and not offered.
    QVERIFY(!award->isEnabled());
    QVERIFY2(notice->text().endsWith(QStringLiteral("ha fatto Ambo, premio già assegnato: si gioca "
                                                    "ora Terno.")),
             qPrintable(notice->text()));

    // As the hall is told, from one state on the Tabellone, the hall's board and the phones:
    // the prize given with its cards (both printings of card 9 reached it at once), then the
    // numbers before the last.
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdTabelloneSala")),
                      Qt::LeftButton);
    const quint16 port = freePort();
    m_window->findChild<QSpinBox *>(QStringLiteral("spnPorta"))->setValue(port);
    m_window->findChild<QCheckBox *>(QStringLiteral("chkTelefoni"))->click();
    HttpProbe phone(port, "GET", "/eventi");
    QVERIFY(phone.waitFor("premi"));
    const auto hallSays = [this](const char *name) {
        return m_window->findChild<HallBoard *>()->findChild<QLabel *>(QLatin1String(name))->text();
    };
    const auto phonesSay = [&phone](const char *key) {
        return QJsonDocument::fromJson(phone.lastEvent()).object()[QLatin1String(key)].toArray();
    };
    auto *prizes = m_window->findChild<QTableWidget *>(QStringLiteral("tblPremi"));
    QCOMPARE(prizes->item(0, 2)->text(), QStringLiteral("N. 3 (corsa 1), N. 00009 (corsa 2)"));
    QCOMPARE(prizes->item(1, 2)->text(), QStringLiteral("in gioco"));
    QCOMPARE(hallSays("hallBanner"), QStringLiteral("Ambo: cartelle N. 3, N. 00009"));
    QCOMPARE(phonesSay("premi"),
             QJsonArray{QStringLiteral("Ambo: cartelle N. 3 (corsa 1), N. 00009 (corsa 2)")});
    const QList<int> drawn = m_store->game().numbers();
    const int next = drawn.contains(90) ? 89 : 90;
    type(entry, QString::number(next));
    QVERIFY(phone.waitFor(QByteArray("\"ultimo\":") + QByteArray::number(next)));
    const QString previous = QStringLiteral("Precedenti: %1  %2").arg(drawn.at(1)).arg(drawn.at(0));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblPrecedenti"))->text(), previous);
    QCOMPARE(hallSays("hallPrevious"), previous);
    QCOMPARE(phonesSay("precedenti"), QJsonArray({drawn.at(1), drawn.at(0)}));
    QCOMPARE(phonesSay("premi"),
             QJsonArray{QStringLiteral("Ambo: cartelle N. 3 (corsa 1), N. 00009 (corsa 2)")});
    QCOMPARE(hallSays("hallBanner"), QString()); // until the next number only
}

// Card 9 (N. 3 of the first run, N. 00009 of the second) makes the ambo with the 2nd number,
// card 10 (N. 4) with the 4th and is claimed: "Assegna" names card 9's printings and asks; the
// answer decides who shares the prize.
void TestTabellone::earlierCardsAreNamedAndTheOrganiserDecides_data() {
    QTest::addColumn<bool>("share");
    QTest::addColumn<QString>("given");
    QTest::newRow("no: the hall's rule") << false << "N. 4 (corsa 1), N. 00010 (corsa 2)";
    QTest::newRow("yes")
        << true << "N. 3 (corsa 1), N. 00009 (corsa 2), N. 4 (corsa 1), N. 00010 (corsa 2)";
}

void TestTabellone::earlierCardsAreNamedAndTheOrganiserDecides() {
    QFETCH(bool, share);
    QFETCH(QString, given);
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    for (const int number : rowOfCard(9, 1).mid(0, 2) + rowOfCard(10, 1).mid(0, 2)) {
        type(entry, QString::number(number));
    }
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("4"));
    m_presenter.risposta = share;
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdAssegna")),
                      Qt::LeftButton);
    QCOMPARE(m_presenter.domande.size(), 1);
    QVERIFY2(m_presenter.domande.first().startsWith(
                 QStringLiteral("Ambo è stato fatto prima, e non reclamato, da: N. 3 (corsa 1) "
                                "estr. 2, N. 00009 (corsa 2) estr. 2.")),
             qPrintable(m_presenter.domande.first()));
    QCOMPARE(m_window->findChild<QTableWidget *>(QStringLiteral("tblPremi"))->item(0, 2)->text(),
             given);
}

// A prize given by mistake: taken back after asking, kept in the register and its record as
// taken back, and played again, also after a restart.
void TestTabellone::awardTakenBackIsKeptAndThePrizePlayedAgain() {
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    for (const int number : rowOfCard(9, 1).mid(0, 2)) {
        type(entry, QString::number(number));
    }
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("3"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdAssegna")),
                      Qt::LeftButton);
    auto *takeBack = m_window->findChild<QPushButton *>(QStringLiteral("cmdRitiraPremio"));
    QVERIFY(takeBack->isEnabled());
    QTest::mouseClick(takeBack, Qt::LeftButton); // not confirmed: nothing changes
    QCOMPARE(m_store->prizes().awards().size(), 1);
    QVERIFY2(m_presenter.domande.constLast().startsWith(
                 QStringLiteral("Ritirare Ambo, assegnato a N. 3 (corsa 1), N. 00009 (corsa 2)?")),
             qPrintable(m_presenter.domande.constLast()));

    m_presenter.risposta = true;
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    QTest::mouseClick(takeBack, Qt::LeftButton);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblPremioInGioco"))->text(),
             QStringLiteral("Si gioca: Ambo"));
    QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("lblVincitori"))
                ->text()
                .startsWith(QStringLiteral("Ambo: ")));
    QVERIFY(!takeBack->isEnabled());
    QCOMPARE(m_window->findChild<QTableWidget *>(QStringLiteral("tblPremi"))->item(0, 2)->text(),
             QStringLiteral("in gioco"));

    const qint64 game = m_store->gameId();
    const QString path = m_register->path();
    m_window.reset();
    m_store.reset();
    m_register = std::make_unique<RegisterDatabase>(path);
    GameStore again(m_register->connection());
    QVERIFY(again.restore());
    QCOMPARE(again.prizes().playing(), 0);
    QString reason;
    const std::optional<Verbale> kept = Verbale::read(m_register->connection(), game, &reason);
    QVERIFY2(kept, qPrintable(reason));
    QCOMPARE(kept->awards.size(), 1);
    QCOMPARE(kept->awards.first().cards.size(), 2);
    const QDateTime takenBack = kept->awards.first().takenBack;
    QVERIFY(takenBack >= before && takenBack <= QDateTime::currentDateTimeUtc().addSecs(1));
    const QString pdf = m_dir.filePath(QStringLiteral("verbale.pdf"));
    QVERIFY2(writeVerbalePdf(*kept, pdf, &reason), qPrintable(reason));
    if (pdfToolsAvailable()) {
        // The test's runs are not in the register, so the record has the number kept alone.
        const QString text = pdfLayoutText(pdf).simplified();
        QVERIFY2(
            text.contains(
                QStringLiteral(
                    "Premi assegnati per errore e ritirati: Ambo a N. 3 (corsa 1, archivio 9), "
                    "N. 9 (corsa 2, archivio 9), assegnato alle %1 e ritirato alle %2.")
                    .arg(kept->awards.first().awarded.toLocalTime().toString(
                             QStringLiteral("HH:mm:ss")),
                         takenBack.toLocalTime().toString(QStringLiteral("HH:mm:ss")))),
            qPrintable(text.mid(text.indexOf(QStringLiteral("Premi assegnati")))));
    }
}

void TestTabellone::claimForACardNotInPlayIsSaid() {
    makeWindow([] { return QList<CardInPlay>{}; }); // printed, but none sold
    for (const int number : rowOfCard(9, 1).mid(0, 2)) {
        QVERIFY(m_store->draw(number));
    }
    m_window->refresh();
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblVincitori"))->text(),
             QStringLiteral("Nessuna cartella in gioco."));
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("3"));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblEsito"))->text(),
             QStringLiteral("Ambo sulla seconda riga"));
    QVERIFY(!m_window->findChild<QPushButton *>(QStringLiteral("cmdAssegna"))->isEnabled());
    const QString notice =
        m_window->findChild<QLabel *>(QStringLiteral("lblAvvisoCartella"))->text();
    QVERIFY2(notice.endsWith(QStringLiteral("La cartella N. 3 non è tra le cartelle in gioco: "
                                            "non può vincere.")),
             qPrintable(notice));
}

// An archive whose record N stores N + 1000, printed with its own numbers: card 3 came out as
// number 1003, and a claim of 1003 is card 3, read from the run's archive.
void TestTabellone::claimedNumberIsTheOneTheArchiveStores() {
    const QString file = m_dir.filePath(QStringLiteral("spostati.dat"));
    QVERIFY(testing::writeAll(file, testing::shiftedNumbers(SeriesGenerator::makeArchive(12, 5))));
    PrintedRun printed{*PrintedRun::fromPrintPage(1, 12, true)};
    printed.record.id = 4;
    printed.record.archivePath = file;
    const std::optional<ArchiveFingerprint> fingerprint = ArchiveFingerprint::of(file);
    QVERIFY(fingerprint);
    printed.record.archiveSize = fingerprint->size;
    printed.record.archiveSha256 = fingerprint->sha256;
    printed.label = QStringLiteral("corsa 4");
    m_runs.instead = {printed};
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("1003"));
    const QString notice =
        m_window->findChild<QLabel *>(QStringLiteral("lblAvvisoCartella"))->text();
    QVERIFY2(notice.startsWith(QStringLiteral("Cartella 3 dell'archivio")), qPrintable(notice));
}

void TestTabellone::eachClaimCheckedIsKeptInTheRegister_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<int>("run");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("printed, reached the prize")
        << "3" << 1 << "Ambo sulla seconda riga — vince Ambo.";
    QTest::newRow("never printed") << "20" << 0 << "Nessuna cartella N. 20 risulta stampata";
}

// Checked once, kept once: the check the board redoes after the next number is no new claim,
// and the claim is still there when the register is opened again.
void TestTabellone::eachClaimCheckedIsKeptInTheRegister() {
    QFETCH(QString, card);
    QFETCH(int, run);
    QFETCH(QString, verdict);
    auto *entry = m_window->findChild<QLineEdit *>(QStringLiteral("txtNumero"));
    for (const int number : rowOfCard(9, 1).mid(0, 2)) {
        type(entry, QString::number(number));
    }
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), card);
    type(entry, QString::number(rowOfCard(9, 0).first()));
    QVERIFY(m_presenter.avvisi.isEmpty());

    const qint64 game = m_store->gameId();
    const QString path = m_register->path();
    m_window.reset();
    m_store.reset();
    m_register = std::make_unique<RegisterDatabase>(path);
    QString reason;
    const std::optional<Verbale> kept = Verbale::read(m_register->connection(), game, &reason);
    QVERIFY2(kept, qPrintable(reason));
    QCOMPARE(kept->claims.size(), 1);
    const ClaimCheck &claim = kept->claims.first();
    QCOMPARE(claim.printedNumber, card.toInt());
    QCOMPARE(claim.run, run);
    QVERIFY2(claim.verdict.startsWith(verdict), qPrintable(claim.verdict));
    QVERIFY(claim.checked >= before && claim.checked <= QDateTime::currentDateTime().addSecs(1));
}

void TestTabellone::verbaleOpensFromTheBoard() {
    QString shown;
    QTimer poll; // the dialog is modal: looked at once it is up, then closed
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            poll.stop();
            shown = dialog->windowTitle();
            dialog->reject();
        }
    });
    poll.start(10);
    auto *button = m_window->findChild<QPushButton *>(QStringLiteral("cmdVerbale"));
    QCOMPARE(QKeySequence::mnemonic(button->text()), QKeySequence(Qt::ALT | Qt::Key_V));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("Verbale dell'estrazione"));
    QCOMPARE(m_presenter.avvisi, QStringList());
}

void TestTabellone::unreadableRegisterIsSaidNotTakenForNoRuns() {
    m_runs.unreadable = true;
    type(m_window->findChild<QLineEdit *>(QStringLiteral("txtCartella")), QStringLiteral("3"));
    const QString said = QStringLiteral("Il registro delle stampe non si legge: prova");
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblAvvisoCartella"))->text(), said);
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdChiHaVinto")),
                      Qt::LeftButton);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblAvviso"))->text(), said);
}

void TestTabellone::screenReaderSeesCheckedButtons() {
    for (const int number : {1, 45, 90}) {
        QVERIFY(m_store->draw(number));
    }
    m_window->refresh();
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(
        m_window->findChild<QWidget *>(QStringLiteral("picTabellone")));
    QVERIFY(board);
    QCOMPARE(board->childCount(), 90);
    for (int i = 0; i < board->childCount(); ++i) {
        QAccessibleInterface *button = board->child(i);
        const int number = button->text(QAccessible::Name).toInt();
        QCOMPARE(number, i + 1);
        QCOMPARE(button->role(), QAccessible::Button);
        QVERIFY(button->state().checkable);
        QVERIFY(button->state().focusable);
        QCOMPARE(bool(button->state().checked), m_store->game().isDrawn(number));
    }
    // Pressing through the screen reader marks the number.
    board->child(9)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(m_store->game().isDrawn(10));
    QVERIFY(board->child(9)->state().checked);
}

// Two controls on one Alt key: the key only moves between them, it never presses either.
void TestTabellone::everyAltKeyReachesOneControl() {
    QStringList texts;
    for (const QAbstractButton *button : m_window->findChildren<QAbstractButton *>()) {
        texts << button->text();
    }
    for (const QLabel *label : m_window->findChildren<QLabel *>()) {
        texts << (label->buddy() ? label->text() : QString());
    }
    for (const QTabWidget *tabs : m_window->findChildren<QTabWidget *>()) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            texts << tabs->tabText(tab);
        }
    }
    QMap<QChar, QString> owner;
    for (const QString &text : texts) {
        const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        if (at >= 0) {
            const QChar key = text.at(at + 1).toLower();
            QVERIFY2(!owner.contains(key), qPrintable(owner.value(key) + u'/' + text));
            owner.insert(key, text);
        }
    }
    QVERIFY(owner.size() > 10);
}

void TestTabellone::openedFromTitleAndPrintPages() {
    Form1 form;
    form.setMessagePresenter(&m_presenter);
    form.gameSession().setDatabasePath(m_dir.filePath(QStringLiteral("form.sqlite")));
    for (const char *name : {"cmdTabellone(0)", "cmdTabellone(1)"}) {
        auto *button = form.findChild<qbButtons_H *>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->Caption(), QStringLiteral("&Tabellone"));
    }
    QCOMPARE(form.findChild<qbButtons_H *>(QStringLiteral("cmdTabellone(0)"))->parentWidget(),
             form.page(0));
    QVERIFY(form.page(3)->isAncestorOf(
        form.findChild<qbButtons_H *>(QStringLiteral("cmdTabellone(1)"))));
    // On page 4 the command finds room on the page, beside the register's.
    form.show();
    for (int i = 0; i < 4; ++i) {
        form.cmdNav_Click(3);
    }
    auto *onPrint = form.findChild<qbButtons_H *>(QStringLiteral("cmdTabellone(1)"));
    QVERIFY(onPrint->isVisible());
    const QRect shown(onPrint->mapTo(form.page(3), QPoint(0, 0)), onPrint->size());
    QVERIFY(onPrint->height() >= 15);
    QVERIFY2(form.page(3)->rect().contains(shown), qPrintable(QString::number(shown.bottom())));
    auto *registro = form.findChild<qbButtons_H *>(QStringLiteral("cmdRegistro"));
    QVERIFY(
        !shown.intersects(QRect(registro->mapTo(form.page(3), QPoint(0, 0)), registro->size())));
    emit form.findChild<qbButtons_H *>(QStringLiteral("cmdTabellone(1)"))->Click();
    QVERIFY(form.gameSession().window() && form.gameSession().window()->isVisible());
    QVERIFY(m_presenter.avvisi.isEmpty());
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("form.sqlite"))));
}

// The game's start and the runs offered, kept in UTC, on the board in Italian time: one hour
// ahead in winter, two in summer, across midnight too.
void TestTabellone::gameStartIsShownInLocalTime_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("runLabel");
    QTest::newRow("winter") << "2026-12-07T19:05:40.000Z"
                            << "Partita iniziata il 07/12/2026 20:05"
                            << "corsa 3 del 07/12/2026 20:05";
    QTest::newRow("summer") << "2026-07-14T19:30:00.000Z"
                            << "Partita iniziata il 14/07/2026 21:30"
                            << "corsa 3 del 14/07/2026 21:30";
    QTest::newRow("past midnight in Italy") << "2026-12-31T23:15:00.000Z"
                                            << "Partita iniziata il 01/01/2027 00:15"
                                            << "corsa 3 del 01/01/2027 00:15";
}

void TestTabellone::gameStartIsShownInLocalTime() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QSqlQuery update(m_register->connection());
    update.prepare(QStringLiteral("UPDATE games SET started = ? WHERE id = ?"));
    update.addBindValue(stored);
    update.addBindValue(m_store->gameId());
    QVERIFY(update.exec());
    QVERIFY(m_store->restore());
    m_window->refresh();
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lblPartita"))->text(), shown);

    QFETCH(QString, runLabel);
    RunRecord run;
    run.id = 3;
    run.started = RegisterTime::read(stored);
    run.firstCard = 1;
    run.lastCard = run.cardsAsked = run.cardsDrawn = 6;
    run.outcome = RunRecord::Outcome::Completed;
    run.delivered = true;
    const QList<PrintedRun> offered = PrintedRun::fromRegister({run}, std::nullopt);
    QCOMPARE(offered.size(), 1);
    QCOMPARE(offered.first().label, runLabel);
}

// A 1024x768 screen with a task bar holds the whole window; a larger one gives its room to the
// board, the last number and the winners, not to the commands.
void TestTabellone::fitsTheScreenAndGrowsWithIt_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1024x768 with a task bar") << QSize(1024, 700);
    QTest::newRow("1280x1024 with a task bar") << QSize(1280, 990);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

void TestTabellone::fitsTheScreenAndGrowsWithIt() {
    QFETCH(QSize, screen);
    const QSize smallest = m_window->minimumSizeHint();
    QVERIFY2(smallest.width() <= 1024 && smallest.height() <= 700,
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));
    for (int number = 1; number <= 40; ++number) {
        QVERIFY(m_store->draw(number));
    }
    m_window->refresh();
    m_window->resize(smallest);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto *last = m_window->findChild<QLabel *>(QStringLiteral("lblUltimo"));
    const QSize smallestNumber = m_window->numberButton(88)->size();
    const int smallestDigits = QFontInfo(last->font()).pixelSize();
    // The last number whole however small the window: its digits inside the part of its label
    // that shows.
    const auto whole = [last] {
        QRect shown = last->contentsRect();
        for (QWidget *box = last->parentWidget(); box; box = box->parentWidget()) {
            shown &= QRect(last->mapFrom(box, QPoint()), box->size());
        }
        return DigitFit::whole(last->font(), last->contentsRect(), shown, last->text());
    };
    QVERIFY(whole());
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdChiHaVinto")),
                      Qt::LeftButton);

    m_window->resize(screen);
    auto *tabs = m_window->findChild<QTabWidget *>();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab); // a hidden tab is not laid out
        QCoreApplication::processEvents();
        const QStringList faults = layoutFaults(m_window.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
    }
    auto *winners = m_window->findChild<QTableWidget *>(QStringLiteral("tblVincite"));
    QVERIFY(winners->isVisible() && winners->rowCount() > 0);
    QVERIFY2(winners->horizontalHeader()->length() <= winners->viewport()->width() &&
                 !winners->horizontalScrollBar()->isVisible(),
             qPrintable(QString::number(winners->horizontalHeader()->length())));
    QVERIFY(m_window->numberButton(88)->height() > smallestNumber.height() &&
            m_window->numberButton(88)->width() > smallestNumber.width());
    QVERIFY(whole());
    // At 1024x700 the list of the cards that reached the prize takes what little height is won.
    QVERIFY(screen.height() < 800 || QFontInfo(last->font()).pixelSize() > 2 * smallestDigits);
}

QTEST_MAIN(TestTabellone)
#include "tst_Tabellone.moc"
