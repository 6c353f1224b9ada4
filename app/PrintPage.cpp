#include "app/PrintPage.h"

#include "app/ElidedLabel.h"
#include "print/CardLayout.h"
#include "settings/Configurazione.h"
#include "ui/FiltroNumerico.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velmora {

namespace {

const char *const firstInstruction =
    QT_TRANSLATE_NOOP("velmora::PrintPage",
                      "Selezionare il numero di cartelle che si desidera stampare, il numero di "
                      "partenza di cartella in archivio e il tipo di numerazione progerssiva che "
                      "seve apparire sulle cartelle.");
const char *const secondInstruction = QT_TRANSLATE_NOOP(
    "velmora::PrintPage", "Selezionare il tipo di orientamento della stampa:\n"
                          "(6 cartelle in orizzontale oppure  3 cartelle in verticale)\n"
                          "e permere Stampa per stampare.");
const QString fromOneCaption = QStringLiteral("1..2..3..4..");
const QString startPages = QStringLiteral("1");
const QString startCards = QStringLiteral("3");

// The boxes hold six digits whole; the numbering caption shrinks down to this size to fit.
const QString widestNumber = QStringLiteral("000000");
constexpr int boxPadding = 14;
constexpr double smallestCaption = 6.0;
constexpr double captionStep = 0.5;

// The pictures beside the orientation options: a sheet with its cards, each a small
// three-row grid with the heading strip under it.
constexpr int pageLong = 72;  // long side of the sheet, in pixels
constexpr int pageShort = 51; // short side
constexpr int sheetMargin = 4;
constexpr int cardGap = 3;
constexpr int cardColumns = 9;
constexpr int cardRows = 3;

void drawCard(QPainter &painter, const QRect &area) {
    const int stripHeight = std::max(2, area.height() / 6);
    const QRect card(area.left(), area.top(), area.width(), area.height() - stripHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 250, 225));
    painter.drawRect(card);
    painter.setPen(QPen(QColor(150, 150, 150), 0));
    for (int c = 1; c < cardColumns; ++c) {
        const int x = card.left() + c * card.width() / cardColumns;
        painter.drawLine(x, card.top(), x, card.bottom());
    }
    for (int r = 1; r < cardRows; ++r) {
        const int y = card.top() + r * card.height() / cardRows;
        painter.drawLine(card.left(), y, card.right(), y);
    }
    painter.setPen(QPen(QColor(180, 0, 0), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(card);
    painter.fillRect(QRect(area.left(), card.bottom() + 2, area.width(), stripHeight - 2),
                     QColor(0, 0, 160));
}

QPixmap pagePicture(bool landscape) {
    const int width = landscape ? pageLong : pageShort;
    const int height = landscape ? pageShort : pageLong;
    const int columns = landscape ? 2 : 1;
    const int rows = 3;
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, width - 1, height - 1);
    const int cardWidth = (width - 2 * sheetMargin - (columns - 1) * cardGap) / columns;
    const int cardHeight = (height - 2 * sheetMargin - (rows - 1) * cardGap) / rows;
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            drawCard(painter,
                     QRect(sheetMargin + column * (cardWidth + cardGap),
                           sheetMargin + row * (cardHeight + cardGap), cardWidth, cardHeight));
        }
    }
    return picture;
}

QLineEdit *makeBox(const QString &name, const QString &text, QWidget *parent) {
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(widestNumber) + boxPadding);
    return box;
}

