#include "register/ArchiveFingerprint.h"

#include "tests/support/TestFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using velmora::ArchiveFingerprint;
using velmora::testing::writeAll;

class tst_ArchiveFingerprint : public QObject {
    Q_OBJECT

    static QString sha256(const QByteArray &bytes) {
        return QString::fromLatin1(
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }

private slots:
    // An unchanged file is read once: asked again it answers from what was made, without
    // progress. A file whose size or time has changed is read again.
    void eachFileIsHashedOnceWhileUnchanged() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RidoDur.dat"));
        const QByteArray first(3 << 20, 'a'); // three parts of progress
        QVERIFY(writeAll(path, first));
        const QDateTime written = QFileInfo(path).lastModified();

        int told = 0;
        const auto count = [&told](qint64 done, qint64 total) { told += done <= total ? 1 : 1000; };
        QVERIFY(!ArchiveFingerprint::known(path));
        QCOMPARE(ArchiveFingerprint::of(path, count)->sha256, sha256(first));
        QCOMPARE(told, 3);
        QVERIFY(ArchiveFingerprint::known(path));

        // Other bytes under the same size and time: the file is not read again.
        QVERIFY(writeAll(path, QByteArray(3 << 20, 'b')));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(ArchiveFingerprint::of(path, count)->sha256, sha256(first));
        QCOMPARE(told, 3);

        // A new time: read again.
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(written.addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(!ArchiveFingerprint::known(path));
        QCOMPARE(ArchiveFingerprint::of(path, count)->sha256, sha256(QByteArray(3 << 20, 'b')));
        QCOMPARE(told, 6);

        // A new size: read again.
        QVERIFY(writeAll(path, QByteArrayLiteral("c")));
        QCOMPARE(ArchiveFingerprint::of(path)->sha256, sha256("c"));
        QCOMPARE(ArchiveFingerprint::of(path)->size, 1);
    }
};

QTEST_GUILESS_MAIN(tst_ArchiveFingerprint)
#include "tst_ArchiveFingerprint.moc"
