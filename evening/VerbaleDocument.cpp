#include "evening/VerbaleDocument.h"

#include "evening/EveningStore.h"
#include "print/PdfTarget.h"
#include "print/SafeOutput.h"
#include "print/TextFit.h"
#include "register/RegisterTime.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

const QString face = QStringLiteral("DejaVu Sans");
constexpr double marginSideMm = 18;
constexpr double marginTopMm = 15;
constexpr double marginBottomMm = 20; // the page number sits in it
constexpr double bodyPoints = 9;
constexpr double cellPaddingMm = 0.8;
constexpr int pdfDotsPerInch = 1200;

// What is drawn on a page, in device pixels: a text in its box, a rule along a box's top, or a
// shaded box under a table's heading.
struct Piece {
    enum class Kind { Text, Rule, Shade };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    QFont font;
    int flags = Qt::AlignLeft | Qt::AlignTop;
};
using Page = QList<Piece>;

// A column of a table: its heading, its share of the text width and its alignment.
struct Column {
    QString title;
    double share = 0;
    Qt::Alignment align = Qt::AlignLeft;
    bool fixedPitch = false; // a fingerprint, in a face whose digits line up
};
// A cell, struck through for a number taken back.
struct Cell {
    QString text;
    bool struck = false;
};
using Row = QList<Cell>;

// Lays the record out page by page on the text area of the device: every block is placed
// whole below the one before, or at the top of a new page when it does not fit; a table breaks
// between rows and repeats its heading on the next page.
class Layout {
public:
    explicit Layout(const QPaintDevice &device)
        : m_device(device), m_dpi(device.logicalDpiY()), m_left(mm(marginSideMm)),
          m_top(mm(marginTopMm)), m_width(device.width() - 2 * mm(marginSideMm)),
          m_bottom(device.height() - mm(marginBottomMm)), m_y(m_top), m_pages(1) {}

    double mm(double millimetres) const { return millimetres * m_dpi / 25.4; }
    QFont font(double points, bool bold = false) const {
        QFont f(face);
        f.setPixelSize(std::max(1, qRound(points * m_dpi / 72.0)));
        f.setBold(bold);
        return f;
    }

    // A line as large as asked when it fits the width, else smaller, down to two thirds of
    // that; what does not fit even then is wrapped at that size.
    void title(const QString &text, double points, bool bold) {
        const QFont base = font(points, bold);
        const double room = m_width;
        const auto widthAt = [this, &base, &text](int pixels) {
            QFont f = base;
            f.setPixelSize(pixels);
            return QFontMetricsF(f, &m_device).horizontalAdvance(text);
        };
        const int basePixels = base.pixelSize();
        const int floorPixels = std::max(1, basePixels * 2 / 3);
        const int fitting = TextFit::largestFitting(basePixels, floorPixels, room, widthAt);
        QFont f = base;
        f.setPixelSize(fitting > 0 ? fitting : floorPixels);
        paragraph(text, f, Qt::AlignHCenter);
    }

    void paragraph(const QString &text, const QFont &f, int align = Qt::AlignLeft,
                   double after = 1.5) {
        const int flags = align | Qt::AlignTop | wrapFlag(text, f, m_width);
        const double height = textHeight(text, f, m_width, flags);
        ensure(height);
        place({Piece::Kind::Text, QRectF(m_left, m_y, m_width, height), text, f, flags});
        m_y += height + mm(after);
    }

    void section(const QString &heading) {
        const QFont f = font(11, true);
        const double height = textHeight(heading, f, m_width, Qt::AlignLeft);
        // A heading never ends a page: it keeps at least two lines of what follows.
        ensure(height + mm(4) + 2 * mm(6));
        m_y += mm(3);
        place({Piece::Kind::Text, QRectF(m_left, m_y, m_width, height), heading, f,
               int(Qt::AlignLeft | Qt::AlignTop)});
        m_y += height + mm(1.5);
    }

