#pragma once

#include <QtGlobal>

#include <bit>

namespace velmora {

// A set of Tombola numbers 1..90 as two 64-bit words, so that a card row is checked against the
// drawn numbers with one AND and one population count per word.
class NumberSet {
public:
    static constexpr int lowest = 1;
    static constexpr int highest = 90;

    static constexpr bool inRange(int number) { return number >= lowest && number <= highest; }

    // Numbers outside 1..90 are ignored.
    void insert(int number) {
        if (inRange(number)) {
            word(number) |= bit(number);
        }
    }
    void remove(int number) {
        if (inRange(number)) {
            word(number) &= ~bit(number);
        }
    }
    bool contains(int number) const { return inRange(number) && (word(number) & bit(number)) != 0; }
    int count() const { return std::popcount(m_low) + std::popcount(m_high); }
    bool isEmpty() const { return (m_low | m_high) == 0; }

    NumberSet operator&(const NumberSet &other) const {
        NumberSet both;
        both.m_low = m_low & other.m_low;
        both.m_high = m_high & other.m_high;
        return both;
    }
    NumberSet operator|(const NumberSet &other) const {
        NumberSet either;
        either.m_low = m_low | other.m_low;
        either.m_high = m_high | other.m_high;
        return either;
    }
    bool operator==(const NumberSet &other) const = default;

private:
    static constexpr quint64 bit(int number) { return quint64(1) << (number % 64); }
    quint64 &word(int number) { return number < 64 ? m_low : m_high; }
    quint64 word(int number) const { return number < 64 ? m_low : m_high; }

    quint64 m_low = 0;
    quint64 m_high = 0;
};

} // namespace velmora
