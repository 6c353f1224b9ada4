#include "print/RecordingSurface.h"
#include "print/TextFit.h"
#include "settings/SettingsFile.h"

#include <QtTest>

using namespace velmora;

class TestTextFit : public QObject {
    Q_OBJECT
private slots:
    // The em shrinks a pixel at a time to the largest that fits, never under the floor.
    void largestFitting_data() {
        QTest::addColumn<double>("room");
        QTest::addColumn<int>("em"); // 0: none fits
        QTest::newRow("fits as asked") << 1000.0 << 50;
        QTest::newRow("one pixel smaller") << 490.0 << 49;
        QTest::newRow("at the floor") << 250.0 << 25;
        QTest::newRow("below the floor") << 249.0 << 0;
    }
    void largestFitting() {
        QFETCH(double, room);
        QFETCH(int, em);
        // A text ten ems wide.
        QCOMPARE(TextFit::largestFitting(50, 25, room, [](int pixels) { return 10.0 * pixels; }),
                 em);
    }

    void cutEndsWithAnEllipsis_data() {
        QTest::addColumn<double>("room");
        QTest::addColumn<QString>("expected");
        QTest::newRow("keeps what fits") << 5.0 << QStringLiteral("Gran…");
        QTest::newRow("no blank before the ellipsis") << 7.0 << QStringLiteral("Grande…");
        QTest::newRow("only the ellipsis") << 1.0 << QStringLiteral("…");
        QTest::newRow("nothing") << 0.5 << QString();
    }
    void cutEndsWithAnEllipsis() {
        QFETCH(double, room);
        QFETCH(QString, expected);
        const auto chars = [](const QString &t) { return double(t.size()); };
        QCOMPARE(TextFit::cut(QStringLiteral("Grande tombola"), room, chars), expected);
    }

    // On the surface: a line that fits is left alone; one that does not shrinks both parts to
    // one size within the room; the surface's font is as it was.
    void fitOnTheSurface() {
        const double margin = 10 * 25.4 / 72; // velmora-pdf's page
        RecordingSurface surface(QPageSize(QPageSize::A4),
                                 QMarginsF(margin, margin, margin, margin));
        surface.setPrintQuality(300);
        surface.setScaleMode(PrinterSurface::Pixels);
        surface.setFontName(QStringLiteral("Arial"));
        surface.setFontSize(16.5);
        const Configurazione defaults = SettingsFile::defaults();
        const QString name = defaults.Ditta.trimmed();
        const QString rest = QStringLiteral("  ") + defaults.Via.trimmed() + QStringLiteral("  ") +
                             defaults.Tel.trimmed();
        TextFit fit;
        // The default name line fits the portrait card's room as it stands.
        const double room = surface.scaleWidth() - 72 - 6;
        const TextFit::Line whole = fit.fit(surface, room, name, true, rest, false);
        QVERIFY(!whole.shrunk);
        QCOMPARE(whole.points, 16.5);

        const TextFit::Line half = fit.fit(surface, room / 2, name, true, rest, false);
        QVERIFY(half.shrunk && !half.cut);
        QCOMPARE(half.second, rest);
        QVERIFY(half.points < 16.5 && half.points >= TextFit::floorPoints);
        surface.setFontSize(half.points);
        surface.setFontBold(true);
        double width = surface.textWidth(name);
        surface.setFontBold(false);
        width += surface.textWidth(rest);
        QVERIFY(width <= room / 2);
        surface.setFontSize(half.points + 72.0 / 300); // a pixel more would not fit
        surface.setFontBold(true);
        width = surface.textWidth(name);
        surface.setFontBold(false);
        QVERIFY(width + surface.textWidth(rest) > room / 2);

        surface.setFontSize(16.5);
        const TextFit::Line tight = fit.fit(surface, 300, name, true, rest, false);
        QVERIFY(tight.cut);
        QCOMPARE(tight.points, TextFit::floorPoints);
        QVERIFY(tight.second.endsWith(QStringLiteral("…")) ||
                tight.first.endsWith(QStringLiteral("…")));
        QCOMPARE(surface.fontSize(), 16.5);
        QVERIFY(!surface.fontBold());
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_TextFit.moc"
