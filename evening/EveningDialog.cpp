#include "evening/EveningDialog.h"

#include "errors/MessagePresenter.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "register/CardTrace.h"
#include "register/RegisterTime.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmora {
namespace {

QPushButton *command(const char *name, const QString &text) {
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(text).remove(u'&'));
    button->setAutoDefault(false);
    return button;
}

QTableWidget *table(const char *name, const QString &accessible, const QStringList &titles) {
    auto *t = new QTableWidget(0, int(titles.size()));
    t->setObjectName(QLatin1String(name));
    t->setAccessibleName(accessible);
    t->setHorizontalHeaderLabels(titles);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    // Each column as wide as its heading and cells ("Numeri stampati" whole), the last the rest.
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setRow(QTableWidget *t, int row, const QStringList &cells, qint64 key) {
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells.at(c));
        item->setData(Qt::UserRole, key);
        t->setItem(row, c, item);
    }
}

// The numbers a run printed, as the cards in play are entered: "N. 1-120".
QString printedNumbers(const RunRecord &run) {
    const std::optional<CardTrace::Range> range = CardTrace::printedRange(run);
    if (!range) {
        return QStringLiteral("nessuna cartella consegnata");
    }
    return EveningStore::rangeText(*CardTrace::printedNumber(run, range->first),
                                   *CardTrace::printedNumber(run, range->last));
}

} // namespace

EveningDialog::EveningDialog(QSqlDatabase db, MessagePresenter &messages, QWidget *parent)
    : QDialog(parent), m_db(std::move(db)), m_messages(messages), m_evenings(new QComboBox),
      m_heading(new QLabel),
      m_runTable(
          table("tblCorse", QStringLiteral("Stampe della serata"),
                {QStringLiteral("Corsa"), QStringLiteral("Data"), QStringLiteral("Numeri stampati"),
                 QStringLiteral("Numerazione"), QStringLiteral("Esito")})),
      m_soldTable(
          table("tblInGioco", QStringLiteral("Cartelle in gioco"),
                {QStringLiteral("Corsa"), QStringLiteral("Numeri"), QStringLiteral("Cartelle"),
                 QStringLiteral("Prezzo"), QStringLiteral("Incasso")})),
      m_totals(new QLabel), m_run(new QComboBox), m_numbers(new QLineEdit), m_price(new QLineEdit),
      m_add(command("cmdAggiungi", QStringLiteral("A&ggiungi"))),
      m_remove(command("cmdTogli", QStringLiteral("&Togli"))),
      m_new(command("cmdNuovaSerata", QStringLiteral("&Nuova serata…"))), m_venue(new QLineEdit),
      m_place(new QLineEdit),
      m_saveSigning(command("cmdSalvaFirme", QStringLiteral("Salva &luogo e firme"))) {
    setObjectName(QStringLiteral("Serata"));
    setWindowTitle(QStringLiteral("Serata"));

    m_evenings->setObjectName(QStringLiteral("cboSerata"));
    m_evenings->setAccessibleName(QStringLiteral("Serata"));
    m_heading->setObjectName(QStringLiteral("lblSerata"));
    m_totals->setObjectName(QStringLiteral("lblTotali"));
    m_run->setObjectName(QStringLiteral("cboCorsa"));
    m_run->setAccessibleName(QStringLiteral("Corsa"));
    m_numbers->setObjectName(QStringLiteral("txtNumeri"));
    m_numbers->setAccessibleName(QStringLiteral("Numeri venduti"));
    m_numbers->setPlaceholderText(QStringLiteral("1-120, 200-250"));
    m_price->setObjectName(QStringLiteral("txtPrezzo"));
    m_price->setAccessibleName(QStringLiteral("Prezzo per cartella (euro)"));
    m_price->setText(QStringLiteral("0,00"));

    auto *top = new QFormLayout;
    auto *eveningLabel = new QLabel(QStringLiteral("&Serata:"));
    eveningLabel->setBuddy(m_evenings);
    top->addRow(eveningLabel, m_evenings);
    top->addRow(m_heading);

    auto *entry = new QHBoxLayout;
    const auto labelled = [entry](const QString &text, QWidget *buddy) {
        auto *label = new QLabel(text);
        label->setBuddy(buddy);
        entry->addWidget(label);
        entry->addWidget(buddy);
    };
    labelled(QStringLiteral("C&orsa:"), m_run);
    labelled(QStringLiteral("N&umeri venduti:"), m_numbers);
    labelled(QStringLiteral("&Prezzo per cartella (euro):"), m_price);
    entry->addWidget(m_add);
    entry->addWidget(m_remove);

    auto *buttons = new QDialogButtonBox;
    buttons->addButton(m_new, QDialogButtonBox::ActionRole);
    QPushButton *close =
        buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdChiudi"));
    close->setAccessibleName(QStringLiteral("Chiudi"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("Stampe della serata:")));
    layout->addWidget(m_runTable);
    layout->addWidget(new QLabel(QStringLiteral("Cartelle in gioco:")));
    layout->addWidget(m_soldTable);
    layout->addLayout(entry);
    layout->addWidget(m_totals);
    layout->addWidget(signingBox());
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &EveningDialog::addRanges);
    connect(m_numbers, &QLineEdit::returnPressed, this, &EveningDialog::addRanges);
    connect(m_remove, &QPushButton::clicked, this, &EveningDialog::removeRange);
    connect(m_new, &QPushButton::clicked, this, &EveningDialog::newEvening);
    connect(m_saveSigning, &QPushButton::clicked, this, &EveningDialog::saveSigning);
    connect(m_evenings, &QComboBox::activated, this,
            [this](int index) { showEvening(m_evenings->itemData(index).toLongLong()); });

    // Only read: an evening is begun when something is written into it, not by looking.
    const EveningStore store(m_db);
    const std::optional<Evening> current = store.openOne();
    if (!store.lastError().isEmpty()) {
        fail(QStringLiteral("La serata non si legge"), store.lastError());
    }
    const QList<Evening> all = current ? QList<Evening>() : store.evenings();
    loadEvenings(current ? current->id : all.isEmpty() ? 0 : all.first().id);
    resize(860, 680);
    m_numbers->setFocus();
}