QLabel *makeLabel(const QString &name, const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QLabel *makeInstruction(const QString &name, const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

PrintPage::PrintPage(Configurazione &settings, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_filter(new FiltroNumerico(this)) {
    setObjectName(QStringLiteral("PaginaStampa"));

    // Created in tab order: card count, first card, last card, numbering, orientation, and
    // the page count last.
    m_nCartelle = makeBox(QStringLiteral("NCartelle"), startCards, this);
    m_primaCartella = makeBox(QStringLiteral("PrimaCartella"), QString(), this);
    m_ultimaCartella = makeBox(QStringLiteral("UltimaCartella"), QString(), this);

    auto *numbering = new QGroupBox(tr("Numerazione"), this);
    numbering->setObjectName(QStringLiteral("fraNumerazione"));
    for (std::size_t i = 0; i < m_numCartella.size(); ++i) {
        m_numCartella[i] = new QRadioButton(fromOneCaption, numbering);
        m_numCartella[i]->setObjectName(QStringLiteral("NumCartella(%1)").arg(i));
    }
    m_numCartella[0]->setChecked(true);
    // The archive numbering's caption grows with the first card: it takes the room the group
    // has and, where that is too little, a smaller font (the whole caption is its tooltip).
    m_numCartella[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_numCartella[1]->installEventFilter(this);
    auto *numberingGroup = new QButtonGroup(this);
    auto *numberingLayout = new QVBoxLayout(numbering);
    for (auto *option : m_numCartella) {
        numberingGroup->addButton(option);
        numberingLayout->addWidget(option);
    }

    auto *orientation = new QWidget(this);
    orientation->setObjectName(QStringLiteral("fraOrientamento"));
    auto *orientationGroup = new QButtonGroup(this);
    auto *orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->setContentsMargins(0, 0, 0, 0);
    const std::array<QString, 2> orientationNames = {tr("6 cartelle in orizzontale"),
                                                     tr("3 cartelle in verticale")};
    for (std::size_t i = 0; i < m_optOrientamento.size(); ++i) {
        auto *option = new QRadioButton(orientation);
        option->setObjectName(QStringLiteral("optOrientamento(%1)").arg(i));
        option->setAccessibleName(orientationNames[i]);
        option->setToolTip(orientationNames[i]);
        const QPixmap picture = pagePicture(i == 0);
        option->setIcon(picture);
        option->setIconSize(picture.size());
        orientationGroup->addButton(option);
        orientationLayout->addWidget(option);
        m_optOrientamento[i] = option;
    }
    orientationLayout->addStretch();
    // Commands about the pages themselves stand one above the other beside the pictures.
    m_pageCommands = new QWidget(orientation);
    m_pageCommands->setObjectName(QStringLiteral("fraComandiPagine"));
    auto *pageCommandsLayout = new QVBoxLayout(m_pageCommands);
    pageCommandsLayout->setContentsMargins(0, 0, 0, 0);
    orientationLayout->addWidget(m_pageCommands);
    m_optOrientamento[1]->setChecked(true);

    m_nPagine = makeBox(QStringLiteral("NPagine"), startPages, this);

    QWidget::setTabOrder(m_nCartelle, m_primaCartella);
    QWidget::setTabOrder(m_primaCartella, m_ultimaCartella);
    QWidget::setTabOrder(m_ultimaCartella, m_numCartella[0]);
    QWidget::setTabOrder(m_numCartella[0], m_numCartella[1]);
    QWidget::setTabOrder(m_numCartella[1], m_optOrientamento[0]);
    QWidget::setTabOrder(m_optOrientamento[0], m_optOrientamento[1]);
    QWidget::setTabOrder(m_optOrientamento[1], m_nPagine);

    auto *ranges = new QGridLayout;
    ranges->addWidget(
        makeLabel(QStringLiteral("lblNCartelle"), tr("Nunero cartelle:"), m_nCartelle, this), 0, 0);
    ranges->addWidget(m_nCartelle, 0, 1);
    ranges->addWidget(
        makeLabel(QStringLiteral("lblPrimaCartella"), tr("Prima cartella:"), m_primaCartella, this),
        1, 0);
    ranges->addWidget(m_primaCartella, 1, 1);
    ranges->addWidget(makeLabel(QStringLiteral("lblUltimaCartella"), tr("Ultima cartella:"),
                                m_ultimaCartella, this),
                      2, 0);
    ranges->addWidget(m_ultimaCartella, 2, 1);

    auto *upper = new QHBoxLayout;
    upper->addLayout(ranges);
    upper->addWidget(numbering, 1);

    auto *heading = new QLabel(tr("Tipo di stampa"), this);
    heading->setObjectName(QStringLiteral("lblTipoStampa"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);

    auto *pages = new QHBoxLayout;
    pages->addWidget(
        makeLabel(QStringLiteral("lblNPagine"), tr("Nunero Pagine:"), m_nPagine, this));
    pages->addWidget(m_nPagine);
    pages->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        makeInstruction(QStringLiteral("lblIstruzioni(0)"), tr(firstInstruction), this));
    layout->addLayout(upper);
    layout->addWidget(
        makeInstruction(QStringLiteral("lblIstruzioni(1)"), tr(secondInstruction), this));
    // The archive a print would read stands on the heading's line, where the page has room.
    m_archivio = new ElidedLabel(this);
    m_archivio->setObjectName(QStringLiteral("lblArchivio"));
    m_archivio->hide();
    auto *headingRow = new QHBoxLayout;
    headingRow->addWidget(heading);
    headingRow->addWidget(m_archivio, 1);
    layout->addLayout(headingRow);
    layout->addWidget(orientation);
    layout->addLayout(pages);
    layout->addStretch();

    // Commands beyond the print itself sit at the right of the page-count row, in the order
    // they are added: the page has no height to spare for a row of their own.
    m_commands = new QWidget(this);
    m_commands->setObjectName(QStringLiteral("fraComandi"));
    auto *commandsLayout = new QHBoxLayout(m_commands);
    commandsLayout->setContentsMargins(0, 0, 0, 0);
    commandsLayout->addStretch();
    pages->addWidget(m_commands);

    // Only an edit made in a box recomputes from it, at the release of the key that made it:
    // the release of another control's accelerator or of a Tab that lands in a box, or of a
    // refused key, leaves the run alone. A paste recomputes at once (it may come by mouse).
    for (auto *box : {m_nPagine, m_nCartelle, m_primaCartella, m_ultimaCartella}) {
        box->installEventFilter(m_filter);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, box] { m_editedBox = box; });
    }
    connect(m_filter, &FiltroNumerico::pasted, this, [this](QLineEdit *target) {
        if (target == m_editedBox) {
            m_editedBox = nullptr;
            recomputeFrom(target);
        }
    });
    connect(m_primaCartella, &QLineEdit::textChanged, this, &PrintPage::firstCardChanged);
    for (std::size_t i = 0; i < m_optOrientamento.size(); ++i) {
        connect(m_optOrientamento[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                m_settings.Orientamento = qint16(i);
            }
        });
    }
    connect(m_numCartella[1], &QRadioButton::toggled, this,
            [this](bool checked) { m_numerazioneArchivio = checked; });
}

void PrintPage::addPageCommand(QWidget *command) {
    command->setParent(m_pageCommands);
    m_pageCommands->layout()->addWidget(command);
}

void PrintPage::addCommand(QWidget *command) {
    auto *row = qobject_cast<QHBoxLayout *>(m_commands->layout());
    command->setParent(m_commands);
    row->insertWidget(row->count() - 1, command);
}

void PrintPage::applySettings() {
    if (m_settings.Orientamento == 0 || m_settings.Orientamento == 1) {
        m_optOrientamento[std::size_t(m_settings.Orientamento)]->setChecked(true);
    }
    const QString first = QString::number(m_settings.PrimaCartella);
    if (m_primaCartella->text() == first) {
        firstCardChanged(first); // an unchanged text sends no change of its own
    } else {
        m_primaCartella->setText(first);
    }
    recompute(PrintBox::PrimaCartella);
}

void PrintPage::proposeFirstCard(int card) {
    m_primaCartella->setText(QString::number(card));
    recompute(PrintBox::PrimaCartella);
}

void PrintPage::resetNumerazione() {
    m_numCartella[0]->setChecked(true);
    // The archive numbering's caption grows with the first card: it takes the room the group
    // has and, where that is too little, a smaller font (the whole caption is its tooltip).
    m_numCartella[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_numCartella[1]->installEventFilter(this);
    m_numerazioneArchivio = false;
}

int PrintPage::cardsPerPage() const {
    return isLandscape() ? CardLayout::landscape().cardsPerPage
                         : CardLayout::portrait().cardsPerPage;
}

bool PrintPage::isLandscape() const {
    return m_optOrientamento[0]->isChecked();
}

void PrintPage::setLandscape(bool landscape) {
    m_optOrientamento[landscape ? 0 : 1]->setChecked(true);
}

QString PrintPage::primaCartellaText() const {
    return m_primaCartella->text();
}

QString PrintPage::nCartelleText() const {
    return m_nCartelle->text();
}

PrintRequest PrintPage::request() const {
    return {primaCartellaText(), nCartelleText(), isLandscape(), m_numerazioneArchivio};
}

void PrintPage::mostraArchivio(const QString &text) {
    m_archivio->setFullText(text);
    m_archivio->setVisible(!text.isEmpty());
}

void PrintPage::focusOnArrival() {
    m_nCartelle->setFocus();
    m_nPagine->setFocus();
}

QLineEdit *PrintPage::box(PrintBox which) const {
    switch (which) {
    case PrintBox::NPagine:
        return m_nPagine;
    case PrintBox::NCartelle:
        return m_nCartelle;
    case PrintBox::PrimaCartella:
        return m_primaCartella;
    case PrintBox::UltimaCartella:
        return m_ultimaCartella;
    }
    return nullptr;
}

bool PrintPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_numCartella[1]) {
        if (event->type() == QEvent::Resize) {
            fitNumberingCaption();
        }
        return false;
    }
    if (event->type() == QEvent::KeyRelease) {
        if (watched == m_editedBox) {
            m_editedBox = nullptr;
            recomputeFrom(static_cast<QLineEdit *>(watched));
        }
    } else if (event->type() == QEvent::FocusOut && watched == m_editedBox) {
        // An edit without a key (undo or cut from the context menu) counts when the box is left.
        m_editedBox = nullptr;
        recomputeFrom(static_cast<QLineEdit *>(watched));
    } else if (event->type() == QEvent::FocusIn && watched != m_nPagine) {
        static_cast<QLineEdit *>(watched)->selectAll();
    }
    return false;
}

