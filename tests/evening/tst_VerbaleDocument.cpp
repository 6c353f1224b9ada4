#include "evening/VerbaleDocument.h"

#include "register/ArchiveFingerprint.h"
#include "settings/SettingsFile.h"
#include "tests/support/CardFixture.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/PdfProbe.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;
using Outcome = RunRecord::Outcome;

namespace {

const ArchiveFingerprint archive{QStringLiteral("/srv/tombola/RidoDur.dat"), 59 * 600,
                                 QStringLiteral("3f5a9c0e7b21d4486a1f0c9e2b7d53a8e6104fbc92d7"
                                                "a5e3c1b0f98d7e6a5b4c")};

// The 40 numbers of the scripted game in the order drawn; the 11th and the 26th are taken back
// at once.
QList<int> scriptedSteps() {
    QList<int> steps;
    for (int i = 0; i < 40; ++i) {
        steps.append(i * 37 % 90 + 1);
        if (i == 10 || i == 25) {
            steps.append(0);
        }
    }
    return steps;
}

// A moment of the evening as the register keeps it, in UTC; the record shows it in Italy's time,
// an hour later in December.
QDateTime utc(int hour, int minute, int second) {
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second), QTimeZone::utc());
}

// The scripted game's claims and awards: Ambo, a Terno shared by two cards that reached it at
// the same draw, Quaterna and Cinquina.
GameScript scriptedGame() {
    GameScript game;
    game.steps = scriptedSteps();
    game.claims = {{utc(20, 14, 5), 1, 27, QStringLiteral("Ambo: vincente")},
                   {utc(20, 20, 40), 2, 130, QStringLiteral("Terno: la cartella ha solo un ambo")},
                   {utc(20, 31, 2), 0, 999, QStringLiteral("La cartella N. 999 non è in gioco")}};
    game.awards = {{0, {{1, 27, 27, 5}}, {}},
                   {1, {{1, 45, 45, 9}, {2, 130, 130, 9}}, {}},
                   {2, {{2, 140, 140, 15}}, {}},
                   {3, {{1, 88, 88, 22}}, {}}};
    game.values = {
        QStringLiteral("5 euro"), QStringLiteral("10 euro"), {}, {}, QStringLiteral("50 euro")};
    return game;
}

// A whole game as a committee signs it: the 90 numbers, the 12th taken back and drawn again;
// Ambo to one card, Terno shared by three (10 euros do not divide into cents evenly), Quaterna
// given whole to each of two, Cinquina a basket, Tombola to a card printed with the archive's
// numbers, and the Tombolino.
GameScript wholeGame() {
    GameScript game;
    for (int n = 1; n <= 90; ++n) {
        game.steps.append(n);
        if (n == 12) {
            game.steps.append({0, 12});
        }
    }
    game.claims = {{utc(20, 5, 0), 1, 27, QStringLiteral("Ambo: vincente")},
                   {utc(20, 9, 0), 2, 130, QStringLiteral("Terno: vincente")},
                   {utc(20, 40, 0), 2, 140, QStringLiteral("Tombola: vincente")}};
    game.awards = {{0, {{1, 27, 27, 2}}, {}},
                   {1, {{1, 45, 45, 3}, {1, 46, 46, 3}, {2, 130, 130, 3}}, {}},
                   {2, {{1, 50, 50, 4}, {1, 51, 51, 4}}, {}},
                   {3, {{1, 60, 60, 5}}, {}},
                   {4, {{2, 140, 140, 60}}, {}},
                   {5, {{1, 88, 88, 75}}, {}}};
    game.values = {QStringLiteral("5 euro"), QStringLiteral("10"), QStringLiteral("2,50 €"),
                   QStringLiteral("un cesto"), QStringLiteral("50 euro")};
    game.wholeToEach = {2};
    game.tombolinoValue = QStringLiteral("20,00");
    return game;
}