void EveningDialog::fail(const QString &what, const QString &reason) {
    m_messages.avviso(this, QStringLiteral("%1: %2.").arg(what, reason));
}

bool EveningDialog::tryAgain(const QString &what, const QString &reason) {
    // The numbers typed stay in their box whatever the answer: nothing is lost.
    return m_messages.conferma(this, QStringLiteral("%1: %2.\nRiprovare?").arg(what, reason));
}

void EveningDialog::loadEvenings(qint64 select) {
    EveningStore store(m_db);
    const QList<Evening> evenings = store.evenings();
    m_evenings->clear();
    for (const Evening &e : evenings) {
        m_evenings->addItem(e.isClosed() ? QStringLiteral("%1 (chiusa)").arg(e.name) : e.name,
                            e.id);
    }
    m_evenings->setCurrentIndex(std::max(0, m_evenings->findData(select)));
    showEvening(select);
}

void EveningDialog::showEvening(qint64 evening) {
    EveningStore store(m_db);
    m_evening = store.evening(evening).value_or(Evening{});
    m_runs = m_evening.id ? store.runs(evening) : QList<RunRecord>();
    const QList<SoldRange> sold = m_evening.id ? store.sold(evening) : QList<SoldRange>();
    if (!store.lastError().isEmpty()) {
        fail(QStringLiteral("La serata non si legge"), store.lastError());
    }
    const bool open = m_evening.id != 0 && !m_evening.isClosed();
    m_heading->setText(
        m_evening.id == 0 ? QStringLiteral("Nessuna serata.")
        : open            ? QStringLiteral("%1 — %2, in corso")
                     .arg(m_evening.name, m_evening.date.toString(QStringLiteral("dd/MM/yyyy")))
               : QStringLiteral("%1 — %2, chiusa il %3 (sola lettura)")
                     .arg(m_evening.name, m_evening.date.toString(QStringLiteral("dd/MM/yyyy")),
                          RegisterTime::shown(m_evening.closed)));

    m_runTable->setRowCount(int(m_runs.size()));
    m_run->clear();
    for (int i = 0; i < m_runs.size(); ++i) {
        const RunRecord &run = m_runs.at(i);
        setRow(m_runTable, i,
               {QString::number(run.id), RegisterTime::shown(run.started), printedNumbers(run),
                run.numberingText(), run.outcomeText()},
               run.id);
        m_run->addItem(QStringLiteral("corsa %1 (%2)").arg(run.id).arg(printedNumbers(run)),
                       run.id);
    }
    m_run->setCurrentIndex(m_run->count() - 1); // the newest run is the one being sold
    m_soldTable->setRowCount(int(sold.size()));
    int count = 0;
    qint64 takings = 0;
    for (int i = 0; i < sold.size(); ++i) {
        const SoldRange &s = sold.at(i);
        setRow(m_soldTable, i,
               {QString::number(s.run), EveningStore::rangeText(s.first, s.last),
                QString::number(s.count()), EveningStore::money(s.priceCents),
                EveningStore::money(s.takingsCents())},
               s.id);
        count += s.count();
        takings += s.takingsCents();
    }
    m_totals->setText(QStringLiteral("Cartelle in gioco: %1 — Incasso: %2")
                          .arg(count)
                          .arg(EveningStore::money(takings)));
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_run, m_numbers, m_price, m_add, m_remove}) {
        w->setEnabled(open);
    }
    showSigning();
}

