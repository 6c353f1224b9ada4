#include "print/ArchiveValidator.h"
#include "print/CardArchive.h"
#include "print/SeriesGenerator.h"

#include <QtTest>

#include <algorithm>
#include <set>

using velmora::ArchiveFinding;
using velmora::ArchiveRule;
using velmora::ArchiveValidator;
using velmora::CardArchive;
using velmora::RecordCartella;
using velmora::SeriesGenerator;

Q_DECLARE_METATYPE(QList<ArchiveRule>)

namespace {

// A genuine card, written as it is printed: three rows of nine cells.
const QStringList goodCard{
    QStringLiteral(" 3|10|20|  |  |  |  |72|81"),
    QStringLiteral(" 6|11|21|35|  |  |68|  |  "),
    QStringLiteral("  |12|26|36|48|53|  |  |  "),
};

RecordCartella cardFrom(const QStringList &rows, const QString &numero = QStringLiteral("00001")) {
    RecordCartella card;
    for (int row = 0; row < RecordCartella::rows; ++row) {
        const QStringList cells = rows.at(row).split(u'|');
        for (int column = 0; column < RecordCartella::columns; ++column) {
            card.setCellText(RecordCartella::cellIndex(column, row), cells.at(column));
        }
    }
    card.setNumeroArchivio(numero);
    return card;
}

// Applies "column:row=text" changes separated by ';', and "n=text" for the archive number.
RecordCartella changed(RecordCartella card, const QString &changes) {
    for (const QString &change : changes.split(u';', Qt::SkipEmptyParts)) {
        const QString where = change.section(u'=', 0, 0);
        const QString text = change.section(u'=', 1);
        if (where == u"n") {
            card.setNumeroArchivio(text);
        } else {
            card.setCellText(RecordCartella::cellIndex(where.section(u':', 0, 0).toInt(),
                                                       where.section(u':', 1).toInt()),
                             text);
        }
    }
    return card;
}

QList<ArchiveRule> rulesOf(const QList<ArchiveFinding> &findings) {
    std::set<ArchiveRule> rules;
    for (const ArchiveFinding &f : findings) {
        rules.insert(f.rule);
    }
    return {rules.begin(), rules.end()};
}

std::set<int> numbersOf(const RecordCartella &card) {
    std::set<int> numbers;
    for (int k = 0; k < RecordCartella::cellCount; ++k) {
        if (card.isFilled(k)) {
            numbers.insert(card.cellNumber(k));
        }
    }
    return numbers;
}

std::set<int> numbersReported(const QList<ArchiveFinding> &findings, ArchiveRule rule) {
    std::set<int> numbers;
    for (const ArchiveFinding &f : findings) {
        if (f.rule == rule) {
            numbers.insert(f.number);
        }
    }
    return numbers;
}

std::vector<RecordCartella> recordsOf(const QByteArray &stored) {
    std::vector<RecordCartella> cards;
    for (qsizetype at = 0; at < stored.size(); at += RecordCartella::recordSize) {
        cards.push_back(RecordCartella::fromStored(QByteArrayView(stored).sliced(at, 59)));
    }
    return cards;
}

} // namespace

class TestArchiveValidator : public QObject {
    Q_OBJECT
private slots:
    void cardRules_data() {
        using R = ArchiveRule;
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QList<ArchiveRule>>("rules");
        QTest::addColumn<int>("column"); // of the first finding; -1 when it has none
        QTest::addColumn<int>("row");

        QTest::newRow("genuine card") << "" << QList<R>{} << -1 << -1;
        QTest::newRow("00 is an empty cell") << "3:0=00" << QList<R>{} << -1 << -1;
        QTest::newRow("left-aligned number") << "0:0=3 " << QList<R>{} << -1 << -1;
        QTest::newRow("9 in the first column") << "0:1= 9" << QList<R>{} << -1 << -1;
        QTest::newRow("80 and 90 in the last column")
            << "8:0=80;8:2=90;1:2=  " << QList<R>{} << -1 << -1;

        QTest::newRow("letters in an empty cell")
            << "3:0=x " << QList<R>{R::CellNotNumber} << 3 << 0;
        QTest::newRow("letters after a number")
            << "1:0=1x" << QList<R>{R::CellNotNumber, R::RowCount, R::CardCount} << 1 << 0;
        QTest::newRow("91") << "8:0=91" << QList<R>{R::NumberOutOfRange} << 8 << 0;
        QTest::newRow("10 in the first column") << "0:1=19" << QList<R>{R::WrongColumn} << 0 << 1;
        QTest::newRow("80 in column 7") << "7:0=80" << QList<R>{R::WrongColumn} << 7 << 0;
        QTest::newRow("89 in the last column") << "8:0=79" << QList<R>{R::WrongColumn} << 8 << 0;
        QTest::newRow("empty column") << "8:0=  ;3:0=30" << QList<R>{R::ColumnCount} << 8 << -1;
        QTest::newRow("falling column") << "3:1=36;3:2=35" << QList<R>{R::ColumnOrder} << 3 << 2;
        QTest::newRow("number twice") << "3:1=36" << QList<R>{R::DuplicateInCard} << 3 << 2;
        QTest::newRow("six in a row") << "3:0=30" << QList<R>{R::RowCount, R::CardCount} << -1 << 0;
        QTest::newRow("fourteen numbers")
            << "4:2=  " << QList<R>{R::ColumnCount, R::RowCount, R::CardCount} << 4 << -1;
        QTest::newRow("archive number of letters")
            << "n=ABCDE" << QList<R>{R::ArchiveNumber} << -1 << -1;
        QTest::newRow("blank archive number")
            << "n=     " << QList<R>{R::ArchiveNumber} << -1 << -1;
        QTest::newRow("short archive number") << "n= 12  " << QList<R>{} << -1 << -1;
    }
    void cardRules() {
        QFETCH(QString, changes);
        QFETCH(QList<ArchiveRule>, rules);
        QFETCH(int, column);
        QFETCH(int, row);
        const QList<ArchiveFinding> findings =
            ArchiveValidator::checkCard(changed(cardFrom(goodCard), changes), 42);
        QCOMPARE(rulesOf(findings), rules);
        for (const ArchiveFinding &f : findings) {
            QCOMPARE(f.card, 42);
            QVERIFY2(f.message.startsWith(QStringLiteral("Cartella 42: ")), qPrintable(f.message));
        }
        if (!findings.isEmpty()) {
            QCOMPARE(findings.first().column, column);
            QCOMPARE(findings.first().row, row);
        }
    }

    void seriesRules() {
        const auto series = SeriesGenerator(5).nextSeries();
        QVERIFY(ArchiveValidator::checkSeries(series, 1).isEmpty());

        // Card 2 replaced by a copy of card 1: card 1's numbers come twice, card 2's are missing.
        auto broken = series;
        broken[1] = series[0];
        const QList<ArchiveFinding> findings = ArchiveValidator::checkSeries(broken, 7);
        QCOMPARE(rulesOf(findings),
                 (QList<ArchiveRule>{ArchiveRule::SeriesMissing, ArchiveRule::SeriesRepeated}));
        QCOMPARE(numbersReported(findings, ArchiveRule::SeriesRepeated), numbersOf(series[0]));
        QCOMPARE(numbersReported(findings, ArchiveRule::SeriesMissing), numbersOf(series[1]));
        for (const ArchiveFinding &f : findings) {
            QCOMPARE(f.card, f.rule == ArchiveRule::SeriesRepeated ? 8 : 7);
            QVERIFY(f.message.startsWith(QStringLiteral("Serie delle cartelle da 7 a 12")));
        }

        // An unfinished series at the end of an archive misses numbers by nature; repeats count.
        QVERIFY(ArchiveValidator::checkSeries(std::span(series).first(4), 1).isEmpty());
        QCOMPARE(rulesOf(ArchiveValidator::checkSeries(std::span(broken).first(2), 1)),
                 QList<ArchiveRule>{ArchiveRule::SeriesRepeated});
    }

    void wholeArchiveChecksSeriesDuplicatesAndShortRecord() {
        QByteArray stored = SeriesGenerator::makeArchive(14, 11);
        QVERIFY(ArchiveValidator::checkSeries(recordsOf(stored.left(6 * 59)), 1).isEmpty());
        // Card 9 becomes a copy of card 2 (with its own archive number), and half a record
        // dangles at the end.
        RecordCartella copy = RecordCartella::fromStored(QByteArrayView(stored).sliced(59, 59));
        copy.setNumeroArchivio(QStringLiteral("00009"));
        stored.replace(8 * 59, 59, copy.toStored());
        stored += QByteArray(30, static_cast<char>(223));

        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("RidoDur.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stored);
        file.close();
        CardArchive archive(dir.path());
        const QList<ArchiveFinding> findings = ArchiveValidator::checkArchive(archive);

        QCOMPARE(rulesOf(findings),
                 (QList<ArchiveRule>{ArchiveRule::SeriesMissing, ArchiveRule::SeriesRepeated,
                                     ArchiveRule::DuplicateCard, ArchiveRule::IncompleteRecord}));
        const auto duplicate = std::find_if(findings.begin(), findings.end(), [](const auto &f) {
            return f.rule == ArchiveRule::DuplicateCard;
        });
        QCOMPARE(duplicate->card, 9);
        QVERIFY(duplicate->message.contains(QStringLiteral("cartella 2")));
        QCOMPARE(findings.last().rule, ArchiveRule::IncompleteRecord);
        QCOMPARE(findings.last().card, 15);
        // Only the series holding card 9 is broken, and the last, short one is not.
        for (const ArchiveFinding &f : findings) {
            if (f.rule == ArchiveRule::SeriesMissing || f.rule == ArchiveRule::SeriesRepeated) {
                QVERIFY(f.card >= 7 && f.card <= 12);
            }
        }
    }

    void generatedArchivesKeepEveryRule_data() {
        QTest::addColumn<quint32>("firstSeed");
        QTest::addColumn<int>("seeds");
        QTest::addColumn<int>("cards");
        QTest::newRow("many seeds, ten series each") << 0u << 400 << 60;
        QTest::newRow("extreme seeds") << 4294967200u << 95 << 18;
        QTest::newRow("a full-size archive") << 7u << 1 << 32766;
        QTest::newRow("an unfinished last series") << 3u << 5 << 6 * 50 + 4;
    }
    void generatedArchivesKeepEveryRule() {
        QFETCH(quint32, firstSeed);
        QFETCH(int, seeds);
        QFETCH(int, cards);
        for (int i = 0; i < seeds; ++i) {
            const quint32 seed = firstSeed + quint32(i);
            const QByteArray stored = SeriesGenerator::makeArchive(cards, seed);
            QCOMPARE(stored.size(), qsizetype(cards) * 59);
            ArchiveValidator validator;
            for (const RecordCartella &card : recordsOf(stored)) {
                validator.addCard(card);
            }
            validator.finish();
            QCOMPARE(validator.cardsChecked(), cards);
            if (!validator.findings().isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seme %1: %2")
                                     .arg(seed)
                                     .arg(validator.findings().first().message)));
            }
        }
    }

    void generatorIsDeterministicAndNumbersTheCards() {
        const QByteArray first = SeriesGenerator::makeArchive(600, 42);
        QCOMPARE(SeriesGenerator::makeArchive(600, 42), first);
        QVERIFY(SeriesGenerator::makeArchive(600, 43) != first);
        QCOMPARE(SeriesGenerator::makeArchive(13, 42), first.left(13 * 59));
        const std::vector<RecordCartella> cards = recordsOf(first);
        QCOMPARE(cards.front().numeroArchivio(), QStringLiteral("00001"));
        QCOMPARE(cards.at(99).numeroArchivio(), QStringLiteral("00100"));
        QCOMPARE(cards.back().numeroArchivio(), QStringLiteral("00600"));
        // Cells are right-aligned two-character text, empty cells two blanks.
        for (int k = 0; k < RecordCartella::cellCount; ++k) {
            const QString text = cards.front().cellText(k);
            const int value = cards.front().cellNumber(k);
            QCOMPARE(text, value == 0 ? QStringLiteral("  ")
                                      : QString::number(value).rightJustified(2, u' '));
        }
    }

    void generatorUsesEveryShapeOfColumn() {
        // Genuine series mix columns of one, two and three numbers in every column position;
        // a generator stuck on one pattern would still pass the rules.
        SeriesGenerator generator(1);
        std::array<std::set<int>, RecordCartella::columns> sizes;
        for (int s = 0; s < 50; ++s) {
            for (const RecordCartella &card : generator.nextSeries()) {
                for (int column = 0; column < RecordCartella::columns; ++column) {
                    int count = 0;
                    for (int row = 0; row < RecordCartella::rows; ++row) {
                        count += card.isFilled(RecordCartella::cellIndex(column, row)) ? 1 : 0;
                    }
                    sizes[column].insert(count);
                }
            }
        }
        for (const auto &seen : sizes) {
            QCOMPARE(seen, (std::set<int>{1, 2, 3}));
        }
    }
};

QTEST_GUILESS_MAIN(TestArchiveValidator)
#include "tst_ArchiveValidator.moc"
