#include "VelmoraConfig.h"
#include "tests/support/PdfProbe.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

using namespace velmora::testing;

// Builds the Debian package with cpack, unpacks it with dpkg -x into a temporary root and checks
// what an installed Velmora consists of.

namespace {

const QString appId = QStringLiteral("org.example.Velmora");
constexpr qint64 recordSize = 59;

struct Outcome {
    bool started = false;
    int exitCode = -1;
    QString output; // stdout and stderr together
};

Outcome
runProgram(const QString &program, const QStringList &arguments,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Outcome outcome;
    outcome.started = process.waitForStarted(-1);
    if (!outcome.started) {
        outcome.output = process.errorString();
        return outcome;
    }
    process.waitForFinished(-1);
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.output = QString::fromLocal8Bit(process.readAll());
    return outcome;
}

QString describe(const QString &program, const Outcome &outcome) {
    return QStringLiteral("%1 (exit %2):\n%3")
        .arg(program)
        .arg(outcome.exitCode)
        .arg(outcome.output);
}

// The keys of the [Desktop Entry] group of a .desktop file.
QMap<QString, QString> desktopEntry(const QString &path) {
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &raw : readAll(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
        } else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith('#')) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return keys;
}

} // namespace

class TestDebPackage : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_package; // the .deb
    QString m_root;    // where it was unpacked

    QString installed(const char *relative) const { return installed(QLatin1String(relative)); }
    QString installed(const QString &relative) const {
        return m_root + QLatin1Char('/') + relative;
    }

    void checkLibrariesResolve(const QString &program) {
        QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
        const Outcome ldd = runProgram(QStringLiteral("ldd"), {program});
        QVERIFY2(ldd.started && ldd.exitCode == 0,
                 qPrintable(describe(QStringLiteral("ldd"), ldd)));
        QVERIFY2(!ldd.output.contains(QLatin1String("not found")), qPrintable(ldd.output));
        QVERIFY2(ldd.output.contains(QLatin1String("libQt6Core.so.6")), qPrintable(ldd.output));
        // An installed program must not look for its libraries in the build folder.
        const Outcome dynamic =
            runProgram(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
        QVERIFY2(dynamic.started && dynamic.exitCode == 0,
                 qPrintable(describe(QStringLiteral("readelf"), dynamic)));
        QVERIFY2(!dynamic.output.contains(QLatin1String(VELMORA_BINARY_DIR)),
                 qPrintable(dynamic.output));
    }

private slots:
    void initTestCase() {
        for (const char *tool : {"dpkg-deb", "dpkg-shlibdeps"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("%1 is missing: bash scripts/deps.sh test")
                                     .arg(QLatin1String(tool))));
            }
        }
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        const QString output = m_work->filePath(QStringLiteral("pacchetto"));
        const Outcome cpack =
            runProgram(QStringLiteral(VELMORA_CPACK),
                       {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                        QStringLiteral(VELMORA_BINARY_DIR "/CPackConfig.cmake"),
                        QStringLiteral("-B"), output});
        QVERIFY2(cpack.started && cpack.exitCode == 0,
                 qPrintable(describe(QStringLiteral("cpack"), cpack)));
        const QStringList debs =
            QDir(output).entryList({QStringLiteral("*.deb")}, QDir::Files, QDir::Name);
        QCOMPARE(debs.size(), 1);
        m_package = QDir(output).filePath(debs.first());

        m_root = m_work->filePath(QStringLiteral("radice"));
        const Outcome unpack =
            runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_package, m_root});
        QVERIFY2(unpack.started && unpack.exitCode == 0,
                 qPrintable(describe(QStringLiteral("dpkg-deb -x"), unpack)));
    }

    void controlFieldsAndQtDependencies() {
        const auto field = [this](const char *name) {
            return runProgram(QStringLiteral("dpkg-deb"),
                              {QStringLiteral("-f"), m_package, QLatin1String(name)})
                .output.trimmed();
        };
        QCOMPARE(field("Package"), QStringLiteral("velmora"));
        QCOMPARE(field("Version"), QStringLiteral("%1.%2.%3")
                                       .arg(velmora::config::versionMajor)
                                       .arg(velmora::config::versionMinor)
                                       .arg(velmora::config::versionRevision));
        // Worked out by dpkg-shlibdeps from the libraries the programs link: each Qt library
        // the program needs directly is a dependency of the package.
        const QString depends = field("Depends");
        const Outcome dynamic = runProgram(QStringLiteral("readelf"),
                                           {QStringLiteral("-d"), installed("usr/bin/velmora")});
        QVERIFY2(dynamic.exitCode == 0, qPrintable(dynamic.output));
        QStringList needed{QStringLiteral("libc6")};
        const QRegularExpression qtLibrary(QStringLiteral("\\[libQt6(\\w+)\\.so\\.6\\]"));
        for (auto it = qtLibrary.globalMatch(dynamic.output); it.hasNext();) {
            needed << QStringLiteral("libqt6") + it.next().captured(1).toLower() + QLatin1Char('6');
        }
        QVERIFY2(needed.contains(QStringLiteral("libqt6widgets6")), qPrintable(dynamic.output));
        // The board on the phones: Qt's network library, linked by the window program.
        QVERIFY2(needed.contains(QStringLiteral("libqt6network6")), qPrintable(dynamic.output));
        needed << QStringLiteral("qt6-translations-l10n"); // Qt's dialogs in Italian
        needed << QStringLiteral("libqt6sql6-sqlite");     // loaded at run time, linked by nothing
        needed << QStringLiteral("libqrencode4");          // the QR code of the phones' address
        for (const QString &package : needed) {
            // Debian 13 names some Qt libraries with a "t64" suffix (64-bit time), libqt6core6t64.
            QVERIFY2(depends.contains(QRegularExpression(
                         QStringLiteral("(^|, )%1(t64)?( \\(|,|$)").arg(package))),
                     qPrintable(package + QStringLiteral(" not in: ") + depends));
        }
        // The speech service and its Italian voice are wanted, not needed: without them the
        // numbers are not said aloud and the evening goes on.
        const QString recommends = field("Recommends");
        for (const char *package : {"qt6-speech-speechd-plugin", "speech-dispatcher",
                                    "speech-dispatcher-espeak-ng", "espeak-ng"}) {
            const QRegularExpression named(
                QStringLiteral("(^|, )%1( \\(|,|$)").arg(QLatin1String(package)));
            QVERIFY2(recommends.contains(named) && !depends.contains(named), package);
        }
    }

    void everythingLiesUnderUsr() {
        const Outcome contents =
            runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_package});
        QVERIFY2(contents.exitCode == 0, qPrintable(contents.output));
        const QStringList lines = contents.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!lines.isEmpty());
        for (const QString &line : lines) {
            const QString path = line.section(QLatin1Char(' '), -1);
            QVERIFY2(path == QLatin1String("./") || path.startsWith(QLatin1String("./usr/")),
                     qPrintable(line));
        }
    }

    void installedFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("program") << "usr/bin/velmora" << true;
        QTest::newRow("batch program") << "usr/bin/velmora-pdf" << true;
        QTest::newRow("menu entry")
            << "usr/share/applications/org.example.Velmora.desktop" << false;
        QTest::newRow("icon") << "usr/share/icons/hicolor/scalable/apps/org.example.Velmora.svg"
                              << false;
        QTest::newRow("metainfo") << "usr/share/metainfo/org.example.Velmora.metainfo.xml" << false;
        QTest::newRow("sample archive") << "usr/share/velmora/RidoDur.dat" << false;
        QTest::newRow("README") << "usr/share/doc/velmora/README.md" << false;
    }
    void installedFiles() {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo info(installed(path));
        QVERIFY2(info.isFile(), qPrintable(path));
        QVERIFY(info.size() > 0);
        QCOMPARE(info.isExecutable(), executable);
    }

    void sampleArchiveIsTheOneTheBuildWrote() {
        const QByteArray archive =
            readAll(installed(QStringLiteral("usr/share/velmora/RidoDur.dat")));
        QVERIFY(!archive.isEmpty());
        QCOMPARE(archive.size() % recordSize, 0);
        QVERIFY(archive == readAll(QStringLiteral(VELMORA_BINARY_DIR "/data/RidoDur.dat")));
    }

    void programsFindTheirLibraries() {
        checkLibrariesResolve(installed(QStringLiteral("usr/bin/velmora")));
    }

    void menuEntry() {
        const QString path =
            installed(QStringLiteral("usr/share/applications/%1.desktop").arg(appId));
        const QMap<QString, QString> entry = desktopEntry(path);
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Velmora"));
        QVERIFY(entry.value(QStringLiteral("Comment")).contains(QLatin1String("cartelle")));
        QVERIFY(entry.value(QStringLiteral("Categories"))
                    .split(QLatin1Char(';'))
                    .contains(QStringLiteral("Office")));
        QCOMPARE(entry.value(QStringLiteral("Icon")), appId);
        // The program it starts is one of the package's own.
        const QString program = entry.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
        QVERIFY(!program.isEmpty() && !program.contains(QLatin1Char('/')));
        QVERIFY2(QFileInfo(installed(QStringLiteral("usr/bin/") + program)).isExecutable(),
                 qPrintable(program));

        const QString validator =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty()) {
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        }
        const Outcome valid = runProgram(validator, {path});
        QVERIFY2(valid.exitCode == 0 && valid.output.trimmed().isEmpty(),
                 qPrintable(describe(validator, valid)));
    }

    void metainfoValidates() {
        const QString path =
            installed(QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(appId));
        QXmlStreamReader xml(readAll(path));
        QString id;
        QString launchable;
        QString release;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml.name() == QLatin1String("id")) {
                id = xml.readElementText();
            } else if (xml.name() == QLatin1String("launchable")) {
                launchable = xml.readElementText();
            } else if (xml.name() == QLatin1String("release")) {
                release = xml.attributes().value(QLatin1String("version")).toString();
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(id, appId);
        QCOMPARE(launchable, appId + QStringLiteral(".desktop"));
        QCOMPARE(release, QStringLiteral("%1.%2.%3")
                              .arg(velmora::config::versionMajor)
                              .arg(velmora::config::versionMinor)
                              .arg(velmora::config::versionRevision));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        QVERIFY2(!validator.isEmpty(), "appstreamcli is missing: bash scripts/deps.sh test");
        // Errors and warnings fail; infos do not: they are advice that differs between
        // AppStream releases (Debian 12's knows only <developer_name>, which Debian 13's calls
        // deprecated in favour of a <developer> tag the older one does not know).
        const Outcome valid =
            runProgram(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), path});
        QVERIFY2(valid.exitCode == 0, qPrintable(describe(validator, valid)));
    }

    void iconIsASquareSvg() {
        QXmlStreamReader xml(readAll(
            installed(QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(appId))));
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name().toString(), QStringLiteral("svg"));
        const QStringList box =
            xml.attributes().value(QLatin1String("viewBox")).toString().split(QLatin1Char(' '));
        QCOMPARE(box.size(), 4);
        QVERIFY(box.at(2).toDouble() > 0);
        QCOMPARE(box.at(2), box.at(3));
        while (!xml.atEnd()) {
            xml.readNext();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }

    // The installed batch program checks and prints the installed sample archive, with the
    // default settings (no settings file anywhere it looks).
    void batchProgramPrintsTheInstalledSample() {
        if (!pdfToolsAvailable()) {
            QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
        }
        const QString program = installed(QStringLiteral("usr/bin/velmora-pdf"));
        checkLibrariesResolve(program);
        const QString sampleFolder = installed(QStringLiteral("usr/share/velmora"));
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("cfg")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("dati")));

        Outcome outcome = runProgram(
            program, {QStringLiteral("--verifica"), QStringLiteral("--archivio"), sampleFolder},
            environment);
        QVERIFY2(outcome.exitCode == 0 && outcome.output.contains(QLatin1String("integro")),
                 qPrintable(describe(program, outcome)));

        const QString pdf = home.filePath(QStringLiteral("cartelle.pdf"));
        outcome = runProgram(
            program,
            {QStringLiteral("--prima"), QStringLiteral("100"), QStringLiteral("--cartelle"),
             QStringLiteral("12"), QStringLiteral("--orientamento"), QStringLiteral("orizzontale"),
             QStringLiteral("--numerazione"), QStringLiteral("archivio"),
             QStringLiteral("--archivio"), sampleFolder, QStringLiteral("-o"), pdf},
            environment);
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(program, outcome)));
        QVERIFY2(outcome.output.contains(QLatin1String("Stampate 12 cartelle su 2 pagine")),
                 qPrintable(outcome.output));
        QCOMPARE(pdfPageCount(pdf), 2);
        // Each card carries its archive number after "N." (one word or two), six cards a page.
        QStringList numbers;
        static const QRegularExpression labelled(QStringLiteral("^N\\.(\\d{5})?$"));
        static const QRegularExpression fiveDigits(QStringLiteral("^\\d{5}$"));
        const QVector<PdfWord> words = pdfWords(pdf);
        for (qsizetype i = 0; i < words.size(); ++i) {
            const auto match = labelled.match(words[i].text);
            QString number = match.captured(1);
            if (match.hasMatch() && number.isEmpty() && i + 1 < words.size() &&
                fiveDigits.match(words[i + 1].text).hasMatch()) {
                number = words[i + 1].text;
            }
            if (!number.isEmpty()) {
                numbers.append(QStringLiteral("%1:%2").arg(words[i].page).arg(number));
            }
        }
        numbers.sort();
        QStringList expected;
        for (int card = 100; card < 112; ++card) {
            expected.append(
                QStringLiteral("%1:%2").arg(card < 106 ? 1 : 2).arg(card, 5, 10, QLatin1Char('0')));
        }
        QCOMPARE(numbers, expected);
    }
};

QTEST_GUILESS_MAIN(TestDebPackage)
#include "tst_DebPackage.moc"
