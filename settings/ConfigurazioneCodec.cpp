#include "settings/ConfigurazioneCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

constexpr const char *codePage = "windows-1252";
constexpr char unmappable = '?';
constexpr char substituteByte = 0x1A; // what the encoder writes for a character it lacks

class Writer {
public:
    Writer() { m_bytes.reserve(Configurazione::recordSize); }

    void int16(qint16 value) { append(qToLittleEndian(value)); }
    void int32(qint32 value) { append(qToLittleEndian(value)); }
    void float32(float value) {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        append(qToLittleEndian(bits));
    }
    template <int Width> void text(const FixedText<Width> &value) {
        m_bytes += ConfigurazioneCodec::encodeText(value.padded(), Width);
    }
    void raw(const QByteArray &value, int width) {
        QByteArray field = value.left(width);
        field.append(width - field.size(), ' ');
        m_bytes += field;
    }
    QByteArray bytes() const { return m_bytes; }

private:
    template <typename T> void append(T value) {
        m_bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
    }
    QByteArray m_bytes;
};

class Reader {
public:
    // Fields that bytes does not reach at all are read from fallback (a whole record).
    Reader(QByteArrayView bytes, const QByteArray &fallback)
        : m_bytes(bytes.first(std::min<qsizetype>(bytes.size(), Configurazione::recordSize))
                      .toByteArray()),
          m_covered(int(m_bytes.size())), m_fallback(fallback) {
        m_bytes.append(Configurazione::recordSize - m_bytes.size(), '\0');
    }

    qint16 int16() { return qFromLittleEndian<qint16>(take(2).constData()); }
    qint32 int32() { return qFromLittleEndian<qint32>(take(4).constData()); }
    float float32() {
        const quint32 bits = qFromLittleEndian<quint32>(take(4).constData());
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    template <int Width> void text(FixedText<Width> &field) {
        field = ConfigurazioneCodec::decodeText(take(Width));
    }
    QByteArray raw(int width) { return take(width); }

private:
    QByteArray take(int size) {
        // A field cut short keeps the bytes the input has; one it lacks altogether is the
        // fallback's.
        const bool covered = m_offset < m_covered || m_fallback.isEmpty();
        const QByteArray part = (covered ? m_bytes : m_fallback).mid(m_offset, size);
        m_offset += size;
        return part;
    }
    QByteArray m_bytes;
    int m_covered = 0;
    QByteArray m_fallback;
    int m_offset = 0;
};

} // namespace

QByteArray ConfigurazioneCodec::encodeText(const QString &text, int width) {
    QByteArray out;
    out.reserve(width);
    QStringEncoder encoder(codePage);
    for (const QChar c : text) {
        if (out.size() == width) {
            break;
        }
        const QByteArray one = encoder(QStringView(&c, 1));
        const bool lost = one.size() != 1 || (one.at(0) == substituteByte && c.unicode() != 0x1A);
        out.append(lost ? unmappable : one.at(0));
        encoder.resetState();
    }
    out.append(width - out.size(), ' ');
    return out;
}

QString ConfigurazioneCodec::decodeText(QByteArrayView bytes) {
    QByteArray copy = bytes.toByteArray();
    copy.replace('\0', ' ');
    QStringDecoder decoder(codePage);
    return decoder(copy);
}

QByteArray ConfigurazioneCodec::encode(const Configurazione &record) {
    Writer out;
    out.float32(record.ParX);
    out.float32(record.ParY);
    out.text(record.FontTombola);
    out.text(record.Titolo);
    out.text(record.Frase1);
    out.text(record.Frase2);
    out.int16(record.Orientamento);
    out.int16(record.Dimensione);
    out.int16(record.Grassetto);
    out.int16(record.Corsivo);
    out.text(record.Ditta);
    out.raw(record.Riservato, Configurazione::reservedSize);
    out.text(record.Via);
    out.text(record.Tel);
    out.int16(record.PrimaCartella);
    for (const qint32 colour :
         {record.ColoreTitolo, record.ColoreNumeroCartella, record.ColoreLineaSottile,
          record.ColoreLineaGrossa, record.ColoreGriglia, record.ColoreBordo, record.ColoreFrase,
          record.ColorePrimaCinquina, record.ColoreSecondaCinquina, record.ColoreTerzaCinquina}) {
        out.int32(colour);
    }
    Q_ASSERT(out.bytes().size() == Configurazione::recordSize);
    return out.bytes();
}

Configurazione ConfigurazioneCodec::decode(QByteArrayView bytes) {
    return decode(bytes, QByteArray());
}

Configurazione ConfigurazioneCodec::decode(QByteArrayView bytes, const Configurazione &uncovered) {
    return decode(bytes, encode(uncovered));
}

Configurazione ConfigurazioneCodec::decode(QByteArrayView bytes, const QByteArray &fallback) {
    Reader in(bytes, fallback);
    Configurazione record;
    record.ParX = in.float32();
    record.ParY = in.float32();
    in.text(record.FontTombola);
    in.text(record.Titolo);
    in.text(record.Frase1);
    in.text(record.Frase2);
    record.Orientamento = in.int16();
    record.Dimensione = in.int16();
    record.Grassetto = in.int16();
    record.Corsivo = in.int16();
    in.text(record.Ditta);
    record.Riservato = in.raw(Configurazione::reservedSize);
    in.text(record.Via);
    in.text(record.Tel);
    record.PrimaCartella = in.int16();
    for (qint32 *colour :
         {&record.ColoreTitolo, &record.ColoreNumeroCartella, &record.ColoreLineaSottile,
          &record.ColoreLineaGrossa, &record.ColoreGriglia, &record.ColoreBordo,
          &record.ColoreFrase, &record.ColorePrimaCinquina, &record.ColoreSecondaCinquina,
          &record.ColoreTerzaCinquina}) {
        *colour = in.int32();
    }
    return record;
}

} // namespace velmora
