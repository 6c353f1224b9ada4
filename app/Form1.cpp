#include "app/Form1.h"

#include "VelmoraConfig.h"
#include "app/CommandButton.h"
#include "app/MessageBoxPresenter.h"
#include "app/PrintCommands.h"
#include "app/PrintPage.h"
#include "app/SalvaPdf.h"
#include "app/UnshownSettings.h"
#include "appearance/CambioFont.h"
#include "appearance/CardPicture.h"
#include "appearance/ElencoFont.h"
#include "appearance/FontControls.h"
#include "appearance/PartSelection.h"
#include "common/Twips.h"
#include "errors/MailHandOff.h"
#include "errors/TestoVersione.h"
#include "game/GameSession.h"
#include "print/ArchiveSearch.h"
#include "print/FontResolver.h"
#include "settings/Calibrazione.h"
#include "settings/ConfigurazioneCodec.h"
#include "settings/RigaIntestazione.h"
#include "ui/AbuotForm.h"
#include "ui/CentraFinestra.h"
#include "ui/qbButtons_H.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QValidator>

// The resources live in a static library: their registration must be pulled in by hand.
static void initialiseResources() {
    Q_INIT_RESOURCE(resources);
}

namespace velmora {
namespace {

// Window design, in twips.
constexpr int pageWidth = 5670;
constexpr int pageHeight = 4905;
constexpr int navHeight = 615;

constexpr int logoLeft = 420, logoTop = 180, logoWidth = 4830, logoHeight = 1440;
constexpr int sampleCardLeft = 420, sampleCardTop = 1860;
constexpr int previewLeft = 405, previewTop = 240;
// "Tabellone" on page 1: under the sample card, right-aligned with it.
constexpr int boardButtonLeft = 3720, boardButtonTop = 4590, boardButtonWidth = 1530,
              boardButtonHeight = 300;
constexpr int boardButtonOnPrintWidth = 1170;

constexpr int headingLeft = 240, headingTop = 240, headingWidth = 5190;
constexpr int boxHeight = 315;
constexpr int rowTop = 720, rowStep = 360;
constexpr int labelLeft = 240, labelWidth = 1980;
constexpr int boxLeft = 2280, boxWidth = 3150;
constexpr int saveLeft = 2880, saveTop = 3660, saveWidth = 2550, saveHeight = 375;
constexpr int hintLeft = 240, hintTop = 4140, hintWidth = 5190, hintHeight = 660;

constexpr int navTop = 120, navButtonHeight = 375;
struct NavButton {
    const char *caption;
    int left, width;
    bool bold;
};
constexpr std::array<NavButton, Form1::navCount> navButtons{{
    {"?", 120, 495, true},
    {"Esci", 735, 1215, false},
    {"< Indietro", 3000, 1215, false},
    {"Avanti >", 4335, 1215, false},
}};

constexpr int navAbout = 0;
constexpr int navExit = 1;
constexpr int navBack = 2;
constexpr int navForward = 3;
constexpr int firstPage = 1;
constexpr int lastPage = 4;

// What a line edit keeps between its frame and its text, in pixels, all round.
constexpr int lineEditPadding = 8;
constexpr int maxTitolo = 30;
constexpr int maxFrase = 40;
constexpr int maxDitta = 30;
constexpr int maxVia = 33;
constexpr int maxTel = 30;

const QColor pageOneBlue(0, 0, 255);

QString indexed(const char *name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Page 3's texts go into the settings file in windows-1252: a character it cannot hold is
// refused as it is typed or pasted, with the beep, rather than saved as "?".
class TestoSalvabile : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        if (ConfigurazioneCodec::decodeText(
                ConfigurazioneCodec::encodeText(input, int(input.size()))) == input) {
            return Acceptable;
        }
        QApplication::beep();
        return Invalid;
    }
};

// The hourglass pointer while start-up runs, whichever way it leaves.
class BusyPointer {
public:
    void on() {
        if (!m_on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_on = true;
        }
    }
    void off() {
        if (m_on) {
            QApplication::restoreOverrideCursor();
            m_on = false;
        }
    }
    ~BusyPointer() { off(); }

private:
    bool m_on = false;
};

} // namespace

Form1::Form1(QWidget *parent)
    : QMainWindow(parent), m_messageBoxes(std::make_unique<MessageBoxPresenter>()) {
    initialiseResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(config::title));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    central->setFixedSize(Twips::size(pageWidth, pageHeight + navHeight));
    setCentralWidget(central);
    for (int index = 0; index < pageCount; ++index) {
        auto *container = new QWidget(central);
        container->setObjectName(indexed("Picture1", index));
        container->setGeometry(Twips::rect(0, 0, pageWidth, pageHeight));
        container->hide();
        m_pages.at(index) = container;
    }
    buildPage1();
    buildPage2();
    buildPage3();
    buildPage4();
    buildNavigation();
    buildGameCommands();
    // A window of fixed size, like the dialog it is: it cannot be resized or maximised.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
}

