#pragma once

#include "app/Configurazione.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velmora {

// The settings record as 307 packed little-endian bytes, text in windows-1252. Decoding
// keeps every byte that the record can hold, so a file read and encoded again without edits
// comes back byte for byte.
class ConfigurazioneCodec {
public:
    // Exactly Configurazione::recordSize bytes.
    static QByteArray encode(const Configurazione &record);
    // Reads the first 307 bytes; a shorter input reads as if padded with zero bytes. A zero
    // byte inside a text field reads as a space.
    static Configurazione decode(QByteArrayView bytes);

    // One fixed-width text field: padded with spaces or cut; a character that windows-1252
    // cannot hold becomes '?'.
    static QByteArray encodeText(const QString &text, int width);
    static QString decodeText(QByteArrayView bytes);
};

} // namespace velmora