// Where the evening is held, the place written beside the date under each record, and three
// signatories: role and name.
QWidget *EveningDialog::signingBox() {
    auto *box = new QGroupBox(QStringLiteral("Luogo e firme del verbale"));
    auto *grid = new QGridLayout(box);
    const auto edit = [](QLineEdit *line, const char *name, const QString &accessible) {
        line->setObjectName(QLatin1String(name));
        line->setAccessibleName(accessible);
        return line;
    };
    const auto labelled = [grid](const QString &text, QWidget *buddy, int row, int column) {
        auto *label = new QLabel(text);
        label->setBuddy(buddy);
        grid->addWidget(label, row, column);
        grid->addWidget(buddy, row, column + 1);
    };
    labelled(QStringLiteral("Luogo dell'&estrazione:"),
             edit(m_venue, "txtLuogo", QStringLiteral("Luogo dell'estrazione")), 0, 0);
    labelled(QStringLiteral("Località della fir&ma:"),
             edit(m_place, "txtLocalita", QStringLiteral("Località della firma")), 0, 2);
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        auto *role = new QLineEdit;
        auto *name = new QLineEdit;
        role->setObjectName(QStringLiteral("txtRuolo%1").arg(n));
        role->setAccessibleName(QStringLiteral("Ruolo di chi firma %1").arg(n));
        name->setObjectName(QStringLiteral("txtFirmatario%1").arg(n));
        name->setAccessibleName(QStringLiteral("Nome di chi firma %1").arg(n));
        labelled(QStringLiteral("Ruolo %1:").arg(n), role, i + 1, 0);
        labelled(QStringLiteral("Nome:"), name, i + 1, 2);
        m_signers.append(std::pair{role, name});
    }
    grid->addWidget(m_saveSigning, 4, 3, Qt::AlignRight);
    return box;
}

void EveningDialog::showSigning() {
    const EveningStore store(m_db);
    const Signing signing =
        m_evening.id ? store.signing(m_evening.id).value_or(Signing{}) : Signing{};
    m_venue->setText(signing.venue);
    m_place->setText(signing.place);
    for (int i = 0; i < m_signers.size(); ++i) {
        const Signing::Signer signer = signing.signers.value(i);
        m_signers.at(i).first->setText(signer.role);
        m_signers.at(i).second->setText(signer.name);
    }
    const bool open = m_evening.id != 0 && !m_evening.isClosed();
    for (QLineEdit *line : {m_venue, m_place}) {
        line->setReadOnly(!open);
    }
    for (const auto &[role, name] : std::as_const(m_signers)) {
        role->setReadOnly(!open);
        name->setReadOnly(!open);
    }
    m_saveSigning->setEnabled(open);
}

