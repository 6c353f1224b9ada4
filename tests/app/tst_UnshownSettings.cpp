#include "app/UnshownSettings.h"
#include "settings/SettingsFile.h"

#include <QtTest>

using velmora::Configurazione;
using velmora::SettingsFile;
using velmora::UnshownSettings;

class tst_UnshownSettings : public QObject {
    Q_OBJECT

private slots:
    // A value no box can show takes its default and is named; the fields around it, and
    // values the boxes do show, stay as stored.
    void unshowableValuesTakeTheirDefaults_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("named"); // empty: shown as it is
        QTest::newRow("size 7") << "size 7"
                                << "la dimensione del carattere";
        QTest::newRow("size 8") << "size 8"
                                << "";
        QTest::newRow("size 1000") << "size 1000"
                                   << "la dimensione del carattere";
        QTest::newRow("first card -18351") << "first -18351"
                                           << "la prima cartella";
        QTest::newRow("first card 32767") << "first 32767"
                                          << "";
        QTest::newRow("a colour with its high byte set (kept as older files hold it)") << "colour"
                                                                                       << "";
        QTest::newRow("a title with a newline") << "title newline"
                                                << "il titolo";
        QTest::newRow("a title padded with NULs") << "title nul"
                                                  << "";
    }
    void unshowableValuesTakeTheirDefaults() {
        QFETCH(QString, field);
        QFETCH(QString, named);
        const Configurazione defaults = SettingsFile::defaults();
        Configurazione stored = defaults;
        stored.Frase1 = QStringLiteral("Serata della parrocchia");
        stored.ColoreBordo = 0x123456;
        const QStringList words = field.split(u' ');
        if (words[0] == u"size") {
            stored.Dimensione = qint16(words[1].toInt());
        } else if (words[0] == u"first") {
            stored.PrimaCartella = qint16(words[1].toInt());
        } else if (words[0] == u"colour") {
            stored.ColoreGriglia = 0x7f000000;
        } else if (field == u"title newline") {
            stored.Titolo = QStringLiteral("Tomb\nola");
        } else {
            stored.Titolo = QStringLiteral("Tombola") + QString(3, QChar(0));
        }
        Configurazione shown = stored;
        const QStringList fields = UnshownSettings::fallBack(shown, defaults);
        QCOMPARE(fields, named.isEmpty() ? QStringList() : QStringList{named});
        QCOMPARE(shown.Frase1, stored.Frase1);
        QCOMPARE(shown.ColoreBordo, stored.ColoreBordo);
        if (named.isEmpty()) {
            QVERIFY(shown == stored);
        } else {
            QCOMPARE(shown.Dimensione, defaults.Dimensione);
            QCOMPARE(shown.PrimaCartella, defaults.PrimaCartella);
            QCOMPARE(shown.ColoreGriglia, defaults.ColoreGriglia);
            QCOMPARE(shown.Titolo, defaults.Titolo);
        }
    }
};

QTEST_GUILESS_MAIN(tst_UnshownSettings)
#include "tst_UnshownSettings.moc"
