#include "errors/VelmoraError.h"
#include "settings/Calibrazione.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using velmora::Calibrazione;
using Asse = Calibrazione::Asse;

Q_DECLARE_METATYPE(Asse)

namespace {

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestCalibrazione : public QObject {
    Q_OBJECT
private slots:
    // What a box may hold when saving: blanks for 0, or one number within 50 mm either way.
    void readsABoxText_data() {
        QTest::addColumn<Asse>("asse");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("reason"); // part of the refusal
        const Asse v = Asse::Verticale;
        const Asse o = Asse::Orizzontale;
        const QString notNumber = QStringLiteral("non è un numero");
        const QString beyond = QStringLiteral("fuori dai limiti");
        QTest::newRow("empty is 0") << v << "" << true << 0.0f << "";
        QTest::newRow("blanks are 0") << o << "   " << true << 0.0f << "";
        QTest::newRow("decimal") << v << "12.5" << true << 12.5f << "";
        QTest::newRow("blanks around") << o << " -3.25 " << true << -3.25f << "";
        QTest::newRow("plus sign") << v << "+7" << true << 7.0f << "";
        QTest::newRow("leading point") << v << ".5" << true << 0.5f << "";
        QTest::newRow("trailing point") << v << "5." << true << 5.0f << "";
        QTest::newRow("exponent") << v << "1e1" << true << 10.0f << "";
        QTest::newRow("upper limit") << o << "50" << true << 50.0f << "";
        QTest::newRow("lower limit") << v << "-50.0" << true << -50.0f << "";
        QTest::newRow("just beyond") << v << "50.01" << false << 0.0f << beyond;
        QTest::newRow("60") << v << "60" << false << 0.0f << beyond;
        QTest::newRow("-60") << o << "-60" << false << 0.0f << beyond;
        QTest::newRow("too large for a number") << v << "1e400" << false << 0.0f << beyond;
        QTest::newRow("letters") << v << "abc" << false << 0.0f << notNumber;
        QTest::newRow("comma") << o << "2,5" << false << 0.0f << notNumber;
        QTest::newRow("unit after it") << v << "3 mm" << false << 0.0f << notNumber;
        QTest::newRow("two points") << v << "1.2.3" << false << 0.0f << notNumber;
        QTest::newRow("sign alone") << v << "-" << false << 0.0f << notNumber;
        QTest::newRow("point alone") << v << "." << false << 0.0f << notNumber;
        QTest::newRow("nan") << v << "nan" << false << 0.0f << notNumber;
        QTest::newRow("inf") << o << "inf" << false << 0.0f << notNumber;
        QTest::newRow("other digits") << v << QString::fromUtf8("١٢") << false << 0.0f << notNumber;
    }
    void readsABoxText() {
        QFETCH(Asse, asse);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(float, value);
        QFETCH(QString, reason);
        const Calibrazione::Lettura read = Calibrazione::leggi(asse, text);
        QCOMPARE(read.valore.has_value(), accepted);
        if (accepted) {
            QCOMPARE(*read.valore, value);
            QVERIFY(read.motivo.isEmpty());
        } else {
            QVERIFY2(read.motivo.contains(reason), qPrintable(read.motivo));
            QVERIFY(read.motivo.startsWith(Calibrazione::etichetta(asse)));
            QVERIFY(read.motivo.contains(text.trimmed()));
        }
    }

    // A typed minus zero is stored as zero, so the file holds the bytes of 0.
    void minusZeroIsStoredAsZero() {
        const auto read = Calibrazione::leggi(Asse::Verticale, QStringLiteral("-0"));
        QVERIFY(read.valore);
        QVERIFY(sameBits(*read.valore, 0.0f));
    }

    // Stored values as the boxes show them: short, no exponent, no trailing zeros.
    void showsAStoredValue_data() {
        QTest::addColumn<float>("mm");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("minus zero") << -0.0f << "0";
        QTest::newRow("whole") << 50.0f << "50";
        QTest::newRow("half") << 12.5f << "12.5";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("negative") << -3.25f << "-3.25";
        QTest::newRow("small") << 1e-5f << "0.00001";
        QTest::newRow("third") << 1.0f / 3 << "0.33333334";
    }
    void showsAStoredValue() {
        QFETCH(float, mm);
        QFETCH(QString, text);
        QCOMPARE(Calibrazione::testo(mm), text);
    }

    // Whatever is stored within the limits reads back from its shown text as the same float,
    // so showing and saving again never changes a calibration.
    void shownValuesReadBackUnchanged() {
        std::mt19937 random(12);
        std::uniform_real_distribution<float> within(-50.0f, 50.0f);
        for (int i = 0; i < 20000; ++i) {
            const float mm = within(random);
            const auto read = Calibrazione::leggi(Asse::Orizzontale, Calibrazione::testo(mm));
            QVERIFY2(read.valore && sameBits(*read.valore, mm),
                     qPrintable(Calibrazione::testo(mm)));
        }
        for (const float mm : {50.0f, -50.0f, std::nextafter(50.0f, 0.0f),
                               std::numeric_limits<float>::denorm_min(), 1e-30f}) {
            const auto read = Calibrazione::leggi(Asse::Orizzontale, Calibrazione::testo(mm));
            QVERIFY2(read.valore && sameBits(*read.valore, mm),
                     qPrintable(Calibrazione::testo(mm)));
        }
    }

    // Millimetres to whole device pixels: ParY across, ParX down.
    void devicePixels_data() {
        QTest::addColumn<float>("parX");
        QTest::addColumn<float>("parY");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPointF>("pixels");
        QTest::newRow("none") << 0.0f << 0.0f << 300 << QPointF(0, 0);
        QTest::newRow("an inch right") << 0.0f << 25.4f << 300 << QPointF(300, 0);
        QTest::newRow("an inch up") << -25.4f << 0.0f << 300 << QPointF(0, -300);
        QTest::newRow("1 mm down, 1 mm left") << 1.0f << -1.0f << 300 << QPointF(-12, 12);
        QTest::newRow("the limits") << 50.0f << -50.0f << 300 << QPointF(-591, 591);
        QTest::newRow("below half a pixel") << 0.04f << -0.04f << 300 << QPointF(0, 0);
        QTest::newRow("600 dpi") << 25.4f << 2.0f << 600 << QPointF(47, 600);
    }
    void devicePixels() {
        QFETCH(float, parX);
        QFETCH(float, parY);
        QFETCH(int, dpi);
        QFETCH(QPointF, pixels);
        velmora::Configurazione settings;
        settings.ParX = parX;
        settings.ParY = parY;
        const QPointF got = Calibrazione::spostamentoPixel(settings, dpi);
        QCOMPARE(got, pixels);
        QVERIFY(!std::signbit(got.x()) || got.x() != 0);
        QVERIFY(!std::signbit(got.y()) || got.y() != 0);
    }

    // A settings file edited by hand may hold anything: it is refused with a message naming the
    // box, never printed as it stands.
    void refusesStoredValuesBeyondTheLimits_data() {
        QTest::addColumn<float>("parX");
        QTest::addColumn<float>("parY");
        QTest::addColumn<QString>("box");
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("ParX 50.5") << 50.5f << 0.0f << "Parametro Altezza";
        QTest::newRow("ParY -80") << 0.0f << -80.0f << "Parametro Larghezza";
        QTest::newRow("ParX nan") << std::numeric_limits<float>::quiet_NaN() << 0.0f
                                  << "Parametro Altezza";
        QTest::newRow("ParY inf") << 0.0f << inf << "Parametro Larghezza";
        QTest::newRow("ParX -inf") << -inf << 1.0f << "Parametro Altezza";
    }
    void refusesStoredValuesBeyondTheLimits() {
        QFETCH(float, parX);
        QFETCH(float, parY);
        QFETCH(QString, box);
        velmora::Configurazione settings;
        settings.ParX = parX;
        settings.ParY = parY;
        try {
            Calibrazione::spostamentoPixel(settings, 300);
            QFAIL("accepted");
        } catch (const velmora::VelmoraError &e) {
            QCOMPARE(e.number(), 380);
            QVERIFY2(e.description().contains(box), qPrintable(e.description()));
            QVERIFY(e.description().contains(QStringLiteral("-50 e 50")));
        }
    }
};

QTEST_GUILESS_MAIN(TestCalibrazione)
#include "tst_Calibrazione.moc"
