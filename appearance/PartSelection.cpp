#include "appearance/PartSelection.h"

#include "appearance/CardPicture.h"
#include "appearance/ShowColor.h"
#include "common/Twips.h"
#include "errors/VelmoraError.h"
#include "print/BgrColor.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace velmora {
namespace {

// Places on the appearance page, in twips.
constexpr int captionLeft = 390, captionTop = 3690;
constexpr int partLeft = 390, partTop = 3930, partWidth = 3765, partHeight = 285;
constexpr int swatchLeft = 4260, swatchTop = 3930, swatchWidth = 585, swatchHeight = 285;
constexpr int hintLeft = 360, hintTop = 4320, hintWidth = 4905, hintHeight = 720;

const char *const tagProperty = "Tag";

const QString istruzioni = QStringLiteral(
    "Selezionare il carettere e la dimensione desiderata, selezionare una parte della cartella "
    "per definirne il colore e premere il tasto Avanti.    ");

constexpr double smallestHintPoints = 6;
constexpr double hintPointStep = 0.5;

// The page was designed for a smaller system font than most desktops use today: the
// instruction shrinks until its lines fit between its top and the bottom of the page.
void fitInstruction(QLabel *label, const QWidget *page) {
    const int available = std::min(label->height(), page->height() - label->y());
    QFont font = label->font();
    while (label->heightForWidth(label->width()) > available &&
           font.pointSizeF() - hintPointStep >= smallestHintPoints) {
        font.setPointSizeF(font.pointSizeF() - hintPointStep);
        label->setFont(font);
    }
}

qint32 riempimento(const QWidget *control) {
    return BgrColor::fromColor(control->palette().color(QPalette::Window));
}

void riempi(QWidget *control, qint32 bgr) {
    const QColor color = BgrColor::toColor(bgr);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, color);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

// The swatch shows a colour; assistive tools read it as "#RRGGBB".
void riempiCampione(QLabel *swatch, qint32 bgr) {
    riempi(swatch, bgr);
    swatch->setAccessibleDescription(TestoColore(bgr));
}

} // namespace

PartSelection::PartSelection(QWidget *page, CardPicture &preview, CardPicture &decorative,
                             Configurazione &settings, std::function<bool()> paginaAspetto)
    : QObject(page), m_preview(preview), m_settings(settings),
      m_paginaAspetto(std::move(paginaAspetto)), m_scelta(&ShowColor) {
    setObjectName(QStringLiteral("PartSelection"));

    m_caption = new QLabel(QStringLiteral("Configurazione colori"), page);
    m_caption->setObjectName(QStringLiteral("lblConfigurazioneColori"));
    m_caption->move(Twips::point(captionLeft, captionTop));
    m_caption->adjustSize();

    m_parte = new QLineEdit(page);
    m_parte->setObjectName(QStringLiteral("txtParteCartella"));
    m_parte->setReadOnly(true); // it shows the part pointed at; nothing reads it back
    m_parte->setAccessibleName(QStringLiteral("Parte della cartella"));
    m_parte->setGeometry(Twips::rect(partLeft, partTop, partWidth, partHeight));
    m_parte->setProperty(tagProperty, QString());
    m_caption->setBuddy(m_parte);

    m_colore = new QLabel(page);
    m_colore->setObjectName(QStringLiteral("lbColor"));
    m_colore->setAccessibleName(QStringLiteral("Colore della parte: premere per sceglierlo"));
    m_colore->setFrameShape(QFrame::Box);
    m_colore->setGeometry(Twips::rect(swatchLeft, swatchTop, swatchWidth, swatchHeight));
    m_colore->setFocusPolicy(Qt::StrongFocus); // Space or Enter opens the colour dialog
    m_colore->setCursor(Qt::PointingHandCursor);
    SetForeColor(m_colore, 0);
    riempiCampione(m_colore, 0);
    m_colore->installEventFilter(this);

    m_istruzioni = new QLabel(istruzioni, page);
    m_istruzioni->setObjectName(QStringLiteral("Label9"));
    m_istruzioni->setWordWrap(true);
    m_istruzioni->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_istruzioni->setGeometry(Twips::rect(hintLeft, hintTop, hintWidth, hintHeight));
    fitInstruction(m_istruzioni, page);

    page->setTabOrder(m_parte, m_colore);

    for (const ParteCartella &part : CardParts::tutte()) {
        for (const ControlloParte &control : part.controlli) {
            if (control.puntabile) {
                osserva(controlloAnteprima(control), QString::fromUtf8(part.nome),
                        CardParts::chiaveDi(QString::fromLatin1(control.nome), control.indice),
                        part.ruolo);
            }
        }
    }
    // The title page's card shares the labels' handlers, without part names.
    const auto decorativeLabel = [this](QLabel *label) {
        const auto split = CardParts::divideObjectName(label->objectName());
        if (split) {
            osserva(label, QString(), CardParts::chiaveDi(split->first, split->second),
                    RuoloColore::Testo);
        }
    };
    decorativeLabel(decorative.tombola());
    decorativeLabel(decorative.lblNumeroCartella());
    decorativeLabel(decorative.frase());
    for (int i = 0; i < CardPicture::numberCount; ++i) {
        decorativeLabel(decorative.label6(decorative.firstNumberIndex() + i));
    }
}