    void table(const QList<Column> &columns, const QList<Row> &rows) {
        const QFont head = font(bodyPoints, true);
        Row heading;
        for (const Column &column : columns) {
            heading.append({column.title, false});
        }
        const double headHeight = rowHeight(columns, heading, head);
        bool headed = false;
        for (const Row &row : rows) {
            const QFont body = font(bodyPoints);
            const double height = rowHeight(columns, row, body);
            if (!headed || !fits(height)) {
                ensure(headHeight + height);
                place({Piece::Kind::Shade, QRectF(m_left, m_y, m_width, headHeight), {}, {}, 0});
                placeRow(columns, heading, head, headHeight);
                headed = true;
            }
            placeRow(columns, row, body, height);
        }
        m_y += mm(2);
    }

    // The closing sentence and the signature lines side by side, each with room above it to
    // sign, kept together on one page.
    void signatures(const QString &closing, const QStringList &roles) {
        const QFont f = font(bodyPoints);
        const QFont closingFont = font(10);
        const int closingFlags = wrapped(closing, closingFont, m_width);
        const double closingHeight = textHeight(closing, closingFont, m_width, closingFlags);
        const double column = m_width / roles.size();
        const double gap = mm(6);
        double labelHeight = 0;
        for (const QString &role : roles) {
            labelHeight = std::max(
                labelHeight, textHeight(role, f, column - gap, wrapped(role, f, column - gap)));
        }
        const double signRoom = mm(18);
        ensure(closingHeight + signRoom + labelHeight + mm(2));
        place({Piece::Kind::Text, QRectF(m_left, m_y, m_width, closingHeight), closing, closingFont,
               closingFlags});
        m_y += closingHeight + signRoom;
        for (int i = 0; i < roles.size(); ++i) {
            const QRectF box(m_left + i * column + gap / 2, m_y, column - gap, labelHeight);
            place({Piece::Kind::Rule, box, {}, {}, 0});
            place({Piece::Kind::Text, box.translated(0, mm(1)), roles.at(i), f,
                   wrapped(roles.at(i), f, box.width()) | Qt::AlignHCenter});
        }
        m_y += labelHeight + mm(1);
    }

    const QList<Page> &pages() const { return m_pages; }
    double left() const { return m_left; }
    double width() const { return m_width; }
    double bottom() const { return m_bottom; }

private:
    // Word wrap, or wrap anywhere for a word wider than the room (an archive's fingerprint).
    int wrapFlag(const QString &text, const QFont &f, double room) const {
        const QFontMetricsF metrics(f, &m_device);
        const QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")));
        const bool wordsFit = std::all_of(words.cbegin(), words.cend(), [&](const QString &w) {
            return metrics.horizontalAdvance(w) <= room;
        });
        return wordsFit ? Qt::TextWordWrap : Qt::TextWrapAnywhere;
    }
    int wrapped(const QString &text, const QFont &f, double room) const {
        return int(Qt::AlignTop) | wrapFlag(text, f, room);
    }
    double textHeight(const QString &text, const QFont &f, double room, int flags) const {
        const QFontMetricsF metrics(f, &m_device);
        return std::max(metrics.height(),
                        metrics.boundingRect(QRectF(0, 0, room, 1e7), flags, text).height());
    }
    double cellWidth(const Column &column) const { return m_width * column.share; }
    QFont cellFace(const Column &column, const QFont &f) const {
        if (!column.fixedPitch || f.bold()) {
            return f;
        }
        QFont mono = font(bodyPoints - 1.5);
        mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
        mono.setStyleHint(QFont::Monospace);
        return mono;
    }
    double rowHeight(const QList<Column> &columns, const Row &row, const QFont &f) const {
        double height = 0;
        for (int c = 0; c < columns.size(); ++c) {
            const double room = cellWidth(columns.at(c)) - 2 * mm(cellPaddingMm);
            const QString text = row.value(c).text;
            const QFont cellFont = cellFace(columns.at(c), f);
            height =
                std::max(height, textHeight(text, cellFont, room, wrapped(text, cellFont, room)));
        }
        return height + 2 * mm(cellPaddingMm);
    }
    void placeRow(const QList<Column> &columns, const Row &row, const QFont &f, double height) {
        double x = m_left;
        for (int c = 0; c < columns.size(); ++c) {
            const double width = cellWidth(columns.at(c));
            const Cell cell = row.value(c);
            QFont cellFont = cellFace(columns.at(c), f);
            cellFont.setStrikeOut(cell.struck);
            const QRectF box(x + mm(cellPaddingMm), m_y + mm(cellPaddingMm),
                             width - 2 * mm(cellPaddingMm), height - 2 * mm(cellPaddingMm));
            place({Piece::Kind::Text, box, cell.text, cellFont,
                   wrapped(cell.text, cellFont, box.width()) | int(columns.at(c).align)});
            x += width;
        }
        m_y += height;
        place({Piece::Kind::Rule, QRectF(m_left, m_y, m_width, 0), {}, {}, 0});
    }
    bool fits(double height) const { return m_y + height <= m_bottom; }
    // A new page when the block does not fit; a block taller than a page starts one anyway.
    void ensure(double height) {
        if (!fits(height) && !m_pages.last().isEmpty()) {
            m_pages.append(Page());
            m_y = m_top;
        }
    }
    void place(const Piece &piece) { m_pages.last().append(piece); }

