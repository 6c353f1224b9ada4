#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// The shape of every message line of both programs: one sentence, starting with a capital and
// ending with one full stop. Reasons built elsewhere (a system error, a library's refusal) are
// put inside such a sentence as a clause.
class Sentence {
public:
    // text as one whole sentence: its first letter a capital, one full stop at its end (a
    // question or an exclamation keeps its own mark).
    static QString whole(QStringView text);
    // text to follow a colon inside a sentence: its first letter small unless it begins a name
    // in capitals ("PDF"), and no full stop at its end.
    static QString clause(QStringView text);
};

} // namespace velmora
