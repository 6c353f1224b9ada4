#include "appearance/FontControls.h"

#include "common/Twips.h"
#include "print/FontResolver.h"
#include "print/RunCheck.h"
#include "ui/FiltroNumerico.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

namespace velmora {
namespace {

// Places on the appearance page, in twips.
constexpr int captionLeft = 390, captionTop = 3030;
constexpr int faceLeft = 390, faceTop = 3300, faceWidth = 2880, faceHeight = 315;
constexpr int sizeLeft = 3285, sizeTop = 3300, sizeWidth = 480, sizeHeight = 315;
constexpr int boldLeft = 4035, boldTop = 3180, boldWidth = 1545, boldHeight = 255;
constexpr int italicLeft = 4035, italicTop = 3450, italicWidth = 1515, italicHeight = 255;
constexpr int sizeMaxLength = 3;
// The stand-in notice shares the caption's row, between the caption and the style boxes: below
// the face box is the colours' caption.
constexpr int standInGap = 120, standInHeight = 225;

} // namespace

int FontControls::largestSize() const {
    return RunCheck::largestBoxDimensione(m_settings);
}

QString FontControls::sizeTip() const {
    return QStringLiteral("Da %1 a %2 punti: oltre, i numeri non entrano nelle caselle")
        .arg(RunCheck::minDimensione())
        .arg(largestSize());
}

FontControls::FontControls(QWidget *page, Configurazione &settings)
    : QObject(page), m_settings(settings) {
    setObjectName(QStringLiteral("FontControls"));

    m_caption = new QLabel(QStringLiteral("Tipo di carattere"), page);
    m_caption->setObjectName(QStringLiteral("lblTipoCarattere"));
    m_caption->move(Twips::point(captionLeft, captionTop));
    m_caption->adjustSize();

    m_face = new QComboBox(page);
    m_face->setObjectName(QStringLiteral("FontTombola"));
    m_face->setEditable(true);
    m_face->setInsertPolicy(QComboBox::NoInsert);
    m_face->setAccessibleName(QStringLiteral("Tipo di carattere"));
    m_face->setGeometry(Twips::rect(faceLeft, faceTop, faceWidth, faceHeight));
    m_caption->setBuddy(m_face);

    m_standIn = new QLabel(page);
    m_standIn->setObjectName(QStringLiteral("lblCarattereSostituto"));
    const int standInLeft = m_caption->geometry().right() + 1 + Twips::toPixels(standInGap);
    m_standIn->setGeometry(standInLeft, Twips::toPixels(captionTop),
                           Twips::toPixels(boldLeft - standInGap) - standInLeft,
                           Twips::toPixels(standInHeight));
    m_standIn->hide();

    m_size = new QLineEdit(page);
    m_size->setObjectName(QStringLiteral("TombolaFontSize"));
    m_size->setMaxLength(sizeMaxLength);
    m_size->installEventFilter(new FiltroNumerico(m_size));
    m_size->setAccessibleName(QStringLiteral("Dimensione del carattere"));
    m_size->setGeometry(Twips::rect(sizeLeft, sizeTop, sizeWidth, sizeHeight));
    m_size->setToolTip(sizeTip());

    auto *bold = new QCheckBox(QStringLiteral("Grassetto"), page);
    bold->setObjectName(QStringLiteral("chTipoCarattere(0)"));
    bold->setGeometry(Twips::rect(boldLeft, boldTop, boldWidth, boldHeight));
    QFont boldFont = bold->font();
    boldFont.setBold(true);
    bold->setFont(boldFont);
    auto *italic = new QCheckBox(QStringLiteral("Corsivo"), page);
    italic->setObjectName(QStringLiteral("chTipoCarattere(1)"));
    italic->setGeometry(Twips::rect(italicLeft, italicTop, italicWidth, italicHeight));
    QFont italicFont = italic->font();
    italicFont.setItalic(true);
    italic->setFont(italicFont);
    m_style = {bold, italic};

    connect(m_face, &QComboBox::editTextChanged, this, &FontControls::faceChanged);
    // Typing a face (not picking one from the list) starts it plain: both style boxes clear
    // through their own handlers.
    connect(m_face->lineEdit(), &QLineEdit::textEdited, this, &FontControls::faceTyped);
    connect(m_size, &QLineEdit::textChanged, this, &FontControls::sizeChanged);
    // Leaving the box with a size that was refused shows the size in force again.
    connect(m_size, &QLineEdit::editingFinished, this, [this] {
        if (m_size->text().trimmed() != QString::number(m_settings.Dimensione)) {
            m_size->setText(QString::number(m_settings.Dimensione));
        }
    });
    for (int index = 0; index < static_cast<int>(m_style.size()); ++index) {
        connect(m_style.at(index), &QCheckBox::toggled, this,
                [this, index](bool checked) { styleToggled(index, checked); });
    }
    page->setTabOrder(m_face, m_size);
    page->setTabOrder(m_size, bold);
    page->setTabOrder(bold, italic);
}

QCheckBox *FontControls::chTipoCarattere(int index) const {
    return index >= 0 && index < static_cast<int>(m_style.size()) ? m_style.at(index) : nullptr;
}

void FontControls::mostraConfigurazione() {
    m_face->setEditText(m_settings.FontTombola.trimmed());
    m_size->setText(QString::number(m_settings.Dimensione));
    m_size->setToolTip(sizeTip());
    m_style.at(0)->setChecked(m_settings.bold());
    m_style.at(1)->setChecked(m_settings.italic());
}

void FontControls::riempiElencoFont(const QStringList &families, int limit) {
    // Adding the first item to an editable list would replace the face shown with it.
    const QSignalBlocker blocker(m_face);
    const QString shown = m_face->currentText();
    const bool wasVisible = m_face->isVisibleTo(m_face->parentWidget());
    m_face->hide();
    QStringList listed;
    for (const QString &family : families) {
        if (limit > 0 && listed.size() >= limit) {
            break;
        }
        if (!family.isEmpty() && !listed.contains(family)) {
            listed.append(family);
        }
    }
    m_face->addItems(listed);
    m_face->setCurrentIndex(-1);
    m_face->setEditText(shown);
    m_face->setVisible(wasVisible);
}

void FontControls::faceChanged(const QString &text) {
    m_settings.FontTombola = text;
    m_size->setToolTip(sizeTip());
    showStandIn();
    emit fontModificato();
}

void FontControls::showStandIn() {
    const std::optional<FontResolver::Face> face =
        FontResolver::face(m_settings.FontTombola.trimmed());
    const bool standIn = face && face->standIn;
    m_standIn->setText(
        standIn ? QStringLiteral("Non installato: si stampa con \"%1\"").arg(face->family)
                : QString());
    // Its room is fixed, so it never covers its neighbours; a long face name is read whole in
    // the tip.
    m_standIn->setToolTip(m_standIn->text());
    m_standIn->setVisible(standIn);
}

void FontControls::faceTyped() {
    for (QCheckBox *box : m_style) {
        box->setChecked(false);
    }
    emit fontModificato();
}

void FontControls::sizeChanged(const QString &text) {
    // Only a text that is wholly a number changes the size; halves go to the even neighbour.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return;
    }
    const double whole = std::nearbyint(value);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max()) {
        return;
    }
    // Only a size at which the numbers fit their cells in the chosen orientation is taken; a
    // smaller one would leave the heading strip at 0 points or less. A larger size read from
    // the settings file stays as it is (the card draws its texts smaller to fit).
    if (whole < RunCheck::minDimensione() ||
        (whole > largestSize() && whole != m_settings.Dimensione)) {
        const QString refusal =
            QStringLiteral("La dimensione %1 non si può stampare sulle cartelle. %2.")
                .arg(whole)
                .arg(sizeTip());
        m_size->setToolTip(refusal);
        if (m_size->hasFocus()) {
            QToolTip::showText(m_size->mapToGlobal(QPoint(0, m_size->height())), refusal, m_size);
        }
        return;
    }
    m_size->setToolTip(sizeTip());
    m_settings.Dimensione = static_cast<qint16>(whole);
    emit fontModificato();
}

void FontControls::styleToggled(int index, bool checked) {
    // A stored true other than -1 stays as it was while the box agrees with it.
    if (index == 0 && m_settings.bold() != checked) {
        m_settings.setBold(checked);
    } else if (index == 1 && m_settings.italic() != checked) {
        m_settings.setItalic(checked);
    }
    emit fontModificato();
}

} // namespace velmora