void PrintPage::recomputeFrom(const QLineEdit *edited) {
    for (const auto which : {PrintBox::NPagine, PrintBox::NCartelle, PrintBox::PrimaCartella,
                             PrintBox::UltimaCartella}) {
        if (edited == box(which)) {
            recompute(which);
        }
    }
}

void PrintPage::recompute(PrintBox which) {
    PrintRangeTexts texts{m_nPagine->text(), m_nCartelle->text(), m_primaCartella->text(),
                          m_ultimaCartella->text(), m_numCartella[1]->text()};
    PrintRange::recompute(which, texts, cardsPerPage());
    // Written only where the row changed something; none of these writes recomputes again.
    const auto write = [](QLineEdit *target, const QString &text) {
        if (target->text() != text) {
            target->setText(text);
        }
    };
    write(m_nPagine, texts.nPagine);
    write(m_nCartelle, texts.nCartelle);
    write(m_ultimaCartella, texts.ultimaCartella);
    if (m_numCartella[1]->text() != texts.numerazione) {
        m_numCartella[1]->setText(texts.numerazione);
        fitNumberingCaption();
    }
}

void PrintPage::fitNumberingCaption() {
    QRadioButton *option = m_numCartella[1];
    const QString caption = option->text();
    option->setToolTip(caption);
    const int indicator =
        style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option) +
        style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option);
    const int room = option->width() - indicator;
    QFont font = m_numCartella[0]->font();
    while (QFontMetrics(font).horizontalAdvance(caption) > room &&
           font.pointSizeF() > smallestCaption) {
        font.setPointSizeF(font.pointSizeF() - captionStep);
    }
    option->setFont(font);
}

void PrintPage::firstCardChanged(const QString &text) {
    if (const auto limited = PrintRange::limitedFirstCard(text)) {
        m_primaCartella->setText(*limited); // its own change stores the limited value
        return;
    }
    // A value that does not fit the 16-bit field (only a pasted negative one can, the upper
    // limit being 9999) leaves the field as it was rather than wrapping around.
    if (const auto value = PrintRange::storedFirstCard(text)) {
        m_settings.PrimaCartella = *value;
    }
}

} // namespace velmora