Configurazione organiser(const QString &ditta = QStringLiteral("Pro Loco Velmora")) {
    Configurazione settings = SettingsFile::defaults();
    settings.Ditta = ditta;
    settings.Via = QStringLiteral("Via Roma 1");
    settings.Tel = QStringLiteral("Tel. 0123 456789"); // as the settings hold it by default
    settings.Titolo = QStringLiteral("Tombola di Natale");
    return settings;
}

} // namespace

// The record of a game read back from its PDF: what it says, in what order, on how many pages.
class TestVerbaleDocument : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // A register of its own holding one evening: run 1 (cards 1-120, numbered from 1) and run 2
    // (cards 121-240, the archive's numbers), three ranges sold, and the game played.
    std::optional<Verbale> played(const GameScript &script, const QString &eveningName = {},
                                  const Configurazione &settings = organiser(),
                                  const ArchiveFingerprint &printedFrom = archive,
                                  const Signing &signing = {}) {
        const QString path = m_dir.filePath(QStringLiteral("registro-%1.sqlite").arg(++m_files));
        RegisterDatabase db(path);
        EveningStore evenings(db.connection());
        const qint64 run1 =
            registerEveningRun(db.connection(), {Outcome::Completed, 1, 120, 120}, printedFrom);
        const qint64 run2 = registerEveningRun(
            db.connection(), {Outcome::Completed, 121, 240, 120, true, true}, printedFrom);
        QSqlQuery(db.connection())
            .exec(QStringLiteral("UPDATE print_runs SET archive_cards = 600"));
        const std::optional<Evening> evening = evenings.current();
        if (!evening || !evenings.addSold(evening->id, run1, {{1, 60}, {80, 100}}, 150) ||
            !evenings.addSold(evening->id, run2, {{121, 150}}, 200) ||
            (!signing.signers.isEmpty() && !evenings.setSigning(evening->id, signing))) {
            qWarning() << evenings.lastError();
            return std::nullopt;
        }
        if (!eveningName.isEmpty()) {
            QSqlQuery rename(db.connection());
            rename.prepare(QStringLiteral("UPDATE evenings SET name = ?"));
            rename.addBindValue(eveningName);
            if (!rename.exec()) {
                return std::nullopt;
            }
        }
        GameScript kept = script;
        kept.heading = GameStore::Heading{settings.Ditta.trimmed(), settings.Via.trimmed(),
                                          settings.Tel.trimmed(), settings.Titolo.trimmed()};
        const qint64 game = playGame(db.connection(), kept);
        QString reason;
        std::optional<Verbale> verbale =
            game == 0 ? std::nullopt : Verbale::read(db.connection(), game, &reason);
        if (!verbale) {
            qWarning() << reason;
        }
        return verbale;
    }

    QString written(const Verbale &verbale) {
        const QString pdf = m_dir.filePath(QStringLiteral("verbale-%1.pdf").arg(++m_files));
        QString reason;
        if (!writeVerbalePdf(verbale, pdf, &reason)) {
            qWarning() << reason;
            return {};
        }
        return pdf;
    }

