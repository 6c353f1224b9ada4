#include "errors/FileErrorText.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

using velmora::FileErrorText;

class tst_FileErrorText : public QObject {
    Q_OBJECT

private slots:
    // The causes a file operation meets are said in our words, never in the system's English
    // (which reached the user as "Invalid argument" and "Broken pipe").
    void causesAreSaidInItalian_data() {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<QString>("said");
        QTest::newRow("EINVAL") << EINVAL << "non è accettato";
        QTest::newRow("EPIPE") << EPIPE << "ha chiuso il collegamento";
        QTest::newRow("ELOOP") << ELOOP << "formano un ciclo";
        QTest::newRow("ENOMEM") << ENOMEM << "memoria è esaurita";
        QTest::newRow("EMFILE") << EMFILE << "troppi file aperti";
        QTest::newRow("a cause without words of ours") << EXDEV << "errore di sistema numero";
    }
    void causesAreSaidInItalian() {
        QFETCH(int, errorNumber);
        QFETCH(QString, said);
        const QString reason = FileErrorText::reason(errorNumber);
        QVERIFY2(reason.contains(said), qPrintable(reason));
        QVERIFY(!reason.contains(QString::fromLocal8Bit(std::strerror(errorNumber))));
    }
};

QTEST_GUILESS_MAIN(tst_FileErrorText)
#include "tst_FileErrorText.moc"
