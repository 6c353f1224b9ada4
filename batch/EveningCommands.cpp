#include "batch/EveningCommands.h"

#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

namespace velmora {
namespace {

const QString listName = QStringLiteral("serate");
const QString sellName = QStringLiteral("vendute");
const QString priceName = QStringLiteral("prezzo");
const QString runName = QStringLiteral("corsa");

// A field never breaks its line or its column.
QString field(QString text) {
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    return text.replace(breaks, QStringLiteral(" "));
}

} // namespace

QList<QCommandLineOption> EveningCommands::options() {
    return {QCommandLineOption(listName), QCommandLineOption(sellName, {}, QStringLiteral("N-M")),
            QCommandLineOption(priceName, {}, QStringLiteral("EURO")),
            QCommandLineOption(QStringLiteral("in-gioco"))};
}

bool EveningCommands::asked(const QCommandLineParser &parser) {
    return parser.isSet(listName) || parser.isSet(sellName) || parser.isSet(priceName);
}

BatchParsed EveningCommands::parse(const QCommandLineParser &parser) {
    const auto usage = [](const QString &why) { return BatchParsed{std::nullopt, why}; };
    for (const QString &name : parser.optionNames()) {
        if (name != listName && name != sellName && name != priceName && name != runName) {
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usage(
                QStringLiteral("%1%2 non vale con --serate o --vendute").arg(dashes, name));
        }
        if (parser.values(name).size() > 1) {
            return usage(QStringLiteral("l'opzione --%1 è data più di una volta").arg(name));
        }
    }
    BatchOptions options;
    options.mode = BatchOptions::Mode::Evening;
    EveningQuery query;
    if (parser.isSet(listName)) {
        if (parser.isSet(sellName) || parser.isSet(priceName) || parser.isSet(runName)) {
            return usage(QStringLiteral("--serate elenca le serate: non si usa con --vendute, "
                                        "--prezzo o --corsa"));
        }
        options.serata = query;
        return {options, {}};
    }
    if (!parser.isSet(sellName)) {
        return usage(QStringLiteral("--prezzo vale solo con --vendute"));
    }
    query.kind = EveningQuery::Kind::Sell;
    query.ranges = parser.value(sellName);
    QString error;
    if (!EveningStore::parseRanges(query.ranges, &error)) {
        return usage(QStringLiteral("--vendute: %1").arg(error));
    }
    bool numeric = false;
    query.run = parser.value(runName).trimmed().toLongLong(&numeric);
    if (!parser.isSet(runName) || !numeric || query.run < 1) {
        return usage(parser.isSet(runName)
                         ? QStringLiteral("--corsa vuole il numero di una stampa del registro, "
                                          "non \"%1\"")
                               .arg(parser.value(runName))
                         : QStringLiteral("--vendute vuole la stampa delle cartelle: --corsa R"));
    }
    if (parser.isSet(priceName)) {
        const std::optional<qint64> price = EveningStore::parseCents(parser.value(priceName));
        if (!price) {
            return usage(QStringLiteral("--prezzo vuole il prezzo di una cartella in euro, come "
                                        "1,50, non \"%1\"")
                             .arg(parser.value(priceName)));
        }
        query.priceCents = *price;
    }
    options.serata = query;
    return {options, {}};
}

int EveningCommands::exec(const EveningQuery &query, QTextStream &out, QTextStream &err,
                          const QString &databasePath) {
    RegisterDatabase database(databasePath);
    if (!database.isOpen()) {
        err << "velmora-pdf: " << database.error() << '\n';
        return BatchOptions::exitFailed;
    }
    EveningStore store(database.connection());
    const auto failed = [&err, &store] {
        err << "velmora-pdf: " << store.lastError() << ".\n";
        return BatchOptions::exitFailed;
    };
    if (query.kind == EveningQuery::Kind::List) {
        const QList<Evening> evenings = store.evenings();
        if (!store.lastError().isEmpty()) {
            return failed();
        }
        for (const Evening &e : evenings) {
            const QList<SoldRange> sold = store.sold(e.id);
            int count = 0;
            qint64 takings = 0;
            for (const SoldRange &s : sold) {
                count += s.count();
                takings += s.takingsCents();
            }
            out << e.id << '\t' << e.date.toString(Qt::ISODate) << '\t' << field(e.name) << '\t'
                << (e.isClosed() ? "chiusa" : "corrente") << '\t' << store.runs(e.id).size() << '\t'
                << count << '\t' << EveningStore::money(takings) << '\n';
        }
        if (evenings.isEmpty()) {
            err << "Nessuna serata nel registro: la prima inizia con la prima stampa.\n";
        }
        return BatchOptions::exitOk;
    }
    const std::optional<Evening> evening = store.current();
    if (!evening) {
        return failed();
    }
    QString error;
    const QList<std::pair<int, int>> ranges =
        EveningStore::parseRanges(query.ranges, &error).value_or(QList<std::pair<int, int>>{});
    if (!store.addSold(evening->id, query.run, ranges, query.priceCents)) {
        err << "velmora-pdf: " << store.lastError() << ": nessuna cartella è stata messa in "
            << "gioco.\n";
        return BatchOptions::exitFailed;
    }
    int added = 0;
    for (const auto &[first, last] : ranges) {
        added += last - first + 1;
    }
    err << "In gioco nella serata \"" << evening->name << "\": " << added
        << (added == 1 ? " cartella" : " cartelle") << " della corsa " << query.run << ".\n";
    return BatchOptions::exitOk;
}

QString EveningCommands::helpText() {
    return QStringLiteral(
        "Serata (ogni stampa appartiene alla serata corrente, iniziata con la prima stampa):\n"
        "  --serate                   elenca le serate, dalla più recente; campi separati da\n"
        "                             tabulazioni: numero, data, nome, chiusa/corrente, stampe,\n"
        "                             cartelle in gioco, incasso\n"
        "  --vendute \"1-120,200-250\" --corsa R [--prezzo EURO]\n"
        "                             mette in gioco nella serata corrente le cartelle con quei\n"
        "                             numeri stampati dalla stampa R, al prezzo indicato per\n"
        "                             cartella (predefinito 0); un numero che la stampa non ha\n"
        "                             consegnato, o già in gioco, è rifiutato e nominato\n"
        "\n");
}

} // namespace velmora
