#include "game/Tabellone.h"

#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "evening/EveningDialog.h"
#include "evening/GameStore.h"
#include "evening/VerbaleDialog.h"
#include "game/CardView.h"
#include "hall/HallControls.h"
#include "print/CardArchive.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "register/RegisterTime.h"
#include "rules/WinnerFinder.h"
#include "settings/Configurazione.h"
#include "settings/RigaIntestazione.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmora {
namespace {

constexpr int boardRows = 9;
constexpr int boardColumns = 10;
constexpr int lastNumberPoints = 44;
constexpr int prizeValueColumn = 1;
const std::array<Premio, 5> prizes{Premio::Ambo, Premio::Terno, Premio::Quaterna, Premio::Cinquina,
                                   Premio::Tombola};

const QString boardButtonName = QStringLiteral("numero(%1)");

// A number of the board for a screen reader: a button (not the check box Qt makes of a
// checkable push button) whose checked state says the number is drawn; pressing it toggles.
class BoardButtonAccessible : public QAccessibleWidget {
public:
    explicit BoardButtonAccessible(QPushButton *button)
        : QAccessibleWidget(button, QAccessible::Button) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? button()->text() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override {
        if (action == pressAction() || action == toggleAction()) {
            button()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
};

QAccessibleInterface *boardButtonFactory(const QString &className, QObject *object) {
    auto *button = qobject_cast<QPushButton *>(object);
    if (className == QLatin1String("QPushButton") && button && button->isCheckable() &&
        button->objectName().startsWith(QLatin1String("numero(")) && button->parentWidget() &&
        button->parentWidget()->objectName() == QLatin1String("picTabellone")) {
        return new BoardButtonAccessible(button);
    }
    return nullptr;
}

QLabel *caption(const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

// The face of widget at share of its height, smaller when sample would not fit its width with
// room either side: the digits grow with the window.
void fitDigits(QWidget *widget, const QString &sample, double share) {
    QFont font = widget->font();
    int size = qMax(6, int(widget->height() * share));
    font.setPixelSize(size);
    const int room = widget->width() * 8 / 10;
    const int advance = QFontMetrics(font).horizontalAdvance(sample);
    if (advance > room) {
        size = qMax(6, size * room / advance);
        font.setPixelSize(size);
    }
    widget->setFont(font);
}

QPushButton *command(const char *name, const QString &text) {
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

Tabellone::Tabellone(Seams seams, QWidget *parent)
    : QWidget(parent), m_seams(std::move(seams)), m_computerDraw(m_seams.randomBelow) {
    setObjectName(QStringLiteral("Tabellone"));
    setWindowTitle(QStringLiteral("Tabellone"));
    setWindowFlag(Qt::Window);

    auto *board = new QWidget;
    board->setObjectName(QStringLiteral("picTabellone"));
    board->setAccessibleName(QStringLiteral("Tabellone dei numeri"));
    buildBoard(board);

    // Under the board, what goes with each number: the entry, the last number, the count and
    // the game's commands, with the hall's commands beside them.
    auto *draw = new QHBoxLayout;
    draw->addWidget(buildDrawPanel(), 1);
    m_hall = new HallControls(m_seams.speech);
    connect(m_hall, &HallControls::drawRequested, this, &Tabellone::drawByComputer);
    connect(m_hall, &HallControls::notice, this, &Tabellone::say);
    draw->addWidget(m_hall, 0, Qt::AlignTop);
    auto *left = new QVBoxLayout;
    left->addWidget(board, 3);
    left->addLayout(draw, 2);

    // The claimed card and the prizes with their winners take turns on the right: the card
    // picture and the board side by side keep the window within a 1024x768 screen.
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabControlli"));
    tabs->addTab(buildCheckPanel(), QStringLiteral("Con&trolla cartella"));
    auto *results = new QWidget;
    auto *resultsLayout = new QVBoxLayout(results);
    resultsLayout->addWidget(buildPrizesPanel());
    resultsLayout->addWidget(buildWinnersPanel(), 1);
    tabs->addTab(results, QStringLiteral("Premi e v&incite"));

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addWidget(tabs, 2);

    // Typing a number is the quickest way: the box comes first.
    setTabOrder(m_entry, m_numbers.front());
    for (std::size_t i = 1; i < m_numbers.size(); ++i) {
        setTabOrder(m_numbers.at(i - 1), m_numbers.at(i));
    }
    setTabOrder(m_numbers.back(), m_undo);
    refresh();
}

Tabellone::~Tabellone() = default;

void Tabellone::buildBoard(QWidget *board) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(boardButtonFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    auto *grid = new QGridLayout(board);
    grid->setSpacing(2);
    for (int number = 1; number <= NumberSet::highest; ++number) {
        auto *button = new QPushButton(QString::number(number), board);
        button->setObjectName(boardButtonName.arg(number));
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setAccessibleName(QString::number(number));
        // The board takes the room the window gives it; the digits follow the buttons' size.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        button->setMinimumSize(36, 30);
        QFont font = button->font();
        font.setPointSizeF(font.pointSizeF() * 1.25);
        font.setBold(true);
        button->setFont(font);
        button->setStyleSheet(QStringLiteral("QPushButton:checked { background: #c00000; "
                                             "color: white; }"));
        // A click leaves the focus in the entry box, so the next number can be typed at once;
        // the board is still reached by Tab and walked with the arrows.
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, number] { boardClicked(number); });
        grid->addWidget(button, (number - 1) / boardColumns, (number - 1) % boardColumns);
        // Qt made the button's interface while it was a plain push button: drop it, so the
        // next query goes through our factory.
        if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(button)) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
        m_numbers.at(number - 1) = button;
    }
}

QWidget *Tabellone::buildDrawPanel() {
    auto *panel = new QWidget;
    // The entry and the last number take the width and height the window gives; the game's
    // commands beside them keep their size; the game's state below.
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    layout->addLayout(row, 1);
    auto *state = new QVBoxLayout;
    row->addLayout(state, 1);
    m_entry = new QLineEdit;
    m_entry->setObjectName(QStringLiteral("txtNumero"));
    m_entry->setAccessibleName(QStringLiteral("Numero estratto"));
    // Digits only, up to three: a number out of 1..90 reaches drawTyped and is said there.
    m_entry->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), m_entry));
    m_entry->setMaxLength(3);
    connect(m_entry, &QLineEdit::returnPressed, this, &Tabellone::drawTyped);
    state->addWidget(caption(QStringLiteral("&Numero estratto:"), m_entry));
    state->addWidget(m_entry, 0, Qt::AlignLeft);

    m_last = new QLabel;
    m_last->setObjectName(QStringLiteral("lblUltimo"));
    m_last->setAlignment(Qt::AlignCenter);
    // As large as its box, its digits with it: it grows with the window.
    m_last->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_last->setMinimumSize(140, 64);
    QFont big = m_last->font();
    big.setPointSize(lastNumberPoints);
    big.setBold(true);
    m_last->setFont(big);
    m_last->installEventFilter(this);
    state->addWidget(new QLabel(QStringLiteral("Ultimo numero:")));
    // In a box of its own: the column's height for its width (the wrapped notices) would
    // otherwise count the last number at no height at all.
    auto *lastBox = new QWidget;
    lastBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    auto *lastLayout = new QVBoxLayout(lastBox);
    lastLayout->setContentsMargins(0, 0, 0, 0);
    lastLayout->addWidget(m_last);
    state->addWidget(lastBox, 1);

    auto *commands = new QVBoxLayout;
    row->addLayout(commands);
    m_undo = command("cmdAnnulla", QStringLiteral("&Annulla ultimo"));
    connect(m_undo, &QPushButton::clicked, this, &Tabellone::undo);
    commands->addWidget(m_undo);
    auto *fresh = command("cmdNuovaPartita", QStringLiteral("N&uova partita"));
    connect(fresh, &QPushButton::clicked, this, &Tabellone::newGame);
    commands->addWidget(fresh);
    auto *evening = command("cmdSerata", QStringLiteral("&Serata…"));
    connect(evening, &QPushButton::clicked, this, &Tabellone::openEvening);
    commands->addWidget(evening);
    auto *minutes = command("cmdVerbale", QStringLiteral("&Verbale…"));
    minutes->setAccessibleName(QStringLiteral("Verbale…"));
    connect(minutes, &QPushButton::clicked, this, &Tabellone::openVerbale);
    commands->addWidget(minutes);
    commands->addStretch();

    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("lblConteggio"));
    layout->addWidget(m_count);
    m_gameStarted = new QLabel;
    m_gameStarted->setObjectName(QStringLiteral("lblPartita"));
    layout->addWidget(m_gameStarted);
    // The prize being played, always in sight, and the cards in play that have reached it.
    m_playing = new QLabel;
    m_playing->setObjectName(QStringLiteral("lblPremioInGioco"));
    QFont bold = m_playing->font();
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    bold.setBold(true);
    m_playing->setFont(bold);
    layout->addWidget(m_playing);
    m_reached = new QLabel;
    m_reached->setObjectName(QStringLiteral("lblVincitori"));
    m_reached->setWordWrap(true);
    layout->addWidget(m_reached);
    m_notice = new QLabel;
    m_notice->setObjectName(QStringLiteral("lblAvviso"));
    m_notice->setWordWrap(true);
    layout->addWidget(m_notice);
    return panel;
}