    const QPaintDevice &m_device;
    int m_dpi;
    double m_left;
    double m_top;
    double m_width;
    double m_bottom;
    double m_y;
    QList<Page> m_pages;
};

QString clockTime(const QDateTime &when) {
    return RegisterTime::shownAs(when, QStringLiteral("HH:mm:ss"));
}
QString dateTime(const QDateTime &when) {
    return RegisterTime::shownAs(when, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}
QString orDash(const QString &text) {
    return text.isEmpty() ? QStringLiteral("—") : text;
}

void heading(Layout &layout, const Verbale &v) {
    layout.title(QStringLiteral("Verbale dell'estrazione"), 18, true);
    layout.title(v.eveningName.isEmpty() ? QStringLiteral("Partita fuori da una serata")
                                         : v.eveningName,
                 14, true);
    if (v.eveningDate.isValid()) {
        layout.paragraph(QStringLiteral("Data della serata: %1")
                             .arg(v.eveningDate.toString(QStringLiteral("dd/MM/yyyy"))),
                         layout.font(10), Qt::AlignHCenter);
    }
    QStringList contact;
    if (!v.via.isEmpty()) {
        contact.append(v.via);
    }
    if (!v.tel.isEmpty()) {
        // The cards print the setting as it is, which usually says "Tel." itself.
        contact.append(v.tel.startsWith(QStringLiteral("tel"), Qt::CaseInsensitive)
                           ? v.tel
                           : QStringLiteral("tel. %1").arg(v.tel));
    }
    layout.title(QStringLiteral("Organizzatore: %1").arg(orDash(v.ditta)), 11, true);
    if (!contact.isEmpty()) {
        layout.paragraph(contact.join(QStringLiteral(" — ")), layout.font(10), Qt::AlignHCenter);
    }
    if (!v.title.isEmpty()) {
        layout.paragraph(QStringLiteral("Titolo delle cartelle: %1").arg(v.title), layout.font(10),
                         Qt::AlignHCenter);
    }
    const QString number = v.gameNumber > 0
                               ? QStringLiteral("Partita n. %1 della serata (n. %2 "
                                                "nel registro)")
                                     .arg(v.gameNumber)
                                     .arg(v.game)
                               : QStringLiteral("Partita n. %1 del registro").arg(v.game);
    layout.paragraph(number, layout.font(11, true), Qt::AlignHCenter, 0.5);
    layout.paragraph(
        QStringLiteral("Inizio: %1 — Fine: %2")
            .arg(orDash(dateTime(v.started)),
                 v.ended.isValid() ? dateTime(v.ended) : QStringLiteral("partita in corso")),
        layout.font(10), Qt::AlignHCenter, 3);
}

void archivesAndRuns(Layout &layout, const Verbale &v) {
    layout.section(QStringLiteral("Archivio delle cartelle"));
    if (v.archives.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessuna corsa di stampa nella serata."),
                         layout.font(bodyPoints));
    } else {
        QList<Row> rows;
        for (const Verbale::Archive &archive : v.archives) {
            rows.append({{archive.fileName}, {QString::number(archive.cards)}, {archive.sha256}});
        }
        layout.table({{QStringLiteral("File"), 0.25},
                      {QStringLiteral("Cartelle"), 0.12, Qt::AlignRight},
                      {QStringLiteral("Impronta SHA-256"), 0.63, Qt::AlignLeft, true}},
                     rows);
    }
    if (v.runs.isEmpty()) {
        return;
    }
    layout.section(QStringLiteral("Stampe della serata"));
    QList<Row> rows;
    for (const Verbale::Run &run : v.runs) {
        const bool any = run.delivered > 0;
        rows.append(
            {{QString::number(run.id)},
             {any ? EveningStore::rangeText(run.firstPrinted, run.lastPrinted)
                  : QStringLiteral("nessuna")},
             {any ? QStringLiteral("%1-%2").arg(run.firstArchiveCard).arg(run.lastArchiveCard)
                  : QStringLiteral("—")},
             {run.numbering},
             {run.certain ? QString::number(run.delivered)
                          : QStringLiteral("%1 (incerta)").arg(run.delivered)},
             // Every archive is called RidoDur.dat: the start of its fingerprint names it.
             {run.archiveSha256.isEmpty()
                  ? run.archiveFileName
                  : QStringLiteral("%1 (SHA-256 %2…)")
                        .arg(run.archiveFileName, run.archiveSha256.left(12))}});
    }
    layout.table({{QStringLiteral("Corsa"), 0.08, Qt::AlignRight},
                  {QStringLiteral("Numeri stampati"), 0.2},
                  {QStringLiteral("Cartelle dell'archivio"), 0.18},
                  {QStringLiteral("Numerazione"), 0.16},
                  {QStringLiteral("Consegnate"), 0.14, Qt::AlignRight},
                  {QStringLiteral("Archivio"), 0.24}},
                 rows);
}