Form1::~Form1() = default;

void Form1::buildPage1() {
    QWidget *pageOne = m_pages.at(0);
    pageOne->setAutoFillBackground(true);
    QPalette blue = pageOne->palette();
    blue.setColor(QPalette::Window, pageOneBlue);
    pageOne->setPalette(blue);

    auto *logo = new QLabel(pageOne);
    logo->setObjectName(QStringLiteral("picLogo"));
    logo->setAccessibleName(tr("Logo di Velmora"));
    logo->setPixmap(QPixmap(QStringLiteral(":/velmora/logo.png")));
    logo->setScaledContents(true);
    logo->setGeometry(Twips::rect(logoLeft, logoTop, logoWidth, logoHeight));

    m_decorative = new CardPicture(CardPicture::Kind::Decorative, pageOne);
    m_decorative->move(Twips::point(sampleCardLeft, sampleCardTop));
}

void Form1::buildPage2() {
    QWidget *pageTwo = m_pages.at(1);
    m_preview = new CardPicture(CardPicture::Kind::Preview, pageTwo);
    m_preview->move(Twips::point(previewLeft, previewTop));
    m_fontControls = new FontControls(pageTwo, m_settings);
    m_partSelection = new PartSelection(pageTwo, *m_preview, *m_decorative, m_settings,
                                        [this] { return m_pagina == 2; });
    m_cambioFont = std::make_unique<CambioFont>(*m_preview, *m_decorative, m_settings);
    connect(m_fontControls, &FontControls::fontModificato, this,
            [this] { m_cambioFont->esegui(); });
    // Once the stored fields are shown: the stored colours onto the preview, the font onto
    // both cards.
    connect(this, &Form1::configurazioneMostrata, this, [this] {
        m_partSelection->applicaColori();
        m_cambioFont->esegui();
        update();
    });
}

QLineEdit *Form1::addHeadingBox(const char *name, const QString &label, int maxLength, int row) {
    QWidget *pageThree = m_pages.at(2);
    const int top = rowTop + row * rowStep;
    auto *box = new QLineEdit(pageThree);
    box->setObjectName(QLatin1String(name));
    if (maxLength > 0) {
        box->setMaxLength(maxLength);
        box->setValidator(new TestoSalvabile(box));
    }
    box->setGeometry(Twips::rect(boxLeft, top, boxWidth, boxHeight));
    auto *caption = new QLabel(label, pageThree);
    caption->setObjectName(QStringLiteral("lbl%1").arg(QLatin1String(name)));
    caption->setGeometry(Twips::rect(labelLeft, top, labelWidth, boxHeight));
    caption->setBuddy(box);
    box->setAccessibleName(label);
    return box;
}