QWidget *Tabellone::buildCheckPanel() {
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    auto *row = new QHBoxLayout;
    m_cardNumber = new QLineEdit;
    m_cardNumber->setObjectName(QStringLiteral("txtCartella"));
    m_cardNumber->setAccessibleName(QStringLiteral("Numero della cartella come stampato"));
    m_cardNumber->setValidator(new QIntValidator(1, 99999, m_cardNumber));
    connect(m_cardNumber, &QLineEdit::textChanged, this, &Tabellone::cardNumberEdited);
    connect(m_cardNumber, &QLineEdit::returnPressed, this, &Tabellone::checkClaim);
    row->addWidget(caption(QStringLiteral("&Cartella N.:"), m_cardNumber));
    row->addWidget(m_cardNumber);
    m_run = new QComboBox;
    m_run->setObjectName(QStringLiteral("cboCorsa"));
    m_run->setAccessibleName(QStringLiteral("Stampa della cartella"));
    m_run->setEnabled(false);
    // Another run is another card: its verdict is worked out at once, never the old one kept.
    connect(m_run, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_matches.isEmpty()) {
            checkClaim();
        }
    });
    row->addWidget(caption(QStringLiteral("C&orsa:"), m_run));
    row->addWidget(m_run, 1);
    auto *check = command("cmdControlla", QStringLiteral("Cont&rolla"));
    connect(check, &QPushButton::clicked, this, &Tabellone::checkClaim);
    row->addWidget(check);
    m_award = command("cmdAssegna", QStringLiteral("Asse&gna"));
    m_award->setEnabled(false);
    connect(m_award, &QPushButton::clicked, this, &Tabellone::awardClaim);
    row->addWidget(m_award);
    layout->addLayout(row);

    m_card = new CardView(*m_seams.settings);
    layout->addWidget(m_card, 0, Qt::AlignHCenter);
    m_outcome = new QLabel;
    m_outcome->setObjectName(QStringLiteral("lblEsito"));
    QFont big = m_outcome->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_outcome->setFont(big);
    layout->addWidget(m_outcome);
    m_cardNotice = new QLabel;
    m_cardNotice->setObjectName(QStringLiteral("lblAvvisoCartella"));
    m_cardNotice->setWordWrap(true);
    layout->addWidget(m_cardNotice);
    layout->addStretch();
    return panel;
}

QWidget *Tabellone::buildWinnersPanel() {
    auto *panel = new QGroupBox(QStringLiteral("Chi ha vinto?"));
    auto *layout = new QVBoxLayout(panel);
    auto *row = new QHBoxLayout;
    m_prize = new QComboBox;
    m_prize->setObjectName(QStringLiteral("cboPremio"));
    m_prize->setAccessibleName(QStringLiteral("Premio"));
    for (const Premio prize : prizes) {
        m_prize->addItem(PrizeCheck::name(prize), int(prize));
    }
    row->addWidget(caption(QStringLiteral("&Premio:"), m_prize));
    row->addWidget(m_prize, 1);
    auto *who = command("cmdChiHaVinto", QStringLiteral("C&hi ha vinto?"));
    connect(who, &QPushButton::clicked, this, &Tabellone::whoWon);
    row->addWidget(who);
    layout->addLayout(row);
    m_winners = new QTableWidget(0, 5);
    m_winners->setObjectName(QStringLiteral("tblVincite"));
    m_winners->setAccessibleName(QStringLiteral("Cartelle vincenti"));
    m_winners->setHorizontalHeaderLabels({QStringLiteral("N. stampato"),
                                          QStringLiteral("N. archivio"), QStringLiteral("Premio"),
                                          QStringLiteral("Riga"), QStringLiteral("Corsa")});
    m_winners->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_winners->verticalHeader()->hide();
    // Each column as wide as its heading and its cells, the run's label taking the rest: a
    // right column of a 1024-pixel window holds them all.
    m_winners->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_winners->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    layout->addWidget(m_winners);
    return panel;
}

