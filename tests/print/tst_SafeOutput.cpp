#include "tests/support/TestFiles.h"

#include "print/SafeOutput.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// SafeOutput's check of path as the user uid with group gid and no other group, in a child
// process that drops root's privileges: "1", or "0" and the refusal.
QByteArray checkedAs(uid_t uid, gid_t gid, const QString &path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return "pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        QByteArray said = "still privileged";
        if (::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0 &&
            ::geteuid() == uid) {
            QString error;
            said = SafeOutput(path).check({}, &error) ? "1" : "0" + error.toUtf8();
        }
        const auto written = ::write(pipeEnds[1], said.constData(), size_t(said.size()));
        ::_exit(written == said.size() ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, got);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return said;
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

    // A user who is not root replaces a PDF only when it is theirs and of one of their groups
    // (the new file keeps both): being in the file's group is not enough. Checked as "nobody".
    void notRootReplacesOnlyTheirOwnPdf_data() {
        QTest::addColumn<bool>("ownFile");
        QTest::addColumn<bool>("ownGroup");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("their own") << true << true << true;
        QTest::newRow("theirs, of a group they are not in") << true << false << false;
        QTest::newRow("another user's, of their group") << false << true << false;
        QTest::newRow("another user's, of another group") << false << false << false;
    }
    void notRootReplacesOnlyTheirOwnPdf() {
        QFETCH(bool, ownFile);
        QFETCH(bool, ownGroup);
        QFETCH(bool, replaced);
        if (::geteuid() != 0) {
            QSKIP("only root can give the file to another user and run the check as one");
        }
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || nobody->pw_uid == 0) {
            QSKIP("there is no user \"nobody\" to check as");
        }
        QTemporaryDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
        const QString path = dir.filePath(QStringLiteral("cartelle.pdf"));
        QVERIFY(writeAll(path, oldPdf));
        // Writable by everyone, so that only the ownership can refuse it.
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0666), 0);
        QCOMPARE(::chown(QFile::encodeName(path).constData(), ownFile ? nobody->pw_uid : 4321,
                         ownGroup ? nobody->pw_gid : 4321),
                 0);
        const QByteArray said = checkedAs(nobody->pw_uid, nobody->pw_gid, path);
        if (replaced) {
            QCOMPARE(said, QByteArray("1"));
        } else {
            QVERIFY2(said.startsWith('0') &&
                         said.endsWith(": il file esiste e appartiene a un altro utente o gruppo, "
                                       "quindi non viene sostituito."),
                     said.constData());
        }
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
