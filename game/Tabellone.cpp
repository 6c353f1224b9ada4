#include "game/Tabellone.h"

#include "errors/MessagePresenter.h"
#include "evening/EveningDialog.h"
#include "evening/GameStore.h"
#include "evening/VerbaleDialog.h"
#include "game/BoardButtonAccessible.h"
#include "game/CardView.h"
#include "hall/DigitFit.h"
#include "hall/HallControls.h"
#include "register/RegisterTime.h"
#include "settings/Configurazione.h"
#include "settings/RigaIntestazione.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
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
#include <QTimer>
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

GameDesk::Seams deskSeams(const Tabellone::Seams &seams) {
    return {seams.store,       seams.runs,      seams.archivePlaces,
            seams.cardsInPlay, seams.soldCards, seams.randomBelow};
}

QPushButton *command(const char *name, const QString &text) {
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

Tabellone::Tabellone(Seams seams, QWidget *parent)
    : QWidget(parent), m_seams(std::move(seams)), m_desk(deskSeams(m_seams)) {
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
    connect(m_hall, &HallControls::drawRequested, this,
            [this] { showDrawn(m_desk.drawByComputer()); });
    connect(m_hall, &HallControls::notice, this, &Tabellone::say);
    connect(m_hall, &HallControls::noticeOver, this, [this](const QString &text) {
        if (m_notice->text() == text) {
            say({});
        }
    });
    connect(m_hall, &HallControls::keyForCaller, this, &Tabellone::callerKey);
    if (m_desk.store().keptHall()) {
        m_hall->takeUp(*m_desk.store().keptHall());
    }
    connect(m_hall, &HallControls::setupChanged, this, &Tabellone::keepHall);
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

    // Across the top, the offer of the hall as it was after a restart.
    auto *whole = new QVBoxLayout(this);
    whole->addWidget(buildResumeOffer());
    auto *layout = new QHBoxLayout;
    whole->addLayout(layout, 1);
    layout->addLayout(left, 3);
    layout->addWidget(tabs, 2);

    // Typing a number is the quickest way: the box comes first.
    setTabOrder(m_entry, m_numbers.front());
    for (std::size_t i = 1; i < m_numbers.size(); ++i) {
        setTabOrder(m_numbers.at(i - 1), m_numbers.at(i));
    }
    setTabOrder(m_numbers.back(), m_undo);
    refresh();
    // After a restart: the game on the board is the one under way, with what it had.
    say(m_desk.resumedNotice());
}

Tabellone::~Tabellone() = default;

void Tabellone::buildBoard(QWidget *board) {
    BoardButtonAccessible::install();
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
        connect(button, &QPushButton::clicked, this,
                [this, number] { showDrawn(m_desk.drawClicked(number)); });
        grid->addWidget(button, (number - 1) / boardColumns, (number - 1) % boardColumns);
        BoardButtonAccessible::forget(button);
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
    // Low enough that the column's layout always gives it what it asks, the digits whole in it.
    m_last->setMinimumSize(140, 24);
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
    lastBox->installEventFilter(this);
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
    // The numbers before the last, newest first, as the hall's board shows them.
    m_previous = new QLabel;
    m_previous->setObjectName(QStringLiteral("lblPrecedenti"));
    layout->addWidget(m_previous);
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
        if (m_run->count() > 0) {
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
    // A prize given by mistake is taken back, the last one only, as the last number is.
    m_takeBack = command("cmdRitiraPremio", QStringLiteral("Ritira l'ultimo premio…"));
    connect(m_takeBack, &QPushButton::clicked, this, &Tabellone::takeBackAward);
    auto *prizeCommands = new QHBoxLayout;
    prizeCommands->addWidget(m_tombolino);
    prizeCommands->addWidget(m_takeBack);
    prizeCommands->addStretch();
    layout->addLayout(prizeCommands);
    return panel;
}

QPushButton *Tabellone::numberButton(int number) const {
    return NumberSet::inRange(number) ? m_numbers.at(number - 1) : nullptr;
}

void Tabellone::refresh() {
    const HallState state = m_desk.hallState();
    for (int number = 1; number <= NumberSet::highest; ++number) {
        QPushButton *button = m_numbers.at(number - 1);
        const QSignalBlocker quiet(button);
        button->setChecked(state.numbers.contains(number));
    }
    m_last->setText(state.last ? QString::number(state.last) : QStringLiteral("-"));
    m_last->setAccessibleName(
        QStringLiteral("Ultimo numero estratto: %1")
            .arg(state.last ? QString::number(state.last) : QStringLiteral("nessuno")));
    m_count->setText(QStringLiteral("Numeri estratti: %1").arg(state.count()));
    m_previous->setText(state.previousText());
    // Which game the board carries on after a restart; a game played in memory only has no time.
    const QString started = RegisterTime::shown(m_desk.store().started());
    m_gameStarted->setText(
        started.isEmpty() ? QString() : QStringLiteral("Partita iniziata il %1").arg(started));
    m_undo->setEnabled(state.count() > 0);
    showPrizes(state);
    m_hall->show(state);
    m_reached->setText(m_desk.winnersText());
    m_reached->setAccessibleName(m_reached->text());
    if (m_desk.hasCheckedCard()) {
        showVerdict(m_desk.verdict(m_run->currentIndex()));
    }
}

void Tabellone::showPrizes(const HallState &state) {
    const PrizePlan &plan = m_desk.store().prizes();
    // A prize given names its cards; the awards of the state are the plan's, in the same order.
    QHash<int, QString> given; // by prize
    for (qsizetype i = 0; i < plan.awards().size() && i < state.awards.size(); ++i) {
        given.insert(plan.awards().at(i).prize, HallCard::names(state.awards.at(i).cards));
    }
    const QSignalBlocker quiet(m_prizes); // filling is no edit by the user
    m_prizes->setRowCount(int(plan.prizes().size()));
    for (int row = 0; row < plan.prizes().size(); ++row) {
        const Prize &prize = plan.prizes().at(row);
        const QString state = plan.isAwarded(row)     ? given.value(row)
                              : row == plan.playing() ? QStringLiteral("in gioco")
                                                      : QString();
        const QStringList cells{prize.name, prize.value, state};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column != prizeValueColumn) {
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            } else {
                markWholeToEach(item, prize.wholeToEach);
            }
            m_prizes->setItem(row, column, item);
        }
    }
    m_prizes->resizeColumnToContents(0);
    m_playing->setText(plan.playingText());
    m_playing->setAccessibleName(plan.playingText());
    m_tombolino->setEnabled(m_desk.canAddTombolino());
    m_takeBack->setEnabled(!plan.awards().isEmpty());
}

