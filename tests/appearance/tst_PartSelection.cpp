#include "app/Form1.h"
#include "appearance/CardParts.h"
#include "appearance/CardPicture.h"
#include "appearance/FontControls.h"
#include "appearance/PartSelection.h"
#include "appearance/ShowColor.h"
#include "common/Twips.h"
#include "errors/MessagePresenter.h"
#include "settings/Configurazione.h"
#include "settings/SettingsFile.h"

#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <optional>

using namespace velmora;

namespace {

constexpr qint32 chosen = 0x3366CC;

// The appearance page's colour half over two card pictures, with the colour dialog replaced.
struct Page {
    QWidget page;
    CardPicture *preview = new CardPicture(CardPicture::Kind::Preview, &page);
    CardPicture *decorative = new CardPicture(CardPicture::Kind::Decorative, &page);
    Configurazione settings;
    bool appearanceShown = true;
    std::optional<qint32> answer = chosen; // nothing: the user cancels
    int dialogs = 0;
    QWidget *dialogOwner = nullptr;
    QWidget *dialogTarget = nullptr;
    std::unique_ptr<PartSelection> selection;

    Page() {
        selection = std::make_unique<PartSelection>(&page, *preview, *decorative, settings,
                                                    [this] { return appearanceShown; });
        selection->setParent(nullptr); // owned here
        selection->setSceltaColore([this](QWidget *owner, QWidget *target) {
            ++dialogs;
            dialogOwner = owner;
            dialogTarget = target;
            if (answer) {
                SetForeColor(target, *answer);
            }
            return answer.has_value();
        });
    }

    QWidget *control(const QString &name) const {
        if (auto *w = preview->findChild<QWidget *>(name)) {
            return w;
        }
        return decorative->findChild<QWidget *>(name);
    }
    static qint32 fill(const QWidget *w) {
        return PartSelection::coloreDi(w, RuoloColore::Riempimento);
    }
    static qint32 text(const QWidget *w) { return ForeColor(w); }

    // Every preview control of every part, with the colour it shows.
    QMap<QString, qint32> previewColours() const {
        QMap<QString, qint32> colours;
        for (const ParteCartella &part : CardParts::tutte()) {
            for (const ControlloParte &c : part.controlli) {
                const QWidget *w = preview->findChild<QWidget *>(c.objectName());
                colours.insert(c.objectName(), PartSelection::coloreDi(w, part.ruolo));
            }
        }
        return colours;
    }

    // Ten different colours, one a part, on the preview.
    void colourEveryPart() {
        qint32 colour = 0x000010;
        for (const ParteCartella &part : CardParts::tutte()) {
            settings.*part.campo = colour;
            colour += 0x000010;
        }
        selection->applicaColori();
    }
};

void moveOver(QWidget *w, Qt::MouseButtons buttons = Qt::NoButton) {
    const QPointF at = QRectF(w->rect()).center();
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void click(QWidget *w) {
    const QPointF at = QRectF(w->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

QList<qint32> fields(const Configurazione &s) {
    return {s.ColoreTitolo,       s.ColoreNumeroCartella, s.ColoreLineaSottile,
            s.ColoreLineaGrossa,  s.ColoreGriglia,        s.ColoreBordo,
            s.ColoreFrase,        s.ColorePrimaCinquina,  s.ColoreSecondaCinquina,
            s.ColoreTerzaCinquina};
}

// Answers the colour dialog once it is up, from the event loop it runs.
void answerDialog(std::function<void(QColorDialog *)> answer) {
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            answerDialog(answer);
            return;
        }
        answer(dialog);
    });
}

class SilentPresenter : public MessagePresenter {
public:
    void avviso(QWidget *, const QString &text) override { messages << text; }
    bool conferma(QWidget *, const QString &text) override {
        messages << text;
        return false;
    }
    QStringList messages;
};

} // namespace