QWidget *Tabellone::buildPrizesPanel() {
    auto *panel = new QGroupBox(QStringLiteral("Premi"));
    auto *layout = new QVBoxLayout(panel);
    m_prizes = new QTableWidget(0, 3);
    m_prizes->setObjectName(QStringLiteral("tblPremi"));
    m_prizes->setAccessibleName(QStringLiteral("Premi della partita"));
    m_prizes->setHorizontalHeaderLabels(
        {QStringLiteral("Premio"), QStringLiteral("Valore"), QStringLiteral("Assegnato")});
    m_prizes->verticalHeader()->hide();
    m_prizes->horizontalHeader()->setStretchLastSection(true);
    // Rows as tight as the text, so that the six prizes show without scrolling.
    const int rowHeight = m_prizes->fontMetrics().height() + 6;
    m_prizes->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_prizes->setMaximumHeight(rowHeight * 8);
    connect(m_prizes, &QTableWidget::cellChanged, this, &Tabellone::prizeValueEdited);
    layout->addWidget(m_prizes);
    m_tombolino = command("cmdTombolino", QStringLiteral("Aggiungi Tom&bolino"));
    connect(m_tombolino, &QPushButton::clicked, this, &Tabellone::addTombolino);
    layout->addWidget(m_tombolino, 0, Qt::AlignLeft);
    return panel;
}

QPushButton *Tabellone::numberButton(int number) const {
    return NumberSet::inRange(number) ? m_numbers.at(number - 1) : nullptr;
}

void Tabellone::refresh() {
    const Game &game = m_seams.store->game();
    for (int number = 1; number <= NumberSet::highest; ++number) {
        QPushButton *button = m_numbers.at(number - 1);
        const QSignalBlocker quiet(button);
        button->setChecked(game.isDrawn(number));
    }
    m_last->setText(game.last() ? QString::number(game.last()) : QStringLiteral("-"));
    m_last->setAccessibleName(
        QStringLiteral("Ultimo numero estratto: %1")
            .arg(game.last() ? QString::number(game.last()) : QStringLiteral("nessuno")));
    m_count->setText(QStringLiteral("Numeri estratti: %1").arg(game.count()));
    // Which game the board carries on after a restart; a game played in memory only has no time.
    const QString started = RegisterTime::shown(m_seams.store->started());
    m_gameStarted->setText(
        started.isEmpty() ? QString() : QStringLiteral("Partita iniziata il %1").arg(started));
    m_undo->setEnabled(game.count() > 0);
    showPrizes();
    findWinners();
    if (m_card->hasCard()) {
        checkCard();
    }
}

