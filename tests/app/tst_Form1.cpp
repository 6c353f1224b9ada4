#include "app/ElidedLabel.h"
#include "app/Form1.h"
#include "app/PrintPage.h"
#include "app/SalvaPdf.h"
#include "appearance/CardPicture.h"
#include "appearance/FontControls.h"
#include "appearance/clsPrintDialog.h"
#include "common/Twips.h"
#include "errors/MessagePresenter.h"
#include "errors/TestoVersione.h"
#include "print/AnteprimaStampa.h"
#include "print/CurrentPrinter.h"
#include "print/FontResolver.h"
#include "print/PreviewView.h"
#include "print/PrinterTarget.h"
#include "print/SeriesGenerator.h"
#include "settings/ConfigurazioneCodec.h"
#include "settings/RigaIntestazione.h"
#include "settings/SettingsFile.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/RecordingPresenter.h"
#include "tests/support/TestFiles.h"
#include "ui/AbuotForm.h"
#include "ui/FileChooser.h"
#include "ui/qbButtons_H.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>
#include <memory>
#include <optional>

using namespace velmora::testing;

using namespace velmora;

using velmora::testing::readAll;
using velmora::testing::writeAll;

using velmora::testing::RecordingPresenter;

namespace {

// The names a user should find in the face list: each installed family once, without the
// foundry fontconfig appends ("Nimbus Sans [urw]"), and the Windows faces that have a stand-in.
QStringList expectedFaces() {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList seen;
    for (QString family : QFontDatabase::families()) {
        family.remove(foundry);
        if (!family.isEmpty() && !seen.contains(family)) {
            seen.append(family);
        }
    }
    for (const QString &windows : {QStringLiteral("Arial"), QStringLiteral("Times New Roman"),
                                   QStringLiteral("Courier New")}) {
        if (!seen.contains(windows) && velmora::FontResolver::exists(windows)) {
            seen.append(windows);
        }
    }
    return seen;
}

int distinctFamilies() {
    return static_cast<int>(expectedFaces().size());
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPresenter m_presenter;
    QString m_startDir;

    QString settingsPath() const { return m_dir->filePath(QStringLiteral("vel.cnf")); }

    std::unique_ptr<Form1> makeForm(const QString &path) {
        auto form = std::make_unique<Form1>();
        form->setSettingsPath(path);
        form->setMessagePresenter(&m_presenter);
        return form;
    }

    std::unique_ptr<Form1> startedForm(const QString &commandLine = {}) {
        auto form = makeForm(settingsPath());
        if (!form->avvio(commandLine)) {
            return nullptr;
        }
        return form;
    }

    // A window is centred before it is first shown, when its frame is not known yet: once shown
    // it may lie off the centre by its frame's margins, never by more.
    static bool centredOnItsScreen(const QWidget &window) {
        const QRect area = window.screen()->availableGeometry();
        const QRect frame = window.frameGeometry();
        const QRect inner = window.geometry();
        const int slackX = (frame.width() - inner.width()) / 2 + 1;
        const int slackY = (frame.height() - inner.height()) / 2 + 1;
        return qAbs(frame.center().x() - area.center().x()) <= slackX &&
               qAbs(frame.center().y() - area.center().y()) <= slackY;
    }
    static QString geometryText(const QWidget &window) {
        const QRect f = window.frameGeometry();
        const QRect a = window.screen()->availableGeometry();
        return QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
            .arg(f.x())
            .arg(f.y())
            .arg(f.width())
            .arg(f.height())
            .arg(a.width())
            .arg(a.height());
    }

    template <typename T> static T *child(const Form1 &form, const char *name) {
        return form.findChild<T *>(QLatin1String(name));
    }

    // A key as the user types it: the press goes to the control with the focus, the release
    // to whichever has it afterwards.
    static void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyPress(QApplication::focusWidget(), key, modifiers);
        QTest::keyRelease(QApplication::focusWidget(), key, modifiers);
    }
    static PrintPage *toPrintPage(Form1 &form) {
        for (int press = 0; press < 3; ++press) {
            QTest::mouseClick(form.cmdNav(3), Qt::LeftButton);
        }
        return form.printPage();
    }
    std::unique_ptr<Form1> activeForm() {
        auto form = startedForm();
        if (form) {
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get())) {
                return nullptr;
            }
        }
        return form;
    }