void Form1::buildPage3() {
    QWidget *pageThree = m_pages.at(2);
    m_txtFrase = new QLineEdit(pageThree);
    m_txtFrase->setObjectName(QStringLiteral("txtFrase"));
    m_txtFrase->setReadOnly(true);
    m_txtFrase->setAccessibleName(tr("Riga di intestazione"));
    m_txtFrase->setGeometry(Twips::rect(headingLeft, headingTop, headingWidth, boxHeight));

    int row = 0;
    m_txtTombola = addHeadingBox("txtTombola", tr("Intestazione cartella"), maxTitolo, row++);
    m_frase1 = addHeadingBox("Frase1", tr("Prima frase"), maxFrase, row++);
    m_frase2 = addHeadingBox("Frase2", tr("Seconda frase"), maxFrase, row++);
    m_ditta = addHeadingBox("Ditta", tr("Nome"), maxDitta, row++);
    m_via = addHeadingBox("Via", tr("Via"), maxVia, row++);
    m_tel = addHeadingBox("Tel", tr("Telefono"), maxTel, row++);
    // The print calibration: start-up shows the stored values; they change only when typed over.
    m_parY =
        addHeadingBox("ParY", Calibrazione::etichetta(Calibrazione::Asse::Orizzontale), 0, row++);
    m_parX =
        addHeadingBox("ParX", Calibrazione::etichetta(Calibrazione::Asse::Verticale), 0, row++);
    for (const auto &[box, asse] : {std::pair{m_parY, Calibrazione::Asse::Orizzontale},
                                    std::pair{m_parX, Calibrazione::Asse::Verticale}}) {
        box->setToolTip(Calibrazione::descrizione(asse));
        box->setAccessibleDescription(Calibrazione::descrizione(asse));
        if (QWidget *caption =
                pageThree->findChild<QLabel *>(QStringLiteral("lbl%1").arg(box->objectName()))) {
            caption->setToolTip(Calibrazione::descrizione(asse));
        }
    }
    m_parY->setText(QStringLiteral("0"));
    m_parX->setText(QStringLiteral("0"));

    m_salva = CommandButton::make(pageThree, QStringLiteral("cmdSalva"), tr("Salva configurazione"),
                                  palette().color(QPalette::Window), font());
    m_salva->setGeometry(Twips::rect(saveLeft, saveTop, saveWidth, saveHeight));

    auto *hint = new QLabel(tr("Inserire i dati che dovranno essere stampati nelle "
                               "linee tra cartella e cartella e premere il tasto "
                               "Avanti."),
                            pageThree);
    hint->setObjectName(QStringLiteral("lblIstruzioniIntestazione"));
    hint->setWordWrap(true);
    hint->setGeometry(Twips::rect(hintLeft, hintTop, hintWidth, hintHeight));

    connect(m_txtTombola, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_decorative->tombola()->setText(text);
        m_preview->tombola()->setText(text);
        m_settings.Titolo = text;
    });
    connect(m_frase1, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_settings.Frase1 = text; });
    connect(m_frase2, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_settings.Frase2 = text; });
    connect(m_ditta, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_settings.Ditta = text; });
    connect(m_via, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_settings.Via = text; });
    connect(m_tel, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_settings.Tel = text; });
    connect(m_parX, &QLineEdit::textEdited, this, [this] { m_parXEdited = true; });
    connect(m_parY, &QLineEdit::textEdited, this, [this] { m_parYEdited = true; });
    connect(m_salva, &qbButtons_H::Click, this, &Form1::salvaConfigurazioneClick);
}

void Form1::buildPage4() {
    m_printPage = new PrintPage(m_settings, m_pages.at(3));
    m_printPage->setObjectName(QStringLiteral("PrintPage"));
    m_printPage->setGeometry(Twips::rect(0, 0, pageWidth, pageHeight));
    // The stored first card and orientation reach the page once the record is loaded; the
    // numbering starts from 1 at every start.
    connect(this, &Form1::configurazioneMostrata, m_printPage, [this] {
        m_printPage->applySettings();
        m_printPage->resetNumerazione();
        m_printCommands->proposeFirstCard();
    });
    // "Registro stampe", "Anteprima", "Salva PDF…" and the print itself.
    m_printCommands = std::make_unique<PrintCommands>(
        *this, *m_printPage, m_settings, [this]() -> MessagePresenter & { return presenter(); });
}

void Form1::buildGameCommands() {
    m_game = std::make_unique<GameSession>(
        m_settings, [this] { return m_printPage->request(); },
        [this]() -> MessagePresenter & { return presenter(); }, this);
    auto *onTitle =
        CommandButton::make(m_pages.at(0), indexed("cmdTabellone", 0), QStringLiteral("&Tabellone"),
                            palette().color(QPalette::Window), font());
    onTitle->setGeometry(
        Twips::rect(boardButtonLeft, boardButtonTop, boardButtonWidth, boardButtonHeight));
    auto *onPrint =
        CommandButton::make(nullptr, indexed("cmdTabellone", 1), QStringLiteral("&Tabellone"),
                            palette().color(QPalette::Window), font());
    onPrint->setFixedSize(Twips::size(boardButtonOnPrintWidth, PrintCommands::rowCommandHeight));
    m_printPage->addCommand(onPrint);
    for (qbButtons_H *button : {onTitle, onPrint}) {
        button->setAccessibleName(QStringLiteral("Tabellone dei numeri estratti"));
        connect(button, &qbButtons_H::Click, this, [this] { m_game->open(); });
    }
}

void Form1::buildNavigation() {
    auto *strip = new QWidget(centralWidget());
    strip->setObjectName(QStringLiteral("picNav"));
    strip->setGeometry(Twips::rect(0, pageHeight, pageWidth, navHeight));
    for (int index = 0; index < navCount; ++index) {
        const NavButton &design = navButtons.at(index);
        QFont buttonFont = font();
        buttonFont.setBold(design.bold);
        auto *button =
            CommandButton::make(strip, indexed("cmdNav", index), QString::fromUtf8(design.caption),
                                palette().color(QPalette::Window), buttonFont);
        button->setGeometry(Twips::rect(design.left, navTop, design.width, navButtonHeight));
        m_cmdNav.at(index) = button;
        connect(button, &qbButtons_H::Click, this, [this, index] { cmdNav_Click(index); });
    }
    m_cmdNav.at(navAbout)->setAccessibleName(tr("Informazioni sul programma"));
}