void Tabellone::showPrizes() {
    const PrizePlan &plan = m_seams.store->prizes();
    const QSignalBlocker quiet(m_prizes); // filling is no edit by the user
    m_prizes->setRowCount(int(plan.prizes().size()));
    for (int row = 0; row < plan.prizes().size(); ++row) {
        const Prize &prize = plan.prizes().at(row);
        const QString state = plan.isAwarded(row)     ? QStringLiteral("sì")
                              : row == plan.playing() ? QStringLiteral("in gioco")
                                                      : QString();
        const QStringList cells{prize.name, prize.value, state};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column != prizeValueColumn) {
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            }
            m_prizes->setItem(row, column, item);
        }
    }
    m_prizes->resizeColumnToContents(0);
    m_playing->setText(plan.playingText());
    m_playing->setAccessibleName(plan.playingText());
    m_hall->show(HallState::of(m_seams.store->gameId(), m_seams.store->game().numbers(),
                               plan.playingText(), {}));
    m_tombolino->setEnabled(
        std::count_if(plan.prizes().cbegin(), plan.prizes().cend(),
                      [](const Prize &prize) { return prize.kind == Premio::Tombola; }) == 1);
}

void Tabellone::prizeValueEdited(int row, int column) {
    if (column == prizeValueColumn) {
        // The table is not filled again here: the item edited is still in use.
        m_seams.store->setPrizeValue(row, m_prizes->item(row, column)->text());
        reportStoreError();
        m_playing->setText(m_seams.store->prizes().playingText());
        m_playing->setAccessibleName(m_playing->text());
    }
}

void Tabellone::addTombolino() {
    m_seams.store->addTombolino();
    afterChange();
}

const QList<CardInPlay> &Tabellone::cardsInPlay() {
    if (m_seams.cardsInPlay) {
        m_cardsInPlay = m_seams.cardsInPlay();
        return m_cardsInPlay;
    }
    // Every card the runs put out; read from the archive again only when the runs change.
    const QList<PrintedRun> runs = m_seams.runs->runs();
    QStringList key;
    for (const PrintedRun &run : runs) {
        key.append(QStringLiteral("%1:%2:%3-%4:%5:%6")
                       .arg(run.record.id)
                       .arg(run.label)
                       .arg(run.record.firstCard)
                       .arg(run.record.lastCard)
                       .arg(run.record.archiveNumbering)
                       .arg(run.otherArchive));
    }
    const QString joined = key.join(QLatin1Char('|'));
    if (joined != m_cardsKey || m_cardsKey.isEmpty()) {
        m_cardsPutOut = CardInPlay::fromRuns(runs, *m_seams.openArchive());
        m_cardsKey = joined.isEmpty() ? QStringLiteral("-") : joined;
    }
    const auto sold = m_seams.soldCards ? m_seams.soldCards() : std::nullopt;
    if (!sold) {
        m_cardsInPlay = m_cardsPutOut;
        return m_cardsInPlay;
    }
    m_cardsInPlay.clear();
    for (const CardInPlay &card : std::as_const(m_cardsPutOut)) {
        if (sold->contains({card.run, card.printed})) {
            m_cardsInPlay.append(card);
        }
    }
    return m_cardsInPlay;
}

void Tabellone::findWinners() {
    const Game &game = m_seams.store->game();
    // Nothing to look for before the first number or after the last prize.
    if (game.count() == 0 || m_seams.store->prizes().playing() < 0) {
        m_reached->clear();
        return;
    }
    try {
        const QList<CardInPlay> &cards = cardsInPlay();
        m_reached->setText(cards.isEmpty()
                               ? QStringLiteral("Nessuna cartella in gioco.")
                               : WinnerFinder::announce(cards,
                                                        WinnerFinder::find(cards, game.numbers(),
                                                                           m_seams.store->prizes()),
                                                        m_seams.store->prizes()));
    } catch (const VelmoraError &error) {
        m_reached->setText(error.description());
    }
    m_reached->setAccessibleName(m_reached->text());
}

std::optional<std::pair<qint64, qint64>> Tabellone::claimedCard() const {
    if (!m_card->hasCard() || m_matches.isEmpty()) {
        return std::nullopt;
    }
    const PrintedMatch &match = m_matches.at(std::max(0, m_run->currentIndex()));
    return std::pair{m_runs.at(match.run).record.id, m_cardNumber->text().toLongLong()};
}

