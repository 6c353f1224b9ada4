#include "evening/GameStore.h"
#include "evening/RegisterDatabase.h"
#include "game/Tabellone.h"
#include "hall/HallBoard.h"
#include "hall/NumberWords.h"
#include "hall/SmorfiaSayings.h"
#include "hall/SpeechEngine.h"
#include "print/CardArchive.h"
#include "settings/Configurazione.h"
#include "tests/support/FreePort.h"
#include "tests/support/HttpProbe.h"
#include "tests/support/RecordingPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;

namespace {

class NoRuns : public PrintedRunSource {
public:
    QList<PrintedRun> runs() const override { return {}; }
    QString sourceName() const override { return QStringLiteral("registro di prova"); }
};

class RecordingEngine : public SpeechEngine {
public:
    QStringList said;
    QString unavailableReason() const override { return {}; }
    void say(const QString &text) override { said.append(text); }
};

} // namespace

// The Tabellone's commands for the hall: the computer's draw, the numbers said aloud and the
// hall's board, each through the game store like any other draw.
class HallControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void computerDrawsAmongTheNumbersLeftAndTheLogSaysSo();
    void eachDrawIsSaidOnceWhileAnnouncing();
    void hallBoardFollowsTheGameAndClosingItEndsNothing();
    void hallBoardLeavesEveryKeyToTheCaller();
    void phonesFollowTheDrawAndATakenPortIsSaid();

private:
    template <typename T> T *child(const char *name) const {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    void type(int number);

    QTemporaryDir m_dir;
    Configurazione m_settings;
    NoRuns m_runs;
    testing::RecordingPresenter m_presenter;
    RecordingEngine m_speech;
    QList<int> m_bounds; // what the computer's draw asked its random source
    std::unique_ptr<RegisterDatabase> m_register;
    std::unique_ptr<GameStore> m_store;
    std::unique_ptr<Tabellone> m_window;
};

void HallControlsTest::init() {
    m_register = std::make_unique<RegisterDatabase>(
        m_dir.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction())));
    QVERIFY2(m_register->isOpen(), qPrintable(m_register->error()));
    m_store = std::make_unique<GameStore>(m_register->connection());
    QVERIFY(m_store->restore());
    Tabellone::Seams seams;
    seams.store = m_store.get();
    seams.settings = &m_settings;
    seams.runs = &m_runs;
    seams.presenter = &m_presenter;
    seams.cardsInPlay = [] { return QList<CardInPlay>(); };
    seams.speech = &m_speech;
    // Always the lowest number left.
    seams.randomBelow = [this](int bound) {
        m_bounds.append(bound);
        return 0;
    };
    m_window = std::make_unique<Tabellone>(std::move(seams));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void HallControlsTest::cleanup() {
    m_window.reset();
    m_store.reset();
    m_register.reset();
    m_speech.said.clear();
    m_bounds.clear();
}

void HallControlsTest::type(int number) {
    auto *entry = child<QLineEdit>("txtNumero");
    entry->setFocus();
    QTest::keyClicks(entry, QString::number(number));
    QTest::keyClick(entry, Qt::Key_Return);
}

void HallControlsTest::computerDrawsAmongTheNumbersLeftAndTheLogSaysSo() {
    auto *draw = child<QPushButton>("cmdEstrai");
    QVERIFY(draw->accessibleName().contains(QStringLiteral("Estrai")));
    type(1);
    draw->click();
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(m_store->game().numbers(), QList<int>({1, 2, 3}));
    QList<DrawSource> sources;
    for (const DrawLogEntry &entry : m_store->log()) {
        sources.append(entry.source);
    }
    QCOMPARE(sources,
             QList<DrawSource>({DrawSource::Typed, DrawSource::Computer, DrawSource::Computer}));
    QCOMPARE(m_bounds, QList<int>({89, 88}));

    while (m_store->game().count() < 90) {
        QTest::keyClick(m_window.get(), Qt::Key_F5);
    }
    QVERIFY(!draw->isEnabled());
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(m_store->game().count(), 90);
    QCOMPARE(child<QLabel>("lblAvviso")->text(),
             QStringLiteral("Tutti i 90 numeri sono già estratti."));
}

