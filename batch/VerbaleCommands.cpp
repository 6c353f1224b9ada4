#include "batch/VerbaleCommands.h"

#include "common/Sentence.h"
#include "evening/RegisterDatabase.h"
#include "evening/Verbale.h"
#include "evening/VerbaleDocument.h"
#include "register/RegisterTime.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace velmora {
namespace {

const QString recordName = QStringLiteral("verbale");
const QString gameName = QStringLiteral("partita");
const QString listName = QStringLiteral("partite");
const QStringList outputNames = {QStringLiteral("o"), QStringLiteral("uscita")};
const QString settingsName = QStringLiteral("configurazione");
const QString platformName = QStringLiteral("piattaforma");

int failed(QTextStream &err, const QString &sentence) {
    err << "velmora-pdf: " << Sentence::whole(sentence) << '\n';
    return BatchOptions::exitFailed;
}

} // namespace

QList<QCommandLineOption> VerbaleCommands::options() {
    return {QCommandLineOption(recordName), QCommandLineOption(gameName, {}, QStringLiteral("P")),
            QCommandLineOption(listName)};
}

bool VerbaleCommands::asked(const QCommandLineParser &parser) {
    return parser.isSet(recordName) || parser.isSet(gameName) || parser.isSet(listName);
}

BatchParsed VerbaleCommands::parse(const QCommandLineParser &parser) {
    const auto usage = [](const QString &why) { return BatchParsed{std::nullopt, why}; };
    const bool record = parser.isSet(recordName);
    if (!record && !parser.isSet(listName)) {
        return usage(QStringLiteral("--partita vale solo con --verbale"));
    }
    for (const QString &name : parser.optionNames()) {
        const bool allowed = name == recordName || name == gameName || name == listName ||
                             name == settingsName || name == platformName ||
                             (record && outputNames.contains(name));
        if (!allowed) {
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usage(
                QStringLiteral("%1%2 non vale con --verbale o --partite").arg(dashes, name));
        }
        if (parser.values(name).size() > 1) {
            return usage(QStringLiteral("l'opzione --%1 è data più di una volta").arg(name));
        }
    }
    BatchOptions options;
    options.mode = BatchOptions::Mode::Verbale;
    options.configurazione = parser.value(settingsName);
    options.piattaforma = parser.value(platformName);
    VerbaleQuery query;
    if (parser.isSet(listName)) {
        if (record || parser.isSet(gameName)) {
            return usage(QStringLiteral("--partite elenca le partite della serata: non si usa "
                                        "con --verbale o --partita"));
        }
        options.verbale = query;
        return {options, {}};
    }
    query.kind = VerbaleQuery::Kind::Record;
    if (parser.isSet(gameName)) {
        bool numeric = false;
        query.game = parser.value(gameName).trimmed().toLongLong(&numeric);
        if (!numeric || query.game < 1) {
            return usage(QStringLiteral("--partita vuole il numero di una partita del registro "
                                        "(come lo elenca --partite), non \"%1\"")
                             .arg(parser.value(gameName)));
        }
    }
    query.output = parser.value(outputNames.first());
    if (query.output.trimmed().isEmpty()) {
        return usage(QStringLiteral("--verbale vuole il file PDF da scrivere: -o FILE.pdf"));
    }
    options.output = query.output;
    options.verbale = query;
    return {options, {}};
}

int VerbaleCommands::exec(const VerbaleQuery &query, const QString &settingsPath, QTextStream &out,
                          QTextStream &err, const QString &databasePath) {
    RegisterDatabase database(databasePath);
    if (!database.isOpen()) {
        err << "velmora-pdf: " << database.error() << '\n';
        return BatchOptions::exitFailed;
    }
    QString reason;
    if (query.kind == VerbaleQuery::Kind::Games) {
        const QList<GameListing> games =
            Verbale::gamesOfCurrentEvening(database.connection(), &reason);
        if (!reason.isEmpty()) {
            return failed(err, reason);
        }
        for (const GameListing &game : games) {
            out << game.game << '\t' << RegisterTime::shownIso(game.started) << '\t'
                << RegisterTime::shownIso(game.ended) << '\t' << game.drawn << '\t'
                << (game.current ? "in corso" : "chiusa") << '\n';
        }
        if (games.isEmpty()) {
            err << "Nessuna partita nella serata corrente.\n";
        }
        return BatchOptions::exitOk;
    }
    qint64 game = query.game;
    if (game == 0) {
        game = Verbale::currentGame(database.connection(), &reason);
        if (game == 0) {
            return failed(err, reason.isEmpty()
                                   ? QStringLiteral("Nessuna partita in corso nel registro: "
                                                    "indicare la partita con --partita P")
                                   : reason);
        }
    }
    const std::optional<Verbale> verbale = Verbale::read(database.connection(), game, &reason);
    if (!verbale) {
        return failed(err, reason);
    }
    if (!writeVerbalePdf(*verbale, query.output, &reason,
                         {{settingsPath, QStringLiteral("il file di configurazione")}})) {
        return failed(err, reason);
    }
    err << "Verbale della partita n. " << game << " scritto nel file \""
        << QDir::toNativeSeparators(query.output) << "\".\n";
    return BatchOptions::exitOk;
}

QString VerbaleCommands::helpText() {
    return QStringLiteral(
        "Partite e verbali:\n"
        "  --partite                  elenca le partite della serata corrente, dalla prima;\n"
        "                             campi separati da tabulazioni: numero, inizio, fine,\n"
        "                             numeri estratti, in corso/chiusa\n"
        "  --verbale [--partita P] -o FILE.pdf\n"
        "                             scrive il verbale dell'estrazione della partita P (come\n"
        "                             la elenca --partite; predefinita: quella in corso): serata,\n"
        "                             organizzatore, archivio e stampe, cartelle in gioco,\n"
        "                             premi, numeri estratti e annullati, verifiche, vincite e\n"
        "                             firme, su pagine A4 verticali\n"
        "\n");
}

} // namespace velmora
