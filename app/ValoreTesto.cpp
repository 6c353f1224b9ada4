#include "app/ValoreTesto.h"

#include <QLocale>

namespace velmora {

double ValoreTesto(const QString &text) {
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') {
            compact.append(c);
        }
    }
    qsizetype end = 0;
    const auto digitsFrom = [&compact](qsizetype at) {
        while (at < compact.size() && compact.at(at).isDigit() && compact.at(at).unicode() < 128) {
            ++at;
        }
        return at;
    };
    if (end < compact.size() && (compact.at(end) == u'+' || compact.at(end) == u'-')) {
        ++end;
    }
    const qsizetype intStart = end;
    end = digitsFrom(end);
    bool anyDigit = end > intStart;
    if (end < compact.size() && compact.at(end) == u'.') {
        const qsizetype fracStart = end + 1;
        const qsizetype fracEnd = digitsFrom(fracStart);
        anyDigit = anyDigit || fracEnd > fracStart;
        end = fracEnd;
    }
    if (!anyDigit) {
        return 0;
    }
    if (end < compact.size() && (compact.at(end) == u'E' || compact.at(end) == u'e')) {
        qsizetype exp = end + 1;
        if (exp < compact.size() && (compact.at(exp) == u'+' || compact.at(exp) == u'-')) {
            ++exp;
        }
        const qsizetype expEnd = digitsFrom(exp);
        if (expEnd > exp) {
            end = expEnd;
        }
    }
    QString number = compact.left(end);
    if (number.endsWith(u'.')) {
        number.chop(1);
    }
    if (number.startsWith(u'.') || number.startsWith(u"-.") || number.startsWith(u"+.")) {
        number.insert(number.indexOf(u'.'), u'0');
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok ? value : 0;
}

} // namespace velmora