void EveningDialog::saveSigning() {
    if (m_evening.id == 0 || m_evening.isClosed()) {
        return;
    }
    Signing signing{m_venue->text(), m_place->text(), {}};
    for (const auto &[role, name] : std::as_const(m_signers)) {
        signing.signers.append({role->text(), name->text()});
    }
    EveningStore store(m_db);
    const QString what = QStringLiteral("Il luogo e le firme non sono stati salvati");
    RegisterChange saved = store.setSigning(m_evening.id, signing);
    while (saved.notStored() && tryAgain(what, saved.reason)) {
        saved = store.setSigning(m_evening.id, signing);
    }
    if (!saved) {
        if (!saved.notStored()) {
            fail(what, saved.reason);
        }
        return; // what was typed stays, to be saved again
    }
    showSigning();
}

void EveningDialog::addRanges() {
    if (m_evening.id == 0 || m_evening.isClosed()) {
        return;
    }
    if (m_run->currentIndex() < 0) {
        m_messages.avviso(this, QStringLiteral("Nessuna stampa in questa serata: stampare le "
                                               "cartelle prima di metterle in gioco."));
        return;
    }
    QString error;
    const auto ranges = EveningStore::parseRanges(m_numbers->text(), &error);
    const std::optional<qint64> price = EveningStore::parseCents(m_price->text());
    if (!ranges || !price) {
        m_messages.avviso(this, ranges ? QStringLiteral("Il prezzo \"%1\" non è un importo in "
                                                        "euro come 1,50.")
                                             .arg(m_price->text())
                                       : QStringLiteral("Numeri venduti: %1.").arg(error));
        return;
    }
    EveningStore store(m_db);
    const qint64 run = m_run->currentData().toLongLong();
    RegisterChange sold = store.addSold(m_evening.id, run, *ranges, *price);
    while (sold.notStored() &&
           tryAgain(QStringLiteral("Nessuna cartella messa in gioco"), sold.reason)) {
        sold = store.addSold(m_evening.id, run, *ranges, *price);
    }
    if (!sold) {
        if (!sold.notStored()) {
            fail(QStringLiteral("Nessuna cartella messa in gioco"), sold.reason);
        }
        return;
    }
    m_numbers->clear(); // kept when refused, to be corrected
    showEvening(m_evening.id);
    m_run->setCurrentIndex(std::max(0, m_run->findData(run)));
}

void EveningDialog::removeRange() {
    const QList<QTableWidgetItem *> selected = m_soldTable->selectedItems();
    if (selected.isEmpty() || m_evening.isClosed()) {
        return;
    }
    EveningStore store(m_db);
    const qint64 range = selected.first()->data(Qt::UserRole).toLongLong();
    const QString what = QStringLiteral("Le cartelle non sono state tolte dal gioco");
    RegisterChange removed = store.removeSold(range);
    while (removed.notStored() && tryAgain(what, removed.reason)) {
        removed = store.removeSold(range);
    }
    if (!removed && !removed.notStored()) {
        fail(what, removed.reason);
    }
    showEvening(m_evening.id);
}

void EveningDialog::newEvening() {
    EveningStore store(m_db);
    const std::optional<Evening> current = store.openOne();
    if (!store.lastError().isEmpty()) {
        fail(QStringLiteral("La serata non si legge"), store.lastError());
        return;
    }
    const QString question = current ? QStringLiteral("Chiudere \"%1\" e iniziare una nuova "
                                                      "serata? La serata chiusa resta nel "
                                                      "registro.")
                                           .arg(current->name)
                                     : QStringLiteral("Iniziare una nuova serata?");
    if (!m_messages.conferma(this, question)) {
        return;
    }
    const std::optional<Evening> fresh = store.startNew();
    if (!fresh) {
        fail(QStringLiteral("La nuova serata non è stata iniziata"), store.lastError());
        return;
    }
    loadEvenings(fresh->id);
}

void EveningDialog::mostra(QWidget *parent, MessagePresenter &messages) {
    const std::unique_ptr<RegisterDatabase> database =
        RegisterDatabase::openTelling(parent, messages);
    if (!database) {
        return;
    }
    EveningDialog window(database->connection(), messages, parent);
    window.exec();
}

} // namespace velmora
