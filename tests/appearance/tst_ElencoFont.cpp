#include "appearance/ElencoFont.h"

#include <QtTest>

using velmora::ElencoFont;
using velmora::FontResolver;

class TestElencoFont : public QObject {
    Q_OBJECT
private slots:
    void fontListShowsCleanNames_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("listed");
        const QStringList plain{QStringLiteral("DejaVu Sans"), QStringLiteral("Z003")};
        QTest::newRow("plain names stay") << plain << plain;
        QTest::newRow("foundry suffix goes")
            << QStringList{QStringLiteral("Nimbus Sans [urw]"), QStringLiteral("C059 [UKWN]")}
            << QStringList{QStringLiteral("Nimbus Sans"), QStringLiteral("C059")};
        QTest::newRow("two foundries, one name")
            << QStringList{QStringLiteral("Nimbus Sans [urw]"),
                           QStringLiteral("Nimbus Sans [1ASC]"), QStringLiteral("Nimbus Sans")}
            << QStringList{QStringLiteral("Nimbus Sans")};
        QTest::newRow("brackets inside a name stay")
            << QStringList{QStringLiteral("Strano [x] Nome")}
            << QStringList{QStringLiteral("Strano [x] Nome")};
        QTest::newRow("empty names skipped")
            << QStringList{QString(), QStringLiteral("  "), QStringLiteral("Z003")}
            << QStringList{QStringLiteral("Z003")};
        QTest::newRow("Windows face before its stand-in")
            << QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans [1ASC]"),
                           QStringLiteral("Liberation Mono")}
            << QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("Courier New"),
                           QStringLiteral("Liberation Mono")};
        QTest::newRow("real Arial listed once")
            << QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}
            << QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    }
    void fontListShowsCleanNames() {
        QFETCH(QStringList, families);
        QFETCH(QStringList, listed);
        QCOMPARE(ElencoFont::nomi(families, FontResolver::windowsFaces()), listed);
    }
};

QTEST_GUILESS_MAIN(TestElencoFont)
#include "tst_ElencoFont.moc"
