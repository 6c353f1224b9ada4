#include "print/RunCheck.h"

#include "common/Sentence.h"
#include "errors/VelmoraError.h"
#include "print/BgrColor.h"
#include "print/CardArchive.h"
#include "print/SheetFit.h"
#include "print/SizeFit.h"
#include "register/CardNumbering.h"
#include "settings/Calibrazione.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <array>

namespace velmora {
namespace {

constexpr int maxFontPoints = 2160; // the largest size the printer surface takes
constexpr int maxBoxSize = 999;     // the size box holds three digits

// The faces a card prints with besides the chosen one: the title's first face, the credit
// line and the blank that ends each page.
const QString &fixedFace() {
    static const QString face = QStringLiteral("Arial");
    return face;
}

struct ColourField {
    qint32 Configurazione::*field;
    const char *part; // as the sentence names it
};
constexpr std::array colourFields{
    ColourField{&Configurazione::ColoreTitolo, "del titolo"},
    ColourField{&Configurazione::ColoreNumeroCartella, "del numero della cartella"},
    ColourField{&Configurazione::ColoreLineaSottile, "della linea sottile"},
    ColourField{&Configurazione::ColoreLineaGrossa, "della linea grossa"},
    ColourField{&Configurazione::ColoreGriglia, "della griglia"},
    ColourField{&Configurazione::ColoreBordo, "del bordo"},
    ColourField{&Configurazione::ColoreFrase, "della riga d'intestazione"},
    ColourField{&Configurazione::ColorePrimaCinquina, "della prima cinquina"},
    ColourField{&Configurazione::ColoreSecondaCinquina, "della seconda cinquina"},
    ColourField{&Configurazione::ColoreTerzaCinquina, "della terza cinquina"},
};

std::array<int, 4> sizeOffsets(const CardLayout &layout) {
    return {layout.titleSizeOffset, layout.numberSizeOffset, 0, layout.stripSizeOffset};
}

// A fault and what to do about it, as one sentence: "<fault>: <what to do> nella pagina 2 …".
QString withRemedy(RunCheck::Place place, const QString &settingsPath, const QString &fault,
                   const QString &what, int page = 2) {
    const QString where =
        place == RunCheck::Place::Window
            ? QStringLiteral("%1 nella pagina %2 (%3)")
                  .arg(what)
                  .arg(page)
                  .arg(page == 2 ? QStringLiteral("aspetto della cartella")
                                 : QStringLiteral("intestazioni"))
            : QStringLiteral("%1 nella pagina %2 del programma e salvare la configurazione "
                             "(file %3)")
                  .arg(what)
                  .arg(page)
                  .arg(settingsPath);
    return QStringLiteral("%1: %2.").arg(fault, where);
}

QString sizeFault(const Configurazione &settings, const CardLayout &layout, RunCheck::Place place,
                  const QString &settingsPath) {
    const int low = RunCheck::minDimensione(layout);
    const int high = RunCheck::maxDimensione(layout);
    const int size = settings.Dimensione;
    if (size >= low && size <= high) {
        return {};
    }
    // Below the least, the heading strip's size (a few points under the chosen one) would be
    // none at all.
    const QString why = size < low ? QStringLiteral("la più piccola che si stampa è %1").arg(low)
                                   : QStringLiteral("oltre il massimo di %1").arg(high);
    return withRemedy(place, settingsPath,
                      QStringLiteral("La dimensione del carattere %1 non si può stampare (%2)")
                          .arg(size)
                          .arg(why),
                      // The sizes that print in both orientations (above the box's largest,
                      // the card's texts are drawn smaller to fit).
                      QStringLiteral("scegliere una dimensione da %1 a %2 nella casella "
                                     "della dimensione del carattere")
                          .arg(RunCheck::minDimensione())
                          .arg(RunCheck::maxDimensione()));
}

// A calibration the printer surface would refuse, found before the run is registered.
QString calibrationFault(const Configurazione &settings, RunCheck::Place place,
                         const QString &settingsPath) {
    const QString fault = Calibrazione::fault(settings);
    if (fault.isEmpty()) {
        return {};
    }
    return withRemedy(place, settingsPath, fault, QStringLiteral("correggere il valore"), 3);
}

} // namespace

int RunCheck::minDimensione(const CardLayout &layout) {
    const auto offsets = sizeOffsets(layout);
    return 1 - *std::min_element(offsets.begin(), offsets.end());
}

int RunCheck::maxDimensione(const CardLayout &layout) {
    const auto offsets = sizeOffsets(layout);
    return std::min(maxBoxSize, maxFontPoints - *std::max_element(offsets.begin(), offsets.end()));
}

int RunCheck::minDimensione() {
    return std::max(minDimensione(CardLayout::landscape()), minDimensione(CardLayout::portrait()));
}

int RunCheck::maxDimensione() {
    return std::min(maxDimensione(CardLayout::landscape()), maxDimensione(CardLayout::portrait()));
}

int RunCheck::largestBoxDimensione(const Configurazione &settings) {
    // Without a face that prints, the check says so; the box then bounds nothing more.
    const std::optional<FontResolver::Face> face =
        FontResolver::face(settings.FontTombola.trimmed());
    if (!face) {
        return maxDimensione();
    }
    const CardLayout &layout =
        settings.Orientamento == 0 ? CardLayout::landscape() : CardLayout::portrait();
    return std::clamp(SizeFit::largestDimensione(layout, face->family), minDimensione(),
                      maxDimensione());
}

RunCheck::Result RunCheck::checkSettings(const Configurazione &settings, const CardLayout &layout,
                                         Place place, const QString &settingsPath) {
    Result result;
    QStringList faults;
    const QString chosen = settings.FontTombola.trimmed();
    if (chosen.isEmpty()) {
        faults.append(withRemedy(place, settingsPath,
                                 QStringLiteral("Nessun carattere è indicato per le cartelle"),
                                 QStringLiteral("sceglierne uno nell'elenco dei caratteri")));
    }
    for (const QString &name : {chosen, fixedFace()}) {
        if (name.isEmpty()) {
            continue;
        }
        const std::optional<FontResolver::Face> face = FontResolver::face(name);
        if (!face) {
            faults.append(QStringLiteral("Il carattere \"%1\" non è installato e nessun altro "
                                         "carattere può sostituirlo: installare almeno un "
                                         "carattere (ad esempio il pacchetto "
                                         "fonts-liberation2).")
                              .arg(name));
        } else if (face->standIn &&
                   std::none_of(result.standIns.cbegin(), result.standIns.cend(),
                                [&face](const FontResolver::Face &known) {
                                    return known.name.compare(face->name, Qt::CaseInsensitive) == 0;
                                })) {
            result.standIns.append(*face);
        }
    }
    if (const QString fault = sizeFault(settings, layout, place, settingsPath); !fault.isEmpty()) {
        faults.append(fault);
    } else if (const std::optional<FontResolver::Face> face = FontResolver::face(chosen)) {
        result.sizeNotice = SheetFit::sizeNotice(
            settings.Dimensione,
            SheetFit::drawnDimensione(layout, face->family, settings.Dimensione));
    }
    if (const QString fault = calibrationFault(settings, place, settingsPath); !fault.isEmpty()) {
        faults.append(fault);
    }
    for (const ColourField &colour : colourFields) {
        if (!BgrColor::isValid(settings.*colour.field)) {
            faults.append(withRemedy(place, settingsPath,
                                     QStringLiteral("Il colore %1 non è un colore (%2)")
                                         .arg(QString::fromUtf8(colour.part))
                                         .arg(settings.*colour.field),
                                     QStringLiteral("sceglierlo di nuovo sulla cartella")));
        }
    }
    result.refusal = faults.join(QLatin1Char('\n'));
    return result;
}

QString RunCheck::checkArchive(CardArchive &archive, const PrintPlan &plan,
                               bool numerazioneArchivio) {
    // Slots past the archive's last card stay blank: only the records it holds are read.
    const qint64 last = std::min<qint64>(plan.last, archive.cardCount());
    for (qint64 card = plan.first; card <= last; ++card) {
        try {
            const RecordCartella record = archive.read(card);
            CardNumbering::printedText(record.numeroArchivio(), numerazioneArchivio, plan.first);
        } catch (const VelmoraError &error) {
            return QStringLiteral("La cartella %1 dell'archivio \"%2\" è danneggiata (%3): non "
                                  "è stato stampato nulla, sostituire l'archivio con una copia "
                                  "integra.")
                .arg(card)
                .arg(QDir::toNativeSeparators(QFileInfo(archive.path()).absoluteFilePath()),
                     Sentence::clause(error.description()));
        }
    }
    return {};
}

RunCheck::Result RunCheck::check(const Configurazione &settings, const PrintPlan &plan,
                                 CardArchive &archive, bool numerazioneArchivio, Place place,
                                 const QString &settingsPath) {
    const CardLayout &layout = plan.cardsPerPage == CardLayout::landscape().cardsPerPage
                                   ? CardLayout::landscape()
                                   : CardLayout::portrait();
    Result result = checkSettings(settings, layout, place, settingsPath);
    if (result.ok()) {
        result.refusal = checkArchive(archive, plan, numerazioneArchivio);
    }
    return result;
}

QString RunCheck::printableAreaNotice(const CardLayout &layout, int dimensione,
                                      const QSizeF &printableArea, double pageHeightTwips,
                                      int dotsPerInch) {
    constexpr double millimetresPerInch = 25.4;
    // mm: within the estimate of the letters' height, and no printer loses less
    constexpr double shownFrom = 1;
    const QRectF sheet =
        layout.sheetExtent(printableArea.width(), pageHeightTwips, dimensione, dotsPerInch);
    const double mm = millimetresPerInch / dotsPerInch;
    const double across =
        (std::max(0.0, -sheet.left()) + std::max(0.0, sheet.right() - printableArea.width())) * mm;
    const double down =
        (std::max(0.0, -sheet.top()) + std::max(0.0, sheet.bottom() - printableArea.height())) * mm;
    if (across < shownFrom && down < shownFrom) {
        return {};
    }
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QStringList by;
    if (across >= shownFrom) {
        by.append(QStringLiteral("%1 mm in larghezza").arg(italian.toString(across, 'f', 1)));
    }
    if (down >= shownFrom) {
        by.append(QStringLiteral("%1 mm in altezza").arg(italian.toString(down, 'f', 1)));
    }
    const bool landscape = layout.cardsPerPage == CardLayout::landscape().cardsPerPage;
    return QStringLiteral("Le cartelle sono più grandi dell'area che la stampante può stampare "
                          "(%1) e i bordi della pagina resteranno tagliati: spostare la stampa "
                          "con \"Parametro Altezza\" e \"Parametro Larghezza\" (pagina 3), o "
                          "scegliere l'orientamento %2.")
        .arg(by.join(QStringLiteral(" e ")),
             landscape ? QStringLiteral("verticale") : QStringLiteral("orizzontale"));
}

QString RunCheck::standInNotice(const QList<FontResolver::Face> &standIns) {
    QStringList lines;
    for (const FontResolver::Face &face : standIns) {
        lines.append(QStringLiteral("Il carattere \"%1\" non è installato: le cartelle si "
                                    "stampano con \"%2\", il più simile tra quelli installati.")
                         .arg(face.name, face.family));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace velmora
