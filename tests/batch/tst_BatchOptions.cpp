#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"

#include <QtTest>

using velmora::BatchOptions;
using velmora::ProgressBar;

namespace {

QStringList commandLine(const QString &arguments) {
    return QStringList{QStringLiteral("velmora-pdf")} + QProcess::splitCommand(arguments);
}

} // namespace

class tst_BatchOptions : public QObject {
    Q_OBJECT

private slots:
    // What a valid command line asks for, field by field.
    void validCommandLines_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("prima");    // "-" when not given
        QTest::addColumn<QString>("cartelle"); // "-" when not given
        QTest::addColumn<int>("landscape");    // -1 not given, 0 portrait, 1 landscape
        QTest::addColumn<bool>("archivio");    // archive numbering
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("stampante");

        const int print = int(BatchOptions::Mode::Print);
        QTest::newRow("pdf, all defaults") << "--cartelle 60 -o out.pdf" << print << "-"
                                           << "60" << -1 << false << "out.pdf"
                                           << "";
        QTest::newRow("long output name") << "--cartelle 6 --uscita a.pdf" << print << "-"
                                          << "6" << -1 << false << "a.pdf"
                                          << "";
        QTest::newRow("everything") << "--prima 101 --cartelle 7 --orientamento verticale "
                                       "--numerazione archivio --archivio /d --configurazione "
                                       "/c/vel.cnf -o x.pdf"
                                    << print << "101"
                                    << "7" << 0 << true << "x.pdf"
                                    << "";
        QTest::newRow("words in capitals, value with =")
            << "--cartelle=12 --orientamento ORIZZONTALE --numerazione Progressiva -o x.pdf"
            << print << "-"
            << "12" << 1 << false << "x.pdf"
            << "";
        QTest::newRow("printer with a space")
            << "--cartelle 3 --stampante \"Ufficio 2\"" << print << "-"
            << "3" << -1 << false << ""
            << "Ufficio 2";
        QTest::newRow("first card 0 is allowed")
            << "--prima 0 --cartelle 3 -o x.pdf" << print << "0"
            << "3" << -1 << false << "x.pdf"
            << "";
        QTest::newRow("check, whole archive")
            << "--verifica" << int(BatchOptions::Mode::Verify) << "-"
            << "-" << -1 << false << ""
            << "";
        QTest::newRow("check, a range")
            << "--verifica --prima 7 --cartelle 12" << int(BatchOptions::Mode::Verify) << "7"
            << "12" << -1 << false << ""
            << "";
        QTest::newRow("help wins") << "--help -o x.pdf" << int(BatchOptions::Mode::Help) << "-"
                                   << "-" << -1 << false << ""
                                   << "";
        QTest::newRow("-h") << "-h" << int(BatchOptions::Mode::Help) << "-"
                            << "-" << -1 << false << ""
                            << "";
        QTest::newRow("version") << "--version" << int(BatchOptions::Mode::Version) << "-"
                                 << "-" << -1 << false << ""
                                 << "";
    }
    void validCommandLines() {
        QFETCH(QString, arguments);
        QFETCH(int, mode);
        QFETCH(QString, prima);
        QFETCH(QString, cartelle);
        QFETCH(int, landscape);
        QFETCH(bool, archivio);
        QFETCH(QString, output);
        QFETCH(QString, stampante);

        const auto parsed = BatchOptions::parse(commandLine(arguments));
        QVERIFY2(parsed.options, qPrintable(parsed.error));
        const BatchOptions &o = *parsed.options;
        QCOMPARE(int(o.mode), mode);
        QCOMPARE(o.prima.value_or(QStringLiteral("-")), prima);
        QCOMPARE(o.cartelle.value_or(QStringLiteral("-")), cartelle);
        QCOMPARE(o.landscape ? int(*o.landscape) : -1, landscape);
        QCOMPARE(o.numerazione == BatchOptions::Numbering::Archivio, archivio);
        QCOMPARE(o.output, output);
        QCOMPARE(o.stampante, stampante);
    }

    // A PDF's sheet is centred unless --posizione descritta asks for the corner.
    void placement_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("centred");
        QTest::newRow("not given") << "--cartelle 6 -o x.pdf" << true;
        QTest::newRow("centrata") << "--cartelle 6 -o x.pdf --posizione centrata" << true;
        QTest::newRow("descritta, capitals")
            << "--cartelle 6 -o x.pdf --posizione Descritta" << false;
    }
    void placement() {
        QFETCH(QString, arguments);
        QFETCH(bool, centred);
        const auto parsed = BatchOptions::parse(commandLine(arguments));
        QVERIFY2(parsed.options, qPrintable(parsed.error));
        QCOMPARE(parsed.options->centred, centred);
    }

    // Usage errors leave no options and say, in Italian, what is wrong.
    void usageErrors_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("said");

        QTest::newRow("nothing") << ""
                                 << "Indicare dove stampare";
        QTest::newRow("unknown option") << "--cartelle 6 -o x.pdf --copie 2"
                                        << "Opzione sconosciuta: --copie";
        QTest::newRow("unknown short option") << "--cartelle 6 -o x.pdf -z"
                                              << "Opzione sconosciuta: -z";
        QTest::newRow("missing value") << "-o x.pdf --cartelle"
                                       << "Manca il valore dopo --cartelle";
        QTest::newRow("value for a flag") << "--verifica=si"
                                          << "non vuole un valore";
        QTest::newRow("stray argument") << "--cartelle 6 -o x.pdf extra"
                                        << "Argomento inatteso: \"extra\"";
        QTest::newRow("no count") << "-o x.pdf"
                                  << "--cartelle N";
        QTest::newRow("zero cards") << "--cartelle 000 -o x.pdf"
                                    << "nessuna cartella";
        QTest::newRow("count not a number") << "--cartelle dieci -o x.pdf"
                                            << "non \"dieci\"";
        QTest::newRow("negative first card") << "--prima -5 --cartelle 6 -o x.pdf"
                                             << "--prima";
        QTest::newRow("decimal count") << "--cartelle 6.5 -o x.pdf"
                                       << "non \"6.5\"";
        QTest::newRow("bad orientation") << "--cartelle 6 -o x.pdf --orientamento obliquo"
                                         << "non \"obliquo\"";
        QTest::newRow("bad numbering") << "--cartelle 6 -o x.pdf --numerazione romana"
                                       << "non \"romana\"";
        QTest::newRow("bad placement") << "--cartelle 6 -o x.pdf --posizione storta"
                                       << "non \"storta\"";
        QTest::newRow("placement on a printer")
            << "--cartelle 6 --stampante P --posizione descritta"
            << "--posizione vale solo con -o";
        QTest::newRow("file and printer") << "--cartelle 6 -o x.pdf --stampante P"
                                          << "non entrambi";
        QTest::newRow("check and file") << "--verifica -o x.pdf"
                                        << "--verifica non stampa";
        QTest::newRow("check with orientation") << "--verifica --orientamento verticale"
                                                << "--orientamento non vale";
        QTest::newRow("given twice") << "--cartelle 6 --cartelle 12 -o x.pdf"
                                     << "più di una volta";
        QTest::newRow("empty output name") << "--cartelle 6 -o \"  \""
                                           << "-o vuole";
        QTest::newRow("no output name") << "--cartelle 6 -o \"\""
                                        << "Manca il valore dopo -o";
        QTest::newRow("empty archive folder") << "--verifica --archivio \" \""
                                              << "--archivio vuole";
    }
    void usageErrors() {
        QFETCH(QString, arguments);
        QFETCH(QString, said);
        const auto parsed = BatchOptions::parse(commandLine(arguments));
        QVERIFY(!parsed.options);
        QVERIFY2(parsed.error.contains(said), qPrintable(parsed.error));
        // Never the parser's own English.
        for (const char *english : {"Unknown", "Missing", "Unexpected"}) {
            QVERIFY(!parsed.error.contains(QLatin1String(english)));
        }
    }

    // The help names every option, the exit statuses, and what happens on a drawing failure.
    void helpTellsWhatTheProgramDoes() {
        const QString help = BatchOptions::helpText();
        for (const char *option :
             {"--prima", "--cartelle", "--orientamento orizzontale|verticale",
              "--numerazione progressiva|archivio", "--archivio DIR", "--configurazione FILE",
              "--stampante NOME", "-o, --uscita FILE.pdf", "--verifica", "--help", "--version"}) {
            QVERIFY2(help.contains(QLatin1String(option)), option);
        }
        QVERIFY(help.contains(QStringLiteral("Stato di uscita: 0")));
        QVERIFY(
            help.contains(QStringLiteral("errore nel disegno di una cartella ferma la stampa")));
        QVERIFY(BatchOptions::versionText().startsWith(QStringLiteral("velmora-pdf ")));
    }

    // The bar: its text at a few points, and how often it is drawn.
    void progressBar() {
        QCOMPARE(ProgressBar::render(0, 6, QStringLiteral("cartelle")),
                 QStringLiteral("[------------------------------]   0% 0/6 cartelle"));
        QCOMPARE(ProgressBar::render(3, 6, QStringLiteral("cartelle")),
                 QStringLiteral("[###############---------------]  50% 3/6 cartelle"));
        QCOMPARE(ProgressBar::render(32766, 32766, QStringLiteral("cartelle")),
                 QStringLiteral("[##############################] 100% 32766/32766 cartelle"));
        QCOMPARE(ProgressBar::render(9, 6, QStringLiteral("x")).left(32),
                 QStringLiteral("[##############################]"));

        QString text;
        QTextStream stream(&text);
        ProgressBar bar(stream);
        for (int done = 1; done <= 32766; ++done) {
            bar.update(done, 32766);
        }
        bar.finish();
        stream.flush();
        QCOMPARE(text.count(u'\r'), 101); // 0% to 100%, once each
        QVERIFY(text.endsWith(QStringLiteral("32766/32766 cartelle\n")));
    }
};

QTEST_GUILESS_MAIN(tst_BatchOptions)
#include "tst_BatchOptions.moc"
