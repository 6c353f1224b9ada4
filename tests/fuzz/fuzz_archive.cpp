// Any archive file, any card number: the reader gives a record or throws VelmoraError with a
// number and an Italian description, nothing else. A card inside the file reads back as its
// stored bytes (a short last record padded with stored blanks); past the end, a blank card.
//
// Input: eight bytes of card number (little-endian, any sign), then the file's contents.

#include "FuzzCheck.h"
#include "errors/VelmoraError.h"
#include "print/CardArchive.h"
#include "print/RecordCartella.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <initializer_list>
#include <limits>

using velmora::CardArchive;
using velmora::RecordCartella;
using velmora::VelmoraError;

namespace {

constexpr int numberBytes = 8;
constexpr char storedBlank = char(255 - ' ');

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

// The record the reader must give for card n of a file holding contents.
RecordCartella expectedCard(const QByteArray &contents, qint64 n) {
    if (n - 1 > contents.size() / RecordCartella::recordSize) {
        return RecordCartella::blank(); // checked first: the offset of a huge n would overflow
    }
    const qint64 offset = (n - 1) * RecordCartella::recordSize;
    if (offset >= contents.size()) {
        return RecordCartella::blank();
    }
    QByteArray stored = contents.mid(offset, RecordCartella::recordSize);
    stored.append(RecordCartella::recordSize - stored.size(), storedBlank);
    return RecordCartella::fromStored(stored);
}

void readCard(CardArchive &archive, const QByteArray &contents, qint64 n) {
    try {
        const RecordCartella card = archive.read(n);
        FUZZ_CHECK(n >= 1);
        FUZZ_CHECK(card == expectedCard(contents, n));
        FUZZ_CHECK(RecordCartella::fromStored(card.toStored()) == card);
    } catch (const VelmoraError &error) {
        FUZZ_CHECK(n < 1);
        FUZZ_CHECK(error.number() == VelmoraError::BadRecordNumber);
        FUZZ_CHECK(!error.description().isEmpty());
    }
}

qint64 negated(qint64 n) {
    return n == std::numeric_limits<qint64>::min() ? std::numeric_limits<qint64>::max() : -n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < numberBytes) {
        return 0;
    }
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const qint64 cardNumber = qFromLittleEndian<qint64>(data);
    const QByteArray contents(reinterpret_cast<const char *>(data) + numberBytes,
                              static_cast<qsizetype>(size - numberBytes));
    writeFile(QDir(dir.path()).filePath(CardArchive::fileName), contents);

    CardArchive archive(dir.path());
    FUZZ_CHECK(archive.cardCount() == contents.size() / RecordCartella::recordSize);
    FUZZ_CHECK(archive.hasIncompleteLastRecord() ==
               (contents.size() % RecordCartella::recordSize != 0));
    for (const qint64 n : {cardNumber, qint64(1), archive.cardCount(), archive.cardCount() + 1,
                           negated(cardNumber)}) {
        readCard(archive, contents, n);
    }
    return 0;
}
