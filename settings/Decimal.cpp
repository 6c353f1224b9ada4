#include "settings/Decimal.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace velmora {

namespace {

constexpr int maxInt64Digits = 18; // every 18-digit magnitude fits a qint64

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Magnitudes below are digit strings without leading zeros, scaled alike (whole numbers).
int compareMagnitudes(const std::string &a, const std::string &b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string addMagnitudes(const std::string &a, const std::string &b) {
    std::string sum;
    sum.reserve(std::max(a.size(), b.size()) + 1);
    int carry = 0;
    auto i = a.rbegin();
    auto j = b.rbegin();
    while (i != a.rend() || j != b.rend() || carry != 0) {
        int d = carry;
        if (i != a.rend()) {
            d += *i++ - '0';
        }
        if (j != b.rend()) {
            d += *j++ - '0';
        }
        sum.push_back(char('0' + d % 10));
        carry = d / 10;
    }
    std::reverse(sum.begin(), sum.end());
    return sum;
}

// a - b for a >= b.
std::string subtractMagnitudes(const std::string &a, const std::string &b) {
    std::string difference;
    difference.reserve(a.size());
    int borrow = 0;
    auto j = b.rbegin();
    for (auto i = a.rbegin(); i != a.rend(); ++i) {
        int d = (*i - '0') - borrow;
        if (j != b.rend()) {
            d -= *j++ - '0';
        }
        borrow = d < 0 ? 1 : 0;
        difference.push_back(char('0' + d + 10 * borrow));
    }
    std::reverse(difference.begin(), difference.end());
    return difference;
}

// The digits of a whole magnitude increased by one.
std::string incremented(const std::string &a) {
    return addMagnitudes(a, "1");
}

} // namespace

Decimal::Decimal(qint64 value) {
    m_negative = value < 0;
    // Through the unsigned magnitude, so the most negative value does not overflow.
    quint64 magnitude = m_negative ? quint64(0) - quint64(value) : quint64(value);
    while (magnitude != 0) {
        m_digits.insert(m_digits.begin(), char('0' + magnitude % 10));
        magnitude /= 10;
    }
    normalise();
}

std::optional<Decimal> Decimal::leadingNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    Decimal result;
    bool anyDigit = false;
    while (i < text.size() && isAsciiDigit(text[i])) {
        result.m_digits.push_back(char(text[i].unicode()));
        anyDigit = true;
        ++i;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && isAsciiDigit(text[i])) {
            result.m_digits.push_back(char(text[i].unicode()));
            ++result.m_scale;
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    result.m_negative = negative;
    result.normalise();
    return result;
}

Decimal Decimal::fromText(QStringView text) {
    return leadingNumber(text).value_or(Decimal());
}

void Decimal::normalise() {
    const auto firstNonZero = m_digits.find_first_not_of('0');
    m_digits.erase(0, firstNonZero == std::string::npos ? m_digits.size() : firstNonZero);
    while (m_scale > 0 && !m_digits.empty() && m_digits.back() == '0') {
        m_digits.pop_back();
        --m_scale;
    }
    if (m_digits.empty()) {
        m_negative = false;
        m_scale = 0;
    }
}

std::string Decimal::integerDigits() const {
    const auto length = m_digits.size();
    const auto scale = std::size_t(m_scale);
    return length > scale ? m_digits.substr(0, length - scale) : std::string();
}

std::string Decimal::fractionDigits() const {
    const auto length = m_digits.size();
    const auto scale = std::size_t(m_scale);
    if (length >= scale) {
        return m_digits.substr(length - scale);
    }
    return std::string(scale - length, '0') + m_digits;
}

QString Decimal::toString() const {
    if (isZero()) {
        return QStringLiteral("0");
    }
    std::string text = m_negative ? "-" : "";
    const std::string whole = integerDigits();
    text += whole.empty() ? "0" : whole;
    if (m_scale > 0) {
        text += '.';
        text += fractionDigits();
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

Decimal Decimal::operator-() const {
    Decimal result = *this;
    result.m_negative = !m_negative;
    result.normalise();
    return result;
}

Decimal operator+(const Decimal &a, const Decimal &b) {
    // Bring both to the same scale, then add or subtract the magnitudes by sign.
    const int scale = std::max(a.m_scale, b.m_scale);
    std::string x = a.m_digits + std::string(std::size_t(scale - a.m_scale), '0');
    std::string y = b.m_digits + std::string(std::size_t(scale - b.m_scale), '0');
    if (a.isZero()) {
        x.clear();
    }
    if (b.isZero()) {
        y.clear();
    }
    Decimal result;
    result.m_scale = scale;
    if (a.m_negative == b.m_negative) {
        result.m_digits = addMagnitudes(x, y);
        result.m_negative = a.m_negative;
    } else if (compareMagnitudes(x, y) >= 0) {
        result.m_digits = subtractMagnitudes(x, y);
        result.m_negative = a.m_negative;
    } else {
        result.m_digits = subtractMagnitudes(y, x);
        result.m_negative = b.m_negative;
    }
    result.normalise();
    return result;
}

Decimal operator-(const Decimal &a, const Decimal &b) {
    return a + (-b);
}

Decimal Decimal::multipliedBy(int factor) const {
    Q_ASSERT(factor >= 0 && factor <= 1000);
    Decimal result;
    result.m_negative = m_negative;
    result.m_scale = m_scale;
    result.m_digits.reserve(m_digits.size() + 4);
    int carry = 0;
    for (auto i = m_digits.rbegin(); i != m_digits.rend(); ++i) {
        const int d = (*i - '0') * factor + carry;
        result.m_digits.push_back(char('0' + d % 10));
        carry = d / 10;
    }
    while (carry != 0) {
        result.m_digits.push_back(char('0' + carry % 10));
        carry /= 10;
    }
    std::reverse(result.m_digits.begin(), result.m_digits.end());
    result.normalise();
    return result;
}

Decimal Decimal::ceilDividedBy(int divisor) const {
    Q_ASSERT(divisor > 0 && divisor <= 1000);
    // With |x| = I + f (I whole, 0 <= f < 1) and I = q * divisor + r, |x| / divisor lies in
    // [q, q + 1), reaching past q only when r or f is not zero. So the ceiling is q (+ 1 when
    // something is left over) for a positive x, and -q for a negative one.
    Decimal quotient;
    int remainder = 0;
    for (const char c : integerDigits()) {
        const int d = remainder * 10 + (c - '0');
        quotient.m_digits.push_back(char('0' + d / divisor));
        remainder = d % divisor;
    }
    quotient.normalise();
    const bool leftOver = remainder != 0 || m_scale > 0;
    if (m_negative) {
        return -quotient;
    }
    if (leftOver) {
        quotient.m_digits = incremented(quotient.m_digits);
    }
    return quotient;
}

Decimal Decimal::roundedHalfEven() const {
    if (m_scale == 0) {
        return *this;
    }
    const std::string fraction = fractionDigits(); // no trailing zeros: "5" is exactly a half
    Decimal result;
    result.m_negative = m_negative;
    result.m_digits = integerDigits();
    const bool wholeIsOdd = !result.m_digits.empty() && (result.m_digits.back() - '0') % 2 == 1;
    const bool awayFromZero =
        fraction[0] > '5' || (fraction[0] == '5' && (fraction.size() > 1 || wholeIsOdd));
    if (awayFromZero) {
        result.m_digits = incremented(result.m_digits);
    }
    result.normalise();
    return result;
}

std::optional<qint64> Decimal::toInt64() const {
    if (m_scale != 0 || m_digits.size() > std::size_t(maxInt64Digits)) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (const char c : m_digits) {
        value = value * 10 + (c - '0');
    }
    return m_negative ? -value : value;
}

std::optional<qint16> Decimal::roundedToInt16() const {
    const auto value = roundedHalfEven().toInt64();
    if (!value || *value < std::numeric_limits<qint16>::min() ||
        *value > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return qint16(*value);
}

double Decimal::toDouble() const {
    const QByteArray text = toString().toLatin1();
    return std::strtod(text.constData(), nullptr); // HUGE_VAL beyond the range, as documented
}

std::strong_ordering operator<=>(const Decimal &a, const Decimal &b) {
    const Decimal difference = a - b;
    if (difference.isZero()) {
        return std::strong_ordering::equal;
    }
    return difference.isNegative() ? std::strong_ordering::less : std::strong_ordering::greater;
}

} // namespace velmora
