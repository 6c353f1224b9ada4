#include "common/Sentence.h"

namespace velmora {
namespace {

// Where the first letter is, past opening quotes and brackets; -1 when the text starts with
// something else (a number, an option such as "--cartelle"), which is kept as written.
qsizetype firstLetter(const QString &text) {
    static const QString opening = QStringLiteral("\"'(«“");
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isLetter()) {
            return i;
        }
        if (!opening.contains(text[i])) {
            return -1;
        }
    }
    return -1;
}

QString withoutEndingStops(QStringView text) {
    QString result = text.trimmed().toString();
    while (result.endsWith(u'.') && !result.endsWith(QStringLiteral("..."))) {
        result.chop(1);
    }
    return result.trimmed();
}

} // namespace

QString Sentence::whole(QStringView text) {
    QString result = withoutEndingStops(text);
    if (result.isEmpty()) {
        return result;
    }
    if (const qsizetype at = firstLetter(result); at >= 0) {
        result[at] = result[at].toUpper();
    }
    if (!result.endsWith(u'?') && !result.endsWith(u'!') && !result.endsWith(u'.')) {
        result.append(u'.');
    }
    return result;
}

QString Sentence::clause(QStringView text) {
    QString result = withoutEndingStops(text);
    const qsizetype at = firstLetter(result);
    // "PDF", "SQLite": a word whose second letter is a capital too is a name, kept as it is.
    const bool name = at >= 0 && at + 1 < result.size() && result[at + 1].isUpper();
    if (at >= 0 && !name) {
        result[at] = result[at].toLower();
    }
    return result;
}

} // namespace velmora
