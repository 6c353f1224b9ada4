#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace velmora {

// Text from a file or the command line made safe to put in a message line: what cannot be
// shown (control characters, bytes that are not UTF-8) is written as \xNN, so a damaged record
// never puts a NUL, a newline or a terminal escape into a message.
class ShownText {
public:
    // Every character below a space, DEL and the C1 controls (0x80-0x9F) as \xNN; a backslash
    // is doubled, so the escaped form reads back unambiguously.
    static QString escaped(QStringView text);
    // Bytes as UTF-8 where they are, each other byte as \xNN, and escaped() as above.
    static QString fromBytes(QByteArrayView bytes);
};

} // namespace velmora
