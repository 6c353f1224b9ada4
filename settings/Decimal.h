#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <compare>
#include <optional>
#include <string>

namespace velmora {

// An exact decimal number of any length, for the numbers typed into the boxes. A box takes
// any run of digits, so its arithmetic must neither overflow nor lose digits: forty nines
// plus one is a one followed by forty zeros, not an approximation.
class Decimal {
public:
    Decimal() = default; // zero
    explicit Decimal(qint64 value);

    // The number at the start of a text: leading blanks, an optional sign, digits, and a
    // point as decimal separator ("12abc" is 12, ".5" is 0.5, "1.2.3" is 1.2). Nothing when
    // the text does not start with a number (the empty text included).
    static std::optional<Decimal> leadingNumber(QStringView text);
    // The value of a box: its leading number, or 0 when there is none.
    static Decimal fromText(QStringView text);

    // Whole numbers as plain decimal text ("-12"); others with a point and no trailing zeros
    // ("2.5", "-0.25").
    QString toString() const;

    bool isZero() const { return m_digits.empty(); }
    bool isNegative() const { return m_negative; }
    bool isWhole() const { return m_scale == 0; }

    Decimal operator-() const;
    friend Decimal operator+(const Decimal &a, const Decimal &b);
    friend Decimal operator-(const Decimal &a, const Decimal &b);
    // The product with a small non-negative whole factor (cards per page, at most a few).
    Decimal multipliedBy(int factor) const;
    // The smallest whole number not below this / divisor, for a positive divisor.
    Decimal ceilDividedBy(int divisor) const;
    // The nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
    Decimal roundedHalfEven() const;

    // The value as a 64-bit integer when it is whole and has at most 18 digits.
    std::optional<qint64> toInt64() const;
    // Rounded half to even, when the result fits a signed 16-bit field.
    std::optional<qint16> roundedToInt16() const;
    // The nearest double; an infinity for a number beyond its range.
    double toDouble() const;

    friend std::strong_ordering operator<=>(const Decimal &a, const Decimal &b);
    friend bool operator==(const Decimal &a, const Decimal &b) = default;

private:
    void normalise();
    std::string integerDigits() const;
    std::string fractionDigits() const;

    // Kept normalised: no leading zeros in m_digits, no trailing zeros after the point, and
    // zero is never negative, so equal values have equal members.
    bool m_negative = false;
    std::string m_digits; // the magnitude's digits, most significant first; empty for zero
    int m_scale = 0;      // how many of them lie after the point
};

} // namespace velmora