// The value's tick: ticked, each card that shares the prize gets the whole value; else the
// cards divide it, as the record of the game says.
void Tabellone::markWholeToEach(QTableWidgetItem *item, bool whole) {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(whole ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(QStringLiteral("Spuntato: se più cartelle vincono insieme, ciascuna riceve "
                                    "il valore intero; altrimenti il valore si divide fra loro."));
}

bool Tabellone::wholeToEachEdited(int row) {
    const bool whole = m_prizes->item(row, prizeValueColumn)->checkState() == Qt::Checked;
    if (whole == m_desk.store().prizes().prizes().value(row).wholeToEach) {
        return false;
    }
    const GameDesk::Step step = retried([&] { return m_desk.setPrizeWholeToEach(row, whole); });
    if (step.unsaved) {
        say(step.said);
        QTimer::singleShot(0, this, &Tabellone::refresh); // the tick the register keeps
    }
    return true;
}

void Tabellone::prizeValueEdited(int row, int column) {
    if (column == prizeValueColumn && wholeToEachEdited(row)) {
        return;
    }
    if (column == prizeValueColumn) {
        const QString value = m_prizes->item(row, column)->text();
        const GameDesk::Step step = retried([&] { return m_desk.setPrizeValue(row, value); });
        if (step.unsaved) {
            say(step.said);
            // The value the register keeps goes back in its cell, once the edit is over: the
            // item edited is still in use here.
            QTimer::singleShot(0, this, &Tabellone::refresh);
            return;
        }
        m_playing->setText(m_desk.store().prizes().playingText());
        m_playing->setAccessibleName(m_playing->text());
        m_hall->show(m_desk.hallState());
    }
}

void Tabellone::addTombolino() {
    const GameDesk::Step step = retried([&] { return m_desk.addTombolino(); });
    say(step.said);
    refresh();
}

bool Tabellone::tryAgain(const QString &why) {
    // Said once for each attempt, with the way out: nothing changed on the board meanwhile.
    return m_seams.presenter->conferma(this, why + QStringLiteral("\nRiprovare?"));
}

void Tabellone::awardClaim() {
    // Cards that made the prize earlier and did not claim it: the organiser decides.
    const QString earlier = m_desk.earlierReached();
    const auto sharing = !earlier.isEmpty() && m_seams.presenter->conferma(this, earlier)
                             ? WinnerFinder::Sharing::WithEarlier
                             : WinnerFinder::Sharing::SameNumber;
    const GameDesk::Given given = retried([&] { return m_desk.awardClaim(sharing); });
    if (given.awarded) {
        say(given.said);
        afterChange();
    } else if (!given.said.isEmpty()) {
        m_cardNotice->setText(given.said);
        // Not stored is not refused: the same award may be given once the register takes it.
        m_award->setEnabled(given.unsaved);
    }
}

void Tabellone::takeBackAward() {
    const std::optional<QString> question = m_desk.takeBackQuestion();
    if (!question || !m_seams.presenter->conferma(this, *question)) {
        return;
    }
    const GameDesk::Step step = retried([&] { return m_desk.takeBackAward(); });
    say(step.said);
    if (step.done) {
        // The prize is played again: the claim checked before is worked out anew.
        showVerdict({});
    }
    afterChange();
}

void Tabellone::keepHall() {
    const HallSetup setup = m_hall->setup();
    const GameDesk::Step step = retried([&] { return m_desk.keepHall(setup); });
    if (step.unsaved) {
        say(step.said);
    }
}

QWidget *Tabellone::buildResumeOffer() {
    m_resume = new QFrame;
    m_resume->setObjectName(QStringLiteral("fraRiprendi"));
    m_resume->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(m_resume);
    auto *text = new QLabel;
    text->setObjectName(QStringLiteral("lblRiprendi"));
    text->setWordWrap(true);
    layout->addWidget(text, 1);
    auto *resume = command("cmdRiprendi", QStringLiteral("Riprendi"));
    layout->addWidget(resume);
    auto *dismiss = command("cmdNonRiprendere", QStringLiteral("Non ora"));
    connect(dismiss, &QPushButton::clicked, m_resume, &QWidget::hide);
    layout->addWidget(dismiss);
    const std::optional<HallSetup> kept = m_desk.hallToResume();
    if (kept) {
        // The hall as it was, whatever the organiser changes before taking it up.
        connect(resume, &QPushButton::clicked, this, [this, hall = *kept] { resumeHall(hall); });
        text->setText(QStringLiteral("Una partita era in corso quando il programma si è chiuso. "
                                     "Riprendi la sala com'era: %1.")
                          .arg(kept->described()));
        text->setAccessibleName(text->text());
    }
    m_resume->setVisible(kept.has_value());
    return m_resume;
}

void Tabellone::resumeHall(const HallSetup &hall) {
    m_resume->hide();
    m_hall->resume(hall);
    // What it brought back is kept again, as the organiser's own change would be.
    keepHall();
    m_entry->setFocus(Qt::OtherFocusReason);
}

void Tabellone::callerKey(QKeyEvent *key) {
    activateWindow();
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_F5 && modifiers == Qt::NoModifier) {
        showDrawn(m_desk.drawByComputer());
        return;
    }
    if (modifiers & Qt::AltModifier) {
        // A command's key: the button it underlines.
        const QKeySequence pressed(key->keyCombination());
        for (QAbstractButton *button : findChildren<QAbstractButton *>()) {
            if (button->isVisible() && button->isEnabled() &&
                QKeySequence::mnemonic(button->text()) == pressed) {
                button->click();
                return;
            }
        }
        return;
    }
    // Typing: the number box takes it (digits, Enter, Backspace).
    m_entry->setFocus(Qt::OtherFocusReason);
    QKeyEvent typed(key->type(), key->key(), key->modifiers(), key->text());
    QCoreApplication::sendEvent(m_entry, &typed);
}