void Tabellone::awardClaim() {
    const std::optional<std::pair<qint64, qint64>> claim = claimedCard();
    if (!claim) {
        return;
    }
    try {
        const QList<CardInPlay> &cards = cardsInPlay();
        const PrizePlan &plan = m_seams.store->prizes();
        QString refusal;
        const std::optional<Award> award = WinnerFinder::award(
            cards, m_seams.store->game().numbers(), plan, claim->first, claim->second, &refusal);
        if (!award) {
            m_cardNotice->setText(refusal);
            m_award->setEnabled(false);
            return;
        }
        const QString prize = plan.prizes().at(award->prize).name;
        QStringList winners;
        QStringList inHall; // the hall knows a card by its number only
        for (const AwardedCard &won : award->cards) {
            for (const CardInPlay &card : cards) {
                if (card.run == won.run && card.printed == won.printed) {
                    winners.append(
                        QStringLiteral("N. %1 (%2)").arg(card.printedText, card.runLabel));
                    inHall.append(QStringLiteral("N. %1").arg(card.printedText));
                }
            }
        }
        m_seams.store->award(*award);
        say(QStringLiteral("%1: premio assegnato a %2.")
                .arg(prize, winners.join(QStringLiteral(", "))));
    } catch (const VelmoraError &error) {
        m_cardNotice->setText(error.description());
    }
    afterChange();
}

void Tabellone::boardClicked(int number) {
    // A misclick on the evening must never change the draw: a drawn number stays drawn.
    if (m_seams.store->game().isDrawn(number)) {
        refresh(); // the button toggled itself: put it back
        say(alreadyDrawn(number));
        return;
    }
    m_seams.store->draw(number, DrawSource::Clicked);
    say({});
    afterChange();
    m_hall->numberDrawn(number);
}

QString Tabellone::alreadyDrawn(int number) {
    return QStringLiteral("Il %1 è già estratto: solo \"Annulla ultimo\" toglie l'ultimo numero.")
        .arg(number);
}

void Tabellone::drawTyped() {
    const QString typed = m_entry->text().trimmed();
    const int number = typed.toInt();
    m_entry->clear();
    if (typed.isEmpty()) {
        say(QStringLiteral("Scrivere un numero da 1 a 90."));
    } else if (!NumberSet::inRange(number)) {
        say(QStringLiteral("Il %1 non è un numero della tombola: scrivere un numero da 1 a 90.")
                .arg(typed));
    } else if (!m_seams.store->draw(number)) {
        say(alreadyDrawn(number));
    } else {
        say({});
        afterChange();
        m_hall->numberDrawn(number);
    }
}

void Tabellone::drawByComputer() {
    const int number = m_computerDraw.next(m_seams.store->game());
    if (number == 0) {
        say(QStringLiteral("Tutti i 90 numeri sono già estratti."));
        return;
    }
    m_seams.store->draw(number, DrawSource::Computer);
    say({});
    afterChange();
    m_hall->numberDrawn(number);
}

void Tabellone::undo() {
    const int number = m_seams.store->game().last();
    if (number == 0 ||
        !m_seams.presenter->conferma(
            this, QStringLiteral("Togliere il %1, l'ultimo numero estratto?").arg(number))) {
        return;
    }
    m_seams.store->undo();
    say(QStringLiteral("Tolto il %1.").arg(number));
    afterChange();
}

void Tabellone::openEvening() {
    EveningDialog::mostra(this, *m_seams.presenter);
}

void Tabellone::openVerbale() {
    VerbaleDialog::mostra(this, *m_seams.presenter, *m_seams.settings);
}

void Tabellone::newGame() {
    if (!m_seams.presenter->conferma(
            this, QStringLiteral("Iniziare una nuova partita? La partita attuale resta nel "
                                 "registro, ma il tabellone riparte vuoto."))) {
        return;
    }
    m_seams.store->newGame();
    m_card->clear();
    m_outcome->clear();
    m_cardNotice->clear();
    m_award->setEnabled(false);
    m_winners->setRowCount(0);
    say(QStringLiteral("Nuova partita."));
    afterChange();
}

