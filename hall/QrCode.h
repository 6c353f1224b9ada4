#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace velmora {

// The QR code of a short text (the address phones type to follow the board), with medium error
// correction so that a code shown on a screen still reads from the back of the hall.
class QrCode {
public:
    // The most bytes of ASCII one code holds with medium correction, in its largest version;
    // of a text beyond ASCII, one byte fewer (the mark that says the text is UTF-8).
    static constexpr int maxBytes = 2331;
    // The white border the readers need around the code, in modules.
    static constexpr int quietZone = 4;

    // The code of text's UTF-8 bytes. Refuses (nothing, and *refusal says why in Italian) an
    // empty text or one too long for any code.
    static std::optional<QrCode> make(const QString &text, QString *refusal);

    int version() const { return m_version; }
    // Modules along each side, without the quiet zone.
    int size() const { return m_size; }
    // Whether the module at column x, row y is dark; outside the code it is not.
    bool dark(int x, int y) const;
    // Black on white, each module pixelsPerModule pixels, with the quiet zone all round.
    QImage image(int pixelsPerModule) const;

private:
    QrCode(int version, int size, std::vector<bool> modules);

    int m_version = 0;
    int m_size = 0;
    std::vector<bool> m_modules; // row by row
};

} // namespace velmora