void Tabellone::fitLastNumber() {
    // The notices under it may squeeze its box below the label's least height: the digits go
    // in the part the box shows.
    const int hidden = qMax(0, m_last->geometry().bottom() - m_last->parentWidget()->height() + 1);
    m_last->setContentsMargins(0, 0, 0, hidden);
    const QRect box = m_last->contentsRect();
    QFont font = m_last->font();
    font.setPixelSize(DigitFit::pixelSize(font, box, QStringLiteral("88"), box.height() * 3 / 2));
    m_last->setFont(font);
}

void Tabellone::showDrawn(GameDesk::Drawn drawn) {
    while (drawn.unsaved && tryAgain(drawn.notice)) {
        drawn = m_desk.drawAgain(drawn);
    }
    say(drawn.notice);
    afterChange(); // a board button pressed toggled itself: the board shows the register
    if (drawn.number != 0) {
        m_hall->numberDrawn(drawn.number);
    }
}

void Tabellone::drawTyped() {
    const QString typed = m_entry->text();
    m_entry->clear();
    showDrawn(m_desk.drawTyped(typed));
}

void Tabellone::undo() {
    const int number = m_desk.store().game().last();
    if (number == 0 ||
        !m_seams.presenter->conferma(
            this, QStringLiteral("Togliere il %1, l'ultimo numero estratto?").arg(number))) {
        return;
    }
    const GameDesk::Step step = retried([&] { return m_desk.undo(); });
    say(step.said);
    afterChange();
}