class TestPartSelection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Twips::overrideTwipsPerPixel(15); }

    void pointingShowsNameKeyAndColour_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<qint32>("colour"); // as colourEveryPart gives it
        QTest::newRow("title") << "Tombola(1)"
                               << "Titolo Cartella"
                               << "Tombola" << 0x10;
        QTest::newRow("card number") << "lblNumeroCartella(1)"
                                     << "Numero Cartella"
                                     << "lblNumeroCartella" << 0x20;
        QTest::newRow("thin line") << "picLineaSottile"
                                   << "Linea Sottile"
                                   << "picLineaSottile" << 0x30;
        QTest::newRow("thick line") << "picLineaGrossa"
                                    << "Linea Grossa"
                                    << "picLineaGrossa" << 0x40;
        QTest::newRow("grid strip 4") << "imgGriglia(4)"
                                      << "Griglia Cartella"
                                      << "imgGriglia" << 0x50;
        QTest::newRow("border strip 2") << "imgBordoCartella(2)"
                                        << "Bordo Cartella"
                                        << "imgBordoCartella" << 0x60;
        QTest::newRow("heading") << "Frase(1)"
                                 << "Frase"
                                 << "Frase" << 0x70;
        QTest::newRow("first row, 50") << "Label6(20)"
                                       << "Numeri Prima Cinquina"
                                       << "Label620" << 0x80;
        QTest::newRow("second row, 17") << "Label6(18)"
                                        << "Numeri Seconda Cinquina"
                                        << "Label618" << 0x90;
        QTest::newRow("third row, 89") << "Label6(27)"
                                       << "Numeri Terza Cinquina"
                                       << "Label627" << 0xA0;
        // The title page's card: same keys, no part names, always black.
        QTest::newRow("title page title") << "Tombola(0)"
                                          << ""
                                          << "Tombola" << 0;
        QTest::newRow("title page number") << "Label6(7)"
                                           << ""
                                           << "Label67" << 0;
        QTest::newRow("title page heading") << "Frase(0)"
                                            << ""
                                            << "Frase" << 0;
    }
    void pointingShowsNameKeyAndColour() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(qint32, colour);
        Page p;
        p.colourEveryPart();
        p.selection->txtParteCartella()->setText(QStringLiteral("prima"));
        QWidget *w = p.control(control);
        QVERIFY(w);
        moveOver(w, Qt::RightButton); // any button state points
        QCOMPARE(p.selection->txtParteCartella()->text(), name);
        QCOMPARE(p.selection->chiaveParte(), key);
        QCOMPARE(p.selection->txtParteCartella()->property("Tag").toString(), key);
        QCOMPARE(Page::fill(p.selection->lbColor()), colour);
        QCOMPARE(p.dialogs, 0); // pointing never asks for a colour
    }

    void pointingAtNoPartChangesNothing_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("grid line") << "lnGriglia(3)";
        QTest::newRow("row line") << "lnGriglia(0)";
        QTest::newRow("preview card") << "picCartella(0)";
        QTest::newRow("title page card") << "picCartella(2)";
    }
    void pointingAtNoPartChangesNothing() {
        QFETCH(QString, control);
        Page p;
        p.colourEveryPart();
        moveOver(p.control(QStringLiteral("picLineaGrossa")));
        QWidget *w =
            control.startsWith(u"picCartella")
                ? (control.endsWith(u"(0)") ? static_cast<QWidget *>(p.preview) : p.decorative)
                : p.control(control);
        QVERIFY(w);
        moveOver(w);
        QCOMPARE(p.selection->txtParteCartella()->text(), QStringLiteral("Linea Grossa"));
        QCOMPARE(p.selection->chiaveParte(), QStringLiteral("picLineaGrossa"));
        QCOMPARE(Page::fill(p.selection->lbColor()), 0x40);
    }

    void gridColourReachesFourStripsAndTenLines() {
        Page p;
        p.colourEveryPart();
        const QMap<QString, qint32> before = p.previewColours();
        moveOver(p.control(QStringLiteral("imgGriglia(1)")));
        p.selection->lbColor_Click();
        QCOMPARE(p.dialogs, 1);
        for (int i : {0, 1, 3, 4}) {
            QCOMPARE(Page::fill(p.preview->imgGriglia(i)), chosen);
        }
        for (int i = 0; i < CardPicture::gridLineCount; ++i) {
            QCOMPARE(Page::fill(p.preview->lnGriglia(i)), chosen);
        }
        QCOMPARE(p.settings.ColoreGriglia, chosen);
        // Nothing else moved.
        const QMap<QString, qint32> after = p.previewColours();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (!it.key().startsWith(u"imgGriglia") && !it.key().startsWith(u"lnGriglia")) {
                QCOMPARE(after.value(it.key()), it.value());
            }
        }
        QCOMPARE(p.settings.ColoreBordo, 0x60);
        QCOMPARE(Page::fill(p.selection->lbColor()), chosen);
    }

    void gridFieldIsReadFromTheTopStrip() {
        Page p;
        // Only strip 0 is read back: a colour put on strip 3 alone does not reach the field.
        PartSelection::coloraControllo(p.preview->imgGriglia(3), RuoloColore::Riempimento,
                                       0x0000FF);
        PartSelection::coloraControllo(p.preview->imgGriglia(0), RuoloColore::Riempimento,
                                       0x00FF00);
        p.selection->lbColor_Click(); // no key: only the read-back
        QCOMPARE(p.settings.ColoreGriglia, 0x00FF00);
    }

    void aNumberRecoloursExactlyItsRow_data() {
        QTest::addColumn<int>("pointed");
        QTest::addColumn<QList<int>>("row");
        QTest::addColumn<int>("field");
        QTest::newRow("first row, from 25") << 25 << QList<int>{15, 16, 17, 25, 20} << 7;
        QTest::newRow("first row, from 20") << 20 << QList<int>{15, 16, 17, 25, 20} << 7;
        QTest::newRow("second row, from 29") << 29 << QList<int>{18, 24, 22, 29, 28} << 8;
        QTest::newRow("second row, from 18") << 18 << QList<int>{18, 24, 22, 29, 28} << 8;
        QTest::newRow("third row, from 19") << 19 << QList<int>{26, 23, 21, 19, 27} << 9;
        QTest::newRow("third row, from 21") << 21 << QList<int>{26, 23, 21, 19, 27} << 9;
    }
    void aNumberRecoloursExactlyItsRow() {
        QFETCH(int, pointed);
        QFETCH(QList<int>, row);
        QFETCH(int, field);
        Page p;
        p.colourEveryPart();
        const QList<qint32> fieldsBefore = fields(p.settings);
        click(p.preview->label6(pointed));
        QCOMPARE(p.dialogs, 1);
        // The field of each label's row, as colourEveryPart coloured them.
        const QHash<int, int> rowField{{15, 7}, {16, 7}, {17, 7}, {25, 7}, {20, 7},
                                       {18, 8}, {24, 8}, {22, 8}, {29, 8}, {28, 8},
                                       {26, 9}, {23, 9}, {21, 9}, {19, 9}, {27, 9}};
        for (int index = 15; index < 30; ++index) {
            const qint32 expected = row.contains(index) ? chosen : fieldsBefore.at(rowField[index]);
            QCOMPARE(Page::text(p.preview->label6(index)), expected);
        }
        for (int index = 0; index < 15; ++index) {
            QCOMPARE(Page::text(p.decorative->label6(index)), 0); // never coloured
        }
        QList<qint32> expectedFields = fieldsBefore;
        expectedFields[field] = chosen;
        QCOMPARE(fields(p.settings), expectedFields);
    }

    void titlePageLabelsSelectThePreviewsPart_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("recoloured");
        QTest::newRow("title") << "Tombola(0)"
                               << "Tombola(1)";
        QTest::newRow("card number") << "lblNumeroCartella(0)"
                                     << "lblNumeroCartella(1)";
        QTest::newRow("heading") << "Frase(0)"
                                 << "Frase(1)";
    }
    void titlePageLabelsSelectThePreviewsPart() {
        QFETCH(QString, control);
        QFETCH(QString, recoloured);
        Page p;
        // Clicked on the title page: it selects only, the colour choice waits for page 2.
        p.appearanceShown = false;
        click(p.control(control));
        QCOMPARE(p.dialogs, 0);
        p.appearanceShown = true;
        p.selection->lbColor_Click();
        QCOMPARE(Page::text(p.control(recoloured)), chosen);
        QCOMPARE(Page::text(p.control(control)), 0);
    }

    // The key of no preview part, or none at all: the preview stays as it is, and the ten
    // fields are rewritten from it, mending whatever they held.
    void aKeyOfNoPartRecoloursNothingButRefreshesTheFields_data() {
        QTest::addColumn<QString>("pointed"); // empty: nothing pointed at since the start
        QTest::newRow("no part yet") << "";
        QTest::newRow("title page number") << "Label6(3)";
        QTest::newRow("title page number 14") << "Label6(14)";
    }
    void aKeyOfNoPartRecoloursNothingButRefreshesTheFields() {
        QFETCH(QString, pointed);
        Page p;
        p.colourEveryPart();
        const QMap<QString, qint32> before = p.previewColours();
        const QList<qint32> shown = fields(p.settings);
        if (!pointed.isEmpty()) {
            moveOver(p.decorative->findChild<QWidget *>(pointed));
            QVERIFY(p.selection->txtParteCartella()->text().isEmpty());
        } else {
            QVERIFY(p.selection->chiaveParte().isEmpty());
        }
        p.settings.ColoreTitolo = 0x0A0B0C; // drifted from the preview
        p.settings.ColoreTerzaCinquina = 0x01000000;
        p.selection->lbColor_Click();
        QCOMPARE(p.dialogs, 1);
        QCOMPARE(p.previewColours(), before);
        QCOMPARE(fields(p.settings), shown);
        QCOMPARE(Page::fill(p.selection->lbColor()), chosen);
    }

    void cancelChangesNothing() {
        Page p;
        p.colourEveryPart();
        moveOver(p.preview->frase());
        const QMap<QString, qint32> before = p.previewColours();
        p.settings.ColoreFrase = 0x0A0B0C; // would be mended by a confirmed choice
        const Configurazione settingsBefore = p.settings;
        p.answer.reset();
        click(p.preview->frase());
        QCOMPARE(p.dialogs, 1);
        QCOMPARE(p.previewColours(), before);
        QVERIFY(p.settings == settingsBefore);
        QCOMPARE(Page::fill(p.selection->lbColor()), 0x70); // the part's colour stays
    }

    void theChoiceActsOnlyOnTheAppearancePage() {
        Page p;
        moveOver(p.preview->picLineaSottile());
        p.appearanceShown = false;
        p.settings.ColoreLineaSottile = 0x0A0B0C;
        p.selection->lbColor_Click();
        click(p.preview->picLineaSottile());
        QCOMPARE(p.dialogs, 0);
        QCOMPARE(Page::fill(p.preview->picLineaSottile()), 0);
        QCOMPARE(p.settings.ColoreLineaSottile, 0x0A0B0C);
    }

    void theSwatchAnswersClickAndKeys() {
        Page p;
        p.page.show();
        moveOver(p.preview->picLineaGrossa());
        click(p.selection->lbColor());
        QCOMPARE(p.dialogs, 1);
        QCOMPARE(p.dialogOwner, p.page.window());
        QCOMPARE(p.dialogTarget, p.selection->lbColor());
        QCOMPARE(Page::fill(p.preview->picLineaGrossa()), chosen);
        QCOMPARE(p.settings.ColoreLineaGrossa, chosen);
        p.selection->lbColor()->setFocus();
        QTest::keyClick(p.selection->lbColor(), Qt::Key_Space);
        QTest::keyClick(p.selection->lbColor(), Qt::Key_Return);
        QCOMPARE(p.dialogs, 3);
        // A press that leaves the swatch before the release is no click.
        const QPointF inside = QRectF(p.selection->lbColor()->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, inside, inside, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(p.selection->lbColor(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-5, -5), QPointF(-5, -5),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(p.selection->lbColor(), &release);
        QCOMPARE(p.dialogs, 3);
    }

    void storedColoursReachThePreview() {
        Page p;
        p.colourEveryPart();
        QCOMPARE(Page::text(p.preview->tombola()), 0x10);
        QCOMPARE(Page::text(p.preview->lblNumeroCartella()), 0x20);
        QCOMPARE(Page::fill(p.preview->picLineaSottile()), 0x30);
        QCOMPARE(Page::fill(p.preview->picLineaGrossa()), 0x40);
        for (int i = 0; i < CardPicture::gridLineCount; ++i) {
            QCOMPARE(Page::fill(p.preview->lnGriglia(i)), 0x50);
        }
        for (int i = 0; i < CardPicture::borderCount; ++i) {
            QCOMPARE(Page::fill(p.preview->imgBordoCartella(i)), 0x60);
        }
        QCOMPARE(Page::text(p.preview->frase()), 0x70);
        QCOMPARE(Page::text(p.preview->label6(16)), 0x80);
        QCOMPARE(Page::text(p.preview->label6(24)), 0x90);
        QCOMPARE(Page::text(p.preview->label6(23)), 0xA0);
        QCOMPARE(Page::text(p.decorative->tombola()), 0);   // the title page's card stays black
        QCOMPARE(Page::fill(p.preview->frase()), 0xFFFFFF); // on its white strip
    }

    void aStoredValueThatIsNoColourIsSkipped() {
        Page p;
        p.colourEveryPart();
        p.settings.ColoreBordo = qint32(0x80000005); // a Windows system colour
        p.settings.ColoreTitolo = -1;
        p.selection->applicaColori(); // must not throw
        QCOMPARE(Page::fill(p.preview->imgBordoCartella(3)), 0x60);
        QCOMPARE(Page::text(p.preview->tombola()), 0x10);
        QCOMPARE(Page::fill(p.preview->picLineaSottile()), 0x30);
        // The next colour choice writes the colours shown back into the fields.
        p.selection->lbColor_Click();
        QCOMPARE(p.settings.ColoreBordo, 0x60);
        QCOMPARE(p.settings.ColoreTitolo, 0x10);
    }

    // Start-up puts the stored colours on the preview and the stored font on both cards; the
    // real colour dialog then works on page 2 only.
    void theMainWindowWiresTheAppearancePage() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vel.cnf"));
        Configurazione stored = SettingsFile::defaults();
        stored.ColoreGriglia = 0x00AA00;
        stored.ColoreSecondaCinquina = 0x0000CC;
        stored.ColoreTitolo = 0x01000000; // no colour: skipped, the title stays black
        stored.Dimensione = 20;
        stored.FontTombola = QStringLiteral("DejaVu Serif");
        stored.setBold(true);
        QVERIFY(SettingsFile(path).save(stored).ok);

        SilentPresenter presenter;
        Form1 form;
        form.setSettingsPath(path);
        form.setMessagePresenter(&presenter);
        QVERIFY(form.avvio({}));
        CardPicture *preview = form.picCartella(0);
        CardPicture *decorative = form.picCartella(2);
        QCOMPARE(Page::fill(preview->lnGriglia(7)), 0x00AA00);
        QCOMPARE(Page::fill(preview->imgGriglia(4)), 0x00AA00);
        QCOMPARE(Page::text(preview->label6(29)), 0x0000CC);
        QCOMPARE(Page::text(preview->tombola()), 0);
        QCOMPARE(Page::text(decorative->label6(3)), 0);
        for (const CardPicture *card : {preview, decorative}) {
            QCOMPARE(card->tombola()->font().family(), QStringLiteral("DejaVu Serif"));
            QVERIFY(card->tombola()->font().bold());
            QVERIFY(std::abs(card->tombola()->font().pointSizeF() - 26 / 1.5) < 0.001);
            QVERIFY(std::abs(card->label6(card->firstNumberIndex())->font().pointSizeF() -
                             20 / 1.5) < 0.001);
        }
        QCOMPARE(form.settings().ColoreTitolo, 0x01000000); // untouched until a colour choice

        // Page 1: a click on the title page's card selects without asking.
        PartSelection *selection = form.partSelection();
        int dialogs = 0;
        const auto answer = [&dialogs](QColorDialog *dialog) {
            ++dialogs;
            dialog->setCurrentColor(QColor(0x10, 0x20, 0x30));
            dialog->accept();
        };
        click(decorative->label6(5));
        QCOMPARE(selection->chiaveParte(), QStringLiteral("Label65"));
        QCOMPARE(dialogs, 0);

        form.cmdNav_Click(3);
        QCOMPARE(form.pagina(), 2);
        answerDialog(answer);
        click(preview->label6(22));
        QCOMPARE(dialogs, 1);
        QCOMPARE(selection->txtParteCartella()->text(), QStringLiteral("Numeri Seconda Cinquina"));
        for (int index : {18, 24, 22, 29, 28}) {
            QCOMPARE(Page::text(preview->label6(index)), 0x302010);
        }
        QCOMPARE(form.settings().ColoreSecondaCinquina, 0x302010);
        QCOMPARE(form.settings().ColoreTitolo, 0); // read back from the preview
        QCOMPARE(form.settings().ColoreGriglia, 0x00AA00);

        // Typing a size reaches the cards at once; the face typed clears the bold.
        QLineEdit *size = form.findChild<QLineEdit *>(QStringLiteral("TombolaFontSize"));
        size->setText(QStringLiteral("12"));
        QVERIFY(std::abs(preview->lblNumeroCartella()->font().pointSizeF() - 11 / 1.5) < 0.001);
        size->setText(QStringLiteral("0")); // no card prints it: refused, the cards keep theirs
        QVERIFY(std::abs(preview->lblNumeroCartella()->font().pointSizeF() - 11 / 1.5) < 0.001);
        size->setText(QStringLiteral("16"));
        QVERIFY(std::abs(preview->tombola()->font().pointSizeF() - 22 / 1.5) < 0.001);
        form.activateWindow();
        QLineEdit *face = form.fontControls()->fontTombola()->lineEdit();
        face->setFocus();
        QTest::keyClick(face, Qt::Key_Backspace);
        QVERIFY(!preview->tombola()->font().bold()); // typing clears bold: the title shows it
        QVERIFY(preview->label6(15)->font().bold()); // the numbers print bold always
        QCOMPARE(preview->label6(15)->font().family(), QStringLiteral("DejaVu Seri"));
        QVERIFY(presenter.messages.isEmpty());
        // The instruction's lines fit above the bottom of the page.
        const QLabel *hint = selection->label9();
        QVERIFY(hint->heightForWidth(hint->width()) <= form.page(1)->height() - hint->y());
    }

    void assistiveToolsReadThePartsAndTheColour() {
        Page p;
        for (const ParteCartella &part : CardParts::tutte()) {
            for (const ControlloParte &c : part.controlli) {
                QWidget *w = p.preview->findChild<QWidget *>(c.objectName());
                if (!c.puntabile) {
                    continue;
                }
                QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(w);
                QVERIFY2(shown, qPrintable(c.objectName()));
                const auto *label = qobject_cast<QLabel *>(w);
                QCOMPARE(shown->text(QAccessible::Name),
                         label ? label->text() : QString::fromUtf8(part.nome));
                QCOMPARE(shown->text(QAccessible::Description), QString::fromUtf8(part.nome));
            }
        }
        QCOMPARE(
            QAccessible::queryAccessibleInterface(p.control("Label6(15)"))->text(QAccessible::Name),
            p.preview->label6(15)->text());
        QLabel *swatch = p.selection->lbColor();
        auto swatchText = [swatch] {
            return QAccessible::queryAccessibleInterface(swatch)->text(QAccessible::Description);
        };
        QCOMPARE(swatchText(), QStringLiteral("#000000"));
        p.page.show();
        moveOver(p.preview->picLineaGrossa());
        click(swatch);
        QCOMPARE(swatchText(), QStringLiteral("#CC6633")); // 0x3366CC is blue, green, red
    }

    void pageTextsAndPlaces() {
        Page p;
        QCOMPARE(p.selection->label9()->text(),
                 QStringLiteral("Selezionare il carettere e la dimensione desiderata, "
                                "selezionare una parte della cartella per definirne il colore e "
                                "premere il tasto Avanti.    "));
        QCOMPARE(p.selection->caption()->text(), QStringLiteral("Configurazione colori"));
        QCOMPARE(p.selection->caption()->buddy(), p.selection->txtParteCartella());
        QCOMPARE(p.selection->txtParteCartella()->geometry(), QRect(26, 262, 251, 19));
        QCOMPARE(p.selection->lbColor()->geometry(), QRect(284, 262, 39, 19));
        QCOMPARE(p.selection->label9()->geometry(), QRect(24, 288, 327, 48));
        QVERIFY(p.selection->lbColor()->focusPolicy() & Qt::TabFocus);
        QVERIFY(!p.selection->lbColor()->accessibleName().isEmpty());
        QCOMPARE(Page::fill(p.selection->lbColor()), 0); // black at start
    }
};

QTEST_MAIN(TestPartSelection)
#include "tst_PartSelection.moc"