void Tabellone::afterChange() {
    reportStoreError();
    refresh();
}

void Tabellone::reportStoreError() {
    const QString &error = m_seams.store->lastError();
    if (error.isEmpty()) {
        m_storeErrorShown = false;
    } else if (!m_storeErrorShown) {
        // Once: the evening goes on with the board in memory.
        m_storeErrorShown = true;
        m_seams.presenter->avviso(this, error);
    }
}

void Tabellone::say(const QString &text) {
    m_notice->setText(text);
}

void Tabellone::cardNumberEdited() {
    m_runsError.clear();
    try {
        m_runs = m_seams.runs->runs();
    } catch (const VelmoraError &error) {
        m_runs.clear();
        m_runsError = error.description(); // said by checkCard, not at every key typed
    }
    m_matches = findPrinted(m_runs, m_cardNumber->text().toLongLong(), m_archives.lookup());
    {
        const QSignalBlocker quiet(m_run);
        m_run->clear();
        for (const PrintedMatch &match : m_matches) {
            m_run->addItem(m_runs.at(match.run).label);
        }
    }
    // The verdict shown was for the number before: gone until this one is checked.
    m_card->clear();
    m_outcome->clear();
    m_cardNotice->clear();
    m_award->setEnabled(false);
    // The run is asked for only when the number was printed more than once.
    m_run->setEnabled(m_matches.size() > 1);
}

void Tabellone::checkClaim() {
    if (const std::optional<ClaimCheck> claim = checkCard()) {
        m_seams.store->recordClaim(*claim);
        reportStoreError();
    }
}

std::optional<ClaimCheck> Tabellone::checkCard() {
    const QString typed = m_cardNumber->text().trimmed();
    m_outcome->clear();
    m_award->setEnabled(false);
    if (typed.isEmpty()) {
        m_card->clear();
        m_cardNotice->setText(QStringLiteral("Scrivere il numero stampato sulla cartella."));
        return std::nullopt;
    }
    if (!m_runsError.isEmpty()) {
        m_card->clear();
        m_cardNotice->setText(m_runsError);
        return std::nullopt;
    }
    if (m_matches.isEmpty()) {
        m_card->clear();
        m_cardNotice->setText(QStringLiteral("Nessuna cartella N. %1 risulta stampata (%2): "
                                             "può essere una copia o di un'altra serata.")
                                  .arg(typed, m_seams.runs->sourceName()));
        // A card nobody printed is a claim checked too: the record shows it refused.
        return ClaimCheck{QDateTime::currentDateTime(), 0, typed.toInt(), m_cardNotice->text()};
    }
    const PrintedMatch match = m_matches.at(std::max(0, m_run->currentIndex()));
    const PrintedRun &run = m_runs.at(match.run);
    try {
        const std::unique_ptr<CardArchive> archive = m_seams.openArchive();
        const RecordCartella record = archive->read(match.archiveCard);
        const NumberSet &drawn = m_seams.store->game().drawn();
        m_card->showCard(record,
                         CardNumbering::printedText(record.numeroArchivio(),
                                                    run.record.archiveNumbering,
                                                    run.record.firstCard),
                         drawn, RigaIntestazione(*m_seams.settings));
        m_outcome->setText(PrizeCheck::describe(PrizeCheck::check(CardRows::of(record), drawn)));
        QStringList notes{
            QStringLiteral("Cartella %1 dell'archivio, %2.").arg(match.archiveCard).arg(run.label)};
        if (m_matches.size() > 1) {
            notes.append(QStringLiteral("Questo numero è stato stampato in %1 corse: "
                                        "controllare la corsa scelta.")
                             .arg(m_matches.size()));
        }
        if (run.otherArchive) {
            notes.append(QStringLiteral("Attenzione: quella stampa usava un archivio diverso da "
                                        "quello attuale, la cartella mostrata può non essere "
                                        "quella stampata."));
        }
        // Whether the claim can be given the prize being played; if not, why, plainly.
        QString refusal;
        m_award->setEnabled(WinnerFinder::award(cardsInPlay(), m_seams.store->game().numbers(),
                                                m_seams.store->prizes(), run.record.id,
                                                typed.toLongLong(), &refusal)
                                .has_value());
        if (!m_award->isEnabled()) {
            notes.append(refusal);
        }
        m_cardNotice->setText(notes.join(QLatin1Char(' ')));
        // What the organiser was told, in one line: the card's best and whether it wins.
        const PrizePlan &plan = m_seams.store->prizes();
        const QString verdict =
            m_award->isEnabled()
                ? QStringLiteral("%1 — vince %2.")
                      .arg(m_outcome->text(), plan.prizes().at(plan.playing()).name)
                : QStringLiteral("%1 — %2").arg(m_outcome->text(), refusal);
        return ClaimCheck{QDateTime::currentDateTime(), int(run.record.id), typed.toInt(), verdict};
    } catch (const VelmoraError &error) {
        m_card->clear();
        m_cardNotice->setText(error.description());
        return std::nullopt;
    }
}