void cardsAndPrizes(Layout &layout, const Verbale &v) {
    layout.section(QStringLiteral("Cartelle in gioco"));
    if (v.sold.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessuna vendita registrata: sono in gioco tutte le "
                                        "cartelle stampate per la serata."),
                         layout.font(bodyPoints));
    } else {
        QList<Row> rows;
        for (const SoldRange &range : v.sold) {
            rows.append({{QString::number(range.run)},
                         {EveningStore::rangeText(range.first, range.last)},
                         {QString::number(range.count())},
                         {EveningStore::money(range.priceCents)},
                         {EveningStore::money(range.takingsCents())}});
        }
        rows.append({{QStringLiteral("Totale")},
                     {},
                     {QString::number(v.soldCount)},
                     {},
                     {EveningStore::money(v.takingsCents)}});
        layout.table({{QStringLiteral("Corsa"), 0.12, Qt::AlignRight},
                      {QStringLiteral("Numeri"), 0.34},
                      {QStringLiteral("Cartelle"), 0.16, Qt::AlignRight},
                      {QStringLiteral("Prezzo"), 0.18, Qt::AlignRight},
                      {QStringLiteral("Incasso"), 0.2, Qt::AlignRight}},
                     rows);
    }
    layout.section(QStringLiteral("Premi in palio"));
    QList<Row> rows;
    for (int i = 0; i < v.prizes.size(); ++i) {
        rows.append(
            {{QString::number(i + 1)}, {v.prizes.at(i).name}, {orDash(v.prizes.at(i).value)}});
    }
    layout.table({{QStringLiteral("N."), 0.08, Qt::AlignRight},
                  {QStringLiteral("Premio"), 0.3},
                  {QStringLiteral("Valore"), 0.62}},
                 rows);
}

