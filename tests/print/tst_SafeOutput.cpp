#include "tests/support/TestFiles.h"

#include "print/SafeOutput.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QByteArray oldPdf = "%PDF-1.4 the older print\n%%EOF\n";
const QByteArray newPdf = "%PDF-1.4 the new print\n%%EOF\n";

// The process's umask for the life of the object.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_previous(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_previous); }
    UmaskScope(const UmaskScope &) = delete;
    UmaskScope &operator=(const UmaskScope &) = delete;

private:
    mode_t m_previous;
};

int modeOf(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Every name in the folder, hidden ones included: a temporary left behind shows here.
QStringList namesIn(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestSafeOutput : public QObject {
    Q_OBJECT

private slots:
    // The new print takes the very permissions, owner and group of the file it replaces,
    // whoever runs it; a new file takes those the umask leaves.
    void replacedFileKeepsItsPermissions_data() {
        QTest::addColumn<int>("oldMode"); // -1: no file there yet
        QTest::addColumn<int>("owner");   // -1: the user running the test
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("expected");
        QTest::newRow("private 0600") << 0600 << -1 << 022 << 0600;
        QTest::newRow("group 0640") << 0640 << -1 << 022 << 0640;
        QTest::newRow("shared 0664 under umask 077") << 0664 << -1 << 077 << 0664;
        QTest::newRow("executable 0755") << 0755 << -1 << 022 << 0755;
        QTest::newRow("another user's 0640 (root only)") << 0640 << 4321 << 022 << 0640;
        QTest::newRow("new file, umask 022") << -1 << -1 << 022 << 0644;
        QTest::newRow("new file, umask 077") << -1 << -1 << 077 << 0600;
    }
    void replacedFileKeepsItsPermissions() {
        QFETCH(int, oldMode);
        QFETCH(int, owner);
        QFETCH(int, umask);
        QFETCH(int, expected);
        if (owner >= 0 && ::geteuid() != 0) {
            QSKIP("only root may give a file to another user");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cartelle.pdf"));
        if (oldMode >= 0) {
            QVERIFY(writeAll(path, oldPdf));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(oldMode)), 0);
            if (owner >= 0) {
                QCOMPARE(::chown(QFile::encodeName(path).constData(), uid_t(owner), gid_t(owner)),
                         0);
            }
        }
        UmaskScope mask{mode_t(umask)};
        SafeOutput output(path);
        QString error;
        QVERIFY2(output.reserve({}, &error), qPrintable(error));
        QVERIFY(writeAll(output.temporaryPath(), newPdf));
        QVERIFY2(output.commitPdf(&error), qPrintable(error));
        QCOMPARE(readAll(path), newPdf);
        QCOMPARE(QString::number(modeOf(path), 8), QString::number(expected, 8));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_uid), owner >= 0 ? owner : int(::geteuid()));
        QCOMPARE(int(info.st_gid), owner >= 0 ? owner : int(::getegid()));
    }

    // Only a complete PDF replaces the older file; a print cut short or abandoned leaves it as
    // it was. Either way no temporary file stays in the folder.
    void onlyACommittedPdfReplacesTheFile_data() {
        QTest::addColumn<bool>("hadOld");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("commit");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("complete, committed") << true << newPdf << true << true;
        QTest::newRow("complete, new file") << false << newPdf << true << true;
        QTest::newRow("cut short") << true << newPdf.left(20) << true << false;
        QTest::newRow("not a PDF") << true << QByteArray("Errore\n%%EOF\n") << true << false;
        QTest::newRow("empty, new file") << false << QByteArray() << true << false;
        QTest::newRow("abandoned") << true << newPdf << false << false;
        QTest::newRow("abandoned, new file") << false << newPdf << false << false;
    }
    void onlyACommittedPdfReplacesTheFile() {
        QFETCH(bool, hadOld);
        QFETCH(QByteArray, written);
        QFETCH(bool, commit);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cartelle.pdf"));
        if (hadOld) {
            QVERIFY(writeAll(path, oldPdf));
        }
        QString error;
        {
            SafeOutput output(path);
            QVERIFY2(output.reserve({}, &error), qPrintable(error));
            QVERIFY(QFileInfo(output.temporaryPath()).dir() == QDir(dir.path()));
            QVERIFY(writeAll(output.temporaryPath(), written));
            if (commit) {
                QCOMPARE(output.commitPdf(&error), replaced);
            }
        } // an output not committed is discarded when it goes
        if (commit && !replaced) {
            QCOMPARE(error, QStringLiteral("Il file PDF \"%1\" non è stato scritto per intero: "
                                           "nessun file è stato scritto.")
                                .arg(QDir::toNativeSeparators(path)));
        }
        const QStringList left = hadOld || replaced ? QStringList{"cartelle.pdf"} : QStringList{};
        QCOMPARE(namesIn(dir), left);
        if (hadOld || replaced) {
            QCOMPARE(readAll(path), replaced ? newPdf : oldPdf);
        }
    }
};

QTEST_GUILESS_MAIN(TestSafeOutput)
#include "tst_SafeOutput.moc"