void Form1::setMessagePresenter(MessagePresenter *presenter) {
    m_presenter = presenter;
}

MessagePresenter &Form1::presenter() {
    return m_presenter ? *m_presenter : *m_messageBoxes;
}

QWidget *Form1::page(int index) const {
    return index >= 0 && index < pageCount ? m_pages.at(index) : nullptr;
}

qbButtons_H *Form1::cmdNav(int index) const {
    return index >= 0 && index < navCount ? m_cmdNav.at(index) : nullptr;
}

CardPicture *Form1::picCartella(int index) const {
    switch (index) {
    case 0:
        return m_preview;
    case 2:
        return m_decorative;
    default:
        return nullptr;
    }
}

bool Form1::avvio(const QString &commandLine) {
    BusyPointer busy;
    if (windowState() == Qt::WindowNoState) {
        adjustSize(); // the window is not shown yet: give it its final size before centring
    }
    CentraFinestra(this);
    setWindowTitle(QString::fromUtf8(config::title));
    for (QWidget *container : m_pages) {
        container->move(0, 0);
    }
    cmdNav_Click(navForward);
    show();
    busy.on();

    if (!commandLine.isEmpty() && !QDir::setCurrent(commandLine)) {
        busy.off();
        presenter().avviso(this, tr("La cartella indicata sulla riga di comando non "
                                    "esiste o non è accessibile:\n%1\n"
                                    "Il programma verrà chiuso.")
                                     .arg(QDir::toNativeSeparators(commandLine)));
        return false;
    }

    m_settingsFile = std::make_unique<SettingsFile>(
        m_settingsPath.isEmpty() ? SettingsFile::defaultPath() : m_settingsPath);
    m_printCommands->salvaPdfCommand().setSettingsPath(m_settingsFile->path());
    const SettingsFile::LoadResult loaded = m_settingsFile->load(m_settings);
    if (loaded.outcome == SettingsFile::LoadOutcome::ReadFailed) {
        busy.off();
        presenter().avviso(this, loaded.error + QStringLiteral("\nIl programma verrà chiuso."));
        return false;
    }
    if (loaded.outcome == SettingsFile::LoadOutcome::CreateFailed || loaded.incomplete) {
        busy.off();
        presenter().avviso(this, loaded.incomplete ? loaded.notice : loaded.error);
        busy.on();
    }
    // Values no box can show (a damaged file) take their defaults, said once.
    if (const QStringList unshown = UnshownSettings::fallBack(m_settings, SettingsFile::defaults());
        !unshown.isEmpty()) {
        busy.off();
        presenter().avviso(this, UnshownSettings::notice(unshown, m_settingsFile->path()));
        busy.on();
    }
    mostraConfigurazione();

    // Numbering from the archive is off at every start: the print page resets it itself.
    const int limit = commandLine.isEmpty() ? 0 : FontControls::maxFontsWithCommandLine;
    m_fontControls->riempiElencoFont(
        ElencoFont::nomi(QFontDatabase::families(), FontResolver::windowsFaces()), limit);

    busy.off();
    show();
    return true;
}

void Form1::mostraConfigurazione() {
    SettingsFile::trimTexts(m_settings);
    // Each box writes the shown (trimmed) value back into its field through its handler.
    m_decorative->tombola()->setText(m_settings.Titolo.trimmed());
    m_preview->tombola()->setText(m_settings.Titolo.trimmed());
    m_fontControls->mostraConfigurazione();
    m_txtTombola->setText(m_settings.Titolo.trimmed());
    m_frase1->setText(m_settings.Frase1.trimmed());
    m_frase2->setText(m_settings.Frase2.trimmed());
    m_ditta->setText(m_settings.Ditta.trimmed());
    m_tel->setText(m_settings.Tel.trimmed());
    m_via->setText(m_settings.Via.trimmed());
    // The calibration as stored, so that saving again keeps it.
    m_parX->setText(Calibrazione::testo(m_settings.ParX));
    m_parY->setText(Calibrazione::testo(m_settings.ParY));
    m_parXEdited = false;
    m_parYEdited = false;
    // A text longer than its box shows its beginning; a shorter one keeps the cursor at its
    // end, ready to go on typing.
    for (QLineEdit *box : {m_txtTombola, m_frase1, m_frase2, m_ditta, m_tel, m_via}) {
        if (box->fontMetrics().horizontalAdvance(box->text()) >
            box->contentsRect().width() - lineEditPadding) {
            box->setCursorPosition(0);
        }
    }

    // The heading line is built once: later edits reach the printed cards, not these displays.
    const QString heading = RigaIntestazione(m_settings);
    m_txtFrase->setText(heading);
    m_txtFrase->setCursorPosition(0); // show the start of a line longer than the box
    m_decorative->frase()->setText(heading);
    m_preview->frase()->setText(heading);
    emit configurazioneMostrata();
}