// Every line of the draw log; a number taken back is struck through, with the time it was
// taken back, and has no place in the draw.
void draws(Layout &layout, const Verbale &v) {
    int standing = 0;
    int takenBack = 0;
    QList<Row> rows;
    for (int i = 0; i < v.draws.size(); ++i) {
        const DrawLogEntry &entry = v.draws.at(i);
        const bool back = entry.takenBack();
        takenBack += back ? 1 : 0;
        rows.append({{QString::number(i + 1)},
                     {back ? QString() : QString::number(++standing)},
                     {QString::number(entry.number), back},
                     {clockTime(entry.drawnAt)},
                     {Verbale::sourceText(entry.source)},
                     {back ? QStringLiteral("annullato alle %1").arg(clockTime(entry.takenBackAt))
                           : QString()}});
    }
    layout.section(QStringLiteral("Numeri estratti: %1 (annullati: %2)")
                       .arg(v.draws.size() - takenBack)
                       .arg(takenBack));
    if (rows.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessun numero estratto."), layout.font(bodyPoints));
        return;
    }
    layout.table({{QStringLiteral("Riga"), 0.08, Qt::AlignRight},
                  {QStringLiteral("Estrazione"), 0.13, Qt::AlignRight},
                  {QStringLiteral("Numero"), 0.11, Qt::AlignHCenter},
                  {QStringLiteral("Ora"), 0.12},
                  {QStringLiteral("Modo"), 0.24},
                  {QStringLiteral("Annullamento"), 0.32}},
                 rows);
}

QString runText(qint64 run) {
    return run > 0 ? QString::number(run) : QStringLiteral("—");
}

// The number drawn at a place in the draw (taken-back numbers have none), 0 when none.
int numberAt(const Verbale &v, int place) {
    int standing = 0;
    for (const DrawLogEntry &entry : v.draws) {
        if (!entry.takenBack() && ++standing == place) {
            return entry.number;
        }
    }
    return 0;
}

void claimsAndAwards(Layout &layout, const Verbale &v) {
    layout.section(QStringLiteral("Verifiche delle vincite"));
    if (v.claims.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessuna verifica registrata."), layout.font(bodyPoints));
    } else {
        QList<Row> rows;
        for (const ClaimCheck &claim : v.claims) {
            rows.append({{clockTime(claim.checked)},
                         {runText(claim.run)},
                         {QStringLiteral("N. %1").arg(claim.printedNumber)},
                         {claim.verdict}});
        }
        layout.table({{QStringLiteral("Ora"), 0.12},
                      {QStringLiteral("Corsa"), 0.09, Qt::AlignHCenter},
                      {QStringLiteral("Cartella"), 0.13},
                      {QStringLiteral("Esito"), 0.66}},
                     rows);
    }
    layout.section(QStringLiteral("Premi assegnati"));
    if (v.awards.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessun premio assegnato."), layout.font(bodyPoints));
        return;
    }
    QList<Row> rows;
    for (const Verbale::AwardLine &award : v.awards) {
        const QString prize = award.cards.size() > 1 ? QStringLiteral("%1 (ex aequo, %2 cartelle)")
                                                           .arg(award.prize)
                                                           .arg(award.cards.size())
                                                     : award.prize;
        const QString prizeCell =
            award.takenBack.isValid()
                ? QStringLiteral("%1, ritirato alle %2").arg(prize, clockTime(award.takenBack))
                : prize;
        for (const AwardedCard &card : award.cards) {
            const int number = numberAt(v, card.reachedAt);
            rows.append({{prizeCell},
                         {orDash(award.value)},
                         {QStringLiteral("N. %1").arg(card.printed)},
                         {runText(card.run)},
                         {QString::number(card.archiveCard)},
                         {number > 0 ? QStringLiteral("%1ª, il %2").arg(card.reachedAt).arg(number)
                                     : QStringLiteral("%1ª").arg(card.reachedAt)},
                         {clockTime(award.awarded)}});
        }
    }
    layout.table({{QStringLiteral("Premio"), 0.22},
                  {QStringLiteral("Valore"), 0.16},
                  {QStringLiteral("Cartella"), 0.12},
                  {QStringLiteral("Corsa"), 0.08, Qt::AlignHCenter},
                  {QStringLiteral("Archivio"), 0.11, Qt::AlignHCenter},
                  {QStringLiteral("Estrazione"), 0.17},
                  {QStringLiteral("Assegnato"), 0.14}},
                 rows);
}

