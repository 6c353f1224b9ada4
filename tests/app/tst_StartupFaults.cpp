#include "app/Form1.h"
#include "app/PrintPage.h"
#include "appearance/FontControls.h"
#include "common/Twips.h"
#include "errors/MessagePresenter.h"
#include "errors/VelmoraError.h"
#include "print/FontResolver.h"
#include "settings/ConfigurazioneCodec.h"
#include "settings/SettingsFile.h"
#include "tests/support/ReadOnlyMount.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/TestFiles.h"

#include "ui/qbButtons_H.h"
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QTemporaryDir>

#include <QtTest>

#include <memory>

using namespace velmora::testing;

using namespace velmora;

using velmora::testing::readAll;
using velmora::testing::writeAll;

using velmora::testing::RecordingPresenter;

namespace {

const QString vanishedFace = QStringLiteral("Carattere Dismesso 1998");

} // namespace

class TestStartupFaults : public QObject {
    Q_OBJECT
private:
    RecordingPresenter m_presenter;

    std::unique_ptr<Form1> start(const QString &settingsPath) {
        auto form = std::make_unique<Form1>();
        form->setSettingsPath(settingsPath);
        form->setMessagePresenter(&m_presenter);
        if (!form->avvio({})) {
            return nullptr;
        }
        return form;
    }
    template <typename T> static T *child(const QWidget &form, const char *name) {
        return form.findChild<T *>(QLatin1String(name));
    }

private slots:
    void initTestCase() { Twips::overrideTwipsPerPixel(15); }
    void init() { m_presenter = RecordingPresenter(); }

    // A face that was uninstalled since the settings were saved: the start goes on, the
    // name stays in the list and in the record and goes back to the file unchanged, and the
    // font lookup of the card drawing names it in its message.
    void faceThatNoLongerExists() {
        QVERIFY(!QFontDatabase::families().contains(vanishedFace, Qt::CaseInsensitive));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        Configurazione stored = SettingsFile::defaults();
        stored.FontTombola = vanishedFace;
        stored.setBold(true);
        const QByteArray original = ConfigurazioneCodec::encode(stored);
        QVERIFY(writeAll(path, original));

        auto form = start(path);
        QVERIFY(form);
        QVERIFY(m_presenter.avvisi.isEmpty());
        QCOMPARE(form->fontControls()->fontTombola()->currentText(), vanishedFace);
        QCOMPARE(form->settings().FontTombola.trimmed(), vanishedFace);
        QVERIFY(form->fontControls()->chTipoCarattere(0)->isChecked());
        QVERIFY(form->SalvaConfigurazione());
        QCOMPARE(readAll(path), original);

        QVERIFY(!FontResolver::exists(vanishedFace));
        const auto standIn = FontResolver::face(form->settings().FontTombola.trimmed());
        QVERIFY(standIn && standIn->standIn);
        QCOMPARE(standIn->name, vanishedFace);
    }

