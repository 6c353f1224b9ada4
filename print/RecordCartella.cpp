#include "print/RecordCartella.h"

#include <algorithm>
#include <limits>

namespace velmora {
namespace {

constexpr char blankByte = ' ';
constexpr char unmappableByte = '?';

// windows-1252 bytes 0x80..0x9F; the rest of the code page matches Latin-1. The five bytes the
// code page leaves undefined keep their C1 control code, as Windows itself maps them.
constexpr std::array<char16_t, 32> cp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCp1252(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x80 && b <= 0x9F) {
        return QChar(cp1252High[b - 0x80]);
    }
    return QChar(static_cast<char16_t>(b));
}

char toCp1252(QChar ch) {
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return static_cast<char>(u);
    }
    const auto *found = std::find(cp1252High.begin(), cp1252High.end(), u);
    if (found != cp1252High.end()) {
        return static_cast<char>(0x80 + (found - cp1252High.begin()));
    }
    return unmappableByte;
}

QString textOf(const char *bytes, int width) {
    QString text(width, Qt::Uninitialized);
    for (int i = 0; i < width; ++i) {
        text[i] = fromCp1252(bytes[i]);
    }
    return text;
}

void storeText(char *bytes, int width, const QString &text) {
    for (int i = 0; i < width; ++i) {
        bytes[i] = i < text.size() ? toCp1252(text.at(i)) : blankByte;
    }
}

char16_t codeOf(QChar c) {
    return c.unicode();
}
char16_t codeOf(unsigned char c) {
    return c;
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Shared by the string and the byte form of the value rule. Saturates instead of overflowing
// on absurdly long digit runs.
template <typename Sequence> int valueOf(const Sequence &text, qsizetype size) {
    qsizetype i = 0;
    while (i < size && isBlank(codeOf(text[i]))) {
        ++i;
    }
    int value = 0;
    constexpr int limit = std::numeric_limits<int>::max();
    for (; i < size && isDigit(codeOf(text[i])); ++i) {
        const int digit = codeOf(text[i]) - u'0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return value;
}

} // namespace

QByteArray DecodificaCampo(QByteArrayView stored) {
    QByteArray text(stored.data(), stored.size());
    DecodificaCampo(text.data(), text.size());
    return text;
}

void DecodificaCampo(char *field, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        field[i] = static_cast<char>(255 - static_cast<unsigned char>(field[i]));
    }
}

RecordCartella::RecordCartella() {
    m_text.fill(blankByte);
}

RecordCartella RecordCartella::fromStored(QByteArrayView stored) {
    RecordCartella record;
    const auto available = static_cast<int>(std::clamp<qsizetype>(stored.size(), 0, recordSize));
    std::copy_n(stored.data(), available, record.m_text.begin());
    // Field by field, cells first and the archive number last. Only the bytes actually read are
    // decoded: the missing part of a short record stays blank.
    char *text = record.m_text.data();
    for (int k = 0; k < cellCount; ++k) {
        const int start = k * cellWidth;
        if (start < available) {
            DecodificaCampo(text + start, std::min(cellWidth, available - start));
        }
    }
    if (available > numeroOffset) {
        DecodificaCampo(text + numeroOffset, available - numeroOffset);
    }
    return record;
}

QByteArray RecordCartella::toStored() const {
    QByteArray stored(recordSize, Qt::Uninitialized);
    writeStored(std::span<char, recordSize>(stored.data(), recordSize));
    return stored;
}

void RecordCartella::writeStored(std::span<char, recordSize> out) const {
    std::copy(m_text.begin(), m_text.end(), out.begin());
    DecodificaCampo(out.data(), recordSize);
}

QString RecordCartella::cellText(int k) const {
    Q_ASSERT(k >= 0 && k < cellCount);
    return textOf(m_text.data() + k * cellWidth, cellWidth);
}

int RecordCartella::cellNumber(int k) const {
    Q_ASSERT(k >= 0 && k < cellCount);
    const char *cell = m_text.data() + k * cellWidth;
    // Bytes above 0x7F are never blanks or digits, so the raw bytes follow the same rule.
    const std::array<unsigned char, cellWidth> bytes{static_cast<unsigned char>(cell[0]),
                                                     static_cast<unsigned char>(cell[1])};
    return valueOf(bytes, cellWidth);
}

QString RecordCartella::numeroArchivio() const {
    return textOf(m_text.data() + numeroOffset, numeroWidth);
}

void RecordCartella::setCellText(int k, const QString &text) {
    Q_ASSERT(k >= 0 && k < cellCount);
    storeText(m_text.data() + k * cellWidth, cellWidth, text);
}

void RecordCartella::setCellNumber(int k, int number) {
    Q_ASSERT(k >= 0 && k < cellCount);
    Q_ASSERT(number >= 0 && number <= 99);
    char *cell = m_text.data() + k * cellWidth;
    if (number <= 0) {
        cell[0] = cell[1] = blankByte;
        return;
    }
    cell[0] = number >= 10 ? static_cast<char>('0' + number / 10) : blankByte;
    cell[1] = static_cast<char>('0' + number % 10);
}

void RecordCartella::setNumeroArchivio(const QString &text) {
    storeText(m_text.data() + numeroOffset, numeroWidth, text);
}

int RecordCartella::cellValue(const QString &text) {
    return valueOf(text, text.size());
}

} // namespace velmora
