#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <span>

namespace velmora {

// Turns a field of the card archive from its stored form into its text: every byte becomes
// 255 minus itself. The same operation scrambles a text back, so it also encodes.
QByteArray DecodificaCampo(QByteArrayView stored);
// In place, for the record reader: no allocation.
void DecodificaCampo(char *field, qsizetype size);

// One card of the archive, decoded: 27 cells of two characters in column order (cell k is
// column k / 3, row k % 3) and the five-character archive number. Text is held as the 8-bit
// bytes of the archive (windows-1252) so reading a card allocates nothing; accessors convert.
class RecordCartella {
public:
    static constexpr int columns = 9;
    static constexpr int rows = 3;
    static constexpr int cellCount = columns * rows;
    static constexpr int cellWidth = 2;
    static constexpr int numeroWidth = 5;
    static constexpr int numeroOffset = cellCount * cellWidth;    // 54
    static constexpr int recordSize = numeroOffset + numeroWidth; // 59

    // A blank card: every cell two blanks, a blank archive number.
    RecordCartella();
    static RecordCartella blank() { return {}; }

    // Decodes a stored record. Bytes missing at the end (a short last record) read as blanks.
    static RecordCartella fromStored(QByteArrayView stored);
    // The stored (scrambled) 59 bytes of this record.
    QByteArray toStored() const;
    void writeStored(std::span<char, recordSize> out) const;

    static constexpr int cellIndex(int column, int row) { return column * rows + row; }

    QString cellText(int k) const;
    QString cell(int column, int row) const { return cellText(cellIndex(column, row)); }
    // Numeric value of cell k, by the rule of cellValue(QString), without building a string.
    int cellNumber(int k) const;
    bool isFilled(int k) const { return cellNumber(k) > 0; }
    QString numeroArchivio() const;
    // The raw 8-bit text of cell k (two bytes) and of the archive number (five).
    QByteArrayView cellBytes(int k) const { return {m_text.data() + k * cellWidth, cellWidth}; }
    QByteArrayView numeroBytes() const { return {m_text.data() + numeroOffset, numeroWidth}; }

    // Texts longer than the field are cut, shorter ones padded with blanks on the right;
    // characters without a windows-1252 byte are stored as '?'.
    void setCellText(int k, const QString &text);
    // A number 1..99 as the archive writes it: right-aligned in two characters; 0 empties it.
    void setCellNumber(int k, int number);
    void setNumeroArchivio(const QString &text);

    // The numeric value of a cell's text: leading blanks skipped, then the digits up to the
    // first other character; no digits gives 0. A cell is filled when its value is above 0.
    static int cellValue(const QString &text);

    bool operator==(const RecordCartella &other) const = default;

private:
    std::array<char, recordSize> m_text{};
};

} // namespace velmora
