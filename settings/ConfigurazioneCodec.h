#pragma once

#include "settings/Configurazione.h"

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
    // The same, but a field that a shorter input does not reach at all keeps its value in
    // uncovered (the defaults, for a settings file cut short); a field cut in the middle keeps
    // the bytes there are, so a save gives them all back.
    static Configurazione decode(QByteArrayView bytes, const Configurazione &uncovered);

    // One fixed-width text field: padded with spaces or cut; a character that windows-1252
    // cannot hold becomes '?'.
    static QByteArray encodeText(const QString &text, int width);
    static QString decodeText(QByteArrayView bytes);

private:
    static Configurazione decode(QByteArrayView bytes, const QByteArray &fallback);
};

} // namespace velmora
