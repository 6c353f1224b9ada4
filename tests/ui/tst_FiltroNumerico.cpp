#include "ui/FiltroNumerico.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QtTest>

using namespace velmora;

namespace {

// A number box holding "3" with the filter on it, its beeps counted and its mouse selection
// given by the test.
struct Box {
    QLineEdit edit;
    FiltroNumerico filter;
    int beeps = 0;
    std::optional<QString> selection;

    explicit Box(int maxLength = 32767) {
        edit.setMaxLength(maxLength);
        edit.setText(QStringLiteral("3"));
        edit.installEventFilter(&filter);
        filter.setBeep([this] { ++beeps; });
        filter.setSelectionSource([this] { return selection; });
        edit.show();
        edit.setFocus();
        edit.end(false);
    }
};

} // namespace

class TestFiltroNumerico : public QObject {
    Q_OBJECT

private slots:
    // Digits and the point are typed; any other character beeps and is left out.
    void typedCharacters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("digits") << "45"
                                << "345" << 0;
        QTest::newRow("point") << ".5"
                               << "3.5" << 0;
        QTest::newRow("comma, letters, signs") << ",a-+7"
                                               << "37" << 4;
        QTest::newRow("space") << " 1"
                               << "31" << 1;
    }
    void typedCharacters() {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        Box box;
        QTest::keyClicks(&box.edit, typed);
        QCOMPARE(box.edit.text(), text);
        QCOMPARE(box.beeps, beeps);
    }

    // Releasing a mouse button pastes nothing; a middle click pastes the mouse selection, when
    // there is one, only if it is a number.
    void onlyAMiddleClickPastesTheSelection_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("selection"); // null: the platform has none
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("left click") << int(Qt::LeftButton) << "45"
                                    << "3" << 0;
        QTest::newRow("middle click, a number") << int(Qt::MiddleButton) << " 45\n"
                                                << "345" << 0;
        QTest::newRow("middle click, words") << int(Qt::MiddleButton) << "45 cartelle"
                                             << "3" << 1;
        QTest::newRow("middle click, no selection")
            << int(Qt::MiddleButton) << QString() << "3" << 0;
    }
    void onlyAMiddleClickPastesTheSelection() {
        QFETCH(int, button);
        QFETCH(QString, selection);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        Box box;
        if (!selection.isNull()) {
            box.selection = selection;
        }
        const QPoint end(box.edit.width() - 4, box.edit.height() / 2); // past the text
        QTest::mouseClick(&box.edit, Qt::MouseButton(button), {}, end);
        QCOMPARE(box.edit.text(), text);
        QCOMPARE(box.beeps, beeps);
    }

    // Ctrl+V takes the clipboard only when it holds a number that fits the box.
    void clipboardPasteIsFiltered_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("number") << "45" << 3 << "345" << 0;
        QTest::newRow("point") << ".5" << 3 << "3.5" << 0;
        QTest::newRow("two numbers") << "4 5" << 3 << "3" << 1;
        QTest::newRow("sign after a digit") << "-5" << 3 << "3" << 1;
        QTest::newRow("too long for the box") << "456" << 3 << "3" << 1;
    }
    void clipboardPasteIsFiltered() {
        QFETCH(QString, clipboard);
        QFETCH(int, maxLength);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        Box box(maxLength);
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(&box.edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.edit.text(), text);
        QCOMPARE(box.beeps, beeps);
    }
};

QTEST_MAIN(TestFiltroNumerico)
#include "tst_FiltroNumerico.moc"
