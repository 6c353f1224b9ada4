#include "evening/VerbaleDialog.h"

#include "appearance/clsPrintDialog.h"
#include "common/Sentence.h"
#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "evening/RegisterDatabase.h"
#include "evening/VerbaleDocument.h"
#include "print/PrinterTarget.h"
#include "register/RegisterTime.h"
#include "ui/PdfFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <utility>

namespace velmora {
namespace {

const QString title = QStringLiteral("Verbale dell'estrazione");

QPushButton *command(const char *name, const QString &text) {
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(text).remove(u'&'));
    button->setAutoDefault(false);
    return button;
}

// One line of the list: "Partita 2 — 07/12/2026 21:15-22:40, 38 numeri (in corso)".
QString listed(int place, const GameListing &game) {
    QString times = RegisterTime::shown(game.started);
    if (game.ended.isValid()) {
        times += QStringLiteral("-") + RegisterTime::shownAs(game.ended, QStringLiteral("HH:mm"));
    }
    QString line =
        QStringLiteral("Partita %1 — %2, %3 numeri").arg(place).arg(times).arg(game.drawn);
    if (game.current) {
        line += QStringLiteral(" (in corso)");
    }
    return line;
}

QString notPrinted(const QString &reason) {
    return Sentence::whole(QStringLiteral("Il verbale non è stato stampato: ") +
                           Sentence::clause(reason));
}

QString startFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

VerbaleDialog::VerbaleDialog(QSqlDatabase db, MessagePresenter &messages, QWidget *parent)
    : QDialog(parent), m_db(std::move(db)), m_messages(messages), m_lastFolder(startFolder()) {
    setObjectName(QStringLiteral("VerbaleDialog"));
    setWindowTitle(title);

    m_games = new QListWidget;
    m_games->setObjectName(QStringLiteral("lstPartite"));
    m_games->setAccessibleName(QStringLiteral("Partite della serata"));
    auto *gamesCaption = new QLabel(QStringLiteral("&Partite della serata:"));
    gamesCaption->setBuddy(m_games);

    // The record as it prints: A4 portrait, drawn by the same code as the PDF and the paper.
    m_previewPrinter.setPageSize(QPageSize(QPageSize::A4));
    m_previewPrinter.setPageOrientation(QPageLayout::Portrait);
    m_preview = new QPrintPreviewWidget(&m_previewPrinter);
    m_preview->setObjectName(QStringLiteral("anteprima"));
    m_preview->setAccessibleName(QStringLiteral("Anteprima del verbale"));
    m_preview->setFocusPolicy(Qt::StrongFocus);
    m_preview->fitToWidth();
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &VerbaleDialog::paintPreview);
    auto *previewCaption = new QLabel(QStringLiteral("&Anteprima:"));
    previewCaption->setBuddy(m_preview);

    m_notice = new QLabel;
    m_notice->setObjectName(QStringLiteral("lblAvviso"));
    m_notice->setWordWrap(true);

