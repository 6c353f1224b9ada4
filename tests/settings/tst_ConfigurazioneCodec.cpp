#include "settings/ConfigurazioneCodec.h"
#include "settings/SettingsFile.h"

#include <QtEndian>
#include <QtTest>

using velmora::Configurazione;
using velmora::ConfigurazioneCodec;
using velmora::SettingsFile;

namespace {

// A record as the older program writes it, built byte by byte: every field distinct, text in
// windows-1252 with characters outside ASCII, booleans -1, colours in 0x00BBGGRR.
QByteArray olderProgramRecord() {
    QByteArray bytes;
    const auto i16 = [&bytes](qint16 v) {
        const qint16 le = qToLittleEndian(v);
        bytes.append(reinterpret_cast<const char *>(&le), 2);
    };
    const auto i32 = [&bytes](qint32 v) {
        const qint32 le = qToLittleEndian(v);
        bytes.append(reinterpret_cast<const char *>(&le), 4);
    };
    const auto text = [&bytes](QByteArray v, int width) {
        v.append(width - v.size(), ' ');
        bytes += v;
    };
    const float parX = 1.5f;
    const float parY = -2.25f;
    bytes.append(reinterpret_cast<const char *>(&parX), 4); // x86 is little-endian
    bytes.append(reinterpret_cast<const char *>(&parY), 4);
    text("Times New Roman", 30);
    text("Tombola di Sant\x92"
         "Antonio",
         30);
    text("Citt\xE0 di prova \x80 5", 40);
    text("Seconda frase", 40);
    i16(1);
    i16(18);
    i16(-1);
    i16(0);
    text("Pro loco \xAB"
         "Esempio\xBB",
         30);
    bytes += QByteArray("\x01\x02reserved\xFF\x00  xy", 16);
    text("Via Roma 1", 33);
    text("Tel. 000 111", 30);
    i16(120);
    for (qint32 colour = 0x000000FF; bytes.size() < Configurazione::recordSize; colour += 0x10) {
        i32(colour);
    }
    return bytes;
}

} // namespace

