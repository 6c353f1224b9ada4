#include "appearance/CardParts.h"
#include "settings/Configurazione.h"

#include <QSet>
#include <QtTest>

using velmora::CardParts;
using velmora::Configurazione;
using velmora::ParteCartella;

namespace {
QString nameOf(const ParteCartella *part) {
    return part ? QString::fromUtf8(part->nome) : QStringLiteral("<nessuna>");
}
} // namespace

class TestCardParts : public QObject {
    Q_OBJECT
private slots:
    void keysSelectTheirPart_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("part");
        QTest::newRow("title") << "Tombola"
                               << "Titolo Cartella";
        QTest::newRow("card number") << "lblNumeroCartella"
                                     << "Numero Cartella";
        QTest::newRow("heading") << "Frase"
                                 << "Frase";
        QTest::newRow("thin line") << "picLineaSottile"
                                   << "Linea Sottile";
        QTest::newRow("thick line") << "picLineaGrossa"
                                    << "Linea Grossa";
        QTest::newRow("border") << "imgBordoCartella"
                                << "Bordo Cartella";
        QTest::newRow("grid") << "imgGriglia"
                              << "Griglia Cartella";
        const QList<QPair<QList<int>, QString>> rows{
            {{15, 16, 17, 25, 20}, QStringLiteral("Numeri Prima Cinquina")},
            {{18, 24, 22, 29, 28}, QStringLiteral("Numeri Seconda Cinquina")},
            {{26, 23, 21, 19, 27}, QStringLiteral("Numeri Terza Cinquina")},
        };
        for (const auto &[labels, part] : rows) {
            for (int index : labels) {
                QTest::addRow("Label6%d", index) << QStringLiteral("Label6%1").arg(index) << part;
            }
        }
        QTest::newRow("empty") << ""
                               << "<nessuna>";
        QTest::newRow("case differs") << "tombola"
                                      << "<nessuna>";
        QTest::newRow("title page number") << "Label60"
                                           << "<nessuna>";
        QTest::newRow("title page number 14") << "Label614"
                                              << "<nessuna>";
        QTest::newRow("array name alone") << "Label6"
                                          << "<nessuna>";
        QTest::newRow("padded index") << "Label6015"
                                      << "<nessuna>";
        QTest::newRow("grid line") << "lnGriglia"
                                   << "<nessuna>";
        QTest::newRow("trailing space") << "Frase "
                                        << "<nessuna>";
    }
    void keysSelectTheirPart() {
        QFETCH(QString, key);
        QFETCH(QString, part);
        QCOMPARE(nameOf(CardParts::perChiave(key)), part);
    }

    // Pointing at a control sets the key that the colour choice later reads: both must agree,
    // or a part could be pointed at and never recoloured.
    void everyPointableControlSelectsItsOwnPart() {
        int pointable = 0;
        for (const ParteCartella &part : CardParts::tutte()) {
            for (const auto &control : part.controlli) {
                const QString name = QString::fromLatin1(control.nome);
                QCOMPARE(nameOf(CardParts::perControllo(name, control.indice)),
                         QString::fromUtf8(part.nome));
                if (control.puntabile) {
                    ++pointable;
                    QCOMPARE(
                        nameOf(CardParts::perChiave(CardParts::chiaveDi(name, control.indice))),
                        QString::fromUtf8(part.nome));
                }
            }
        }
        // Title, number, heading, two lines, 4 border and 4 grid strips, 15 numbers.
        QCOMPARE(pointable, 5 + 4 + 4 + 15);
        QCOMPARE(CardParts::perControllo(u"Tombola", 0), nullptr); // the title page's card
        QCOMPARE(CardParts::perControllo(u"Label6", 14), nullptr);
        QCOMPARE(CardParts::perControllo(u"imgGriglia", 2), nullptr); // there is no strip 2
    }

    // Each field is read back from one control, and each field from a different part.
    void eachFieldHasOnePartAndItsReadBackControl_data() {
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("ColoreTitolo") << 0 << "Tombola(1)";
        QTest::newRow("ColoreNumeroCartella") << 1 << "lblNumeroCartella(1)";
        QTest::newRow("ColoreLineaSottile") << 2 << "picLineaSottile";
        QTest::newRow("ColoreLineaGrossa") << 3 << "picLineaGrossa";
        QTest::newRow("ColoreGriglia") << 4 << "imgGriglia(0)";
        QTest::newRow("ColoreBordo") << 5 << "imgBordoCartella(0)";
        QTest::newRow("ColoreFrase") << 6 << "Frase(1)";
        QTest::newRow("ColorePrimaCinquina") << 7 << "Label6(15)";
        QTest::newRow("ColoreSecondaCinquina") << 8 << "Label6(18)";
        QTest::newRow("ColoreTerzaCinquina") << 9 << "Label6(26)";
    }
    void eachFieldHasOnePartAndItsReadBackControl() {
        QFETCH(int, part);
        QFETCH(QString, readBack);
        const ParteCartella &entry = CardParts::tutte().at(part);
        QCOMPARE(entry.controlli.front().objectName(), readBack);
        // Writing the field through the table reaches exactly the field named by the row.
        Configurazione settings;
        settings.*entry.campo = 0x123456;
        const QList<qint32> all{settings.ColoreTitolo,          settings.ColoreNumeroCartella,
                                settings.ColoreLineaSottile,    settings.ColoreLineaGrossa,
                                settings.ColoreGriglia,         settings.ColoreBordo,
                                settings.ColoreFrase,           settings.ColorePrimaCinquina,
                                settings.ColoreSecondaCinquina, settings.ColoreTerzaCinquina};
        QCOMPARE(all.count(0x123456), 1);
        QCOMPARE(all.indexOf(0x123456), part);
    }

    void gridRecoloursItsFourStripsAndTenLines() {
        const ParteCartella *grid = CardParts::perChiave(u"imgGriglia");
        QVERIFY(grid);
        QSet<QString> names;
        for (const auto &control : grid->controlli) {
            names.insert(control.objectName());
        }
        QSet<QString> expected{QStringLiteral("imgGriglia(0)"), QStringLiteral("imgGriglia(1)"),
                               QStringLiteral("imgGriglia(3)"), QStringLiteral("imgGriglia(4)")};
        for (int i = 0; i < 10; ++i) {
            expected.insert(QStringLiteral("lnGriglia(%1)").arg(i));
        }
        QCOMPARE(names, expected);
    }

    void objectNamesSplitIntoArrayAndIndex_data() {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("array") << "Label6(15)" << true << "Label6" << 15;
        QTest::newRow("index 0") << "Tombola(0)" << true << "Tombola" << 0;
        QTest::newRow("single") << "picLineaSottile" << true << "picLineaSottile" << -1;
        QTest::newRow("empty") << "" << false << "" << 0;
        QTest::newRow("no name") << "(3)" << false << "" << 0;
        QTest::newRow("unclosed") << "Label6(15" << false << "" << 0;
        QTest::newRow("not a number") << "Label6(x)" << false << "" << 0;
        QTest::newRow("negative") << "Label6(-1)" << false << "" << 0;
    }
    void objectNamesSplitIntoArrayAndIndex() {
        QFETCH(QString, objectName);
        QFETCH(bool, valid);
        QFETCH(QString, name);
        QFETCH(int, index);
        const auto split = CardParts::divideObjectName(objectName);
        QCOMPARE(split.has_value(), valid);
        if (valid) {
            QCOMPARE(split->first, name);
            QCOMPARE(split->second, index);
        }
    }
};

QTEST_GUILESS_MAIN(TestCardParts)
#include "tst_CardParts.moc"