    m_save = command("cmdSalvaPdf", QStringLiteral("&Salva PDF…"));
    connect(m_save, &QPushButton::clicked, this, &VerbaleDialog::savePdf);
    m_print = command("cmdStampa", QStringLiteral("S&tampa…"));
    connect(m_print, &QPushButton::clicked, this, &VerbaleDialog::print);
    auto *close = command("cmdChiudi", QStringLiteral("&Chiudi"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *left = new QVBoxLayout;
    left->addWidget(gamesCaption);
    left->addWidget(m_games, 1);
    left->addWidget(m_notice);
    auto *right = new QVBoxLayout;
    right->addWidget(previewCaption);
    right->addWidget(m_preview, 1);
    auto *panes = new QHBoxLayout;
    panes->addLayout(left, 1);
    panes->addLayout(right, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_print);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);
    resize(960, 720);

    connect(m_games, &QListWidget::currentRowChanged, this, &VerbaleDialog::showChosenGame);
    loadGames();
}

VerbaleDialog::~VerbaleDialog() {
    delete m_preview; // before the printer it draws on
}

void VerbaleDialog::mostra(QWidget *parent, MessagePresenter &messages) {
    const std::unique_ptr<RegisterDatabase> database =
        RegisterDatabase::openTelling(parent, messages);
    if (!database) {
        return;
    }
    VerbaleDialog window(database->connection(), messages, parent);
    window.exec();
}

void VerbaleDialog::loadGames() {
    QString reason;
    const QList<GameListing> games = Verbale::gamesOfCurrentEvening(m_db, &reason);
    const QSignalBlocker quiet(m_games);
    m_games->clear();
    int current = int(games.size()) - 1; // the newest when none is being played
    for (int i = 0; i < games.size(); ++i) {
        auto *item = new QListWidgetItem(listed(i + 1, games.at(i)));
        item->setData(Qt::UserRole, games.at(i).game);
        m_games->addItem(item);
        if (games.at(i).current) {
            current = i;
        }
    }
    if (games.isEmpty()) {
        m_notice->setText(reason.isEmpty() ? QStringLiteral("La serata non ha ancora partite.")
                                           : reason);
    }
    m_games->setCurrentRow(current);
    showChosenGame();
}

void VerbaleDialog::showChosenGame() {
    m_verbale.reset();
    if (const QListWidgetItem *item = m_games->currentItem()) {
        QString reason;
        m_verbale = Verbale::read(m_db, item->data(Qt::UserRole).toLongLong(), &reason);
        m_notice->setText(reason);
    }
    m_save->setEnabled(m_verbale.has_value());
    m_print->setEnabled(m_verbale.has_value());
    m_preview->setEnabled(m_verbale.has_value());
    m_preview->updatePreview();
}

void VerbaleDialog::paintPreview(QPrinter *printer) {
    if (!m_verbale) {
        return; // no page: the notice says why
    }
    if (QString reason; !VerbaleDocument(*m_verbale).paint(*printer, &reason)) {
        m_notice->setText(reason);
    }
}

void VerbaleDialog::savePdf() {
    if (!m_verbale) {
        return;
    }
    PdfFileDialog fileDialog;
    FileChooser &chooser = m_chooser ? *m_chooser : fileDialog;
    const QString proposed = QStringLiteral("verbale-%1-partita-%2.pdf")
                                 .arg(m_verbale->eveningDate.toString(QStringLiteral("yyyy-MM-dd")))
                                 .arg(m_verbale->gameNumber);
    const QString chosen = chooser.fileToSave(this, QStringLiteral("Salva il verbale"),
                                              QDir(m_lastFolder).filePath(proposed));
    if (chosen.isEmpty()) {
        return; // the user gave up
    }
    m_lastFolder = QFileInfo(chosen).absolutePath();
    writePdf(chosen);
}

void VerbaleDialog::writePdf(const QString &path) {
    if (QString reason; !writeVerbalePdf(*m_verbale, path, &reason)) {
        m_messages.avviso(this, reason);
        return;
    }
    m_messages.avviso(this, QStringLiteral("Il verbale è stato salvato nel file \"%1\".")
                                .arg(QDir::toNativeSeparators(path)));
}

void VerbaleDialog::print() {
    if (!m_verbale) {
        return;
    }
    try {
        // A printer of its own: choosing here leaves the cards' printer and orientation as
        // they are.
        PrinterTarget target;
        target.setOrientation(1);
        target.setDocumentTitle(
            QStringLiteral("Verbale della partita %1").arg(m_verbale->gameNumber));
        if (!clsPrintDialog(target, this).ShowPrinter()) {
            return; // cancelled: nothing printed, nothing to say
        }
        if (target.isPdfFile()) {
            // A file chosen in the print dialog is written as "Salva PDF…" writes it, so it
            // never replaces the register, the archive or the settings.
            writePdf(target.port());
            return;
        }
        target.setOrientation(1); // the record is laid out on portrait pages only
        QPagedPaintDevice *device = target.beginDocument();
        if (QString reason; !VerbaleDocument(*m_verbale).paint(*device, &reason)) {
            target.abortDocument();
            target.endDocument();
            m_messages.avviso(this, notPrinted(reason));
            return;
        }
        target.endDocument();
        m_notice->setText(QStringLiteral("Verbale mandato a %1.").arg(target.description()));
    } catch (const VelmoraError &error) {
        m_messages.avviso(this, notPrinted(error.description()));
    }
}

} // namespace velmora