class TestConfigurazioneCodec : public QObject {
    Q_OBJECT
private slots:
    void defaultsLandAtTheirOffsets() {
        const QByteArray bytes = ConfigurazioneCodec::encode(SettingsFile::defaults());
        QCOMPARE(bytes.size(), 307);
        QCOMPARE(bytes.mid(0, 8), QByteArray(8, '\0')); // ParX, ParY
        QCOMPARE(bytes.mid(8, 30), QByteArray("Arial").leftJustified(30, ' '));
        QCOMPARE(bytes.mid(38, 30), QByteArray("Tombola").leftJustified(30, ' '));
        QCOMPARE(bytes.mid(68, 40), QByteArray("Grande tombola").leftJustified(40, ' '));
        QCOMPARE(bytes.mid(108, 40), QByteArray("Grande tombola").leftJustified(40, ' '));
        QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 148), qint16(0));
        QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 150), qint16(16));
        QCOMPARE(bytes.mid(152, 4), QByteArray(4, '\0')); // not bold, not italic
        QVERIFY(bytes.mid(156, 30).trimmed().contains('@'));
        QCOMPARE(bytes.mid(186, 16), QByteArray(16, ' '));
        QVERIFY(!bytes.mid(202, 33).trimmed().isEmpty());
        QVERIFY(!bytes.mid(235, 30).trimmed().isEmpty());
        QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 265), qint16(1));
        QCOMPARE(bytes.mid(267), QByteArray(40, '\0')); // ten black colours
    }

    void defaultContactLinesFitTheirBoxes() {
        const Configurazione d = SettingsFile::defaults();
        // Cut to the width would mean a default that does not fit.
        QVERIFY(d.Ditta.trimmed().size() < 30);
        QVERIFY(d.Via.trimmed().size() < 33);
        QVERIFY(d.Tel.trimmed().size() < 30);
        QVERIFY(d.Ditta.trimmed().contains(QStringLiteral(".example")));
    }

    void olderFileReadsAndComesBackByteForByte() {
        const QByteArray original = olderProgramRecord();
        QCOMPARE(original.size(), 307);
        const Configurazione record = ConfigurazioneCodec::decode(original);
        QCOMPARE(record.ParX, 1.5f);
        QCOMPARE(record.ParY, -2.25f);
        QCOMPARE(record.FontTombola.trimmed(), QStringLiteral("Times New Roman"));
        QCOMPARE(record.Titolo.trimmed(), QStringLiteral("Tombola di Sant’Antonio"));
        QCOMPARE(record.Frase1.trimmed(), QStringLiteral("Città di prova € 5"));
        QCOMPARE(record.Ditta.trimmed(), QStringLiteral("Pro loco «Esempio»"));
        QCOMPARE(record.Orientamento, qint16(1));
        QCOMPARE(record.Dimensione, qint16(18));
        QVERIFY(record.bold());
        QVERIFY(!record.italic());
        QCOMPARE(record.Riservato, QByteArray("\x01\x02reserved\xFF\x00  xy", 16));
        QCOMPARE(record.PrimaCartella, qint16(120));
        QCOMPARE(record.Frase2.trimmed(), QStringLiteral("Seconda frase"));
        QCOMPARE(record.Via.trimmed(), QStringLiteral("Via Roma 1"));
        QCOMPARE(record.Tel.trimmed(), QStringLiteral("Tel. 000 111"));
        // The colours in the file's order, each its own: read from its own four bytes, and
        // (below) written back to them.
        const QList<std::pair<const char *, qint32>> colours{
            {"ColoreTitolo", record.ColoreTitolo},
            {"ColoreNumeroCartella", record.ColoreNumeroCartella},
            {"ColoreLineaSottile", record.ColoreLineaSottile},
            {"ColoreLineaGrossa", record.ColoreLineaGrossa},
            {"ColoreGriglia", record.ColoreGriglia},
            {"ColoreBordo", record.ColoreBordo},
            {"ColoreFrase", record.ColoreFrase},
            {"ColorePrimaCinquina", record.ColorePrimaCinquina},
            {"ColoreSecondaCinquina", record.ColoreSecondaCinquina},
            {"ColoreTerzaCinquina", record.ColoreTerzaCinquina}};
        for (int k = 0; k < colours.size(); ++k) {
            QVERIFY2(colours.at(k).second == 0xFF + k * 0x10, colours.at(k).first);
        }
        QCOMPARE(ConfigurazioneCodec::encode(record), original);
    }

    void everyByteOfATextFieldSurvives() {
        // All 255 non-zero byte values, in 30-byte slices through the title field.
        for (int start = 1; start < 256; start += 30) {
            QByteArray bytes = olderProgramRecord();
            for (int i = 0; i < 30; ++i) {
                bytes[38 + i] = static_cast<char>(start + i < 256 ? start + i : ' ');
            }
            QCOMPARE(ConfigurazioneCodec::encode(ConfigurazioneCodec::decode(bytes)), bytes);
        }
    }

    void anyNonZeroBooleanReadsTrue_data() {
        QTest::addColumn<qint16>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("-1") << qint16(-1) << true;
        QTest::newRow("1") << qint16(1) << true;
        QTest::newRow("256") << qint16(256) << true;
        QTest::newRow("0") << qint16(0) << false;
    }
    void anyNonZeroBooleanReadsTrue() {
        QFETCH(qint16, stored);
        QFETCH(bool, expected);
        QByteArray bytes = olderProgramRecord();
        qToLittleEndian(stored, bytes.data() + 154); // Corsivo
        const Configurazione record = ConfigurazioneCodec::decode(bytes);
        QCOMPARE(record.italic(), expected);
        QCOMPARE(ConfigurazioneCodec::encode(record).mid(154, 2), bytes.mid(154, 2));
    }

    void shortInputReadsTheRestAsZero() {
        const QByteArray full = olderProgramRecord();
        const Configurazione record = ConfigurazioneCodec::decode(full.left(150));
        QCOMPARE(record.Orientamento, qint16(1));
        QCOMPARE(record.Dimensione, qint16(0));
        QVERIFY(!record.bold());
        QCOMPARE(record.Ditta.trimmed(), QString()); // zero bytes in text read as spaces
        QCOMPARE(record.PrimaCartella, qint16(0));
        QCOMPARE(record.ColoreTerzaCinquina, qint32(0));
        const Configurazione empty = ConfigurazioneCodec::decode(QByteArray());
        QCOMPARE(empty.Titolo.trimmed(), QString());
        QCOMPARE(ConfigurazioneCodec::encode(empty).size(), 307);
    }

    void onlyTheFirstRecordIsRead() {
        QByteArray bytes = olderProgramRecord();
        bytes += QByteArray(307, 'Z');
        QCOMPARE(ConfigurazioneCodec::encode(ConfigurazioneCodec::decode(bytes)), bytes.left(307));
    }

    void textIsCutPaddedAndKeptToTheCodePage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("padded") << QStringLiteral("ab") << QByteArray("ab   ");
        QTest::newRow("cut") << QStringLiteral("abcdefg") << QByteArray("abcde");
        QTest::newRow("accents") << QStringLiteral("è€") << QByteArray("\xE8\x80   ");
        QTest::newRow("outside the code page") << QStringLiteral("łx") << QByteArray("?x   ");
    }
    void textIsCutPaddedAndKeptToTheCodePage() {
        QFETCH(QString, text);
        QFETCH(QByteArray, stored);
        QCOMPARE(ConfigurazioneCodec::encodeText(text, 5), stored);
    }
};

QTEST_GUILESS_MAIN(TestConfigurazioneCodec)
#include "tst_ConfigurazioneCodec.moc"
