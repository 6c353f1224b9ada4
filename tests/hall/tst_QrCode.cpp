#include "hall/QrCode.h"
#include "tests/support/QrReader.h"

#include <QtTest>

using namespace velmora;

namespace {

// The finder pattern whose top-left module is (left, top): a dark ring of 7, a light ring, a
// dark 3×3 centre, and the light separator along its inner sides.
bool finderAt(const QrCode &code, int left, int top) {
    for (int y = -1; y <= 7; ++y) {
        for (int x = -1; x <= 7; ++x) {
            const int ring = qMax(qAbs(x - 3), qAbs(y - 3)); // 4: the separator
            const bool wanted = ring == 3 || ring <= 1;
            const int cx = left + x;
            const int cy = top + y;
            if (cx < 0 || cy < 0 || cx >= code.size() || cy >= code.size()) {
                continue; // beyond the code's edge
            }
            if (code.dark(cx, cy) != wanted) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class QrCodeTest : public QObject {
    Q_OBJECT
private slots:
    void textsTakeTheSmallestVersionWithFindersInThreeCorners_data();
    void textsTakeTheSmallestVersionWithFindersInThreeCorners();
    void imageReadsBackAsItsText_data();
    void imageReadsBackAsItsText();
    void emptyOrOverlongTextIsRefusedWithAReason_data();
    void emptyOrOverlongTextIsRefusedWithAReason();
};

void QrCodeTest::textsTakeTheSmallestVersionWithFindersInThreeCorners_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("version");
    QTest::newRow("digits") << QStringLiteral("01234567") << 1;
    QTest::newRow("address") << QStringLiteral("http://192.168.1.10:8090/") << 2;
    QTest::newRow("one byte beyond version 2") << QString(27, QLatin1Char('a')) << 3;
    QTest::newRow("the most a code holds") << QString(QrCode::maxBytes, QLatin1Char('a')) << 40;
    QTest::newRow("the most beyond ASCII") << QString(1165, QChar(0x00E8)) << 40;
}

void QrCodeTest::textsTakeTheSmallestVersionWithFindersInThreeCorners() {
    QFETCH(QString, text);
    QFETCH(int, version);
    QString refusal;
    const std::optional<QrCode> code = QrCode::make(text, &refusal);
    QVERIFY2(code, qPrintable(refusal));
    QCOMPARE(code->version(), version);
    QCOMPARE(code->size(), 17 + 4 * version);
    const int far = code->size() - 7;
    QVERIFY(finderAt(*code, 0, 0));
    QVERIFY(finderAt(*code, far, 0));
    QVERIFY(finderAt(*code, 0, far));
    QVERIFY(!finderAt(*code, far, far));

    // Three pixels a module, four white modules all round, the top-left finder's corner black.
    const QImage picture = code->image(3);
    const int side = (code->size() + 2 * QrCode::quietZone) * 3;
    QCOMPARE(picture.size(), QSize(side, side));
    for (int i = 0; i < side; ++i) {
        for (const QPoint edge : {QPoint(i, 0), QPoint(0, i), QPoint(i, side - 1),
                                  QPoint(side - 1, i), QPoint(i, 11), QPoint(11, i)}) {
            QCOMPARE(qGray(picture.pixel(edge)), 255);
        }
    }
    QCOMPARE(qGray(picture.pixel(12, 12)), 0);
    QCOMPARE(qGray(picture.pixel(14, 14)), 0);
}

void QrCodeTest::imageReadsBackAsItsText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("address") << QStringLiteral("http://192.168.1.10:8090/");
    QTest::newRow("accented") << QStringLiteral("Tombola è servita: ambo, terno, cinquina");
    QTest::newRow("long") << QStringLiteral("velmora-").repeated(100);
}

// Read by a real QR reader: the proof that the code is one a phone reads.
void QrCodeTest::imageReadsBackAsItsText() {
    QFETCH(QString, text);
    QString refusal;
    const std::optional<QrCode> code = QrCode::make(text, &refusal);
    QVERIFY2(code, qPrintable(refusal));
    QString failure;
    const std::optional<QString> read = testing::readQrCode(code->image(4), &failure);
    if (!read) {
        QSKIP("zbarimg is not installed (package zbar-tools)");
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(*read, text);
}

void QrCodeTest::emptyOrOverlongTextIsRefusedWithAReason_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    QTest::newRow("empty") << QString() << QStringLiteral("Non c'è nessun testo");
    QTest::newRow("one byte too many")
        << QString(QrCode::maxBytes + 1, QLatin1Char('a')) << QStringLiteral("2332 byte");
    // Counted in bytes, not letters: 1,165 accented letters and one more are 2,331 bytes of
    // UTF-8, one too many once the code says it is UTF-8.
    QTest::newRow("accented letters") << QString(1165, QChar(0x00E8)) + QLatin1Char('a')
                                      << QStringLiteral("2331 byte, al massimo 2330");
}

void QrCodeTest::emptyOrOverlongTextIsRefusedWithAReason() {
    QFETCH(QString, text);
    QFETCH(QString, said);
    QString refusal;
    QVERIFY(!QrCode::make(text, &refusal));
    QVERIFY2(refusal.contains(said), qPrintable(refusal));
}

QTEST_GUILESS_MAIN(QrCodeTest)
#include "tst_QrCode.moc"
