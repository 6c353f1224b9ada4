#include "evening/EveningDialog.h"

#include "evening/RegisterDatabase.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/RegisterHolder.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;
using Outcome = RunRecord::Outcome;

// The evening's window over a register whose evening has run 1 (cards 1-18, numbered from 1).
class tst_EveningDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<RegisterDatabase> m_db;
    RecordingPresenter m_messages;

    template <typename T> static T *child(const QWidget &w, const char *name) {
        T *found = w.findChild<T *>(QLatin1String(name));
        if (!found) {
            qFatal("no %s", name);
        }
        return found;
    }

    static void sell(const EveningDialog &w, const QString &numbers, const QString &price) {
        child<QLineEdit>(w, "txtNumeri")->setText(numbers);
        child<QLineEdit>(w, "txtPrezzo")->setText(price);
        QTest::mouseClick(child<QPushButton>(w, "cmdAggiungi"), Qt::LeftButton);
    }

private slots:
    void init() {
        m_db = std::make_unique<RegisterDatabase>(
            m_dir.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction())));
        QCOMPARE(registerEveningRun(m_db->connection(), {Outcome::Completed, 1, 18, 18, true}), 1);
        m_messages = {};
    }

    // Ranges sold are listed with the count and takings; a refused one is said, naming the
    // numbers, and leaves the table and the typed text as they were.
    void sellingShowsCountAndTakings() {
        EveningDialog w(m_db->connection(), m_messages);
        sell(w, QStringLiteral("1-10, 12"), QStringLiteral("1,50"));
        QCOMPARE(child<QTableWidget>(w, "tblInGioco")->rowCount(), 2);
        QCOMPARE(child<QLabel>(w, "lblTotali")->text(),
                 QStringLiteral("Cartelle in gioco: 11 — Incasso: 16,50 €"));
        sell(w, QStringLiteral("15-25"), QStringLiteral("1,50"));
        QCOMPARE(m_messages.avvisi,
                 QStringList{"Nessuna cartella messa in gioco: la corsa 1 non ha consegnato le "
                             "cartelle N. 19-25 (ha consegnato le cartelle N. 1-18)."});
        QCOMPARE(child<QLineEdit>(w, "txtNumeri")->text(), QStringLiteral("15-25"));
        QCOMPARE(child<QTableWidget>(w, "tblInGioco")->rowCount(), 2);
        child<QTableWidget>(w, "tblInGioco")->selectRow(0);
        QTest::mouseClick(child<QPushButton>(w, "cmdTogli"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(w, "lblTotali")->text(),
                 QStringLiteral("Cartelle in gioco: 1 — Incasso: 1,50 €"));
    }

    // Looking at the evenings begins none: with every evening closed, the newest is shown,
    // read-only, and the register is as it was.
    void lookingBeginsNoEvening() {
        QVERIFY(
            QSqlQuery(m_db->connection())
                .exec(QStringLiteral("UPDATE evenings SET closed = '2026-12-07T23:00:00.000Z'")));
        EveningDialog w(m_db->connection(), m_messages);
        QVERIFY(m_messages.avvisi.isEmpty());
        QVERIFY(child<QLabel>(w, "lblSerata")->text().endsWith("(sola lettura)"));
        QVERIFY(!EveningStore(m_db->connection()).openOne());
        QCOMPARE(EveningStore(m_db->connection()).evenings().size(), 1);
    }

    // A sale the register does not take (another program holds it) is not listed: the window
    // says why and offers to try again, the numbers stay typed, and once the register is free
    // the same sale goes in.
    void saleNotStoredIsOfferedAgain() {
        QVERIFY(QSqlQuery(m_db->connection()).exec(QStringLiteral("PRAGMA busy_timeout = 50")));
        EveningDialog w(m_db->connection(), m_messages);
        {
            const testing::RegisterHolder holder(m_db->connection().databaseName());
            QVERIFY(holder.held());
            sell(w, QStringLiteral("1-3"), QStringLiteral("1"));
        }
        QCOMPARE(m_messages.domande,
                 QStringList{"Nessuna cartella messa in gioco: il registro è occupato da un altro "
                             "programma.\nRiprovare?"});
        QCOMPARE(child<QTableWidget>(w, "tblInGioco")->rowCount(), 0);
        QCOMPARE(child<QLineEdit>(w, "txtNumeri")->text(), QStringLiteral("1-3"));
        QTest::mouseClick(child<QPushButton>(w, "cmdAggiungi"), Qt::LeftButton);
        QCOMPARE(child<QTableWidget>(w, "tblInGioco")->rowCount(), 1);
    }

    // "Nuova serata" asks first; the closed evening can be opened again, read-only.
    void newEveningAsksAndKeepsThePastOneReadOnly() {
        EveningDialog w(m_db->connection(), m_messages);
        const qint64 first = w.shownEvening();
        QTest::mouseClick(child<QPushButton>(w, "cmdNuovaSerata"), Qt::LeftButton);
        QCOMPARE(m_messages.domande.size(), 1);
        QCOMPARE(w.shownEvening(), first); // answered no
        m_messages.risposta = true;
        QTest::mouseClick(child<QPushButton>(w, "cmdNuovaSerata"), Qt::LeftButton);
        QVERIFY(w.shownEvening() != first);
        QCOMPARE(child<QTableWidget>(w, "tblCorse")->rowCount(), 0);
        auto *evenings = child<QComboBox>(w, "cboSerata");
        QCOMPARE(evenings->count(), 2);
        evenings->setCurrentIndex(1);
        emit evenings->activated(1);
        QCOMPARE(w.shownEvening(), first);
        QCOMPARE(child<QTableWidget>(w, "tblCorse")->rowCount(), 1);
        QVERIFY(child<QLabel>(w, "lblSerata")->text().endsWith("(sola lettura)"));
        QVERIFY(!child<QPushButton>(w, "cmdAggiungi")->isEnabled());
    }

    // The venue, the place and who signs are entered once and kept with the evening (a line
    // left with neither role nor name is no signatory); the window opens on them again.
    void signingIsKeptWithTheEvening() {
        EveningDialog w(m_db->connection(), m_messages);
        QCOMPARE(child<QLineEdit>(w, "txtRuolo1")->text(), QStringLiteral("Il presidente"));
        child<QLineEdit>(w, "txtLuogo")->setText(QStringLiteral("Salone dell'oratorio"));
        child<QLineEdit>(w, "txtLocalita")->setText(QStringLiteral("Velmora"));
        child<QLineEdit>(w, "txtFirmatario1")->setText(QStringLiteral(" Maria Bianchi "));
        child<QLineEdit>(w, "txtRuolo3")->clear();
        QTest::mouseClick(child<QPushButton>(w, "cmdSalvaFirme"), Qt::LeftButton);
        QVERIFY(m_messages.avvisi.isEmpty());
        const Signing entered{QStringLiteral("Salone dell'oratorio"),
                              QStringLiteral("Velmora"),
                              {{QStringLiteral("Il presidente"), QStringLiteral("Maria Bianchi")},
                               {QStringLiteral("Il segretario"), {}}}};
        QCOMPARE(EveningStore(m_db->connection()).signing(w.shownEvening()), entered);
        const EveningDialog again(m_db->connection(), m_messages);
        QCOMPARE(child<QLineEdit>(again, "txtFirmatario1")->text(),
                 QStringLiteral("Maria Bianchi"));
        QCOMPARE(child<QLineEdit>(again, "txtRuolo3")->text(), QString());
    }

    // Every control has a name, a place in the keyboard order and an accessible name holding
    // its visible text.
    void controlsAreReachableAndNamed() {
        EveningDialog w(m_db->connection(), m_messages);
        for (QWidget *control : w.findChildren<QWidget *>()) {
            if (!qobject_cast<QPushButton *>(control) && !qobject_cast<QLineEdit *>(control) &&
                !qobject_cast<QComboBox *>(control) && !qobject_cast<QTableWidget *>(control)) {
                continue;
            }
            if (control->parent() != &w && qobject_cast<QLineEdit *>(control) &&
                qobject_cast<QComboBox *>(control->parent())) {
                continue; // a combo box's own editor
            }
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
            const auto *button = qobject_cast<QPushButton *>(control);
            const QString shown = button ? button->text().remove(u'&') : QString();
            QVERIFY2(!control->accessibleName().isEmpty() &&
                         control->accessibleName().contains(shown),
                     qPrintable(control->objectName()));
        }
    }

    // Every column heading whole ("Numeri stampati", not "Numeri stampat").
    void columnHeadingsAreWhole() {
        EveningDialog w(m_db->connection(), m_messages);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const char *name : {"tblCorse", "tblInGioco"}) {
            const QHeaderView *header = child<QTableWidget>(w, name)->horizontalHeader();
            for (int column = 0; column < header->count(); ++column) {
                const QString heading =
                    header->model()->headerData(column, Qt::Horizontal).toString();
                QVERIFY2(header->sectionSize(column) >
                             header->fontMetrics().horizontalAdvance(heading),
                         qPrintable(heading));
            }
        }
    }
};

QTEST_MAIN(tst_EveningDialog)
#include "tst_EveningDialog.moc"
