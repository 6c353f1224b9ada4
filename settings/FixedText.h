#pragma once

#include <QString>

namespace velmora {

// A text of fixed width, as the settings record keeps it: assigning pads with spaces on the
// right or cuts to the width. trimmed() is the value the windows and the card drawing use.
template <int Width> class FixedText {
public:
    static constexpr int width = Width;

    FixedText() : m_text(Width, QLatin1Char(' ')) {}
    FixedText(const QString &text) { assign(text); } // NOLINT: assignment from text is the point

    FixedText &operator=(const QString &text) {
        assign(text);
        return *this;
    }

    const QString &padded() const { return m_text; }
    QString trimmed() const { return m_text.trimmed(); }
    bool operator==(const FixedText &other) const = default;

private:
    void assign(const QString &text) {
        m_text = text.left(Width);
        if (m_text.size() < Width) {
            m_text += QString(Width - m_text.size(), QLatin1Char(' '));
        }
    }

    QString m_text;
};

} // namespace velmora
