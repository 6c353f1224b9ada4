#include "register/RegistroStampe.h"

#include "errors/MessagePresenter.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "register/RegisterTime.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora {
namespace {

const QStringList columnTitles{QStringLiteral("N."),          QStringLiteral("Data"),
                               QStringLiteral("Cartelle"),    QStringLiteral("Intervallo"),
                               QStringLiteral("Numerazione"), QStringLiteral("Esito"),
                               QStringLiteral("Archivio"),    QStringLiteral("Uscita")};

const QColor mismatchColour(0xb0, 0x00, 0x00);

QString cardsText(const RunRecord &run) {
    const bool unknown = run.outcome == RunRecord::Outcome::InProgress ||
                         run.outcome == RunRecord::Outcome::Interrupted;
    if (unknown) {
        return QStringLiteral("? (chieste %1)").arg(run.cardsAsked);
    }
    return run.cardsDrawn == run.cardsAsked
               ? QString::number(run.cardsDrawn)
               : QStringLiteral("%1 (chieste %2)").arg(run.cardsDrawn).arg(run.cardsAsked);
}

QString rangeText(const RunRecord &run) {
    const std::optional<CardTrace::Range> range = CardTrace::printedRange(run);
    if (!range) {
        return QStringLiteral("nessuna cartella uscita");
    }
    return QStringLiteral("%1 - %2%3")
        .arg(range->first)
        .arg(range->last)
        .arg(range->certain ? QString() : QStringLiteral(" (al più)"));
}

QString outputText(const RunRecord &run) {
    const QString where = run.destination.isEmpty() ? QStringLiteral("?") : run.destination;
    return run.program == QLatin1String("velmora")
               ? where
               : QStringLiteral("%1 (%2)").arg(where, run.program);
}

} // namespace

RegistroStampe::RegistroStampe(const QList<RunRecord> &runs,
                               const std::optional<ArchiveFingerprint> &current, QWidget *parent)
    : QDialog(parent), m_table(new QTableView(this)),
      m_model(new QStandardItemModel(0, int(columnTitles.size()), this)) {
    setObjectName(QStringLiteral("RegistroStampe"));
    setWindowTitle(QStringLiteral("Registro stampe"));
    m_model->setHorizontalHeaderLabels(columnTitles);

    for (const RunRecord &run : runs) {
        QList<QStandardItem *> row;
        const auto add = [&row](const QString &text) {
            auto *item = new QStandardItem(text);
            item->setEditable(false);
            row.append(item);
            return item;
        };
        add(QString::number(run.id))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        add(RegisterTime::shown(run.started));
        add(cardsText(run));
        add(rangeText(run));
        add(run.numberingText());
        QStandardItem *outcome = add(run.outcomeText());
        if (run.outcome == RunRecord::Outcome::Interrupted) {
            outcome->setToolTip(QStringLiteral("Il programma si è chiuso durante la stampa: non "
                                               "si sa quante cartelle siano uscite."));
        }
        const bool same = ArchiveFingerprint::sameArchive(current, run);
        QStandardItem *archive = add(same      ? QStringLiteral("uguale all'attuale")
                                     : current ? QStringLiteral("DIVERSO dall'attuale")
                                               : QStringLiteral("attuale non trovato"));
        archive->setToolTip(QStringLiteral("%1\n%2 byte, SHA-256 %3")
                                .arg(QDir::toNativeSeparators(run.archivePath))
                                .arg(run.archiveSize)
                                .arg(run.archiveSha256));
        if (!same) {
            archive->setForeground(mismatchColour);
            QFont bold = archive->font();
            bold.setBold(true);
            archive->setFont(bold);
        }
        add(outputText(run))->setToolTip(outputText(run));
        m_model->appendRow(row);
    }

    m_table->setObjectName(QStringLiteral("tblStampe"));
    m_table->setAccessibleName(QStringLiteral("Stampe registrate"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *summary = new QLabel(
        runs.isEmpty()
            ? QStringLiteral("Nessuna stampa registrata.")
            : QStringLiteral("Stampe registrate: %1, dalla più recente.").arg(runs.size()),
        this);
    summary->setObjectName(QStringLiteral("lblRiepilogo"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close =
        buttons->addButton(QStringLiteral("&Chiudi"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdChiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(960, 420);
    m_table->setFocus();
}

void RegistroStampe::mostra(QWidget *parent, MessagePresenter &messages,
                            const QString &currentArchive, QSqlDatabase database) {
    QList<RunRecord> runs;
    if (database.isOpen()) {
        PrintRegister reg(database);
        runs = reg.runs();
        if (!reg.lastError().isEmpty()) {
            messages.avviso(
                parent,
                QStringLiteral("Il registro delle stampe non si legge: %1").arg(reg.lastError()));
            return;
        }
    }
    const std::optional<ArchiveFingerprint> current =
        currentArchive.isEmpty() ? std::nullopt : ArchiveFingerprint::of(currentArchive);
    RegistroStampe window(runs, current, parent);
    window.exec();
}

} // namespace velmora