void Tabellone::openEvening() {
    EveningDialog::mostra(this, *m_seams.presenter);
}

void Tabellone::openVerbale() {
    VerbaleDialog::mostra(this, *m_seams.presenter);
}

void Tabellone::newGame() {
    if (!m_seams.presenter->conferma(
            this, QStringLiteral("Iniziare una nuova partita? La partita attuale resta nel "
                                 "registro, ma il tabellone riparte vuoto."))) {
        return;
    }
    const GameDesk::Step step = retried([&] { return m_desk.newGame(); });
    say(step.said);
    if (step.done) {
        showVerdict({});
        m_winners->setRowCount(0);
        m_winnersAsked = false;
        m_resume->hide(); // the game it spoke of is over
    }
    afterChange();
}

void Tabellone::afterChange() {
    refresh();
    // The cards listed by "Chi ha vinto?" are those of the numbers drawn now.
    if (m_winnersAsked) {
        showWinners();
    }
}

void Tabellone::reportStoreError() {
    const QString &error = m_desk.store().lastError();
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
    const QStringList runs = m_desk.lookUpClaim(m_cardNumber->text());
    {
        const QSignalBlocker quiet(m_run);
        m_run->clear();
        m_run->addItems(runs);
    }
    // The verdict shown was for the number before: gone until this one is checked.
    showVerdict({});
    // The run is asked for only when the number was printed more than once.
    m_run->setEnabled(runs.size() > 1);
}

void Tabellone::checkClaim() {
    showVerdict(m_desk.checkClaim(m_run->currentIndex()));
    reportStoreError();
}

void Tabellone::showVerdict(const GameDesk::Verdict &verdict) {
    if (verdict.card) {
        m_card->showCard(verdict.card->record, verdict.card->printedText,
                         m_desk.store().game().drawn(), RigaIntestazione(*m_seams.settings));
    } else {
        m_card->clear();
    }
    m_outcome->setText(verdict.outcome);
    m_cardNotice->setText(verdict.notice);
    m_award->setEnabled(verdict.awardable);
}

void Tabellone::whoWon() {
    m_winnersAsked = true;
    say(showWinners());
}

QString Tabellone::showWinners() {
    const GameDesk::Winners winners = m_desk.whoWon(Premio(m_prize->currentData().toInt()));
    m_winners->setRowCount(int(winners.rows.size()));
    for (int row = 0; row < winners.rows.size(); ++row) {
        const QStringList &cells = winners.rows.at(row);
        for (int column = 0; column < cells.size(); ++column) {
            m_winners->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        }
    }
    m_winners->resizeColumnsToContents();
    return winners.notice;
}

bool Tabellone::eventFilter(QObject *watched, QEvent *event) {
    // The board's numbers and the last number grow with the window.
    if (event->type() == QEvent::Resize) {
        if (m_last && (watched == m_last || watched == m_last->parentWidget())) {
            fitLastNumber();
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
