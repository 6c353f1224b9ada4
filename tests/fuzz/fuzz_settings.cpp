// Any bytes decode to a settings record; encoding it gives 307 bytes that decode to the same
// record, and those are the input's own bytes (zero bytes in a text field aside, which read as
// blanks). Through the file too: any file contents load, and the file saved loads back alike
// with the bytes after the record kept.

#include "FuzzCheck.h"
#include "settings/ConfigurazioneCodec.h"
#include "settings/SettingsFile.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

using velmora::Configurazione;
using velmora::ConfigurazioneCodec;
using velmora::SettingsFile;

namespace {

// Where each text field lies in the record: offset and width.
constexpr std::array<std::pair<int, int>, 7> textFields{{
    {8, 30},   // FontTombola
    {38, 30},  // Titolo
    {68, 40},  // Frase1
    {108, 40}, // Frase2
    {156, 30}, // Ditta
    {202, 33}, // Via
    {235, 30}, // Tel
}};

// Records compared field by field, floats by their bits: a stored NaN must survive too.
bool sameRecord(const Configurazione &a, const Configurazione &b) {
    Configurazione x = a;
    Configurazione y = b;
    if (std::memcmp(&x.ParX, &y.ParX, sizeof x.ParX) != 0 ||
        std::memcmp(&x.ParY, &y.ParY, sizeof x.ParY) != 0) {
        return false;
    }
    x.ParX = y.ParX = 0;
    x.ParY = y.ParY = 0;
    return x == y;
}

QByteArray expectedRecordBytes(const QByteArray &input) {
    QByteArray expected = input.left(Configurazione::recordSize);
    expected.append(Configurazione::recordSize - expected.size(), '\0');
    for (const auto &[offset, width] : textFields) {
        for (int i = offset; i < offset + width; ++i) {
            if (expected.at(i) == '\0') {
                expected[i] = ' ';
            }
        }
    }
    return expected;
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

void checkCodec(const QByteArray &input) {
    const Configurazione decoded = ConfigurazioneCodec::decode(input);
    const QByteArray encoded = ConfigurazioneCodec::encode(decoded);
    FUZZ_CHECK(encoded.size() == Configurazione::recordSize);
    FUZZ_CHECK(encoded == expectedRecordBytes(input));
    const Configurazione again = ConfigurazioneCodec::decode(encoded);
    FUZZ_CHECK(sameRecord(again, decoded));
    FUZZ_CHECK(ConfigurazioneCodec::encode(again) == encoded);
}

void checkFile(const QByteArray &input) {
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(SettingsFile::fileName));
    writeFile(path, input);

    SettingsFile file(path);
    Configurazione loaded;
    const SettingsFile::LoadResult result = file.load(loaded);
    FUZZ_CHECK(result.outcome == SettingsFile::LoadOutcome::Loaded);
    FUZZ_CHECK(result.error.isEmpty());

    const SettingsFile::SaveResult saved = file.save(loaded);
    FUZZ_CHECK(saved.ok && saved.error.isEmpty());
    const QByteArray written = readFile(path);
    FUZZ_CHECK(written.left(Configurazione::recordSize) == ConfigurazioneCodec::encode(loaded));
    FUZZ_CHECK(written.mid(Configurazione::recordSize) == input.mid(Configurazione::recordSize));

    Configurazione reloaded;
    FUZZ_CHECK(SettingsFile(path).load(reloaded).outcome == SettingsFile::LoadOutcome::Loaded);
    FUZZ_CHECK(sameRecord(reloaded, loaded));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkCodec(input);
    checkFile(input);
    return 0;
}
