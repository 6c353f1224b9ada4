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
    // Latin text drawn letter by letter, with no shaping: a ligature ("fi") would read back
    // from the PDF as one sign, and a search for "Verifiche" would not find it.
    QFont font(double points, bool bold = false) const {
        QFont f(face);
        f.setPixelSize(std::max(1, qRound(points * m_dpi / 72.0)));
        f.setBold(bold);
        f.setStyleStrategy(QFont::PreferNoShaping);
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
        const Row heading = headingOf(columns);
        const double headHeight = rowHeight(columns, heading, head, m_width);
        bool headed = false;
        for (const Row &row : rows) {
            const QFont body = font(bodyPoints);
            const double height = rowHeight(columns, row, body, m_width);
            if (!headed || !fits(height)) {
                ensure(headHeight + height);
                place({Piece::Kind::Shade, QRectF(m_left, m_y, m_width, headHeight), {}, {}, 0});
                placeRow(columns, heading, head, headHeight, m_left, m_width);
                m_y += headHeight;
                headed = true;
            }
            placeRow(columns, row, body, height, m_left, m_width);
            m_y += height;
        }
        m_y += mm(2);
    }

    // A table of short rows (the draw) set in `groups` narrow tables side by side, each with
    // its heading: the rows run down the first, then the next, filling the room a page has
    // left; on the last page they are shared evenly among the groups.
    void flowTable(const QList<Column> &columns, const QList<Row> &rows, int groups,
                   double points) {
        const double gap = mm(4);
        const double groupWidth = (m_width - gap * (groups - 1)) / groups;
        const QFont head = font(points, true);
        const QFont body = font(points);
        const Row heading = headingOf(columns);
        const double headHeight = rowHeight(columns, heading, head, groupWidth);
        double height = 0;
        for (const Row &row : rows) {
            height = std::max(height, rowHeight(columns, row, body, groupWidth));
        }
        qsizetype next = 0;
        while (next < rows.size()) {
            ensure(headHeight + 2 * height);
            qsizetype perGroup =
                std::max<qsizetype>(1, qsizetype((m_bottom - m_y - headHeight) / height));
            const qsizetype left = rows.size() - next;
            if (left <= perGroup * groups) {
                perGroup = (left + groups - 1) / groups;
            }
            const double top = m_y;
            for (int group = 0; group < groups && next < rows.size(); ++group) {
                const double x = m_left + group * (groupWidth + gap);
                m_y = top;
                place({Piece::Kind::Shade, QRectF(x, m_y, groupWidth, headHeight), {}, {}, 0});
                placeRow(columns, heading, head, headHeight, x, groupWidth);
                m_y += headHeight;
                for (qsizetype r = 0; r < perGroup && next < rows.size(); ++r, ++next) {
                    placeRow(columns, rows.at(next), body, height, x, groupWidth);
                    m_y += height;
                }
            }
            m_y = top + headHeight + double(perGroup) * height;
            if (next < rows.size()) {
                newPage();
            }
        }
        m_y += mm(2);
    }

    // Where the next piece goes: what is placed from here on can be carried to a new page
    // together with a block that follows it.
    struct Mark {
        qsizetype page = 0;
        qsizetype piece = 0;
        double y = 0;
    };
    Mark mark() const { return {m_pages.size() - 1, m_pages.last().size(), m_y}; }

    // The close of the record: the closing sentence, the place and date, and a line to sign
    // for each signatory (three to a row) with the role and the name under it, all on one
    // page. When it does not fit below what is there, the part of the record from the first
    // of the marks on this page that leaves room for it goes over with it: the signatures are
    // never alone on a page.
    void signatures(const QString &closing, const QString &placeAndDate,
                    const QList<Signing::Signer> &signers, const QList<Mark> &keepWith) {
        const QFont f = font(bodyPoints);
        const QFont bold = font(bodyPoints, true);
        const QFont closingFont = font(10);
        const int closingFlags = wrapped(closing, closingFont, m_width);
        const double closingHeight = textHeight(closing, closingFont, m_width, closingFlags);
        const double lineHeight = QFontMetricsF(closingFont, &m_device).height();
        const int perRow = std::max(1, std::min(3, int(signers.size())));
        const double column = m_width / perRow;
        const double gap = mm(6);
        // Under each line the role, then the name in bold (none: it is written by hand).
        const auto tallest = [&](const QFont &letters, auto text) {
            double most = 0;
            for (const Signing::Signer &signer : signers) {
                const QString said = text(signer);
                most = std::max(most, textHeight(said, letters, column - gap,
                                                 wrapped(said, letters, column - gap)));
            }
            return most;
        };
        const double roleHeight = tallest(f, [](const Signing::Signer &s) { return s.role; });
        const bool named = std::any_of(signers.cbegin(), signers.cend(),
                                       [](const Signing::Signer &s) { return !s.name.isEmpty(); });
        const double nameHeight =
            named ? tallest(bold, [](const Signing::Signer &s) { return s.name; }) : 0;
        const double labelHeight = mm(1) + roleHeight + nameHeight;
        const double signRoom = mm(16);
        const qsizetype rows = (signers.size() + perRow - 1) / perRow;
        const double height = mm(4) + closingHeight + mm(2) + lineHeight +
                              double(rows) * (signRoom + labelHeight + mm(2));
        if (!fits(height)) {
            const double pageRoom = m_bottom - m_top;
            const auto carried =
                std::find_if(keepWith.cbegin(), keepWith.cend(), [&](const Mark &from) {
                    return from.page == m_pages.size() - 1 && from.piece > 0 &&
                           m_y - from.y + height <= pageRoom;
                });
            if (carried != keepWith.cend()) {
                carryOver(*carried);
            }
            ensure(height);
        }
        m_y += mm(4);
        place({Piece::Kind::Text, QRectF(m_left, m_y, m_width, closingHeight), closing, closingFont,
               closingFlags});
        m_y += closingHeight + mm(2);
        place({Piece::Kind::Text, QRectF(m_left, m_y, m_width, lineHeight), placeAndDate,
               closingFont, int(Qt::AlignLeft | Qt::AlignTop)});
        m_y += lineHeight;
        for (qsizetype i = 0; i < signers.size(); ++i) {
            if (i % perRow == 0) {
                m_y += signRoom + (i > 0 ? labelHeight + mm(2) : 0);
            }
            const Signing::Signer &signer = signers.at(i);
            const QRectF role(m_left + double(i % perRow) * column + gap / 2, m_y + mm(1),
                              column - gap, roleHeight);
            place({Piece::Kind::Rule, role.translated(0, -mm(1)), {}, {}, 0});
            place({Piece::Kind::Text, role, signer.role, f,
                   wrapped(signer.role, f, role.width()) | Qt::AlignHCenter});
            if (!signer.name.isEmpty()) {
                const QRectF name(role.left(), role.bottom(), role.width(), nameHeight);
                place({Piece::Kind::Text, name, signer.name, bold,
                       wrapped(signer.name, bold, name.width()) | Qt::AlignHCenter});
            }
        }
        m_y += labelHeight + mm(2);
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
    static Row headingOf(const QList<Column> &columns) {
        Row heading;
        for (const Column &column : columns) {
            heading.append({column.title, false});
        }
        return heading;
    }
    QFont cellFace(const Column &column, const QFont &f) const {
        if (!column.fixedPitch || f.bold()) {
            return f;
        }
        QFont mono = font(bodyPoints - 1.5);
        mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
        mono.setStyleHint(QFont::Monospace);
        return mono;
    }
    double rowHeight(const QList<Column> &columns, const Row &row, const QFont &f,
                     double width) const {
        double height = 0;
        for (int c = 0; c < columns.size(); ++c) {
            const double room = width * columns.at(c).share - 2 * mm(cellPaddingMm);
            const QString text = row.value(c).text;
            const QFont cellFont = cellFace(columns.at(c), f);
            height =
                std::max(height, textHeight(text, cellFont, room, wrapped(text, cellFont, room)));
        }
        return height + 2 * mm(cellPaddingMm);
    }
    // A row at the current height, from x across width, with a rule under it.
    void placeRow(const QList<Column> &columns, const Row &row, const QFont &f, double height,
                  double left, double tableWidth) {
        double x = left;
        for (int c = 0; c < columns.size(); ++c) {
            const double width = tableWidth * columns.at(c).share;
            const Cell cell = row.value(c);
            QFont cellFont = cellFace(columns.at(c), f);
            cellFont.setStrikeOut(cell.struck);
            const QRectF box(x + mm(cellPaddingMm), m_y + mm(cellPaddingMm),
                             width - 2 * mm(cellPaddingMm), height - 2 * mm(cellPaddingMm));
            place({Piece::Kind::Text, box, cell.text, cellFont,
                   wrapped(cell.text, cellFont, box.width()) | int(columns.at(c).align)});
            x += width;
        }
        place({Piece::Kind::Rule, QRectF(left, m_y + height, tableWidth, 0), {}, {}, 0});
    }
    bool fits(double height) const { return m_y + height <= m_bottom; }
    // A new page when the block does not fit; a block taller than a page starts one anyway.
    void ensure(double height) {
        if (!fits(height) && !m_pages.last().isEmpty()) {
            newPage();
        }
    }
    void newPage() {
        m_pages.append(Page());
        m_y = m_top;
    }
    // What was placed from the mark on goes to the top of a new page.
    void carryOver(const Mark &from) {
        Page &page = m_pages.last();
        Page moved = page.mid(from.piece);
        page.resize(from.piece);
        const double shift = m_top - from.y;
        for (Piece &piece : moved) {
            piece.rect.translate(0, shift);
        }
        m_pages.append(moved);
        m_y += shift;
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
    if (!v.signing.venue.isEmpty()) {
        layout.paragraph(QStringLiteral("Luogo dell'estrazione: %1").arg(v.signing.venue),
                         layout.font(10), Qt::AlignHCenter);
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
        const Prize &prize = v.prizes.at(i);
        rows.append({{QString::number(i + 1)},
                     {prize.name},
                     {orDash(Verbale::valueText(prize.value))},
                     {prize.value.isEmpty() ? QStringLiteral("—")
                      : prize.wholeToEach   ? QStringLiteral("il valore intero a ciascuna")
                                            : QStringLiteral("il valore diviso fra loro")}});
    }
    layout.table({{QStringLiteral("N."), 0.08, Qt::AlignRight},
                  {QStringLiteral("Premio"), 0.2},
                  {QStringLiteral("Valore"), 0.34},
                  {QStringLiteral("Vinto da più cartelle"), 0.38}},
                 rows);
}

// How a number came, in a word that fits the draw's narrow columns.
QString shortSource(DrawSource source) {
    return source == DrawSource::Computer ? QStringLiteral("computer")
                                          : Verbale::sourceText(source);
}

// Every line of the draw log in three columns: its place in the draw, the number, the time
// and how it came. A number taken back keeps its line, struck through with no place, and is
// said again under the table with the time it was taken back.
void draws(Layout &layout, const Verbale &v) {
    int standing = 0;
    QList<Row> rows;
    QStringList takenBack;
    for (const DrawLogEntry &entry : v.draws) {
        const bool back = entry.takenBack();
        rows.append({{back ? QStringLiteral("—") : QString::number(++standing)},
                     {QString::number(entry.number), back},
                     {clockTime(entry.drawnAt), back},
                     {shortSource(entry.source), back}});
        if (back) {
            takenBack.append(
                QStringLiteral("il %1, segnato alle %2, annullato alle %3")
                    .arg(entry.number)
                    .arg(orDash(clockTime(entry.drawnAt)), orDash(clockTime(entry.takenBackAt))));
        }
    }
    layout.section(
        QStringLiteral("Numeri estratti: %1 (annullati: %2)").arg(standing).arg(takenBack.size()));
    if (rows.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessun numero estratto."), layout.font(bodyPoints));
        return;
    }
    layout.flowTable({{QStringLiteral("Estr."), 0.18, Qt::AlignRight},
                      {QStringLiteral("Num."), 0.2, Qt::AlignHCenter},
                      {QStringLiteral("Ora"), 0.3},
                      {QStringLiteral("Modo"), 0.32}},
                     rows, 3, 8);
    if (!takenBack.isEmpty()) {
        layout.paragraph(QStringLiteral("Numeri annullati (barrati nella tabella): %1.")
                             .arg(takenBack.join(QStringLiteral("; "))),
                         layout.font(bodyPoints));
    }
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

void claims(Layout &layout, const Verbale &v) {
    layout.section(QStringLiteral("Verifiche delle vincite"));
    if (v.claims.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessuna verifica registrata."), layout.font(bodyPoints));
        return;
    }
    QList<Row> rows;
    for (int i = 0; i < v.claims.size(); ++i) {
        const ClaimCheck &claim = v.claims.at(i);
        rows.append({{clockTime(claim.checked)},
                     {runText(claim.run)},
                     {QStringLiteral("N. %1").arg(v.claimPrinted.value(i))},
                     {claim.verdict}});
    }
    layout.table({{QStringLiteral("Ora"), 0.12},
                  {QStringLiteral("Corsa"), 0.09, Qt::AlignHCenter},
                  {QStringLiteral("Cartella"), 0.13},
                  {QStringLiteral("Esito"), 0.66}},
                 rows);
}

// One line per prize given: what each card gets, the cards together (as printed, with run and
// archive card), the draw at which they reached it and when it was given.
void awards(Layout &layout, const Verbale &v) {
    layout.section(QStringLiteral("Premi assegnati"));
    QList<Row> rows;
    // A prize given by mistake and taken back stays in the record, in a sentence of its own.
    QStringList takenBack;
    for (const Verbale::AwardLine &award : v.awards) {
        QStringList cards;
        for (int i = 0; i < award.cards.size(); ++i) {
            const AwardedCard &card = award.cards.at(i);
            cards.append(QStringLiteral("N. %1 (corsa %2, archivio %3)")
                             .arg(award.printed.value(i), runText(card.run))
                             .arg(card.archiveCard));
        }
        if (award.takenBack.isValid()) {
            takenBack.append(QStringLiteral("%1 a %2, assegnato alle %3 e ritirato alle %4")
                                 .arg(award.prize, cards.join(QStringLiteral(", ")),
                                      clockTime(award.awarded), clockTime(award.takenBack)));
            continue;
        }
        const int reachedAt = award.cards.isEmpty() ? 0 : award.cards.first().reachedAt;
        const int number = numberAt(v, reachedAt);
        rows.append(
            {{award.prize},
             {orDash(Verbale::shareText(award.value, award.wholeToEach, int(award.cards.size())))},
             {cards.join(QStringLiteral(", "))},
             {number > 0 ? QStringLiteral("%1ª, il %2").arg(reachedAt).arg(number)
                         : QStringLiteral("%1ª").arg(reachedAt)},
             {clockTime(award.awarded)}});
    }
    if (rows.isEmpty()) {
        layout.paragraph(QStringLiteral("Nessun premio assegnato."), layout.font(bodyPoints));
    } else {
        layout.table({{QStringLiteral("Premio"), 0.13},
                      {QStringLiteral("Valore"), 0.25},
                      {QStringLiteral("Cartelle"), 0.36},
                      {QStringLiteral("Estrazione"), 0.14},
                      {QStringLiteral("Assegnato"), 0.12}},
                     rows);
    }
    if (!takenBack.isEmpty()) {
        layout.paragraph(QStringLiteral("Premi assegnati per errore e ritirati: %1.")
                             .arg(takenBack.join(QStringLiteral("; "))),
                         layout.font(bodyPoints));
    }
}

// The money of the game: the prizes given against the takings of the cards in play. A prize
// whose value is no amount, or has none, is named rather than counted.
void totals(Layout &layout, const Verbale &v) {
    qint64 given = 0;
    QStringList notCounted;
    for (const Verbale::AwardLine &award : v.awards) {
        if (award.takenBack.isValid()) {
            continue; // given by mistake: not paid
        }
        const std::optional<qint64> cents =
            Verbale::givenCents(award.value, award.wholeToEach, int(award.cards.size()));
        if (cents) {
            given += *cents;
        } else {
            notCounted.append(award.value.isEmpty()
                                  ? QStringLiteral("%1 (senza valore)").arg(award.prize)
                                  : QStringLiteral("%1 (%2)").arg(award.prize, award.value));
        }
    }
    QList<Row> rows{{{QStringLiteral("Premi assegnati in denaro")}, {EveningStore::money(given)}}};
    if (v.sold.isEmpty()) {
        rows.append(
            {{QStringLiteral("Incasso delle cartelle in gioco: nessuna vendita registrata")},
             {QStringLiteral("—")}});
    } else {
        rows.append(
            {{QStringLiteral("Incasso delle cartelle in gioco (%1 cartelle)").arg(v.soldCount)},
             {EveningStore::money(v.takingsCents)}});
        const qint64 rest = v.takingsCents - given;
        rows.append({{QStringLiteral("Incasso meno premi assegnati")},
                     {rest < 0 ? QStringLiteral("-%1").arg(EveningStore::money(-rest))
                               : EveningStore::money(rest)}});
    }
    if (!notCounted.isEmpty()) {
        rows.append({{QStringLiteral("Premi assegnati non in denaro, non contati: %1")
                          .arg(notCounted.join(QStringLiteral(", ")))},
                     {}});
    }
    layout.table(
        {{QStringLiteral("Totali"), 0.75}, {QStringLiteral("Importo"), 0.25, Qt::AlignRight}},
        rows);
}

// "Velmora, 07/12/2026": the place entered for the evening, or a line to write it on, and the
// evening's date (the game's, outside an evening).
QString placeAndDate(const Verbale &v) {
    const QDate date = v.eveningDate.isValid() ? v.eveningDate : v.started.toLocalTime().date();
    return QStringLiteral("%1, %2").arg(
        v.signing.place.isEmpty() ? QStringLiteral("______________________") : v.signing.place,
        date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy"))
                       : QStringLiteral("___/___/______"));
}

QList<Page> layOut(const Verbale &v, const QPaintDevice &device) {
    Layout layout(device);
    heading(layout, v);
    archivesAndRuns(layout, v);
    cardsAndPrizes(layout, v);
    draws(layout, v);
    claims(layout, v);
    const Layout::Mark awardsStart = layout.mark();
    awards(layout, v);
    const Layout::Mark totalsStart = layout.mark();
    totals(layout, v);
    layout.signatures(QStringLiteral("Letto, confermato e sottoscritto."), placeAndDate(v),
                      v.signing.signers, {awardsStart, totalsStart});
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