private slots:
    void initTestCase() {
        Twips::overrideTwipsPerPixel(15);
        m_startDir = QDir::currentPath();
    }
    void init() {
        QVERIFY(velmora::testing::forgetEvenings());
        m_dir = std::make_unique<QTemporaryDir>();
        m_presenter = RecordingPresenter();
    }
    void cleanup() { QDir::setCurrent(m_startDir); }

    void firstStartShowsPageOneAndCreatesTheFile() {
        auto form = startedForm();
        QVERIFY(form);
        QVERIFY(m_presenter.avvisi.isEmpty());
        QCOMPARE(form->pagina(), 1);
        QVERIFY(form->page(0)->isVisible());
        for (int i = 1; i < Form1::pageCount; ++i) {
            QVERIFY(!form->page(i)->isVisible());
            QCOMPARE(form->page(i)->pos(), QPoint(0, 0));
        }
        QVERIFY(!form->cmdNav(2)->isEnabled());
        QCOMPARE(form->cmdNav(3)->Caption(), QStringLiteral("&Avanti >"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Velmora 2018"));
        QCOMPARE(readAll(settingsPath()), ConfigurazioneCodec::encode(SettingsFile::defaults()));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // Listing the fonts must not replace the stored face shown in the list.
        QCOMPARE(form->fontControls()->fontTombola()->currentText(), QStringLiteral("Arial"));
        QCOMPARE(form->settings().FontTombola.trimmed(), QStringLiteral("Arial"));
        QCOMPARE(form->fontControls()->fontTombola()->count(), distinctFamilies());
        QStringList listed;
        for (int i = 0; i < form->fontControls()->fontTombola()->count(); ++i) {
            listed << form->fontControls()->fontTombola()->itemText(i);
        }
        listed.sort();
        QStringList expected = expectedFaces();
        expected.sort();
        QCOMPARE(listed, expected);
        QCOMPARE(child<QLineEdit>(*form, "txtTombola")->text(), QStringLiteral("Tombola"));
        QCOMPARE(child<QLineEdit>(*form, "TombolaFontSize")->text(), QStringLiteral("16"));
        QCOMPARE(child<QLabel>(*form, "Tombola(0)")->text(), QStringLiteral("Tombola"));
        QCOMPARE(child<QLabel>(*form, "Tombola(1)")->text(), QStringLiteral("Tombola"));
    }

    void startUpRunsUnderTheHourglass() {
        auto form = makeForm(settingsPath());
        bool busyWhileShowing = false;
        connect(form.get(), &Form1::configurazioneMostrata, this, [&busyWhileShowing] {
            const QCursor *cursor = QApplication::overrideCursor();
            busyWhileShowing = cursor && cursor->shape() == Qt::WaitCursor;
        });
        QVERIFY(form->avvio({}));
        QVERIFY(busyWhileShowing);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void navigation_data() {
        QTest::addColumn<QList<int>>("presses");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("backEnabled");
        QTest::addColumn<QString>("forwardCaption");
        QTest::addColumn<QString>("focus"); // empty: not checked
        QTest::addColumn<int>("prints");
        QTest::newRow("appearance") << QList<int>{3} << 2 << true << "&Avanti >"
                                    << "FontTombola" << 0;
        QTest::newRow("headings") << QList<int>{3, 3} << 3 << true << "&Avanti >"
                                  << "txtTombola" << 0;
        QTest::newRow("print page") << QList<int>{3, 3, 3} << 4 << true << "Stampa"
                                    << "NPagine" << 0;
        QTest::newRow("print stays on 4") << QList<int>{3, 3, 3, 3} << 4 << true << "Stampa"
                                          << "NPagine" << 1;
        QTest::newRow("back to the title page") << QList<int>{3, 2} << 1 << false << "&Avanti >"
                                                << "" << 0;
        QTest::newRow("back stops at 1") << QList<int>{2, 2} << 1 << false << "&Avanti >"
                                         << "" << 0;
        QTest::newRow("back from print") << QList<int>{3, 3, 3, 2} << 3 << true << "&Avanti >"
                                         << "txtTombola" << 0;
        QTest::newRow("about keeps the page") << QList<int>{3, 3, 0} << 3 << true << "&Avanti >"
                                              << "txtTombola" << 0;
    }
    void navigation() {
        QFETCH(QList<int>, presses);
        QFETCH(int, page);
        QFETCH(bool, backEnabled);
        QFETCH(QString, forwardCaption);
        QFETCH(QString, focus);
        QFETCH(int, prints);
        auto form = startedForm();
        QVERIFY(form);
        // The print page's boxes come from elsewhere; the window finds them by name.
        for (const char *name : {"NCartelle", "NPagine"}) {
            auto *box = new QLineEdit(form->page(3));
            box->setObjectName(QLatin1String(name));
        }
        int printed = 0;
        int abouts = 0;
        form->setPrintAction([&printed] { ++printed; });
        form->setAboutAction([&abouts] { ++abouts; });
        for (const int index : presses) {
            // through the button, as the user does
            QTest::mouseClick(form->cmdNav(index), Qt::LeftButton);
        }
        QCOMPARE(form->pagina(), page);
        for (int i = 0; i < Form1::pageCount; ++i) {
            QCOMPARE(form->page(i)->isVisible(), i == page - 1);
        }
        QCOMPARE(form->cmdNav(2)->isEnabled(), backEnabled);
        QCOMPARE(form->cmdNav(3)->Caption(), forwardCaption);
        if (!focus.isEmpty()) {
            QVERIFY(form->focusWidget());
            QCOMPARE(form->focusWidget()->objectName(), focus);
        }
        QCOMPARE(printed, prints);
        QCOMPARE(abouts, static_cast<int>(presses.count(0)));
    }

    void commandButtonsShareOneLook() {
        auto form = startedForm();
        QVERIFY(form);
        const QStringList names{"cmdNav(0)", "cmdNav(1)",    "cmdNav(2)",  "cmdNav(3)",
                                "cmdSalva",  "cmdAnteprima", "cmdSalvaPdf"};
        QStringList accessible;
        for (const QString &name : names) {
            auto *button = form->findChild<qbButtons_H *>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->ButtonStyle(), 3);
            QCOMPARE(button->ButtonShape(), 0);
            QCOMPARE(button->Mode(), int(qbButtons_H::PushButton));
            QCOMPARE(button->CaptionAlign(), 2);
            QCOMPARE(button->GradientMode(), 0);
            QCOMPARE(button->BackColor(), form->palette().color(QPalette::Window));
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(name));
            accessible << button->accessibleName();
        }
        QCOMPARE(form->findChild<qbButtons_H *>("cmdSalva")->Caption(),
                 QStringLiteral("Salva configurazione"));
        QCOMPARE(accessible.at(0), QStringLiteral("Informazioni sul programma"));
        QCOMPARE(accessible.at(3), QStringLiteral("Avanti >")); // the access key's mark left out
        // The forward button's name follows its caption to the print page.
        for (int press = 0; press < 3; ++press) {
            QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        }
        QCOMPARE(form->cmdNav(3)->accessibleName(), QStringLiteral("Stampa"));
        QVERIFY(form->cmdNav(3)->parsedCaption().accessKey().isNull());
    }

    void startUpCentresTheWindow() {
        auto form = startedForm();
        QVERIFY(form);
        QVERIFY(form->frameGeometry().width() < form->screen()->availableGeometry().width());
        QVERIFY2(centredOnItsScreen(*form), qPrintable(geometryText(*form)));
    }

    void aboutButtonShowsTheAboutWindow() {
        auto form = startedForm();
        QVERIFY(form);
        QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("not accepted")));
        // OK must close it, not the animation's own end after 600 ticks.
        AbuotForm::animationState().ticks = 0;
        QString version;
        bool centred = false;
        QString where;
        bool modal = false;
        bool formWasBehind = false;
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto *about = qobject_cast<AbuotForm *>(QApplication::activeModalWidget());
            if (!about) {
                return; // nothing to answer: the check below fails
            }
            answered = true;
            modal = about->isModal();
            formWasBehind = about->parentWidget() == form.get();
            version = about->findChild<QLabel *>(QStringLiteral("lbVersion"))->text();
            centred = centredOnItsScreen(*about);
            where = geometryText(*about);
            QTest::mouseClick(about->findChild<qbButtons_H *>(QStringLiteral("Ok")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(form->cmdNav(0), Qt::LeftButton);
        QVERIFY(answered);
        QVERIFY(modal);
        QVERIFY(formWasBehind);
        QCOMPARE(version, QStringLiteral("v. ") + TestoVersione());
        QVERIFY2(centred, qPrintable(where));
        QVERIFY(AbuotForm::animationState().ticks < 600);
        QVERIFY(form->isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(form->findChildren<AbuotForm *>().isEmpty()); // not left behind
        QCOMPARE(form->pagina(), 2);
        QCOMPARE(form->focusWidget()->objectName(), QStringLiteral("FontTombola"));
    }

    void buttonsWorkByMouseAndKeyboard_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("page");        // after the press; 0: the window has closed
        QTest::addColumn<QString>("focusOn"); // what has the focus after the press
        QTest::newRow("Avanti, mouse") << "mouse" << 3 << 2 << "FontTombola";
        QTest::newRow("Avanti, space") << "space" << 3 << 2 << "FontTombola";
        QTest::newRow("Avanti, Alt+A") << "alt+a" << 3 << 2 << "FontTombola";
        QTest::newRow("Avanti, Tab from Esci past the disabled Indietro")
            << "tab" << 3 << 2 << "FontTombola";
        QTest::newRow("Esci, mouse") << "mouse" << 1 << 0 << "";
        QTest::newRow("Esci, space") << "space" << 1 << 0 << "";
        QTest::newRow("Avanti, right button does nothing") << "right" << 3 << 1 << "";
        QTest::newRow("Esci, Enter does nothing") << "enter" << 1 << 1 << "";
    }
    void buttonsWorkByMouseAndKeyboard() {
        QFETCH(QString, way);
        QFETCH(int, button);
        QFETCH(int, page);
        QFETCH(QString, focusOn);
        auto form = startedForm();
        QVERIFY(form);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClicks(child<QLineEdit>(*form, "Tel"), QStringLiteral(" 77")); // an edit to save
        qbButtons_H *target = form->cmdNav(button);
        if (way == QLatin1String("mouse")) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else if (way == QLatin1String("right")) {
            QTest::mouseClick(target, Qt::RightButton);
        } else if (way == QLatin1String("space") || way == QLatin1String("enter")) {
            target->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, way == QLatin1String("space") ? Qt::Key_Space : Qt::Key_Return);
        } else if (way == QLatin1String("alt+a")) {
            QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
        } else {
            form->cmdNav(1)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(form->cmdNav(1), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, Qt::Key_Space);
        }
        if (page == 0) {
            QVERIFY(!form->isVisible());
            QVERIFY(ConfigurazioneCodec::decode(readAll(settingsPath()))
                        .Tel.trimmed()
                        .endsWith(QStringLiteral(" 77")));
            return;
        }
        QVERIFY(form->isVisible());
        QCOMPARE(form->pagina(), page);
        if (!focusOn.isEmpty()) {
            QCOMPARE(QApplication::focusWidget()->objectName(), focusOn);
        }
    }

    void arrivingOnThePrintPageKeepsTheRun_data() {
        QTest::addColumn<QString>("cards"); // typed on page 4 before leaving it, or nothing
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("byTab"); // else back to page 3, then Alt+A
        QTest::newRow("fresh start, landscape") << "" << true << false;
        QTest::newRow("fresh start, portrait") << "" << false << false;
        QTest::newRow("20 cards, portrait") << "20" << false << false;
        QTest::newRow("20 cards, landscape") << "20" << true << false;
        QTest::newRow("20 cards, portrait, Tab") << "20" << false << true;
    }
    void arrivingOnThePrintPageKeepsTheRun() {
        QFETCH(QString, cards);
        QFETCH(bool, landscape);
        QFETCH(bool, byTab);
        auto form = activeForm();
        QVERIFY(form);
        PrintPage *page = toPrintPage(*form);
        if (!cards.isEmpty()) {
            QLineEdit *count = page->box(PrintBox::NCartelle);
            count->setFocus();
            count->selectAll();
            QTest::keyClicks(count, cards);
        }
        page->setLandscape(landscape);
        const QStringList before{page->box(PrintBox::NCartelle)->text(),
                                 page->box(PrintBox::UltimaCartella)->text(),
                                 page->box(PrintBox::NPagine)->text()};
        if (byTab) {
            form->findChild<QWidget *>(QStringLiteral("optOrientamento(1)"))->setFocus();
            typeKey(Qt::Key_Tab);
        } else {
            QTest::mouseClick(form->cmdNav(2), Qt::LeftButton);
            QCOMPARE(form->pagina(), 3);
            typeKey(Qt::Key_A, Qt::AltModifier);
            QCOMPARE(form->pagina(), 4);
        }
        QCOMPARE(QApplication::focusWidget(), page->box(PrintBox::NPagine));
        const QStringList after{page->box(PrintBox::NCartelle)->text(),
                                page->box(PrintBox::UltimaCartella)->text(),
                                page->box(PrintBox::NPagine)->text()};
        QCOMPARE(after, before);
    }

    void printPageShowsFiveDigitNumbersWhole() {
        Configurazione stored = SettingsFile::defaults();
        stored.PrimaCartella = 32767;
        QVERIFY(writeAll(settingsPath(), ConfigurazioneCodec::encode(stored)));
        auto form = activeForm();
        QVERIFY(form);
        PrintPage *page = toPrintPage(*form);
        QLineEdit *count = page->box(PrintBox::NCartelle);
        count->setFocus();
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("90001"));
        QCOMPARE(page->box(PrintBox::UltimaCartella)->text(), QStringLiteral("99999"));
        const QRect pageArea = form->page(3)->rect();
        const auto whole = [&](QWidget *w) {
            return pageArea.contains(QRect(w->mapTo(form->page(3), QPoint(0, 0)), w->size()));
        };
        for (QLabel *label : page->findChildren<QLabel *>()) {
            QVERIFY2(whole(label), qPrintable(label->objectName()));
            // The archive line shortens itself with "…" by design; every other label is whole.
            if (!label->wordWrap() && !qobject_cast<ElidedLabel *>(label)) {
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            }
        }
        for (QLineEdit *box : page->findChildren<QLineEdit *>()) {
            QVERIFY2(whole(box), qPrintable(box->objectName()));
            QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) <
                         box->width() - box->textMargins().left() - box->textMargins().right(),
                     qPrintable(box->objectName()));
        }
        auto *caption = page->findChild<QRadioButton *>(QStringLiteral("NumCartella(1)"));
        QCOMPARE(caption->text(), QStringLiteral("9999..10000..10001..10002.."));
        QVERIFY(whole(caption));
        QVERIFY(caption->fontMetrics().horizontalAdvance(caption->text()) +
                    caption->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) <=
                caption->width());
        QCOMPARE(caption->toolTip(), caption->text());
        for (const char *name : {"optOrientamento(0)", "optOrientamento(1)"}) {
            auto *option = page->findChild<QRadioButton *>(QLatin1String(name));
            QVERIFY2(whole(option) && option->height() >= option->iconSize().height(), name);
        }
    }

    void customButtonsAreAnnouncedAndPressed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("about") << "cmdNav(0)"
                               << "Informazioni sul programma";
        QTest::newRow("exit") << "cmdNav(1)"
                              << "Esci";
        QTest::newRow("back") << "cmdNav(2)"
                              << "< Indietro";
        QTest::newRow("forward") << "cmdNav(3)"
                                 << "Avanti >";
        QTest::newRow("save") << "cmdSalva"
                              << "Salva configurazione";
    }
    void customButtonsAreAnnouncedAndPressed() {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        auto form = activeForm();
        QVERIFY(form);
        form->setAboutAction([] {});
        QTest::mouseClick(form->cmdNav(3), Qt::LeftButton); // "< Indietro" enabled
        auto *button = form->findChild<qbButtons_H *>(name);
        QAccessibleInterface *announced = QAccessible::queryAccessibleInterface(button);
        QVERIFY(announced && announced->actionInterface());
        QCOMPARE(announced->role(), QAccessible::PushButton);
        QCOMPARE(announced->text(QAccessible::Name), spoken);
        const QString press = QAccessibleActionInterface::pressAction();
        QVERIFY(announced->actionInterface()->actionNames().contains(press));
        QSignalSpy clicks(button, &qbButtons_H::Click);
        button->setEnabled(false);
        announced->actionInterface()->doAction(press);
        QCOMPARE(clicks.count(), 0);
        button->setEnabled(true);
        announced->actionInterface()->doAction(press);
        QCOMPARE(clicks.count(), 1);
    }

    // The appearance page's notice of a stand-in face covers none of the page's captions and
    // controls, however long the face's name.
    void standInNoticeCoversNothing() {
        auto form = activeForm();
        QVERIFY(form);
        form->fontControls()->fontTombola()->setEditText(QStringLiteral("Tahoma"));
        const QLabel *notice = form->fontControls()->standIn();
        if (!notice->isVisibleTo(notice->parentWidget())) {
            QSKIP("Tahoma is installed here");
        }
        for (const QWidget *other : notice->parentWidget()->findChildren<QWidget *>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            const bool control = qobject_cast<const QLabel *>(other) ||
                                 qobject_cast<const QAbstractButton *>(other) ||
                                 qobject_cast<const QLineEdit *>(other) ||
                                 qobject_cast<const QComboBox *>(other);
            if (other != notice && control && other->isVisibleTo(other->parentWidget())) {
                QVERIFY2(!notice->geometry().intersects(other->geometry()),
                         qPrintable(other->objectName()));
            }
        }
    }

    // A print the run check refuses (here: no archive anywhere) is refused before the printer
    // dialog opens, with the run's own reason.
    // After a restart, page 4 proposes the card after the last archive card printed this
    // evening.
    void printPageProposesTheEveningsNextCard() {
        {
            velmora::RegisterDatabase db;
            QCOMPARE(velmora::testing::registerEveningRun(
                         db.connection(), {velmora::RunRecord::Outcome::Completed, 7, 30, 24}),
                     1);
        }
        auto form = startedForm();
        QVERIFY(form);
        QCOMPARE(form->printPage()->box(PrintBox::PrimaCartella)->text(), QStringLiteral("31"));
        QCOMPARE(form->settings().PrimaCartella, 31);
    }

    void refusedPrintOpensNoDialog() {
        auto form = activeForm();
        QVERIFY(form);
        form->printPage()->box(PrintBox::NCartelle)->setText(QStringLiteral("6"));
        bool dialogOpened = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (QPrintDialog *print = clsPrintDialog::openDialog(); print && print->isVisible()) {
                dialogOpened = true;
                print->reject();
            }
        });
        poll.start(10);
        const qsizetype said = m_presenter.avvisi.size();
        form->stampa();
        QVERIFY(!dialogOpened);
        QCOMPARE(m_presenter.avvisi.size(), said + 1);
        QVERIFY2(m_presenter.avvisi.constLast().contains(QStringLiteral("RidoDur.dat")),
                 qPrintable(m_presenter.avvisi.constLast()));
    }

    void printDialogOpensOnThePageOrientationAndGivesItBack_data() {
        QTest::addColumn<bool>("landscape"); // on page 4 before "Stampa"
        QTest::addColumn<bool>("change");    // the other orientation chosen in the dialog
        QTest::newRow("landscape kept") << true << false;
        QTest::newRow("landscape to portrait") << true << true;
        QTest::newRow("portrait to landscape") << false << true;
    }
    void printDialogOpensOnThePageOrientationAndGivesItBack() {
        QFETCH(bool, landscape);
        QFETCH(bool, change);
        auto form = activeForm();
        QVERIFY(form);
        CurrentPrinter::target().selectPdfFile(m_dir->filePath(QStringLiteral("orient.pdf")));
        form->printPage()->setLandscape(landscape);
        // A run that can be printed, or the dialog is not opened: an archive where the print
        // looks first, the current folder.
        QTemporaryDir archiveFolder;
        QVERIFY(writeAll(archiveFolder.filePath(QStringLiteral("RidoDur.dat")),
                         velmora::SeriesGenerator::makeArchive(12, 1)));
        const QString folderBefore = QDir::currentPath();
        QDir::setCurrent(archiveFolder.path());
        const auto restore = qScopeGuard([&] { QDir::setCurrent(folderBefore); });
        form->printPage()->box(PrintBox::NCartelle)->setText(QStringLiteral("6"));
        // The orientation is chosen in the printer's properties, a dialog over the print dialog.
        std::optional<bool> shownLandscape;
        auto *poll = new QTimer(form.get());
        connect(poll, &QTimer::timeout, [&, poll] {
            QPrintDialog *print = clsPrintDialog::openDialog();
            auto *shown = QApplication::activeModalWidget();
            if (!print || !print->isVisible() || !shown) {
                return;
            }
            if (shown == print && !shownLandscape) {
                auto *properties = print->findChild<QPushButton *>(QStringLiteral("properties"));
                shownLandscape = false; // until the properties say otherwise
                QTimer::singleShot(0, properties, &QPushButton::click);
            } else if (shown == print) {
                poll->stop();
                print->accept();
            } else if (auto *wide = shown->findChild<QRadioButton *>(QStringLiteral("landscape"))) {
                shownLandscape = wide->isChecked();
                if (change) {
                    shown
                        ->findChild<QRadioButton *>(
                            QLatin1String(landscape ? "portrait" : "landscape"))
                        ->click();
                }
                qobject_cast<QDialog *>(shown)->accept();
            }
        });
        poll->start(10);
        form->stampa();
        QVERIFY(shownLandscape.has_value());
        QCOMPARE(*shownLandscape, landscape);
        const bool now = change ? !landscape : landscape;
        QCOMPARE(form->printPage()->cardsPerPage(), now ? 6 : 3);
        QCOMPARE(form->settings().Orientamento, qint16(now ? 0 : 1));
    }

    void windowIsFixedAndPageThreeShowsBeginnings() {
        Configurazione stored = SettingsFile::defaults();
        stored.Frase1 = QStringLiteral("GRANDE TOMBOLA DI BENEFICENZA PARROCCHIA");
        QVERIFY(writeAll(settingsPath(), ConfigurazioneCodec::encode(stored)));
        auto form = activeForm();
        QVERIFY(form);
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(child<QLineEdit>(*form, "Frase1")->cursorPosition(), 0);
    }

    void pageThreeRefusesWhatTheFileCannotHold_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("accented and euro")
            << QStringLiteral("Caffè €5") << QStringLiteral("Caffè €5");
        QTest::newRow("omega") << QStringLiteral("aΩb") << QStringLiteral("ab");
        QTest::newRow("l with stroke") << QStringLiteral("łódź") << QStringLiteral("ód");
        QTest::newRow("ideograph") << QStringLiteral("中x") << QStringLiteral("x");
    }
    void pageThreeRefusesWhatTheFileCannotHold() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        auto form = activeForm();
        QVERIFY(form);
        auto *via = child<QLineEdit>(*form, "Via");
        via->clear();
        via->setFocus();
        for (const QChar c : typed) { // one typed character each, as a keyboard layout sends it
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(via, &press);
        }
        QCOMPARE(via->text(), kept);
        QCOMPARE(form->settings().Via.trimmed(), kept);
    }

    // Page 4's preview and PDF commands by keyboard: Alt+P shows the run's pages, and the
    // preview's "Stampa…" goes on to the print command; Alt+S asks where to save, proposing a
    // name made of the run's first and last card.
    void previewAndPdfCommandsByKeyboard() {
        auto form = startedForm(QStringLiteral(VELMORA_BINARY_DIR "/data"));
        QVERIFY(form);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (int press = 0; press < 3; ++press) {
            form->cmdNav_Click(3);
        }
        for (const char *name : {"cmdAnteprima", "cmdSalvaPdf"}) { // whole on the page
            auto *button = child<qbButtons_H>(*form, name);
            QVERIFY2(form->page(3)->rect().contains(
                         QRect(button->mapTo(form->page(3), QPoint(0, 0)), button->size())),
                     name);
        }
        form->printPage()->box(PrintBox::PrimaCartella)->setText(QStringLiteral("7"));
        form->printPage()->box(PrintBox::NCartelle)->setText(QStringLiteral("10"));
        int printed = 0;
        form->setPrintAction([&printed] { ++printed; });

        int pagesShown = 0;
        QTimer::singleShot(0, this, [&pagesShown] {
            auto *preview = qobject_cast<AnteprimaStampa *>(QApplication::activeModalWidget());
            QVERIFY(preview);
            pagesShown = preview->view()->pageCount();
            preview->findChild<QAbstractButton *>(QStringLiteral("cmdStampa"))->click();
        });
        QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(pagesShown, 2);
        QCOMPARE(printed, 1);
        form->activateWindow(); // given back, as the window manager does
        QVERIFY(QTest::qWaitForWindowActive(form.get()));

        struct Chooser : FileChooser {
            QString proposed;
            QString fileToSave(QWidget *, const QString &, const QString &offered) override {
                proposed = offered;
                return {};
            }
        } chooser;
        form->salvaPdfCommand().setFileChooser(&chooser);
        QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(QFileInfo(chooser.proposed).fileName(), QStringLiteral("cartelle-7-18.pdf"));
        QVERIFY2(m_presenter.avvisi.isEmpty(), qPrintable(m_presenter.avvisi.join(u'\n')));
        QCOMPARE(printed, 1);
    }

    void storedValuesAreTrimmedAndBuildTheHeadingLine() {
        Configurazione stored = SettingsFile::defaults();
        stored.Ditta = QStringLiteral("  Pro Loco");
        stored.Via = QStringLiteral("   Via Roma 1");
        stored.Tel = QStringLiteral(" 0123 456");
        stored.Titolo = QStringLiteral("  Tombolata");
        QVERIFY(writeAll(settingsPath(), ConfigurazioneCodec::encode(stored)));
        auto form = startedForm();
        QVERIFY(form);
        const QString heading = QStringLiteral("Pro Loco Via Roma 1 0123 456");
        QCOMPARE(child<QLineEdit>(*form, "txtFrase")->text(), heading);
        QCOMPARE(child<QLabel>(*form, "Frase(0)")->text(), heading);
        QCOMPARE(child<QLabel>(*form, "Frase(1)")->text(), heading);
        QCOMPARE(form->settings().Ditta.padded(), QStringLiteral("Pro Loco").leftJustified(30));
        QCOMPARE(child<QLineEdit>(*form, "txtTombola")->text(), QStringLiteral("Tombolata"));

        // Later edits reach the record, and so the printed cards, but not the heading shown.
        QLineEdit *ditta = child<QLineEdit>(*form, "Ditta");
        ditta->clear();
        QTest::keyClicks(ditta, QStringLiteral("Circolo"));
        QCOMPARE(form->settings().Ditta.trimmed(), QStringLiteral("Circolo"));
        QCOMPARE(RigaIntestazione(form->settings()), QStringLiteral("Circolo Via Roma 1 0123 456"));
        QCOMPARE(child<QLineEdit>(*form, "txtFrase")->text(), heading);

        // The title goes at once to both cards and to the record.
        QLineEdit *title = child<QLineEdit>(*form, "txtTombola");
        title->clear();
        QTest::keyClicks(title, QStringLiteral("Festa"));
        QCOMPARE(child<QLabel>(*form, "Tombola(0)")->text(), QStringLiteral("Festa"));
        QCOMPARE(child<QLabel>(*form, "Tombola(1)")->text(), QStringLiteral("Festa"));
        QCOMPARE(form->settings().Titolo.trimmed(), QStringLiteral("Festa"));
    }

    void headingBoxesHaveTheirLimits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("txtTombola") << "txtTombola" << 30;
        QTest::newRow("Frase1") << "Frase1" << 40;
        QTest::newRow("Frase2") << "Frase2" << 40;
        QTest::newRow("Ditta") << "Ditta" << 30;
        QTest::newRow("Via") << "Via" << 33;
        QTest::newRow("Tel") << "Tel" << 30;
        QTest::newRow("TombolaFontSize") << "TombolaFontSize" << 3;
    }
    void headingBoxesHaveTheirLimits() {
        QFETCH(QString, name);
        QFETCH(int, maxLength);
        Form1 form;
        auto *box = form.findChild<QLineEdit *>(name);
        QVERIFY(box);
        QCOMPARE(box->maxLength(), maxLength);
        QVERIFY(!box->accessibleName().isEmpty());
        QVERIFY(box->focusPolicy() & Qt::TabFocus);
    }

    void editsSurviveASaveAndARestart() {
        {
            auto form = startedForm();
            QVERIFY(form);
            QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
            QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
            for (const char *name : {"Frase1", "Via"}) {
                QLineEdit *box = child<QLineEdit>(*form, name);
                box->selectAll();
                QTest::keyClicks(box, QStringLiteral("Nuovo %1").arg(QLatin1String(name)));
            }
            QTest::keyClicks(child<QLineEdit>(*form, "ParX"), QStringLiteral(".5"));
            QTest::mouseClick(child<qbButtons_H>(*form, "cmdSalva"), Qt::LeftButton);
            QVERIFY(m_presenter.avvisi.isEmpty());
        }
        auto again = startedForm();
        QVERIFY(again);
        QCOMPARE(child<QLineEdit>(*again, "Frase1")->text(), QStringLiteral("Nuovo Frase1"));
        QCOMPARE(child<QLineEdit>(*again, "Via")->text(), QStringLiteral("Nuovo Via"));
        QCOMPARE(again->settings().ParX, 0.5f);
        QCOMPARE(child<QLineEdit>(*again, "ParX")->text(), QStringLiteral("0.5"));
    }

    void anUneditedOlderFileIsSavedByteForByte() {
        Configurazione stored = SettingsFile::defaults();
        stored.ParX = 3.25f; // kept exactly while the box is not typed in
        stored.ParY = -1;
        stored.Orientamento = 7; // no such option
        stored.Dimensione = 12;
        stored.Grassetto = 1; // true, though not the -1 that this program writes
        stored.Corsivo = -1;
        stored.FontTombola = QStringLiteral("Liberation Serif");
        stored.Titolo = QStringLiteral("Tombola dell'Epifania");
        stored.Riservato = QByteArray("\x00\x7F riservato \x80\xFF ", 16);
        stored.ColoreBordo = 0x00123456;
        const QByteArray original =
            ConfigurazioneCodec::encode(stored) + QByteArray("coda sconosciuta");
        QVERIFY(writeAll(settingsPath(), original));
        auto form = startedForm();
        QVERIFY(form);
        QVERIFY(form->fontControls()->chTipoCarattere(0)->isChecked());
        QVERIFY(form->fontControls()->chTipoCarattere(1)->isChecked());
        QVERIFY(form->SalvaConfigurazione());
        QCOMPARE(readAll(settingsPath()), original);
    }

    // The calibration boxes show what is stored, so saving again keeps it; a value not even
    // within the limits is shown as it stands, for the user to see and correct.
    void startUpShowsTheStoredCalibration_data() {
        QTest::addColumn<float>("parX");
        QTest::addColumn<float>("parY");
        QTest::addColumn<QString>("shownX");
        QTest::addColumn<QString>("shownY");
        QTest::newRow("zero") << 0.0f << 0.0f << "0"
                              << "0";
        QTest::newRow("decimals") << 12.5f << -3.25f << "12.5"
                                  << "-3.25";
        QTest::newRow("a tenth and the limit") << 0.1f << 50.0f << "0.1"
                                               << "50";
        QTest::newRow("beyond, edited by hand")
            << 80.0f << std::numeric_limits<float>::quiet_NaN() << "80"
            << "nan";
    }
    void startUpShowsTheStoredCalibration() {
        QFETCH(float, parX);
        QFETCH(float, parY);
        QFETCH(QString, shownX);
        QFETCH(QString, shownY);
        Configurazione stored = SettingsFile::defaults();
        stored.ParX = parX;
        stored.ParY = parY;
        const QByteArray original = ConfigurazioneCodec::encode(stored);
        QVERIFY(writeAll(settingsPath(), original));
        auto form = startedForm();
        QVERIFY(form);
        QCOMPARE(child<QLineEdit>(*form, "ParX")->text(), shownX);
        QCOMPARE(child<QLineEdit>(*form, "ParY")->text(), shownY);
        QVERIFY(form->SalvaConfigurazione());
        QVERIFY(m_presenter.avvisi.isEmpty());
        QCOMPARE(readAll(settingsPath()), original);
    }

    // A typed calibration is saved when it is a number within 50 mm; otherwise the box is named
    // in a message, the stored value stays, the box keeps what was typed, and the rest of the
    // settings is saved all the same.
    void savingTheCalibration_data() {
        QTest::addColumn<QString>("typedX");
        QTest::addColumn<QString>("typedY");
        QTest::addColumn<float>("savedX");
        QTest::addColumn<float>("savedY");
        QTest::addColumn<QStringList>("named"); // the boxes the message names
        const QString altezza = QStringLiteral("Parametro Altezza");
        const QString larghezza = QStringLiteral("Parametro Larghezza");
        // Stored beforehand: ParX 4, ParY -1.
        QTest::newRow("both taken") << "7.5"
                                    << "-2" << 7.5f << -2.0f << QStringList();
        QTest::newRow("emptied is 0") << ""
                                      << "-50" << 0.0f << -50.0f << QStringList();
        QTest::newRow("60 refused") << "60"
                                    << "1" << 4.0f << 1.0f << QStringList{altezza};
        QTest::newRow("letters refused, not read as 0")
            << "2"
            << "abc" << 2.0f << -1.0f << QStringList{larghezza};
        QTest::newRow("both refused") << "-51"
                                      << "2,5" << 4.0f << -1.0f << QStringList{altezza, larghezza};
    }
    void savingTheCalibration() {
        QFETCH(QString, typedX);
        QFETCH(QString, typedY);
        QFETCH(float, savedX);
        QFETCH(float, savedY);
        QFETCH(QStringList, named);
        Configurazione stored = SettingsFile::defaults();
        stored.ParX = 4;
        stored.ParY = -1;
        QVERIFY(writeAll(settingsPath(), ConfigurazioneCodec::encode(stored)));
        auto form = startedForm();
        QVERIFY(form);
        QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        QTest::keyClicks(child<QLineEdit>(*form, "Frase1"), QStringLiteral(" salvata"));
        for (const auto &[name, typed] : {std::pair{"ParX", typedX}, std::pair{"ParY", typedY}}) {
            QLineEdit *box = child<QLineEdit>(*form, name);
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Delete);
            QTest::keyClicks(box, typed);
        }
        QTest::mouseClick(child<qbButtons_H>(*form, "cmdSalva"), Qt::LeftButton);

        const Configurazione saved = ConfigurazioneCodec::decode(readAll(settingsPath()));
        QCOMPARE(saved.ParX, savedX);
        QCOMPARE(saved.ParY, savedY);
        QVERIFY(saved.Frase1.trimmed().endsWith(QStringLiteral(" salvata")));
        QCOMPARE(child<QLineEdit>(*form, "ParX")->text(), typedX);
        QCOMPARE(child<QLineEdit>(*form, "ParY")->text(), typedY);
        if (named.isEmpty()) {
            QVERIFY(m_presenter.avvisi.isEmpty());
            return;
        }
        QCOMPARE(m_presenter.avvisi.size(), 1);
        const QString message = m_presenter.avvisi.first();
        for (const QString &box : named) {
            QVERIFY2(message.contains(box), qPrintable(message));
        }
        QCOMPARE(message.count(QStringLiteral("Resta il valore precedente")), named.size());
        if (named.contains(QStringLiteral("Parametro Altezza"))) {
            QVERIFY(message.contains(QStringLiteral("\"%1\"").arg(typedX)));
            QVERIFY(message.contains(QStringLiteral("Resta il valore precedente, 4.")));
        }
        QVERIFY(message.contains(QStringLiteral("Le altre impostazioni sono state salvate")));
    }

    // "Esci" with a refused calibration says so, keeps the stored value, and still ends.
    void exitWithARefusedCalibrationTellsAndEnds() {
        auto form = startedForm();
        QVERIFY(form);
        QLineEdit *box = child<QLineEdit>(*form, "ParY");
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("99"));
        QTest::mouseClick(form->cmdNav(1), Qt::LeftButton);
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QVERIFY(m_presenter.avvisi.first().contains(QStringLiteral("Parametro Larghezza")));
        QVERIFY(m_presenter.domande.isEmpty());
        QVERIFY(!form->isVisible());
        QCOMPARE(ConfigurazioneCodec::decode(readAll(settingsPath())).ParY, 0.0f);
    }

    // The captions stay as they are; each box and its caption explain the shift and its unit.
    void calibrationBoxesExplainThemselves_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("direction");
        QTest::newRow("ParX") << "ParX"
                              << "Parametro Altezza"
                              << "verso il basso";
        QTest::newRow("ParY") << "ParY"
                              << "Parametro Larghezza"
                              << "verso destra";
    }
    void calibrationBoxesExplainThemselves() {
        QFETCH(QString, box);
        QFETCH(QString, caption);
        QFETCH(QString, direction);
        Form1 form;
        auto *edit = form.findChild<QLineEdit *>(box);
        auto *label = form.findChild<QLabel *>(QStringLiteral("lbl") + box);
        QVERIFY(edit && label);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->buddy(), edit);
        for (const QString &tip : {edit->toolTip(), label->toolTip()}) {
            QVERIFY2(tip.contains(QStringLiteral("millimetri")), qPrintable(tip));
            QVERIFY2(tip.contains(direction), qPrintable(tip));
            QVERIFY2(tip.contains(QStringLiteral("da -50 a 50")), qPrintable(tip));
        }
    }

    void commandLineBecomesTheCurrentFolderAndLimitsTheFonts() {
        QTemporaryDir archive;
        const QString folder = archive.filePath(QStringLiteral("cartelle di prova"));
        QVERIFY(QDir().mkpath(folder));
        auto form = startedForm(folder);
        QVERIFY(form);
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        const int listed = form->fontControls()->fontTombola()->count();
        QCOMPARE(listed, std::min(distinctFamilies(), FontControls::maxFontsWithCommandLine));
    }

    void missingCommandLineFolderEndsTheStart() {
        const QString folder = m_dir->filePath(QStringLiteral("non esiste"));
        auto form = makeForm(settingsPath());
        QVERIFY(!form->avvio(folder));
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QVERIFY(m_presenter.avvisi.first().contains(QDir::toNativeSeparators(folder)));
        QVERIFY(!QFile::exists(settingsPath())); // nothing read or written
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void unreadableSettingsEndTheStart() {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("vel.cnf")));
        auto form = makeForm(settingsPath());
        QVERIFY(!form->avvio({}));
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QVERIFY(m_presenter.avvisi.first().contains(QDir::toNativeSeparators(settingsPath())));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // A settings file cut short keeps the defaults it lacks, and the start says so once.
    void incompleteSettingsAreToldOnce() {
        Configurazione stored = SettingsFile::defaults();
        stored.Titolo = QStringLiteral("Corta");
        QVERIFY(writeAll(settingsPath(), ConfigurazioneCodec::encode(stored).left(68)));
        auto form = startedForm();
        QVERIFY(form);
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QVERIFY2(m_presenter.avvisi.first().contains(QStringLiteral("incompleto")),
                 qPrintable(m_presenter.avvisi.first()));
        QCOMPARE(form->settings().Titolo.trimmed(), QStringLiteral("Corta"));
        QCOMPARE(form->settings().Dimensione, qint16(16));
    }

    // Before "Stampa", the print page says which archive a print would read.
    void printPageNamesTheArchive() {
        QTemporaryDir folder;
        QVERIFY(writeAll(folder.filePath(QStringLiteral("RidoDur.dat")),
                         velmora::SeriesGenerator::makeArchive(12, 1)));
        auto form = startedForm(folder.path());
        QVERIFY(form);
        form->setPrintAction([] {});
        for (int press = 0; press < 3; ++press) {
            QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        }
        const auto *label = form->findChild<QLabel *>(QStringLiteral("lblArchivio"));
        QVERIFY(label);
        QVERIFY2(label->text().contains(QStringLiteral("12 cartelle, \"%1/RidoDur.dat\"")
                                            .arg(QDir(folder.path()).canonicalPath())),
                 qPrintable(label->text()));
        // On the page it is one line: the count and the file's name stay when the path is cut.
        const QString shown = static_cast<const ElidedLabel *>(label)->shownText(240);
        QVERIFY2(shown.startsWith(QStringLiteral("Archivio: 12 cartelle, \"…")) &&
                     shown.endsWith(QStringLiteral("/RidoDur.dat\".")),
                 qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= 240);
    }

    // An archive that cannot be read: the tooltip holds the whole reason, and the line keeps
    // the reason after the path whole, shortening the path, as long as the room allows.
    void printPageSaysWhyTheArchiveCannotBeRead() {
        QTemporaryDir folder;
        QFile archive(folder.filePath(QStringLiteral("RidoDur.dat")));
        QVERIFY(archive.open(QIODevice::WriteOnly) && archive.resize(qint64(2) << 30));
        archive.close();
        auto form = startedForm(folder.path());
        QVERIFY(form);
        form->setPrintAction([] {});
        for (int press = 0; press < 3; ++press) {
            QTest::mouseClick(form->cmdNav(3), Qt::LeftButton);
        }
        const auto *label = form->findChild<ElidedLabel *>(QStringLiteral("lblArchivio"));
        QVERIFY(label && label->isVisible());
        const QString reason = label->text();
        QVERIFY2(reason.contains(QStringLiteral("troppo grande")), qPrintable(reason));
        QCOMPARE(label->toolTip(), reason);
        const qsizetype open = reason.indexOf(u'"');
        const qsizetype close = reason.indexOf(u'"', open + 1);
        const QString after = reason.mid(close);
        // Room for all but the path's folders.
        const QFontMetrics metrics = label->fontMetrics();
        const int room = metrics.horizontalAdvance(reason) -
                         metrics.horizontalAdvance(reason.mid(open + 1, close - open - 1)) +
                         metrics.horizontalAdvance(QStringLiteral("…/RidoDur.dat"));
        const QString shown = label->shownText(room);
        QVERIFY2(shown.endsWith(after) && shown.contains(QStringLiteral("…")), qPrintable(shown));
        QVERIFY(metrics.horizontalAdvance(shown) <= room);
    }

    void failedSaveIsReported() {
        // A plain file where the settings folder should be: nothing can be written there.
        QVERIFY(writeAll(m_dir->filePath(QStringLiteral("blocco")), "x"));
        auto form = makeForm(m_dir->filePath(QStringLiteral("blocco/vel.cnf")));
        QVERIFY(form->avvio({})); // goes on with the defaults, after saying so
        QCOMPARE(m_presenter.avvisi.size(), 1);
        QCOMPARE(form->settings().Titolo.trimmed(), QStringLiteral("Tombola"));

        QTest::mouseClick(child<qbButtons_H>(*form, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(m_presenter.avvisi.size(), 2);
        QVERIFY(m_presenter.avvisi.last().startsWith(QStringLiteral("Impossibile salvare")));
        QVERIFY(form->isVisible());
    }

    void exitAsksBeforeLosingEdits_data() {
        QTest::addColumn<bool>("saveWorks");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("saved: quits without asking") << true << false << 0 << false;
        QTest::newRow("failed, stay") << false << false << 1 << true;
        QTest::newRow("failed, quit anyway") << false << true << 1 << false;
    }
    void exitAsksBeforeLosingEdits() {
        QFETCH(bool, saveWorks);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(bool, stillOpen);
        auto form = startedForm();
        QVERIFY(form);
        QTest::keyClicks(child<QLineEdit>(*form, "Tel"), QStringLiteral(" 99"));
        if (!saveWorks) {
            QVERIFY(QFile::remove(settingsPath()));
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("vel.cnf")));
        }
        m_presenter.risposta = answer;
        QTest::mouseClick(form->cmdNav(1), Qt::LeftButton);
        QCOMPARE(m_presenter.domande.size(), questions);
        QCOMPARE(form->isVisible(), stillOpen);
        if (saveWorks) {
            QVERIFY(ConfigurazioneCodec::decode(readAll(settingsPath()))
                        .Tel.trimmed()
                        .endsWith(QStringLiteral(" 99")));
        }
    }

    void closeBoxQuitsWithoutSaving() {
        auto form = startedForm();
        QVERIFY(form);
        const QByteArray before = readAll(settingsPath());
        QTest::keyClicks(child<QLineEdit>(*form, "Frase2"), QStringLiteral(" persa"));
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QCOMPARE(readAll(settingsPath()), before);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_Form1.moc"