private slots:
    void initTestCase() {
        if (!pdfToolsAvailable()) {
            QSKIP("pdftotext and pdfinfo are needed to read the record back");
        }
    }

    // Each part of the record, as a line of the text read back.
    void scriptedGameIsRecorded_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("title") << "^\\s+Verbale dell'estrazione\\s*$";
        QTest::newRow("organiser") << "Organizzatore: Pro Loco Velmora";
        QTest::newRow("street and telephone") << "Via Roma 1 — Tel\\. 0123 456789";
        QTest::newRow("game") << "Partita n\\. 1 della serata \\(n\\. 1 nel registro\\)";
        QTest::newRow("game open") << "Inizio: \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d — Fine: "
                                      "partita in corso";
        QTest::newRow("card title") << "Titolo delle cartelle: Tombola di Natale";
        QTest::newRow("archive") << "RidoDur\\.dat\\s+600\\s+" + archive.sha256 + "$";
        QTest::newRow("run numbered from 1, with its archive")
            << "^\\s+1\\s+N\\. 1-120\\s+1-120\\s+da 1\\s+120\\s+RidoDur\\.dat \\(SHA-256\\s+" +
                   archive.sha256.left(12);
        QTest::newRow("run with the archive's numbers")
            << "^\\s+2\\s+N\\. 121-240\\s+121-240\\s+dell'archivio\\s+120";
        QTest::newRow("sold range") << "^\\s+1\\s+N\\. 80-100\\s+21\\s+1,50 €\\s+31,50 €";
        QTest::newRow("takings") << "Totale\\s+111\\s+181,50 €";
        QTest::newRow("prize with a value")
            << "^\\s+5\\s+Tombola\\s+50,00 €\\s+il valore diviso fra loro";
        QTest::newRow("prize without") << "^\\s+3\\s+Quaterna\\s+—";
        QTest::newRow("count") << "Numeri estratti: 38 \\(annullati: 2\\)";
        QTest::newRow("claim") << "21:14:05\\s+1\\s+N\\. 27\\s+Ambo: vincente";
        QTest::newRow("claim of no run") << "21:31:02\\s+—\\s+N\\. 999\\s+La cartella N\\. 999";
        QTest::newRow("award")
            << "^Ambo\\s+5,00 €\\s+N\\. 27 \\(corsa 1, archivio 27\\)\\s+5ª, il 59";
        QTest::newRow("tie, on one line")
            << "^Terno\\s+10,00 € diviso fra 2\\s+N\\. 45 \\(corsa 1, archivio 45\\),.*9ª, il 27";
        QTest::newRow("last award")
            << "^Cinquina\\s+—\\s+N\\. 88 \\(corsa 1, archivio 88\\)\\s+22ª";
        QTest::newRow("signatures")
            << "Il presidente\\s+Il segretario\\s+Il rappresentante incaricato";
    }

    void scriptedGameIsRecorded() {
        QFETCH(QString, line);
        static const QString text = [this] {
            const std::optional<Verbale> verbale = played(scriptedGame());
            return verbale ? pdfLayoutText(written(*verbale)) : QString();
        }();
        QVERIFY(!text.isEmpty());
        const QRegularExpression pattern(line, QRegularExpression::MultilineOption);
        QVERIFY2(pattern.match(text).hasMatch(), qPrintable(text));
    }

    // Every line of the draw log with its place, time and how it came, a number taken back
    // with no place and the time it was taken back.
    void everyNumberWithItsTakeBack() {
        const std::optional<Verbale> verbale = played(scriptedGame());
        QVERIFY(verbale);
        const QString text = pdfLayoutText(written(*verbale));
        static const QRegularExpression cell(QStringLiteral(
            "(\\d+|—)\\s+(\\d+)\\s+(\\d\\d:\\d\\d:\\d\\d)\\s+(digitato|cliccato|computer)"));
        QStringList read;
        for (auto it = cell.globalMatch(text); it.hasNext();) {
            read.append(it.next().capturedTexts().mid(1).join(u'|'));
        }
        QStringList expected;
        QStringList takenBack;
        const QStringList sources = {"digitato", "cliccato", "computer"};
        const auto clock = [](const QDateTime &t) {
            return t.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
        };
        int standing = 0;
        for (int i = 0; i < verbale->draws.size(); ++i) {
            const DrawLogEntry &entry = verbale->draws.at(i);
            const bool back = entry.takenBack();
            expected.append(QStringList{back ? "—" : QString::number(++standing),
                                        QString::number(entry.number), clock(entry.drawnAt),
                                        sources.at(i % 3)}
                                .join(u'|'));
            if (back) {
                takenBack.append(QStringLiteral("il %1, segnato alle %2, annullato alle %3")
                                     .arg(entry.number)
                                     .arg(clock(entry.drawnAt), clock(entry.takenBackAt)));
            }
        }
        QCOMPARE(verbale->draws.size(), 40);
        // Three columns to a page: the lines come out across, not down; their places order them.
        read.sort();
        expected.sort();
        QCOMPARE(read, expected);
        QCOMPARE(takenBack.size(), 2);
        QVERIFY2(text.simplified().contains(takenBack.join(QStringLiteral("; "))),
                 qPrintable(text));
    }

    // A whole game with a claim after every third number flows over pages, each numbered.
    void longGameFlowsOverNumberedPages() {
        GameScript game;
        for (int n = 1; n <= 90; ++n) {
            game.steps.append(n);
            if (n % 3 == 0) {
                game.claims.append(
                    {utc(21, n / 2, n % 60), 1, n,
                     QStringLiteral("Tombola: la cartella N. %1 non ha vinto").arg(n)});
            }
        }
        const std::optional<Verbale> verbale = played(game);
        QVERIFY(verbale);
        const QString pdf = written(*verbale);
        const int pages = pdfPageCount(pdf);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(VerbaleDocument(*verbale).pageCount(), pages);
        const QStringList texts = pdfLayoutText(pdf).split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(texts.size(), pages);
        for (int page = 1; page <= pages; ++page) {
            QVERIFY2(
                texts.at(page - 1).contains(QStringLiteral("pagina %1 di %2").arg(page).arg(pages)),
                qPrintable(texts.at(page - 1)));
        }
        QSizeF size = pdfPageSize(pdf);
        QCOMPARE(qRound(size.width()), 595); // A4 portrait
        QCOMPARE(qRound(size.height()), 842);
    }

    // A name too long for the line is drawn smaller, then wrapped: all of it is on the page,
    // and no ink leaves the margins.
    void longNamesStayOnThePage_data() {
        QTest::addColumn<QString>("evening");
        QTest::addColumn<QString>("ditta");
        QTest::newRow("short") << "Serata di Natale"
                               << "Pro Loco Velmora";
        QTest::newRow("a little long, shrunk")
            << "Grande tombola di beneficenza della parrocchia di San Michele Arcangelo in Velmora"
            << "Pro Loco Velmora";
        QTest::newRow("very long, wrapped")
            << QString("Grande tombola di beneficenza ").repeated(8) + "fine"
            << "Pro Loco Velmora";
        QTest::newRow("one long word")
            << QString("Tombolissima").repeated(12) << "Pro Loco Velmora";
        QTest::newRow("widest organiser") << "Serata" << QString(30, u'W');
    }

    void longNamesStayOnThePage() {
        QFETCH(QString, evening);
        QFETCH(QString, ditta);
        GameScript game;
        game.steps = {5, 17};
        const std::optional<Verbale> verbale = played(game, evening, organiser(ditta));
        QVERIFY(verbale);
        const QString pdf = written(*verbale);
        QString joined;
        for (const PdfWord &word : pdfWords(pdf)) {
            joined += word.text;
        }
        joined = joined.normalized(QString::NormalizationForm_KC); // "ﬁ" back to "fi"
        for (const QString &name : {evening, ditta}) {
            QVERIFY2(joined.contains(QString(name).remove(u' ')), qPrintable(name));
        }
        const QSizeF page = pdfPageSize(pdf);
        constexpr double margin = 36; // half an inch: inside the printable area of any printer
        for (const QRectF &ink : pdfInkBoxes(pdf)) {
            QVERIFY2(ink.left() >= margin && ink.right() <= page.width() - margin,
                     qPrintable(QStringLiteral("ink %1-%2 of %3")
                                    .arg(ink.left())
                                    .arg(ink.right())
                                    .arg(page.width())));
        }
    }

    // Nothing on the record depends on when it is made: two copies read the same.
    void sameGameGivesTheSameText() {
        const std::optional<Verbale> verbale = played(scriptedGame());
        QVERIFY(verbale);
        const QString first = pdfLayoutText(written(*verbale));
        QVERIFY(!first.isEmpty());
        QCOMPARE(pdfLayoutText(written(*verbale)), first);
    }

    // The record of a whole game on at most three pages, read as text: the money with its sign,
    // each shared prize's division, the totals against the takings, the cards as printed, and
    // the signatories entered for the evening on the page where the record ends.
    void wholeGameIsReadAndSigned() {
        const ArchiveFixture cards(600);
        const std::optional<ArchiveFingerprint> printedFrom = ArchiveFingerprint::of(cards.path());
        QVERIFY(printedFrom);
        const Signing signing{
            QStringLiteral("Salone dell'oratorio"),
            QStringLiteral("Velmora"),
            {{QStringLiteral("Il presidente"), QStringLiteral("Maria Bianchi")},
             {QStringLiteral("Il segretario"), QStringLiteral("Luca Verdi")},
             {QStringLiteral("Il rappresentante incaricato"), QStringLiteral("Anna Neri")}}};
        const std::optional<Verbale> verbale =
            played(wholeGame(), {}, organiser(), *printedFrom, signing);
        QVERIFY(verbale);
        const QString pdf = written(*verbale);
        const int pages = pdfPageCount(pdf);
        QVERIFY2(pages >= 1 && pages <= 3, qPrintable(QString::number(pages)));
        // Plain text, as a search of the PDF reads it: each word with its own letters.
        const QString plain =
            toolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).value_or(QString());
        const QString words = plain.simplified();
        static const QRegularExpression bareAmount(QStringLiteral("\\d,\\d\\d(?!\\s*€)"));
        QVERIFY2(!bareAmount.match(plain).hasMatch(),
                 qPrintable(bareAmount.match(plain).captured()));
        for (const QString &said :
             QStringList{"Verifiche delle vincite", "Luogo dell'estrazione: Salone dell'oratorio",
                         "10,00 € diviso fra 3 cartelle: 3,33 € ciascuna (resto: 0,01 €)",
                         "2,50 € a ciascuna delle 2 cartelle", "N. 00130 (corsa 2, archivio 130)",
                         "N. 00140 (corsa 2, archivio 140)", "Tombolino 20,00 €",
                         "Numeri estratti: 90 (annullati: 1)"}) {
            QVERIFY2(words.contains(said), qPrintable(said + u'\n' + plain));
        }
        // The totals, the close and the names on the page where the record ends.
        const QString last = pdfLayoutText(pdf).split(u'\f', Qt::SkipEmptyParts).last();
        for (const QString &said :
             {QStringLiteral("Premi assegnati in denaro\\s+90,00 €"),
              QStringLiteral("Incasso delle cartelle in gioco \\(111 cartelle\\)\\s+181,50 €"),
              QStringLiteral("Incasso meno premi assegnati\\s+91,50 €"),
              QStringLiteral("Letto, confermato e sottoscritto\\.\\s+Velmora, ") +
                  verbale->eveningDate.toString(QStringLiteral("dd/MM/yyyy")),
              QStringLiteral("Il presidente\\s+Il segretario\\s+Il rappresentante incaricato"),
              QStringLiteral("Maria Bianchi\\s+Luca Verdi\\s+Anna Neri")}) {
            QVERIFY2(QRegularExpression(said).match(last).hasMatch(),
                     qPrintable(said + u'\n' + last));
        }
    }

    // A game the register does not hold is refused in one sentence.
    void missingGameIsSaid() {
        RegisterDatabase db(m_dir.filePath(QStringLiteral("vuoto.sqlite")));
        QString reason;
        QVERIFY(!Verbale::read(db.connection(), 7, &reason));
        QCOMPARE(reason, QStringLiteral("La partita n. 7 non è nel registro."));
    }
};

QTEST_MAIN(TestVerbaleDocument)
#include "tst_VerbaleDocument.moc"
