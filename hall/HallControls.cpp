#include "hall/HallControls.h"

#include "hall/HallBoard.h"
#include "hall/NumberAnnouncer.h"
#include "hall/PhoneBoardControls.h"
#include "hall/QtSpeechEngine.h"
#include "rules/NumberSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace velmora {

HallControls::HallControls(SpeechEngine *speech, QWidget *parent)
    : QWidget(parent), m_givenSpeech(speech) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_draw = new QPushButton(QStringLiteral("&Estrai (F5)"));
    m_draw->setObjectName(QStringLiteral("cmdEstrai"));
    m_draw->setAccessibleName(QStringLiteral("Estrai un numero (F5)"));
    m_draw->setAutoDefault(false);
    connect(m_draw, &QPushButton::clicked, this, &HallControls::drawRequested);
    auto *key = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(key, &QShortcut::activated, this, &HallControls::drawRequested);
    layout->addWidget(m_draw);

    m_announce = new QCheckBox(QStringLiteral("Annuncia i nu&meri"));
    m_announce->setObjectName(QStringLiteral("chkAnnuncia"));
    connect(m_announce, &QCheckBox::toggled, this, &HallControls::announcingToggled);
    connect(m_announce, &QCheckBox::toggled, this, &HallControls::changed);
    layout->addWidget(m_announce);
    // No key of its own (Alt+S is "Serata…"): it follows "Annuncia i numeri" in the tab order.
    m_saying = new QCheckBox(QStringLiteral("con la smorfia"));
    m_saying->setObjectName(QStringLiteral("chkSmorfia"));
    m_saying->setEnabled(false);
    connect(m_saying, &QCheckBox::toggled, this, [this](bool on) {
        if (m_announcer) {
            m_announcer->setWithSaying(on);
        }
        changed();
    });
    layout->addWidget(m_saying);
    // No key of its own either: every letter of it is taken on the Tabellone.
    m_trial = new QPushButton(QStringLiteral("Prova la voce"));
    m_trial->setObjectName(QStringLiteral("cmdProvaVoce"));
    m_trial->setAutoDefault(false);
    connect(m_trial, &QPushButton::clicked, this, &HallControls::tryVoice);
    layout->addWidget(m_trial);
    m_voiceNotice = new QLabel;
    m_voiceNotice->setObjectName(QStringLiteral("lblVoce"));
    m_voiceNotice->setWordWrap(true);
    m_voiceNotice->hide();
    layout->addWidget(m_voiceNotice);

    m_screens = new QComboBox;
    m_screens->setObjectName(QStringLiteral("cboSchermoSala"));
    auto *caption = new QLabel(QStringLiteral("Schermo &della sala:"));
    caption->setBuddy(m_screens);
    layout->addWidget(caption);
    layout->addWidget(m_screens);
    fillScreens();
    // Only the organiser's choice is kept, not the list filled again.
    connect(m_screens, &QComboBox::activated, this, &HallControls::changed);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &HallControls::fillScreens);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &HallControls::fillScreens);

    auto *open = new QPushButton(QStringLiteral("Tabellone per la sa&la"));
    open->setObjectName(QStringLiteral("cmdTabelloneSala"));
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, &HallControls::openHallBoard);
    layout->addWidget(open);
    m_phones = new PhoneBoardControls;
    connect(m_phones, &PhoneBoardControls::notice, this, &HallControls::notice);
    connect(m_phones, &PhoneBoardControls::noticeOver, this, &HallControls::noticeOver);
    connect(m_phones, &PhoneBoardControls::changed, this, &HallControls::changed);
    layout->addWidget(m_phones);
    layout->addStretch();
}

HallControls::~HallControls() {
    // A given engine may outlive these controls: it must not call back into them.
    if (m_speech) {
        m_speech->setListeners({}, {});
    }
}

void HallControls::fillScreens() {
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *preferred = HallBoard::defaultScreen(screen());
    m_screens->clear();
    for (int i = 0; i < screens.size(); ++i) {
        const QScreen *each = screens.at(i);
        m_screens->addItem(QStringLiteral("%1: %2 (%3×%4)")
                               .arg(i + 1)
                               .arg(each->name())
                               .arg(each->size().width())
                               .arg(each->size().height()));
        if (each == preferred) {
            m_screens->setCurrentIndex(i);
        }
    }
}

