// Writes a sample card archive of genuine Tombola series, for trying and testing the program.
// Usage: velmora-archive-maker --carte N [--seme S] -o FILE

#include "print/ArchiveValidator.h"
#include "print/RecordCartella.h"
#include "print/SeriesGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace {

using velmora::ArchiveValidator;
using velmora::RecordCartella;
using velmora::SeriesGenerator;

enum ExitCode { Done = 0, BadArguments = 1, WriteFailed = 2, InvalidOutput = 3 };

const QString usage = QStringLiteral(
    "Uso: velmora-archive-maker --carte N [--seme S] -o FILE\n"
    "Scrive un archivio delle cartelle (RidoDur.dat) di N cartelle, da 1 a %1, fatto di serie\n"
    "di sei cartelle che contengono ciascuna tutti i numeri da 1 a 90. Lo stesso seme (da 0 a\n"
    "4294967295, predefinito 1) d\u00e0 sempre lo stesso archivio.\n");

struct Options {
    int cards = 0;
    quint32 seed = 1;
    QString output;
};

int fail(ExitCode code, const QString &message) {
    QTextStream(stderr) << "velmora-archive-maker: " << message << '\n';
    if (code == BadArguments) {
        QTextStream(stderr) << usage.arg(SeriesGenerator::maxCards);
    }
    return code;
}

// Reads the options; on a mistake returns nothing and fills error with the Italian reason.
std::optional<Options> parse(const QStringList &arguments, QString &error) {
    Options options;
    bool haveCards = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments.at(i);
        if (name != u"--carte" && name != u"--seme" && name != u"-o") {
            error = QStringLiteral("opzione sconosciuta \"%1\".").arg(name);
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            error = QStringLiteral("manca il valore dell'opzione %1.").arg(name);
            return std::nullopt;
        }
        const QString value = arguments.at(++i);
        bool ok = false;
        if (name == u"--carte") {
            options.cards = value.toInt(&ok);
            if (!ok || options.cards < 1 || options.cards > SeriesGenerator::maxCards) {
                error = QStringLiteral("il numero di cartelle \"%1\" non \u00e8 valido: deve "
                                       "essere un intero da 1 a %2.")
                            .arg(value)
                            .arg(SeriesGenerator::maxCards);
                return std::nullopt;
            }
            haveCards = true;
        } else if (name == u"--seme") {
            options.seed = value.toUInt(&ok);
            if (!ok) {
                error = QStringLiteral("il seme \"%1\" non \u00e8 valido: deve essere un intero "
                                       "da 0 a 4294967295.")
                            .arg(value);
                return std::nullopt;
            }
        } else {
            options.output = value;
        }
    }
    if (!haveCards) {
        error = QStringLiteral("manca l'opzione --carte.");
        return std::nullopt;
    }
    if (options.output.isEmpty()) {
        error = QStringLiteral("manca il file da scrivere (-o FILE).");
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char *argv[]) {
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--aiuto")) || arguments.contains(QStringLiteral("-h")) ||
        arguments.contains(QStringLiteral("--help"))) {
        QTextStream(stdout) << usage.arg(SeriesGenerator::maxCards);
        return Done;
    }
    QString error;
    const std::optional<Options> options = parse(arguments, error);
    if (!options) {
        return fail(BadArguments, error);
    }

    const QByteArray stored = SeriesGenerator::makeArchive(options->cards, options->seed);

    // Never hand out an archive that breaks the rules of the game.
    ArchiveValidator validator;
    for (qsizetype offset = 0; offset < stored.size(); offset += RecordCartella::recordSize) {
        validator.addCard(RecordCartella::fromStored(
            QByteArrayView(stored).sliced(offset, RecordCartella::recordSize)));
    }
    validator.finish();
    if (!validator.findings().isEmpty()) {
        return fail(InvalidOutput,
                    QStringLiteral("l'archivio prodotto non rispetta le regole (%1); "
                                   "il file non \u00e8 stato scritto.")
                        .arg(validator.findings().first().message));
    }

    const QString shown = QDir::toNativeSeparators(options->output);
    QSaveFile file(options->output);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(
            WriteFailed,
            QStringLiteral("impossibile scrivere \"%1\": %2.").arg(shown, file.errorString()));
    }
    if (file.write(stored) != stored.size() || !file.commit()) {
        return fail(WriteFailed, QStringLiteral("scrittura di \"%1\" non riuscita: %2. Il file "
                                                "precedente, se c'era, \u00e8 rimasto intatto.")
                                     .arg(shown, file.errorString()));
    }
    QTextStream(stdout)
        << QStringLiteral("Scritte %1 cartelle in \"%2\".\n").arg(options->cards).arg(shown);
    return Done;
}
