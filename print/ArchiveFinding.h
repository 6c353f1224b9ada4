#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// The rules a card archive is checked against.
enum class ArchiveRule {
    CellNotNumber,    // a cell's text is neither blank nor a number
    NumberOutOfRange, // a number outside 1..90
    WrongColumn,      // a number outside its decade's column
    ColumnCount,      // a column holding no number, or more than 3
    ColumnOrder,      // numbers of a column not rising from top to bottom
    RowCount,         // a row without exactly 5 numbers
    CardCount,        // a card without exactly 15 numbers
    DuplicateInCard,  // a number twice on one card
    ArchiveNumber,    // an archive number that is not a number
    SeriesMissing,    // a series of six cards lacking a number of 1..90
    SeriesRepeated,   // a series of six cards holding a number twice
    DuplicateCard,    // two cards of the archive with the same fifteen numbers
    IncompleteRecord, // the file ends in a short record
    EmptyArchive,     // the file holds no card at all
};

// One breach of a rule: where it is, and the Italian text that says it to the user.
// column and row count from 0 and are -1 where they do not apply, number is 0 likewise.
struct ArchiveFinding {
    qint64 card = 0;
    ArchiveRule rule = ArchiveRule::CardCount;
    int number = 0;
    int column = -1;
    int row = -1;
    QString message;
};

} // namespace velmora