void PartSelection::osserva(QWidget *control, const QString &nome, const QString &chiave,
                            RuoloColore ruolo) {
    if (!control) {
        return;
    }
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // Assistive tools read a label's own text as its name; a line or frame, which shows no
    // text, is named by its part. Either way the part's name is the description.
    if (!nome.isEmpty()) {
        if (!qobject_cast<QLabel *>(control)) {
            control->setAccessibleName(nome);
        }
        control->setAccessibleDescription(nome);
    }
    m_puntabili.insert(control, {nome, chiave, ruolo});
}

QWidget *PartSelection::controlloAnteprima(const ControlloParte &control) const {
    return m_preview.findChild<QWidget *>(control.objectName());
}

QString PartSelection::chiaveParte() const {
    return m_parte->property(tagProperty).toString();
}

void PartSelection::punta(QWidget *control) {
    const auto found = m_puntabili.constFind(control);
    if (found == m_puntabili.cend()) {
        return;
    }
    m_parte->setText(found->nome);
    m_parte->setProperty(tagProperty, found->chiave);
    riempiCampione(m_colore, coloreDi(control, found->ruolo));
}

void PartSelection::lbColor_Click() {
    if (!m_paginaAspetto || !m_paginaAspetto()) {
        return;
    }
    if (!m_scelta || !m_scelta(m_colore->window(), m_colore)) {
        return; // cancelled: the swatch keeps the colour of the part pointed at
    }
    const qint32 chosen = ForeColor(m_colore);
    riempiCampione(m_colore, chosen);

    if (const ParteCartella *part = CardParts::perChiave(chiaveParte())) {
        for (const ControlloParte &control : part->controlli) {
            if (QWidget *widget = controlloAnteprima(control)) {
                coloraControllo(widget, part->ruolo, chosen);
            }
        }
    }
    // Whatever was recoloured, the ten fields are read back from the preview.
    for (const ParteCartella &part : CardParts::tutte()) {
        if (const QWidget *source = controlloAnteprima(part.controlli.front())) {
            m_settings.*part.campo = coloreDi(source, part.ruolo);
        }
    }
}

void PartSelection::applicaColori() {
    for (const ParteCartella &part : CardParts::tutte()) {
        const qint32 stored = m_settings.*part.campo;
        for (const ControlloParte &control : part.controlli) {
            QWidget *widget = controlloAnteprima(control);
            if (!widget) {
                continue;
            }
            try {
                coloraControllo(widget, part.ruolo, stored);
            } catch (const VelmoraError &) {
                // A stored value that is no colour leaves the control as it was.
            }
        }
    }
}

qint32 PartSelection::coloreDi(const QWidget *control, RuoloColore ruolo) {
    return ruolo == RuoloColore::Testo ? ForeColor(control) : riempimento(control);
}

void PartSelection::coloraControllo(QWidget *control, RuoloColore ruolo, qint32 bgr) {
    if (ruolo == RuoloColore::Testo) {
        SetForeColor(control, bgr);
    } else {
        riempi(control, bgr);
    }
}

bool PartSelection::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_colore) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_premuto = watched;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = mouse->button() == Qt::LeftButton && m_premuto == watched &&
                               m_colore->rect().contains(mouse->position().toPoint());
            m_premuto = nullptr;
            if (click) {
                lbColor_Click();
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                lbColor_Click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
    if (!m_puntabili.contains(watched)) {
        return QObject::eventFilter(watched, event);
    }
    auto *control = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::MouseMove:
        punta(control);
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_premuto = watched;
        }
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool click = mouse->button() == Qt::LeftButton && m_premuto == watched &&
                           control->rect().contains(mouse->position().toPoint());
        m_premuto = nullptr;
        if (click) {
            punta(control);
            lbColor_Click();
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora
