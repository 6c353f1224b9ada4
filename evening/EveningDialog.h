#pragma once

#include "evening/Evening.h"
#include "register/RunRecord.h"

#include <QDialog>
#include <QList>
#include <QSqlDatabase>

#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace velmora {

class MessagePresenter;

// "Serata": the evening's name and date, its runs, and the cards in play (ranges of a run's
// printed numbers at a price per card) with their count and takings, and where the evening is
// held and who signs the record of its games (entered once for the evening). Ranges are added and
// taken away for the current evening; a past evening is shown read-only. "Nuova serata" asks
// first, then closes the current evening (it is kept) and begins another.
class EveningDialog : public QDialog {
    Q_OBJECT
public:
    // An open register database; the current evening is shown, or the newest one when none is
    // open (none is begun by looking).
    EveningDialog(QSqlDatabase db, MessagePresenter &messages, QWidget *parent = nullptr);

    // Opens the register at its usual place and shows the window until it is closed; failures
    // are told through messages.
    static void mostra(QWidget *parent, MessagePresenter &messages);

    // The evening shown; 0 when the register could not be read.
    qint64 shownEvening() const { return m_evening.id; }

private:
    void loadEvenings(qint64 select);
    void showEvening(qint64 evening);
    void addRanges();
    void removeRange();
    void newEvening();
    QWidget *signingBox();
    void showSigning();
    void saveSigning();
    void fail(const QString &what, const QString &reason);
    // A sale the register did not take: says why and asks whether to try again.
    bool tryAgain(const QString &what, const QString &reason);

    QSqlDatabase m_db;
    MessagePresenter &m_messages;
    Evening m_evening;
    QList<RunRecord> m_runs;
    QComboBox *m_evenings;
    QLabel *m_heading;
    QTableWidget *m_runTable;
    QTableWidget *m_soldTable;
    QLabel *m_totals;
    QComboBox *m_run;
    QLineEdit *m_numbers;
    QLineEdit *m_price;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_new;
    QLineEdit *m_venue;
    QLineEdit *m_place;
    QList<std::pair<QLineEdit *, QLineEdit *>> m_signers; // role, name
    QPushButton *m_saveSigning;
};

} // namespace velmora
