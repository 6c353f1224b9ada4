#include "common/ShownText.h"

namespace velmora {
namespace {

QString hexByte(uint value) {
    return QStringLiteral("\\x") +
           QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// The length of the well-formed UTF-8 sequence starting at bytes[i], 0 when there is none.
qsizetype sequenceAt(QByteArrayView bytes, qsizetype i) {
    const auto at = [&bytes](qsizetype k) { return uchar(bytes[k]); };
    const uchar lead = at(i);
    qsizetype length = 0;
    uchar low = 0x80;
    uchar high = 0xbf;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;  // no overlong forms
        high = lead == 0xed ? 0x9f : 0xbf; // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (qsizetype k = i + 2; k < i + length; ++k) {
        if (at(k) < 0x80 || at(k) > 0xbf) {
            return 0;
        }
    }
    return length;
}

} // namespace

QString ShownText::escaped(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\') {
            shown += QStringLiteral("\\\\");
        } else if (isControl(c.unicode())) {
            shown += hexByte(c.unicode());
        } else {
            shown += c;
        }
    }
    return shown;
}

QString ShownText::fromBytes(QByteArrayView bytes) {
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = sequenceAt(bytes, i);
        if (length == 0) {
            shown += hexByte(uchar(bytes[i]));
            ++i;
        } else {
            shown += escaped(QString::fromUtf8(bytes.sliced(i, length)));
            i += length;
        }
    }
    return shown;
}

} // namespace velmora
