#include "appearance/CambioFont.h"
#include "appearance/CardPicture.h"
#include "appearance/ScalaFont.h"
#include "common/Twips.h"
#include "print/FontResolver.h"
#include "settings/Configurazione.h"

#include <QFontInfo>
#include <QLabel>
#include <QtTest>

using namespace velmora;

namespace {

constexpr double tolerance = 0.005;

struct Cards {
    CardPicture preview{CardPicture::Kind::Preview};
    CardPicture decorative{CardPicture::Kind::Decorative};
    Configurazione settings;
    CambioFont cambio{preview, decorative, settings};

    Cards(int size, const QString &face, bool bold = false, bool italic = false) {
        settings.Dimensione = static_cast<qint16>(size);
        settings.FontTombola = face;
        settings.setBold(bold);
        settings.setItalic(italic);
    }
    void run(int size) {
        settings.Dimensione = static_cast<qint16>(size);
        cambio.esegui();
    }
    QList<QLabel *> titles() const { return {decorative.tombola(), preview.tombola()}; }
    QList<QLabel *> cardNumbers() const {
        return {decorative.lblNumeroCartella(), preview.lblNumeroCartella()};
    }
    QList<QLabel *> headings() const { return {decorative.frase(), preview.frase()}; }
    QList<QLabel *> numbers() const {
        QList<QLabel *> all;
        for (int i = 0; i < 15; ++i) {
            all << decorative.label6(i);
        }
        for (int i = 15; i < 30; ++i) {
            all << preview.label6(i);
        }
        return all;
    }
};

bool near(double a, double b) {
    return std::abs(a - b) < tolerance;
}

} // namespace

class TestCambioFont : public QObject {
    Q_OBJECT
private slots:
    // One pixel a twip, so the title's top reads back in twips.
    void initTestCase() { Twips::overrideTwipsPerPixel(1); }
    void cleanupTestCase() { Twips::overrideTwipsPerPixel(0); }

