#include "hall/QrCode.h"

#include <qrencode.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace velmora {

namespace {

struct QrFree {
    void operator()(QRcode *code) const { QRcode_free(code); }
};

struct InputFree {
    void operator()(QRinput *input) const { QRinput_free(input); }
};

bool isAscii(const QByteArray &bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The UTF-8 mark takes a byte and a half of the largest code.
int mostBytes(bool ascii) {
    return ascii ? QrCode::maxBytes : QrCode::maxBytes - 1;
}

QString tooLong(qsizetype bytes, bool ascii) {
    return QStringLiteral("Il testo è troppo lungo per un codice QR: %1 byte, al massimo %2.")
        .arg(bytes)
        .arg(mostBytes(ascii));
}

// Every byte as it is (8-bit mode), in the smallest version that holds it. Readers take 8-bit
// data for Latin-1 unless told otherwise, so a text beyond ASCII says first that it is UTF-8
// (ECI 26); an address, all ASCII, is left as every reader reads it. Null with errno set on
// failure (ERANGE: too long for any version).
std::unique_ptr<QRcode, QrFree> encode(const QByteArray &bytes, bool ascii) {
    errno = 0;
    const std::unique_ptr<QRinput, InputFree> input(QRinput_new2(0, QR_ECLEVEL_M));
    if (!input) {
        return nullptr;
    }
    constexpr unsigned int utf8Designator = 26;
    if (!ascii && QRinput_appendECIheader(input.get(), utf8Designator) != 0) {
        return nullptr;
    }
    if (QRinput_append(input.get(), QR_MODE_8, int(bytes.size()),
                       reinterpret_cast<const unsigned char *>(bytes.data())) != 0) {
        return nullptr;
    }
    return std::unique_ptr<QRcode, QrFree>(QRcode_encodeInput(input.get()));
}

} // namespace

QrCode::QrCode(int version, int size, std::vector<bool> modules)
    : m_version(version), m_size(size), m_modules(std::move(modules)) {}

std::optional<QrCode> QrCode::make(const QString &text, QString *refusal) {
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty()) {
        *refusal = QStringLiteral("Non c'è nessun testo da mettere nel codice QR.");
        return std::nullopt;
    }
    const bool ascii = isAscii(bytes);
    if (bytes.size() > mostBytes(ascii)) {
        *refusal = tooLong(bytes.size(), ascii);
        return std::nullopt;
    }
    const std::unique_ptr<QRcode, QrFree> code = encode(bytes, ascii);
    if (!code) {
        *refusal = errno == ERANGE ? tooLong(bytes.size(), ascii)
                                   : QStringLiteral("Il codice QR non si è potuto comporre: %1.")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    const int size = code->width;
    std::vector<bool> modules(std::size_t(size) * std::size_t(size));
    for (std::size_t i = 0; i < modules.size(); ++i) {
        modules[i] = (code->data[i] & 1) != 0; // the lowest bit is the module's colour
    }
    return QrCode(code->version, size, std::move(modules));
}

bool QrCode::dark(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_size || y >= m_size) {
        return false;
    }
    return m_modules[std::size_t(y) * std::size_t(m_size) + std::size_t(x)];
}

QImage QrCode::image(int pixelsPerModule) const {
    const int scale = qMax(1, pixelsPerModule);
    const int side = (m_size + 2 * quietZone) * scale;
    QImage picture(side, side, QImage::Format_Grayscale8);
    picture.fill(Qt::white);
    for (int y = 0; y < side; ++y) {
        uchar *line = picture.scanLine(y);
        for (int x = 0; x < side; ++x) {
            if (dark(x / scale - quietZone, y / scale - quietZone)) {
                line[x] = 0;
            }
        }
    }
    return picture;
}

} // namespace velmora
