#include "print/RecordCartella.h"

#include <QtTest>

#include <limits>

using velmora::DecodificaCampo;
using velmora::RecordCartella;

namespace {

// The stored form written out by hand, independently of the code under test.
QByteArray scrambled(const QByteArray &text) {
    QByteArray stored = text;
    for (char &c : stored) {
        c = static_cast<char>(255 - static_cast<unsigned char>(c));
    }
    return stored;
}

// 27 cells "00".."26" (cell k holds k) and archive number "12345", in stored form.
QByteArray numberedRecord() {
    QByteArray text;
    for (int k = 0; k < RecordCartella::cellCount; ++k) {
        text += QByteArray::number(k).rightJustified(2, '0');
    }
    return scrambled(text + "12345");
}

} // namespace

class TestRecordCartella : public QObject {
    Q_OBJECT
private slots:
    void decodingKnownBytesAndItsOwnInverse() {
        QCOMPARE(DecodificaCampo(QByteArray("\xCF\xDF", 2)), QByteArray("0 "));
        QCOMPARE(DecodificaCampo(QByteArray("0 ")), QByteArray("\xCF\xDF", 2));
        QByteArray every(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i) {
            every[i] = static_cast<char>(i);
        }
        QCOMPARE(DecodificaCampo(DecodificaCampo(every)), every);
        QCOMPARE(DecodificaCampo(every), scrambled(every));
    }

    void cellValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("two blanks") << "  " << 0;
        QTest::newRow("double zero") << "00" << 0;
        QTest::newRow("blank zero") << " 0" << 0;
        QTest::newRow("right aligned") << " 7" << 7;
        QTest::newRow("two digits") << "42" << 42;
        QTest::newRow("left aligned") << "7 " << 7;
        QTest::newRow("tab before") << "\t5" << 5;
        QTest::newRow("letter first") << "x5" << 0;
        QTest::newRow("letter after") << "5x" << 5;
        QTest::newRow("sign is not a digit") << "-3" << 0;
        QTest::newRow("empty text") << "" << 0;
        QTest::newRow("blanks then digits then text") << "  12ab" << 12;
        QTest::newRow("leading zero") << "07" << 7;
        QTest::newRow("saturates instead of overflowing")
            << "99999999999999999999" << std::numeric_limits<int>::max();
    }
    void cellValue() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(RecordCartella::cellValue(text), value);
        // The byte-level rule used when drawing must agree on two-character cells.
        if (text.size() == RecordCartella::cellWidth) {
            RecordCartella record;
            record.setCellText(4, text);
            QCOMPARE(record.cellNumber(4), value);
            QCOMPARE(record.isFilled(4), value > 0);
        }
    }

    void cellsFollowColumnOrder() {
        const RecordCartella record = RecordCartella::fromStored(numberedRecord());
        for (int column = 0; column < RecordCartella::columns; ++column) {
            for (int row = 0; row < RecordCartella::rows; ++row) {
                const int k = column * 3 + row;
                const QString expected = QString::number(k).rightJustified(2, u'0');
                QCOMPARE(record.cell(column, row), expected);
                QCOMPARE(record.cellText(k), expected);
            }
        }
        QCOMPARE(record.numeroArchivio(), QStringLiteral("12345"));
        QCOMPARE(record.toStored(), numberedRecord());
    }

    void blankRecordAndNumberFormatting() {
        RecordCartella record = RecordCartella::blank();
        for (int k = 0; k < RecordCartella::cellCount; ++k) {
            QCOMPARE(record.cellText(k), QStringLiteral("  "));
            QVERIFY(!record.isFilled(k));
        }
        QCOMPARE(record.numeroArchivio(), QStringLiteral("     "));
        QCOMPARE(record.toStored(), QByteArray(59, static_cast<char>(223)));

        record.setCellNumber(0, 7);
        record.setCellNumber(26, 90);
        record.setCellNumber(13, 0);
        record.setNumeroArchivio(QStringLiteral("1"));
        QCOMPARE(record.cellText(0), QStringLiteral(" 7"));
        QCOMPARE(record.cellText(26), QStringLiteral("90"));
        QCOMPARE(record.cellText(13), QStringLiteral("  "));
        QCOMPARE(record.numeroArchivio(), QStringLiteral("1    "));
        record.setNumeroArchivio(QStringLiteral("1234567"));
        QCOMPARE(record.numeroArchivio(), QStringLiteral("12345"));
    }

    void shortRecordReadsBlankWhereBytesAreMissing_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("wholeCells");
        QTest::addColumn<QString>("numero");
        QTest::newRow("nothing") << 0 << 0 << "     ";
        QTest::newRow("cells 0 to 14") << 30 << 15 << "     ";
        QTest::newRow("half of cell 15") << 31 << 15 << "     ";
        QTest::newRow("all cells, part of the number") << 56 << 27 << "12   ";
        QTest::newRow("whole record") << 59 << 27 << "12345";
        QTest::newRow("longer input is cut") << 70 << 27 << "12345";
    }
    void shortRecordReadsBlankWhereBytesAreMissing() {
        QFETCH(int, length);
        QFETCH(int, wholeCells);
        QFETCH(QString, numero);
        const QByteArray stored = (numberedRecord() + scrambled(QByteArray(11, 'x'))).left(length);
        const RecordCartella record = RecordCartella::fromStored(stored);
        for (int k = 0; k < RecordCartella::cellCount; ++k) {
            const QString expected = k < wholeCells ? QString::number(k).rightJustified(2, u'0')
                                                    : (k == wholeCells && length % 2 == 1 && k < 27
                                                           ? QString::number(k).left(1) + u' '
                                                           : QStringLiteral("  "));
            QCOMPARE(record.cellText(k), expected);
        }
        QCOMPARE(record.numeroArchivio(), numero);
    }

    void eightBitTextIsWindows1252() {
        RecordCartella record;
        record.setNumeroArchivio(QStringLiteral("\u20ac\u00e8\u0152\u4e2dA"));
        // Euro sign 0x80, e grave 0xE8, OE 0x8C; a character outside the code page becomes '?'.
        QCOMPARE(record.toStored().mid(54), scrambled(QByteArray("\x80\xE8\x8C?A", 5)));
        QCOMPARE(RecordCartella::fromStored(record.toStored()).numeroArchivio(),
                 QStringLiteral("\u20ac\u00e8\u0152?A"));
    }
};

QTEST_GUILESS_MAIN(TestRecordCartella)
#include "tst_RecordCartella.moc"