    // Damaged files still start the program, showing what they hold; a value no box can show
    // (a size of -1, a colour past 24 bits) takes its default, said once, and is saved so; a
    // file cut short keeps the defaults of what it lacks, and says so once. Bytes beyond the
    // record are kept.
    void damagedFilesStartAndAreSavedBack_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("notices");
        QTest::newRow("all 0xFF") << QByteArray(307, '\xFF') << QString(30, QChar(0xFF)) << "16"
                                  << 1;
        QTest::newRow("truncated after the title")
            << ConfigurazioneCodec::encode(SettingsFile::defaults()).left(68) << "Tombola"
            << "16" << 1;
        QTest::newRow("over-long")
            << ConfigurazioneCodec::encode(SettingsFile::defaults()) + QByteArray(100000, '\x01')
            << "Tombola"
            << "16" << 0;
    }
    void damagedFilesStartAndAreSavedBack() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, title);
        QFETCH(QString, size);
        QFETCH(int, notices);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        QVERIFY(writeAll(path, contents));

        auto form = start(path);
        QVERIFY(form);
        QCOMPARE(m_presenter.avvisi.size(), notices);
        QCOMPARE(child<QLineEdit>(*form, "txtTombola")->text(), title);
        QCOMPARE(form->fontControls()->tombolaFontSize()->text(), size);
        QVERIFY(form->SalvaConfigurazione());
        const QByteArray saved = readAll(path);
        if (notices == 0) {
            QCOMPARE(saved.left(contents.size()), contents);
        } else {
            QVERIFY2(m_presenter.avvisi.constFirst().contains(QDir::toNativeSeparators(path)),
                     qPrintable(m_presenter.avvisi.constFirst()));
        }
        QCOMPARE(saved.mid(307), contents.mid(307));
        QCOMPARE(saved.size(), qMax<qsizetype>(contents.size(), 307));
    }

    // A settings file on a file system that cannot be written: the start reads it, the save
    // says so naming the file, the edits stay in the window and the old file keeps its bytes;
    // "Esci" asks before anything is lost.
    void saveToReadOnlyFileSystem() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("sola-lettura"));
        QVERIFY(QDir().mkdir(folder));
        const QByteArray original = ConfigurazioneCodec::encode(SettingsFile::defaults());
        ReadOnlyMount readOnly(folder, {{QStringLiteral("vel.cnf"), original}});
        if (!readOnly.isReadOnly()) {
            QSKIP(qPrintable(QStringLiteral("cannot mount a read-only file system here: %1")
                                 .arg(readOnly.why())));
        }
        const QString path = QDir(folder).filePath(QStringLiteral("vel.cnf"));

        auto form = start(path);
        QVERIFY(form);
        QVERIFY(m_presenter.avvisi.isEmpty());
        QLineEdit *title = child<QLineEdit>(*form, "txtTombola");
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Festa di Natale"));

        QTest::mouseClick(child<qbButtons_H>(*form, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QVERIFY(m_presenter.avvisi.first().startsWith(QStringLiteral("Impossibile salvare")));
        QVERIFY(m_presenter.avvisi.first().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(form->settings().Titolo.trimmed(), QStringLiteral("Festa di Natale"));
        QCOMPARE(title->text(), QStringLiteral("Festa di Natale"));
        QCOMPARE(readAll(path), original);

        QTest::mouseClick(form->cmdNav(1), Qt::LeftButton); // "Esci": the user chooses to stay
        QCOMPARE(m_presenter.domande.size(), 1);
        QVERIFY(m_presenter.domande.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(form->isVisible());
        QCOMPARE(readAll(path), original);
    }

    // Texts pasted into the print boxes (typing only lets digits and the point through):
    // forty digits, a sign, several points. The text stays as pasted (a first card above the
    // limit aside), the other boxes show exact figures, and the first card's field takes a
    // value only when it fits.
    void oddTextsInThePrintBoxes_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QStringList>("expected"); // pages, cards, first, last
        QTest::addColumn<int>("storedFirst");
        const QString forty = QStringLiteral("1234567890123456789012345678901234567890");
        QTest::newRow("forty digits of cards")
            << "NCartelle" << forty
            << QStringList{"205761315020576131502057613150205761315", forty, "1", forty} << 1;
        QTest::newRow("forty digits of last card")
            << "UltimaCartella" << forty
            << QStringList{"205761315020576131502057613150205761315", forty, "1", forty} << 1;
        QTest::newRow("forty digits of pages")
            << "NPagine" << forty
            << QStringList{forty, "7407407340740740734074074073407407407340", "1", "1"} << 1;
        QTest::newRow("negative cards") << "NCartelle"
                                        << "-13" << QStringList{"-2", "-13", "1", "-13"} << 1;
        QTest::newRow("negative last card") << "UltimaCartella"
                                            << "-6" << QStringList{"-1", "-6", "1", "-6"} << 1;
        QTest::newRow("negative first card") << "PrimaCartella"
                                             << "-40" << QStringList{"1", "1", "-40", "-40"} << -40;
        // A paste that is not one number is refused: the boxes keep what they held.
        QTest::newRow("points and digits in the cards")
            << "NCartelle"
            << "7.5.2" << QStringList{"1", "1", "1", "1"} << 1;
        QTest::newRow("points and digits in the first card")
            << "PrimaCartella"
            << "2.5.9" << QStringList{"1", "1", "1", "1"} << 1;
        QTest::newRow("only points") << "NCartelle"
                                     << "..." << QStringList{"1", "1", "1", "1"} << 1;
        QTest::newRow("point first") << "UltimaCartella"
                                     << ".5" << QStringList{"1", "0.5", "1", ".5"} << 1;
        QTest::newRow("forty digits of first card")
            << "PrimaCartella" << forty << QStringList{"1", "1", "9999", "9999"} << 9999;
        QTest::newRow("first card beyond 16 bits below zero")
            << "PrimaCartella"
            << "-40000" << QStringList{"1", "1", "-40000", "-40000"} << 1;
    }
    void oddTextsInThePrintBoxes() {
        QFETCH(QString, box);
        QFETCH(QString, pasted);
        QFETCH(QStringList, expected);
        QFETCH(int, storedFirst);
        Configurazione settings = SettingsFile::defaults();
        settings.Orientamento = 0;
        PrintPage page(settings);
        page.applySettings();
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        for (const char *name : {"NPagine", "NCartelle", "UltimaCartella"}) {
            page.findChild<QLineEdit *>(QLatin1String(name))->setText(QStringLiteral("1"));
        }

        QGuiApplication::clipboard()->setText(pasted);
        QLineEdit *target = page.findChild<QLineEdit *>(box);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);

        const QStringList shown{page.findChild<QLineEdit *>("NPagine")->text(),
                                page.findChild<QLineEdit *>("NCartelle")->text(),
                                page.findChild<QLineEdit *>("PrimaCartella")->text(),
                                page.findChild<QLineEdit *>("UltimaCartella")->text()};
        QCOMPARE(shown, expected);
        QCOMPARE(int(settings.PrimaCartella), storedFirst);
    }
};

QTEST_MAIN(TestStartupFaults)
#include "tst_StartupFaults.moc"