    void scaleFollowsTheSize_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<double>("title");
        QTest::addColumn<double>("cardNumber");
        QTest::addColumn<double>("numbers");
        QTest::addColumn<double>("heading");
        QTest::addColumn<int>("titleTop");
        QTest::newRow("default 16") << 16 << 14.667 << 10.0 << 10.667 << 5.667 << 20;
        QTest::newRow("24") << 24 << 20.0 << 15.333 << 16.0 << 11.0 << -20;
        QTest::newRow("9") << 9 << 10.0 << 5.333 << 6.0 << 1.0 << 55;
    }
    void scaleFollowsTheSize() {
        QFETCH(int, size);
        QFETCH(double, title);
        QFETCH(double, cardNumber);
        QFETCH(double, numbers);
        QFETCH(double, heading);
        QFETCH(int, titleTop);
        Cards cards(size, QStringLiteral("DejaVu Serif"), true, true);
        cards.cambio.esegui();
        QCOMPARE(cards.cambio.riserveUsate(), 0);
        // Bold and italic chosen: the numbers stay bold and upright, as they print.
        const auto check = [](const QList<QLabel *> &labels, double points, bool italic = true) {
            for (const QLabel *label : labels) {
                QVERIFY2(near(label->font().pointSizeF(), points),
                         qPrintable(label->objectName() + QLatin1Char(' ') +
                                    QString::number(label->font().pointSizeF())));
                QCOMPARE(label->font().family(), QStringLiteral("DejaVu Serif"));
                QVERIFY(label->font().bold());
                QCOMPARE(label->font().italic(), italic);
            }
        };
        check(cards.titles(), title);
        check(cards.cardNumbers(), cardNumber);
        check(cards.numbers(), numbers, false);
        check(cards.headings(), heading);
        QCOMPARE(ScalaFont::topTitolo(size), double(titleTop));
        for (const QLabel *label : cards.titles()) {
            QCOMPARE(label->y(), titleTop);
            QCOMPARE(label->x(), 180); // only the top moves
        }
    }

    // Size 0: the card numbers refuse their size, then the numbers refuse theirs.
    void sizeZeroFallsBackToArial() {
        Cards cards(16, QStringLiteral("DejaVu Serif"), true, true);
        cards.cambio.esegui();
        cards.run(0);
        QCOMPARE(cards.cambio.riserveUsate(), 3); // two card numbers, then the numbers' pass
        for (const QLabel *label : cards.titles()) {
            QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            QVERIFY(near(label->font().pointSizeF(), 4));
            QVERIFY(label->font().bold()); // the fallback leaves the titles' style
            QCOMPARE(label->y(), 100);
        }
        for (const QLabel *label : cards.cardNumbers()) {
            QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            QVERIFY(near(label->font().pointSizeF(), CambioFont::dimensioneRiserva));
            QVERIFY(!label->font().bold());
            QVERIFY(!label->font().italic());
        }
        for (const QLabel *label : cards.numbers()) {
            QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            QVERIFY(near(label->font().pointSizeF(), 10.667)); // the size they had
            QVERIFY(!label->font().bold());
            QVERIFY(!label->font().italic());
        }
        // The heading lines come after the fallback: their face and style, their size of 1.
        for (const QLabel *label : cards.headings()) {
            QCOMPARE(label->font().family(), QStringLiteral("DejaVu Serif"));
            QVERIFY(near(label->font().pointSizeF(), CambioFont::dimensioneRiserva));
            QVERIFY(label->font().bold());
            QVERIFY(label->font().italic());
        }
        // A good size afterwards puts everything back, with no fallback.
        cards.run(16);
        QCOMPARE(cards.cambio.riserveUsate(), 0);
        for (const QLabel *label : cards.numbers() + cards.cardNumbers() + cards.titles()) {
            QCOMPARE(label->font().family(), QStringLiteral("DejaVu Serif"));
            QVERIFY(label->font().bold());
        }
        QVERIFY(near(cards.preview.lblNumeroCartella()->font().pointSizeF(), 10));
    }

    // Sizes where only some labels fail: the ones after a failure still get their setting.
    void partialFailures_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("fallbacks");
        QTest::addColumn<double>("cardNumber");
        QTest::addColumn<QStringList>("cardNumberFaces"); // title page's, preview's
        QTest::addColumn<QString>("numbersFace");
        QTest::addColumn<double>("heading");
        // 7: every label takes its size but the heading lines, which keep the size they had.
        const QStringList serif{QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Serif")};
        QTest::newRow("7") << 7 << 0 << 4.0 << serif << "DejaVu Serif" << 5.667;
        QTest::newRow("8") << 8 << 0 << 4.667 << serif << "DejaVu Serif" << 0.333;
        // 1: each card number fails; its face is set again after its fallback, so only the
        // preview's, which failed last, keeps it.
        QTest::newRow("1") << 1 << 2 << 1.0
                           << QStringList{QStringLiteral("Arial"), QStringLiteral("DejaVu Serif")}
                           << "DejaVu Serif" << 1.0;
        // -6: the titles fail as well, and so do the numbers: their fallback comes last.
        QTest::newRow("-6") << -6 << 5 << 1.0
                            << QStringList{QStringLiteral("Arial"), QStringLiteral("Arial")}
                            << "Arial" << 1.0;
    }
    void partialFailures() {
        QFETCH(int, size);
        QFETCH(int, fallbacks);
        QFETCH(double, cardNumber);
        QFETCH(QStringList, cardNumberFaces);
        QFETCH(QString, numbersFace);
        QFETCH(double, heading);
        Cards cards(16, QStringLiteral("DejaVu Serif"));
        cards.cambio.esegui();
        cards.run(size);
        QCOMPARE(cards.cambio.riserveUsate(), fallbacks);
        for (int i = 0; i < 2; ++i) {
            const QLabel *label = cards.cardNumbers().at(i);
            QVERIFY(near(label->font().pointSizeF(), cardNumber));
            QCOMPARE(label->font().family(), cardNumberFaces.at(i));
        }
        for (const QLabel *label : cards.numbers()) {
            QCOMPARE(label->font().family(), numbersFace);
        }
        for (const QLabel *label : cards.headings()) {
            QVERIFY2(near(label->font().pointSizeF(), heading),
                     qPrintable(QString::number(label->font().pointSizeF())));
            QCOMPARE(label->font().family(), QStringLiteral("DejaVu Serif"));
        }
        if (size == -6) {
            // The titles' face, set after their refused size, wins over the fallback's
            // until the numbers fail and the fallback runs once more.
            for (const QLabel *label : cards.titles()) {
                QVERIFY(near(label->font().pointSizeF(), 14.667));
                QCOMPARE(label->font().family(), QStringLiteral("Arial"));
                QCOMPARE(label->y(), 130);
            }
        }
    }

    void windowsFacesDrawWithTheirStandIn() {
        if (!FontResolver::exists(QStringLiteral("Arial"))) {
            QSKIP("No font answers to Arial here (fonts-liberation2 missing)");
        }
        Cards cards(16, QStringLiteral("Arial"));
        cards.cambio.esegui();
        const QFont font = cards.preview.tombola()->font();
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(QFontInfo(font).family(), FontResolver::resolve(QStringLiteral("Arial")).family);
    }

    void aFaceNotInstalledIsPassedOnAsTyped() {
        Cards cards(16, QStringLiteral("Carattere Inesistente"));
        cards.cambio.esegui();
        QCOMPARE(cards.cambio.riserveUsate(), 0);
        QCOMPARE(cards.preview.label6(20)->font().family(),
                 QStringLiteral("Carattere Inesistente"));
    }
};

QTEST_MAIN(TestCambioFont)
#include "tst_CambioFont.moc"