void Form1::cmdNav_Click(int index) {
    switch (index) {
    case navAbout:
        if (m_aboutAction) {
            m_aboutAction();
        } else {
            mostraInformazioni();
        }
        break;
    case navExit:
        esci();
        return;
    case navBack:
        --m_pagina;
        break;
    case navForward:
        ++m_pagina;
        if (m_pagina > lastPage) {
            m_printCommands->printCommand();
        }
        break;
    default:
        return;
    }
    m_pagina = static_cast<qint16>(std::clamp<int>(m_pagina, firstPage, lastPage));
    m_cmdNav.at(navBack)->setEnabled(m_pagina > firstPage);
    m_cmdNav.at(navForward)->setCaption(m_pagina < lastPage ? tr("&Avanti >") : tr("Stampa"));
    for (QWidget *container : m_pages) {
        container->hide();
    }
    m_pages.at(m_pagina - 1)->show();
    if (m_pagina == lastPage) {
        m_printPage->mostraArchivio(ArchiveSearch::describe());
    }

    switch (m_pagina) {
    case 1: // the font list is not on this page: the focus stays where it was
    case 2:
        moveFocusTo(m_fontControls->fontTombola());
        break;
    case 3:
        moveFocusTo(m_txtTombola);
        break;
    default:
        moveFocusTo(m_pages.at(3)->findChild<QWidget *>(QStringLiteral("NCartelle")));
        moveFocusTo(m_pages.at(3)->findChild<QWidget *>(QStringLiteral("NPagine")));
        break;
    }
}

void Form1::mostraInformazioni() {
    AbuotForm::Seams seams;
    seams.versionText = TestoVersione();
    seams.mainWindow = this;
    seams.sendMail = SendMail;
    seams.centre = CentraFinestra;
    AbuotForm about(std::move(seams), this);
    about.exec();
}

void Form1::moveFocusTo(QWidget *target) {
    // A control that cannot take the focus now is skipped silently.
    if (target && target->isVisibleTo(this) && target->isEnabled() &&
        target->focusPolicy() != Qt::NoFocus) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

bool Form1::SalvaConfigurazione() {
    // The calibration boxes are read only when typed in, so a stored value is kept exactly. A
    // value refused keeps the stored one; the other settings are saved all the same, and the
    // user is told which box kept which value.
    QStringList refused;
    const auto take = [&refused](QLineEdit *box, bool edited, Calibrazione::Asse asse,
                                 float &field) {
        if (!edited) {
            return;
        }
        const Calibrazione::Lettura read = Calibrazione::leggi(asse, box->text());
        if (read.valore) {
            field = *read.valore;
        } else {
            refused << read.motivo + QStringLiteral(" Resta il valore precedente, %1.")
                                         .arg(Calibrazione::testo(field));
        }
    };
    take(m_parX, m_parXEdited, Calibrazione::Asse::Verticale, m_settings.ParX);
    take(m_parY, m_parYEdited, Calibrazione::Asse::Orizzontale, m_settings.ParY);
    if (!m_settingsFile) {
        m_settingsFile = std::make_unique<SettingsFile>(
            m_settingsPath.isEmpty() ? SettingsFile::defaultPath() : m_settingsPath);
    }
    const SettingsFile::SaveResult saved = m_settingsFile->save(m_settings);
    m_lastSaveError = saved.error;
    if (!refused.isEmpty()) {
        if (saved.ok) {
            refused << tr("Le altre impostazioni sono state salvate.");
        }
        presenter().avviso(this, refused.join(u'\n'));
    }
    return saved.ok;
}

void Form1::salvaConfigurazioneClick() {
    if (!SalvaConfigurazione()) {
        presenter().avviso(this, m_lastSaveError);
    }
}

void Form1::esci() {
    if (!SalvaConfigurazione() &&
        !presenter().conferma(this, m_lastSaveError +
                                        QStringLiteral("\n\nUscire comunque? Le modifiche non "
                                                       "salvate andranno perse."))) {
        return;
    }
    close();
}

} // namespace velmora
