#include "ui/QbCaption.h"

namespace velmora {
namespace {
const QChar ampersand(u'&');
} // namespace

QbCaption::QbCaption(const QString &caption) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) != ampersand) {
            m_text += caption.at(i);
            continue;
        }
        if (i + 1 >= caption.size()) {
            break; // a lone ampersand at the end marks nothing
        }
        if (caption.at(i + 1) == ampersand) {
            m_text += ampersand;
        } else if (!caption.at(i + 1).isSpace()) {
            m_accessIndex = static_cast<int>(m_text.size());
            m_text += caption.at(i + 1);
        } else {
            m_text += caption.at(i + 1);
        }
        ++i;
    }
}

QChar QbCaption::accessKey() const {
    return m_accessIndex < 0 ? QChar() : m_text.at(m_accessIndex).toUpper();
}

QString QbCaption::mnemonicText() const {
    QString result;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (i == m_accessIndex) {
            result += ampersand;
        }
        result += m_text.at(i);
        if (m_text.at(i) == ampersand) {
            result += ampersand;
        }
    }
    return result;
}

} // namespace velmora
