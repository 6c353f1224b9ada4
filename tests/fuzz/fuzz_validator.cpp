// The archive validator on any archive bytes: no crash, every finding placed on a card of the
// archive with an Italian text, and its verdict on each card agreeing with a plain reading of
// the card as the card drawing reads it (a cell is a number when its value is above 0; a card
// is sound when it has 15 numbers, 5 a row, each in its decade's column rising downwards, no
// number twice, and no cell holding anything but blanks and digits).
//
// Input: the archive file's contents (stored, scrambled records of 59 bytes).

#include "FuzzCheck.h"
#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"
#include "print/RecordCartella.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>

using velmora::ArchiveFinding;
using velmora::ArchiveRule;
using velmora::ArchiveValidator;
using velmora::CardArchive;
using velmora::RecordCartella;

namespace {

constexpr int size = RecordCartella::recordSize;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Blanks, then digits, then blanks: the only cell texts that are not a finding.
bool cleanCell(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i == text.size();
}

bool soundCard(const RecordCartella &card) {
    std::array<int, RecordCartella::rows> perRow{};
    std::array<bool, ArchiveValidator::highestNumber + 1> seen{};
    int total = 0;
    for (int column = 0; column < RecordCartella::columns; ++column) {
        int inColumn = 0;
        int above = 0;
        for (int row = 0; row < RecordCartella::rows; ++row) {
            const int k = RecordCartella::cellIndex(column, row);
            if (!cleanCell(card.cellText(k))) {
                return false;
            }
            const int n = card.cellNumber(k);
            if (n <= 0) {
                continue;
            }
            if (n > ArchiveValidator::highestNumber || ArchiveValidator::columnOf(n) != column ||
                seen[n] || n < above) {
                return false;
            }
            seen[n] = true;
            above = n;
            ++inColumn;
            ++perRow[row];
            ++total;
        }
        if (inColumn < 1 || inColumn > ArchiveValidator::maxPerColumn) {
            return false;
        }
    }
    for (const int count : perRow) {
        if (count != ArchiveValidator::numbersPerRow) {
            return false;
        }
    }
    return total == ArchiveValidator::numbersPerCard;
}

bool isCardRule(ArchiveRule rule) {
    switch (rule) {
    case ArchiveRule::CellNotNumber:
    case ArchiveRule::NumberOutOfRange:
    case ArchiveRule::WrongColumn:
    case ArchiveRule::ColumnCount:
    case ArchiveRule::ColumnOrder:
    case ArchiveRule::RowCount:
    case ArchiveRule::CardCount:
    case ArchiveRule::DuplicateInCard:
        return true;
    default:
        return false;
    }
}

void checkFinding(const ArchiveFinding &f, qint64 cards) {
    FUZZ_CHECK(f.card >= 1 && f.card <= cards + 1);
    FUZZ_CHECK(!f.message.isEmpty());
    FUZZ_CHECK(f.column >= -1 && f.column < RecordCartella::columns);
    FUZZ_CHECK(f.row >= -1 && f.row < RecordCartella::rows);
    FUZZ_CHECK(f.number >= 0 && f.number <= 99);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t length) {
    const QByteArray contents(reinterpret_cast<const char *>(data), static_cast<qsizetype>(length));
    const qint64 cards = contents.size() / size;

    ArchiveValidator validator;
    for (qint64 n = 1; n <= cards; ++n) {
        const RecordCartella card = RecordCartella::fromStored(contents.mid((n - 1) * size, size));
        bool cardFinding = false;
        for (const ArchiveFinding &f : ArchiveValidator::checkCard(card, n)) {
            checkFinding(f, cards);
            FUZZ_CHECK(f.card == n);
            cardFinding = cardFinding || isCardRule(f.rule);
        }
        FUZZ_CHECK(cardFinding != soundCard(card));
        validator.addCard(card);
    }
    validator.finish();
    FUZZ_CHECK(validator.cardsChecked() == cards);

    // The same archive read from its file gives the same findings, and one more for a short
    // last record or for no bytes at all.
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    {
        QFile file(QDir(dir.path()).filePath(CardArchive::fileName));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(contents) == contents.size());
    }
    CardArchive archive(dir.path());
    const QList<ArchiveFinding> fromFile = ArchiveValidator::checkArchive(archive);
    const bool incomplete = contents.size() % size != 0;
    const bool empty = contents.isEmpty();
    FUZZ_CHECK(fromFile.size() ==
               validator.findings().size() + (incomplete ? 1 : 0) + (empty ? 1 : 0));
    for (qsizetype i = 0; i < validator.findings().size(); ++i) {
        FUZZ_CHECK(fromFile[i].rule == validator.findings()[i].rule);
        FUZZ_CHECK(fromFile[i].message == validator.findings()[i].message);
    }
    for (const ArchiveFinding &f : fromFile) {
        checkFinding(f, cards);
    }
    if (incomplete) {
        FUZZ_CHECK(fromFile.last().rule == ArchiveRule::IncompleteRecord);
    }
    if (empty) {
        FUZZ_CHECK(fromFile.last().rule == ArchiveRule::EmptyArchive);
    }
    return 0;
}