QScreen *HallControls::chosenScreen() const {
    const QList<QScreen *> screens = QGuiApplication::screens();
    const int index = m_screens->currentIndex();
    return index >= 0 && index < screens.size() ? screens.at(index) : nullptr;
}

void HallControls::freshSpeech() {
    m_announcer.reset();
    m_trying = false;
    if (m_givenSpeech) {
        m_speech = m_givenSpeech;
    } else {
        // Started only now: the speech service is not woken for an evening without it.
        m_ownSpeech.reset();
        m_ownSpeech = std::make_unique<QtSpeechEngine>();
        m_speech = m_ownSpeech.get();
    }
    m_speech->setListeners(
        [this] {
            if (m_trying) {
                m_trying = false;
                sayOfVoice(QStringLiteral("La frase di prova è stata detta fino alla fine."));
            }
        },
        [this](const QString &reason) {
            m_trying = false;
            sayOfVoice(reason);
        });
    m_announcer = std::make_unique<NumberAnnouncer>(
        *m_speech, [this](const QString &text) { sayOfVoice(text); });
    m_announcer->setWithSaying(m_saying->isChecked());
    m_announcer->setEnabled(m_announce->isChecked());
}

void HallControls::announcingToggled(bool on) {
    sayOfVoice({});
    if (on) {
        freshSpeech();
        // Said at once, not at the first number: the organiser is still at the box.
        if (const QString reason = m_speech->unavailableReason(); !reason.isEmpty()) {
            sayOfVoice(reason);
        }
    } else if (m_announcer) {
        m_announcer->setEnabled(false);
    }
    m_saying->setEnabled(on);
}

void HallControls::tryVoice() {
    if (!m_announcer || !m_speech->unavailableReason().isEmpty()) {
        freshSpeech();
    }
    sayOfVoice(QStringLiteral("Prova della voce in corso…"));
    m_trying = m_speech->unavailableReason().isEmpty();
    m_announcer->sayTrial(); // an engine that cannot speak says why at once
}

void HallControls::sayOfVoice(const QString &text) {
    m_voiceNotice->setText(text);
    m_voiceNotice->setVisible(!text.isEmpty());
}

void HallControls::numberDrawn(int number) {
    if (m_announcer) {
        m_announcer->announce(number);
    }
}

void HallControls::show(const HallState &state) {
    m_state = state;
    m_draw->setEnabled(state.count() < NumberSet::highest);
    if (m_board) {
        m_board->show(state);
    }
    m_phones->show(state);
}

void HallControls::openHallBoard() {
    if (!m_board) {
        // A window of its own, closed with the Tabellone; closing it only hides it.
        m_board = new HallBoard(window());
        m_board->show(m_state);
        connect(m_board, &HallBoard::keyForCaller, this, &HallControls::keyForCaller);
        connect(m_board, &HallBoard::closed, this, [this] {
            m_boardOpen = false;
            changed();
        });
    }
    m_board->openOn(chosenScreen());
    // The keyboard stays with the caller.
    window()->activateWindow();
    m_boardOpen = true;
    changed();
}

void HallControls::changed() {
    if (!m_puttingBack) {
        emit setupChanged();
    }
}

HallSetup HallControls::setup() const {
    const QScreen *screen = chosenScreen();
    return {screen ? screen->name() : QString(),
            m_boardOpen,
            m_phones->isOn(),
            m_phones->port(),
            m_announce->isChecked(),
            m_saying->isChecked()};
}

void HallControls::takeUp(const HallSetup &setup) {
    m_puttingBack = true;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        if (screens.at(i)->name() == setup.screen) {
            m_screens->setCurrentIndex(i);
        }
    }
    m_phones->setPort(setup.port);
    m_saying->setChecked(setup.smorfia);
    m_puttingBack = false;
}

void HallControls::resume(const HallSetup &setup) {
    takeUp(setup);
    m_puttingBack = true;
    if (setup.voiceOn) {
        m_announce->setChecked(true);
    }
    if (setup.phonesOn && !m_phones->isOn()) {
        m_phones->switchOn(); // a port taken meanwhile is said, as when ticked
    }
    m_puttingBack = false;
    if (setup.boardOpen) {
        const QScreen *screen = chosenScreen();
        if (!setup.screen.isEmpty() && screen && screen->name() != setup.screen) {
            emit notice(QStringLiteral("Lo schermo %1 non c'è più: il tabellone per la sala va "
                                       "sullo schermo %2.")
                            .arg(setup.screen, screen->name()));
        }
        openHallBoard();
    }
}

} // namespace velmora