QList<Page> layOut(const Verbale &v, const QPaintDevice &device) {
    Layout layout(device);
    heading(layout, v);
    archivesAndRuns(layout, v);
    cardsAndPrizes(layout, v);
    draws(layout, v);
    claimsAndAwards(layout, v);
    layout.signatures(QStringLiteral("Letto, confermato e sottoscritto."),
                      {QStringLiteral("Il presidente"), QStringLiteral("Il segretario"),
                       QStringLiteral("Il rappresentante incaricato")});
    return layout.pages();
}

void drawPiece(QPainter &painter, const Piece &piece, double ruleWidth) {
    switch (piece.kind) {
    case Piece::Kind::Text:
        painter.setFont(piece.font);
        painter.drawText(piece.rect, piece.flags, piece.text);
        break;
    case Piece::Kind::Rule:
        painter.setPen(QPen(Qt::black, ruleWidth));
        painter.drawLine(piece.rect.topLeft(), piece.rect.topRight());
        break;
    case Piece::Kind::Shade:
        painter.fillRect(piece.rect, QColor(0xe8, 0xe8, 0xe8));
        break;
    }
}

} // namespace

VerbaleDocument::VerbaleDocument(const Verbale &verbale) : m_verbale(verbale) {}

bool VerbaleDocument::paint(QPagedPaintDevice &device, QString *reason) const {
    const auto refused = [reason] {
        *reason = QStringLiteral("Il verbale non si può stampare: la stampante o il file non "
                                 "accetta le pagine.");
        return false;
    };
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&device)) {
        return refused();
    }
    const QList<Page> pages = layOut(m_verbale, device);
    const Layout frame(device);
    const double ruleWidth = frame.mm(0.2);
    const QFont footer = frame.font(8);
    for (int index = 0; index < pages.size(); ++index) {
        if (index > 0 && !device.newPage()) {
            painter.end();
            return refused();
        }
        for (const Piece &piece : pages.at(index)) {
            drawPiece(painter, piece, ruleWidth);
        }
        painter.setFont(footer);
        painter.setPen(Qt::black);
        const QRectF foot(frame.left(), frame.bottom() + frame.mm(6), frame.width(), frame.mm(6));
        painter.drawText(
            foot, Qt::AlignLeft | Qt::AlignTop,
            m_verbale.gameNumber > 0
                ? QStringLiteral("Verbale dell'estrazione, partita n. %1").arg(m_verbale.gameNumber)
                : QStringLiteral("Verbale dell'estrazione, partita n. %1 del "
                                 "registro")
                      .arg(m_verbale.game));
        painter.drawText(foot, Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("pagina %1 di %2").arg(index + 1).arg(pages.size()));
    }
    return painter.end() || refused();
}

int VerbaleDocument::pageCount(int dpi) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    return int(layOut(m_verbale, writer).size());
}

bool writeVerbalePdf(const Verbale &verbale, const QString &path, QString *reason,
                     const QList<SafeOutput::KeptFile> &alsoKept) {
    QList<SafeOutput::KeptFile> kept = alsoKept;
    if (!verbale.registerPath.isEmpty()) {
        kept.append({verbale.registerPath, QStringLiteral("il registro delle stampe")});
    }
    for (const Verbale::Archive &archive : verbale.archives) {
        kept.append({archive.path, QStringLiteral("l'archivio delle cartelle")});
    }
    SafeOutput output(path);
    if (!output.reserve(kept, reason)) {
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(output.temporaryPath());
        writer.setCreator(PdfTarget::creator());
        writer.setTitle(QStringLiteral("Verbale dell'estrazione"));
        writer.setResolution(pdfDotsPerInch);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        painted = VerbaleDocument(verbale).paint(writer, reason);
    }
    if (!painted) {
        if (const QString why = output.writeFailure(); !why.isEmpty()) {
            *reason = why;
        }
        output.discard();
        return false;
    }
    return output.commitPdf(reason);
}

} // namespace velmora