void Tabellone::whoWon() {
    const auto prize = Premio(m_prize->currentData().toInt());
    const NumberSet &drawn = m_seams.store->game().drawn();
    m_winners->setRowCount(0);
    try {
        for (const CardInPlay &card : cardsInPlay()) {
            const Premio best = PrizeCheck::best(card.rows, drawn);
            if (best == Premio::Nessuno || best < prize) {
                continue;
            }
            const CheckResult result = PrizeCheck::check(card.rows, drawn);
            const int row = m_winners->rowCount();
            m_winners->insertRow(row);
            const QStringList cells{card.printedText, QString::number(card.archiveCard),
                                    PrizeCheck::name(result.best), PrizeCheck::rowName(result.row),
                                    card.runLabel};
            for (int column = 0; column < cells.size(); ++column) {
                m_winners->setItem(row, column, new QTableWidgetItem(cells.at(column)));
            }
        }
        say(m_winners->rowCount() == 0
                ? QStringLiteral("Nessuna cartella ha fatto %1.").arg(PrizeCheck::name(prize))
                : QStringLiteral("Cartelle con %1 o più: %2.")
                      .arg(PrizeCheck::name(prize))
                      .arg(m_winners->rowCount()));
        m_winners->resizeColumnsToContents();
    } catch (const VelmoraError &error) {
        say(error.description());
    }
}

bool Tabellone::eventFilter(QObject *watched, QEvent *event) {
    // The board's numbers and the last number grow with the window.
    if (event->type() == QEvent::Resize) {
        if (watched == m_last) {
            fitDigits(m_last, QStringLiteral("88"), 0.8);
        } else if (auto *button = qobject_cast<QPushButton *>(watched)) {
            fitDigits(button, QStringLiteral("88"), 0.5);
        }
    }
    // Arrow keys walk the board as it is laid out.
    if (event->type() == QEvent::KeyPress) {
        const auto *button = qobject_cast<QPushButton *>(watched);
        const auto at = std::find(m_numbers.begin(), m_numbers.end(), button);
        if (at != m_numbers.end()) {
            const int index = int(at - m_numbers.begin());
            int step = 0;
            switch (static_cast<QKeyEvent *>(event)->key()) {
            case Qt::Key_Left:
                step = -1;
                break;
            case Qt::Key_Right:
                step = 1;
                break;
            case Qt::Key_Up:
                step = -boardColumns;
                break;
            case Qt::Key_Down:
                step = boardColumns;
                break;
            default:
                break;
            }
            if (step != 0) {
                if (index + step >= 0 && index + step < boardRows * boardColumns) {
                    m_numbers.at(index + step)->setFocus(Qt::TabFocusReason);
                }
                return true;
            }
            // A digit typed on the board is the start of a number: it goes to the entry box.
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->text().size() == 1 && key->text().front().isDigit()) {
                m_entry->setFocus(Qt::OtherFocusReason);
                m_entry->insert(key->text());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora
