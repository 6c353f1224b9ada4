#include "app/PrintPage.h"
#include "settings/Configurazione.h"
#include "ui/FiltroNumerico.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using velmora::Configurazione;
using velmora::PrintPage;

namespace {

const QString fortyNines = QString(40, QLatin1Char('9'));

// A print page on its own, shown and active, after start-up has applied the settings.
struct Fixture {
    explicit Fixture(qint16 firstCard = 1, qint16 orientation = 0) {
        settings.PrimaCartella = firstCard;
        settings.Orientamento = orientation;
        page = std::make_unique<PrintPage>(settings);
        page->applySettings();
        page->resetNumerazione();
        page->numericFilter()->setBeep([this] { ++beeps; });
        page->show();
        page->activateWindow();
    }
    // Focus moves need the window active; the offscreen platform activates it at once.
    bool active() const { return QTest::qWaitForWindowActive(page.get()); }
    QLineEdit *box(const QString &name) const { return page->findChild<QLineEdit *>(name); }
    QRadioButton *option(const QString &name) const {
        return page->findChild<QRadioButton *>(name);
    }
    QString text(const QString &name) const { return box(name)->text(); }
    // Empties a box with keys, then types into it, as the user would.
    void retype(const QString &name, const QString &keys) const {
        QLineEdit *target = box(name);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, keys);
    }

    Configurazione settings;
    std::unique_ptr<PrintPage> page;
    int beeps = 0;
};

} // namespace

class TestPrintPage : public QObject {
    Q_OBJECT
private slots:
    void typingKeepsTheBoxesConsistent_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("firstCard");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("expected"); // pages, cards, first, last
        QTest::newRow("12 landscape cards") << 0 << 1 << "NCartelle"
                                            << "12" << QStringList{"2", "12", "1", "12"};
        QTest::newRow("13 landscape cards") << 0 << 1 << "NCartelle"
                                            << "13" << QStringList{"3", "13", "1", "13"};
        QTest::newRow("2 portrait pages leave the last card")
            << 1 << 1 << "NPagine"
            << "2" << QStringList{"2", "6", "1", "3"};
        QTest::newRow("last card 150 from 100") << 0 << 100 << "UltimaCartella"
                                                << "150" << QStringList{"9", "51", "100", "150"};
        QTest::newRow("last card below the first") << 0 << 100 << "UltimaCartella"
                                                   << "93" << QStringList{"-1", "-6", "100", "93"};
        QTest::newRow("five digits of first card")
            << 0 << 1 << "PrimaCartella"
            << "12345" << QStringList{"1", "3", "9999", "10001"};
        QTest::newRow("empty first card") << 0 << 5 << "PrimaCartella"
                                          << "" << QStringList{"1", "3", "", "2"};
        QTest::newRow("forty nines cards")
            << 1 << 1 << "NCartelle" << fortyNines
            << QStringList{QString(40, QLatin1Char('3')), fortyNines, "1", fortyNines};
        QTest::newRow("forty nines first card")
            << 0 << 1 << "PrimaCartella" << fortyNines << QStringList{"1", "3", "9999", "10001"};
    }
    void typingKeepsTheBoxesConsistent() {
        QFETCH(int, orientation);
        QFETCH(int, firstCard);
        QFETCH(QString, boxName);
        QFETCH(QString, keys);
        QFETCH(QStringList, expected);
        Fixture f{qint16(firstCard), qint16(orientation)};
        QVERIFY(f.active());
        f.retype(boxName, keys);
        QCOMPARE(f.text("NPagine"), expected[0]);
        QCOMPARE(f.text("NCartelle"), expected[1]);
        QCOMPARE(f.text("PrimaCartella"), expected[2]);
        QCOMPARE(f.text("UltimaCartella"), expected[3]);
        QCOMPARE(f.beeps, 0);
        const auto stored = velmora::PrintRange::storedFirstCard(expected[2]);
        QVERIFY(stored.has_value());
        QCOMPARE(f.settings.PrimaCartella, *stored);
    }

    void refusedAndForeignKeysLeaveTheRunAlone_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("press"); // false: only the release arrives (focus came with it)
        QTest::addColumn<int>("beeps");
        QTest::newRow("letter in the card count")
            << "NCartelle" << int(Qt::Key_A) << 0 << true << 1;
        QTest::newRow("minus in the page count")
            << "NPagine" << int(Qt::Key_Minus) << 0 << true << 1;
        QTest::newRow("blank in the first card")
            << "PrimaCartella" << int(Qt::Key_Space) << 0 << true << 1;
        QTest::newRow("comma in the last card")
            << "UltimaCartella" << int(Qt::Key_Comma) << 0 << true << 1;
        QTest::newRow("arrow in the page count")
            << "NPagine" << int(Qt::Key_Left) << 0 << true << 0;
        QTest::newRow("release of Alt+A")
            << "NPagine" << int(Qt::Key_A) << int(Qt::AltModifier) << false << 0;
        QTest::newRow("release of Tab") << "NPagine" << int(Qt::Key_Tab) << 0 << false << 0;
        QTest::newRow("release of Enter")
            << "PrimaCartella" << int(Qt::Key_Return) << 0 << false << 0;
    }
    void refusedAndForeignKeysLeaveTheRunAlone() {
        QFETCH(QString, boxName);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, press);
        QFETCH(int, beeps);
        Fixture f;
        QVERIFY(f.active());
        // Texts set without a key, that no row would leave as they are.
        const QStringList names{"NPagine", "NCartelle", "PrimaCartella", "UltimaCartella"};
        for (const QString &name : names) {
            f.box(name)->setText(QStringLiteral("12"));
        }
        QLineEdit *target = f.box(boxName);
        target->setFocus();
        target->setCursorPosition(1);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        if (press) {
            QTest::keyPress(target, Qt::Key(key), mods);
        }
        QTest::keyRelease(target, Qt::Key(key), mods);
        QCOMPARE(f.beeps, beeps);
        for (const QString &name : names) {
            QCOMPARE(f.text(name), QStringLiteral("12"));
        }
    }

    void enterMovesOnAlongTheTabOrder() {
        Fixture f;
        QVERIFY(f.active());
        const QStringList order{"NCartelle",      "PrimaCartella",      "UltimaCartella",
                                "NumCartella(0)", "optOrientamento(0)", "NPagine"};
        f.box("NCartelle")->setFocus();
        QTest::keyClick(f.box("NCartelle"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f.box("PrimaCartella"));
        QTest::keyClick(f.box("PrimaCartella"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), f.box("UltimaCartella"));
        QCOMPARE(f.text("PrimaCartella"), QStringLiteral("1"));
        QCOMPARE(f.beeps, 0);
        // From the card count, Tab visits the boxes and the selected option of each group,
        // and ends on the page count.
        f.box("NCartelle")->setFocus();
        for (const QString &name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Arriving at the page passes through the card count and stops on the page count.
        f.box("UltimaCartella")->setFocus();
        f.page->focusOnArrival();
        QCOMPARE(QApplication::focusWidget(), f.box("NPagine"));
    }

    void focusSelectsTheWholeTextExceptInThePageCount_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<bool>("selects");
        QTest::newRow("card count") << "NCartelle" << true;
        QTest::newRow("first card") << "PrimaCartella" << true;
        QTest::newRow("last card") << "UltimaCartella" << true;
        QTest::newRow("page count") << "NPagine" << false;
    }
    void focusSelectsTheWholeTextExceptInThePageCount() {
        QFETCH(QString, boxName);
        QFETCH(bool, selects);
        Fixture f;
        QVERIFY(f.active());
        f.option("NumCartella(0)")->setFocus();
        QLineEdit *target = f.box(boxName);
        target->setText(QStringLiteral("123"));
        target->setFocus(Qt::OtherFocusReason);
        QCOMPARE(target->selectedText(), selects ? QStringLiteral("123") : QString());
    }

    void startUpAppliesTheStoredSettings_data() {
        QTest::addColumn<int>("storedFirst");
        QTest::addColumn<int>("storedOrientation");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("cardsPerPage");
        QTest::newRow("first 1, landscape") << 1 << 0 << "1" << 1 << "3"
                                            << "1..2..3..4.." << 6;
        QTest::newRow("first 120, portrait") << 120 << 1 << "120" << 120 << "122"
                                             << "120..121..122..123.." << 3;
        QTest::newRow("stored above the limit") << 12000 << 0 << "9999" << 9999 << "10001"
                                                << "9999..10000..10001..10002.." << 6;
        QTest::newRow("unknown orientation keeps portrait") << 1 << 7 << "1" << 1 << "3"
                                                            << "1..2..3..4.." << 3;
        QTest::newRow("negative first card") << -5 << 0 << "-5" << -5 << "-3"
                                             << "-5..-4..-3..-2.." << 6;
    }
    void startUpAppliesTheStoredSettings() {
        QFETCH(int, storedFirst);
        QFETCH(int, storedOrientation);
        QFETCH(QString, first);
        QFETCH(int, field);
        QFETCH(QString, last);
        QFETCH(QString, caption);
        QFETCH(int, cardsPerPage);
        Fixture f{qint16(storedFirst), qint16(storedOrientation)};
        QVERIFY(f.active());
        QCOMPARE(f.text("PrimaCartella"), first);
        QCOMPARE(int(f.settings.PrimaCartella), field);
        QCOMPARE(f.text("UltimaCartella"), last);
        QCOMPARE(f.text("NCartelle"), QStringLiteral("3"));
        QCOMPARE(f.text("NPagine"), QStringLiteral("1"));
        QCOMPARE(f.option("NumCartella(0)")->text(), QStringLiteral("1..2..3..4.."));
        QCOMPARE(f.option("NumCartella(1)")->text(), caption);
        QCOMPARE(f.page->cardsPerPage(), cardsPerPage);
        QCOMPARE(int(f.settings.Orientamento), storedOrientation); // nothing clicked
        QCOMPARE(f.page->primaCartellaText(), first);
        QCOMPARE(f.page->nCartelleText(), QStringLiteral("3"));
    }

    void optionClicksStoreTheirChoiceAndNothingElse() {
        Fixture f(1, 1);
        QVERIFY(f.active());
        QTest::mouseClick(f.option("optOrientamento(0)"), Qt::LeftButton);
        QCOMPARE(int(f.settings.Orientamento), 0);
        QCOMPARE(f.page->cardsPerPage(), 6);
        QCOMPARE(f.text("NPagine"), QStringLiteral("1"));
        QCOMPARE(f.text("NCartelle"), QStringLiteral("3"));
        QTest::mouseClick(f.option("optOrientamento(1)"), Qt::LeftButton);
        QCOMPARE(int(f.settings.Orientamento), 1);
        QCOMPARE(f.page->cardsPerPage(), 3);
        QVERIFY(f.option("NumCartella(0)")->isChecked()); // the groups are apart

        QVERIFY(!f.page->numerazioneArchivio());
        QTest::mouseClick(f.option("NumCartella(1)"), Qt::LeftButton);
        QVERIFY(f.page->numerazioneArchivio());
        QVERIFY(f.option("optOrientamento(1)")->isChecked());
        f.page->resetNumerazione();
        QVERIFY(!f.page->numerazioneArchivio());
        QVERIFY(f.option("NumCartella(0)")->isChecked());
    }

    void pasteTakesNumbersOnly_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("selectAll"); // else the paste goes after the "3" already there
        QTest::addColumn<QString>("cards");  // the card count's text afterwards
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("beeps");
        QTest::newRow("number") << "12" << true << "12"
                                << "2"
                                << "12" << 0;
        QTest::newRow("spaces around") << " 8\n"
                                       << true << "8"
                                       << "2"
                                       << "8" << 0;
        QTest::newRow("point and sign") << "+7.5" << true << "+7.5"
                                        << "2"
                                        << "7.5" << 0;
        QTest::newRow("digits after the text") << "0" << false << "30"
                                               << "5"
                                               << "30" << 0;
        QTest::newRow("words") << "Grande tombola" << true << "3"
                               << "1"
                               << "3" << 1;
        QTest::newRow("number then words") << "8 cartelle" << true << "3"
                                           << "1"
                                           << "3" << 1;
        QTest::newRow("sign after a digit") << "-5" << false << "3"
                                            << "1"
                                            << "3" << 1;
        QTest::newRow("forty nines")
            << fortyNines << true << fortyNines << "1" + QString(38, QLatin1Char('6')) + "7"
            << fortyNines << 0;
    }
    void pasteTakesNumbersOnly() {
        QFETCH(QString, pasted);
        QFETCH(bool, selectAll);
        QFETCH(QString, cards);
        QFETCH(QString, pages);
        QFETCH(QString, last);
        QFETCH(int, beeps);
        Fixture f;
        QVERIFY(f.active());
        QGuiApplication::clipboard()->setText(pasted);
        QLineEdit *count = f.box("NCartelle");
        count->setFocus();
        if (selectAll) {
            count->selectAll();
        } else {
            count->deselect();
            count->end(false);
        }
        QTest::keyClick(count, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(count->text(), cards);
        QCOMPARE(f.beeps, beeps);
        QCOMPARE(f.text("NPagine"), pages);
        QCOMPARE(f.text("UltimaCartella"), last);
        QCOMPARE(f.option("NumCartella(1)")->text(), QStringLiteral("1..2..3..4.."));
    }

    void everyControlHasANameForAssistiveTools() {
        Fixture f;
        QVERIFY(f.active());
        const QStringList labelled{"NPagine", "NCartelle", "PrimaCartella", "UltimaCartella"};
        const QStringList captions{
            "Nunero Pagine:", "Nunero cartelle:", "Prima cartella:", "Ultima cartella:"};
        const auto labels = f.page->findChildren<QLabel *>();
        for (qsizetype i = 0; i < labelled.size(); ++i) {
            const auto found = std::find_if(labels.begin(), labels.end(), [&](QLabel *label) {
                return label->buddy() == f.box(labelled[i]);
            });
            QVERIFY2(found != labels.end(), qPrintable(labelled[i]));
            QCOMPARE((*found)->text(), captions[i]);
        }
        for (const char *name : {"optOrientamento(0)", "optOrientamento(1)"}) {
            QVERIFY(!f.option(QString::fromLatin1(name))->accessibleName().isEmpty());
            QVERIFY(!f.option(QString::fromLatin1(name))->icon().isNull());
        }
        const auto frames = f.page->findChildren<QGroupBox *>();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames.first()->title(), QStringLiteral("Numerazione"));
    }
};

QTEST_MAIN(TestPrintPage)
#include "tst_PrintPage.moc"
