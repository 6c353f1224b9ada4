#include "batch/BatchOptions.h"
#include "evening/RegisterDatabase.h"
#include "settings/SettingsFile.h"
#include "tests/support/BatchExec.h"
#include "tests/support/EveningFixture.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/TestFiles.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;
using namespace velmora::testing;
using Outcome = RunRecord::Outcome;

namespace {

QByteArray digest(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

// --partite and --verbale on the command line, over a register whose current evening has one
// run (its archive a file of the test's own) and two games: game 1 ended with three numbers,
// game 2 being played with two.
class tst_VerbaleCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString archivePath() const { return m_dir.filePath(QStringLiteral("RidoDur.dat")); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("vel.cnf")); }
    QString expanded(QString text) const {
        return text.replace(QStringLiteral("{dir}"), m_dir.path())
            .replace(QStringLiteral("{registro}"), RegisterDatabase::defaultPath())
            .replace(QStringLiteral("{archivio}"), archivePath())
            .replace(QStringLiteral("{config}"), settingsPath());
    }

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("velmora"));
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("dati")).toUtf8());
        QVERIFY(writeAll(archivePath(), QByteArray(59 * 12, '0')));
        // The settings name another organiser than the one the games were played under.
        Configurazione settings = SettingsFile::defaults();
        settings.Ditta = QStringLiteral("Altro organizzatore");
        QVERIFY(SettingsFile(settingsPath()).save(settings).ok);
        RegisterDatabase db;
        QVERIFY(registerEveningRun(db.connection(), {Outcome::Completed, 1, 12, 12, true},
                                   {archivePath(), 59 * 12, QStringLiteral("ab")}) > 0);
        GameStore first(db.connection(), [] {
            return GameStore::Heading{QStringLiteral("Circolo del Borgo"), {}, {}, {}};
        });
        QVERIFY(first.restore());
        for (const int number : {7, 31, 66}) {
            QVERIFY(first.draw(number));
        }
        QVERIFY(first.newGame());
        QVERIFY(first.draw(12));
        QVERIFY(first.draw(90));
        QVERIFY(first.lastError().isEmpty());
    }

    void commandLine_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");     // on standard error, or on standard output
        QTest::addColumn<QString>("recorded"); // in the PDF written; empty: none is
        QTest::newRow("games of the evening")
            << "--partite" << 0 << "^1\\t\\S+\\t\\S+\\t3\\tchiusa\\n2\\t\\S+\\t\\t2\\tin corso\\n$"
            << "";
        QTest::newRow("the game being played")
            << "--verbale -o {dir}/corrente.pdf" << 0
            << "^Verbale della partita n. 2 scritto nel file \".*corrente.pdf\".\\n$"
            << "Partita n. 2 della serata";
        QTest::newRow("an earlier game, organiser as the game kept it")
            << "--verbale --partita 1 --configurazione {config} -o {dir}/prima.pdf" << 0
            << "partita n. 1"
            << "Organizzatore: Circolo del Borgo";
        QTest::newRow("a game that does not exist")
            << "--verbale --partita 99 -o {dir}/nessuna.pdf" << 1
            << "^velmora-pdf: La partita n. 99 non è nel registro.\\n$"
            << "";
        QTest::newRow("onto the register")
            << "--verbale -o {registro}" << 1
            << "^velmora-pdf: Impossibile scrivere .*: è il registro delle stampe .*\\n$"
            << "";
        QTest::newRow("onto the archive")
            << "--verbale -o {archivio}" << 1 << "è l'archivio delle cartelle"
            << "";
        QTest::newRow("onto the settings") << "--verbale --configurazione {config} -o {config}" << 1
                                           << "è il file di configurazione"
                                           << "";
        const QList<std::pair<const char *, const char *>> misuses{
            {"--verbale", "--verbale vuole il file PDF da scrivere: -o FILE.pdf"},
            {"--verbale --partita due -o x.pdf", "--partita vuole il numero di una partita"},
            {"--partita 1 -o x.pdf", "--partita vale solo con --verbale"},
            {"--partite --verbale -o x.pdf", "--partite elenca le partite della serata"},
            {"--partite -o x.pdf", "-o non vale con --verbale o --partite"},
            {"--verbale --cartelle 6 -o x.pdf", "--cartelle non vale con --verbale"},
        };
        for (const auto &[arguments, said] : misuses) {
            QTest::newRow(arguments) << arguments << 2 << said << "";
        }
    }

    void commandLine() {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, recorded);
        const QList<QString> kept = {RegisterDatabase::defaultPath(), archivePath(),
                                     settingsPath()};
        QList<QByteArray> before;
        for (const QString &path : kept) {
            before.append(digest(path));
        }
        QString out, err;
        QCOMPARE(execBatch(expanded(arguments), out, err), status);
        const QRegularExpression pattern(said);
        QVERIFY2(pattern.match(status == 0 && recorded.isEmpty() ? out : err).hasMatch(),
                 qPrintable(out + err));
        for (int i = 0; i < kept.size(); ++i) {
            QCOMPARE(digest(kept.at(i)), before.at(i));
        }
        const QString pdf = expanded(arguments).section(QStringLiteral("-o "), 1);
        if (recorded.isEmpty()) {
            QVERIFY(pdf.isEmpty() || kept.contains(pdf) || !QFile::exists(pdf));
        } else if (pdfToolsAvailable()) {
            QVERIFY2(pdfLayoutText(pdf).contains(recorded), qPrintable(pdfLayoutText(pdf)));
        }
    }
};

QTEST_MAIN(tst_VerbaleCommands)
#include "tst_VerbaleCommands.moc"