void HallControlsTest::eachDrawIsSaidOnceWhileAnnouncing() {
    type(4); // not announcing yet
    child<QCheckBox>("chkAnnuncia")->click();
    type(77);
    child<QPushButton>("cmdEstrai")->click(); // the lowest left: 1
    m_window->numberButton(5)->click();
    m_window->numberButton(5)->click(); // drawn already: nothing new to say
    child<QCheckBox>("chkSmorfia")->click();
    type(90);
    child<QCheckBox>("chkAnnuncia")->click();
    type(60);
    QCOMPARE(m_speech.said, QStringList({QStringLiteral("settantasette"), QStringLiteral("uno"),
                                         QStringLiteral("cinque"),
                                         QStringLiteral("novanta, ") + smorfiaSaying(90)}));
}

void HallControlsTest::hallBoardFollowsTheGameAndClosingItEndsNothing() {
    type(12);
    child<QPushButton>("cmdTabelloneSala")->click();
    auto *hall = m_window->findChild<HallBoard *>();
    QVERIFY(hall);
    QVERIFY(QTest::qWaitForWindowExposed(hall));
    QVERIFY(hall->isFullScreen());
    auto *last = hall->findChild<QLabel *>(QStringLiteral("hallLast"));
    QCOMPARE(last->text(), QStringLiteral("12"));
    type(45);
    QCOMPARE(last->text(), QStringLiteral("45"));
    QCOMPARE(hall->findChild<QLabel *>(QStringLiteral("hallCount"))->text(),
             QStringLiteral("Numeri estratti: 2"));

    hall->close();
    QVERIFY(!hall->isVisible());
    type(46);
    QCOMPARE(m_store->game().numbers(), QList<int>({12, 45, 46}));
    QCOMPARE(last->text(), QStringLiteral("46")); // kept in step while hidden, for reopening
}

// Open full screen, the hall's board leaves the keyboard to the Tabellone; clicked, it hands it
// every key it gets, each doing what it does there.
void HallControlsTest::hallBoardLeavesEveryKeyToTheCaller() {
    child<QPushButton>("cmdTabelloneSala")->click();
    auto *hall = m_window->findChild<HallBoard *>();
    QVERIFY(QTest::qWaitForWindowExposed(hall));
    QCOMPARE(QApplication::activeWindow(), m_window.get());
    hall->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(hall));
    QTest::keyClick(hall, Qt::Key_F5); // the lowest left: 1
    QTest::keyClicks(hall, QStringLiteral("45"));
    QTest::keyClick(hall, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(hall, QStringLiteral("7"));
    QTest::keyClick(hall, Qt::Key_Return);
    QCOMPARE(m_store->game().numbers(), QList<int>({1, 45, 7}));
    m_presenter.risposta = true;
    // "Annulla ultimo", whose key presses it as a click would, once the press is seen.
    QTest::keyClick(hall, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(m_presenter.domande,
                 QStringList{QStringLiteral("Togliere il 7, l'ultimo numero estratto?")});
    QCOMPARE(m_store->game().numbers(), QList<int>({1, 45}));
    QCOMPARE(QApplication::activeWindow(), m_window.get());
    QVERIFY(hall->isVisible() && hall->isFullScreen());
}

void HallControlsTest::phonesFollowTheDrawAndATakenPortIsSaid() {
    auto *phones = child<QCheckBox>("chkTelefoni");
    auto *port = child<QSpinBox>("spnPorta");
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any));
    port->setValue(other.serverPort());
    phones->click();
    QVERIFY(!phones->isChecked());
    QCOMPARE(child<QLabel>("lblAvviso")->text(),
             QStringLiteral("La porta %1 è già usata da un altro programma: scegline un'altra.")
                 .arg(other.serverPort()));

    type(7);
    const quint16 free = testing::freePort();
    port->setValue(free);
    phones->click();
    QVERIFY(phones->isChecked());
    QCOMPARE(child<QLabel>("lblAvviso")->text(), QString()); // no longer true
    testing::HttpProbe page(free, "GET", "/eventi");
    QVERIFY(page.waitFor("\"ultimo\":7"));
    type(33);
    QVERIFY(page.waitFor("\"numeri\":[7,33]"));

    // Closing the program (the Tabellone goes with it) closes every page's connection.
    m_window.reset();
    QVERIFY(page.closedByServer());
}

QTEST_MAIN(HallControlsTest)
#include "tst_HallControls.moc"
