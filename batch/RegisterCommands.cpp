#include "batch/RegisterCommands.h"

#include "common/Sentence.h"
#include "errors/FileErrorText.h"
#include "evening/RegisterDatabase.h"
#include "print/PrintPlan.h"
#include "print/RunArchives.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "register/RegisterTime.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cerrno>
#include <sys/stat.h>

namespace velmora {
namespace {

const QString listName = QStringLiteral("registro");
const QString findName = QStringLiteral("trova");
const QString runName = QStringLiteral("corsa");
const QString cardName = QStringLiteral("numero-archivio");

// The outcome as one stable word for scripts.
QString outcomeWord(RunRecord::Outcome outcome) {
    switch (outcome) {
    case RunRecord::Outcome::InProgress:
        return QStringLiteral("in_corso");
    case RunRecord::Outcome::Completed:
        return QStringLiteral("completata");
    case RunRecord::Outcome::Stopped:
        return QStringLiteral("fermata");
    case RunRecord::Outcome::Failed:
        return QStringLiteral("non_riuscita");
    case RunRecord::Outcome::Interrupted:
        return QStringLiteral("interrotta");
    }
    return {};
}

// A field never breaks its line or its column.
QString field(QString text) {
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    return text.replace(breaks, QStringLiteral(" "));
}

std::optional<qint64> positiveNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*[0-9]{1,9}\\s*$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const qint64 value = text.trimmed().toLongLong();
    return value > 0 ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

QList<QCommandLineOption> RegisterCommands::options() {
    return {QCommandLineOption(listName), QCommandLineOption(findName, {}, QStringLiteral("N")),
            QCommandLineOption(runName, {}, QStringLiteral("R")),
            QCommandLineOption(cardName, {}, QStringLiteral("A"))};
}

bool RegisterCommands::asked(const QCommandLineParser &parser) {
    for (const QString &name : {listName, findName, runName, cardName}) {
        if (parser.isSet(name)) {
            return true;
        }
    }
    return false;
}

BatchParsed RegisterCommands::parse(const QCommandLineParser &parser) {
    const auto usage = [](const QString &why) { return BatchParsed{std::nullopt, why}; };
    for (const QString &name : parser.optionNames()) {
        if (name != listName && name != findName && name != runName && name != cardName) {
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usage(QStringLiteral("%1%2 non vale con le domande al registro delle stampe")
                             .arg(dashes, name));
        }
    }
    for (const QString &name : {findName, runName, cardName}) {
        if (parser.values(name).size() > 1) {
            return usage(QStringLiteral("l'opzione --%1 è data più di una volta").arg(name));
        }
    }
    const int questions =
        int(parser.isSet(listName)) + int(parser.isSet(findName)) + int(parser.isSet(cardName));
    if (questions != 1) {
        return usage(questions == 0
                         ? QStringLiteral("--corsa vale solo con --trova N")
                         : QStringLiteral("una domanda al registro per volta: --registro, "
                                          "--trova N o --numero-archivio A"));
    }
    if (parser.isSet(runName) && !parser.isSet(findName)) {
        return usage(QStringLiteral("--corsa vale solo con --trova N"));
    }
    BatchOptions options;
    options.mode = BatchOptions::Mode::Register;
    RegisterQuery query;
    for (const auto &[name, kind] : {std::pair{findName, RegisterQuery::Kind::PrintedNumber},
                                     std::pair{cardName, RegisterQuery::Kind::ArchiveCard}}) {
        if (!parser.isSet(name)) {
            continue;
        }
        const std::optional<qint64> number = positiveNumber(parser.value(name));
        if (!number || *number > PrintPlan::maxCard) {
            return usage(QStringLiteral("--%1 vuole un numero di cartella da 1 a %2, non \"%3\"")
                             .arg(name)
                             .arg(PrintPlan::maxCard)
                             .arg(parser.value(name)));
        }
        query.kind = kind;
        query.number = int(*number);
    }
    if (parser.isSet(runName)) {
        query.run = positiveNumber(parser.value(runName));
        if (!query.run) {
            return usage(QStringLiteral("--corsa vuole il numero di una corsa del registro, "
                                        "non \"%1\"")
                             .arg(parser.value(runName)));
        }
    }
    options.registro = query;
    return {options, {}};
}

QString RegisterCommands::helpText() {
    return QStringLiteral(
        "Registro delle stampe (ogni corsa di stampa, anche dal programma a finestre, vi è\n"
        "annotata):\n"
        "  --registro                 elenca le corse, dalla più recente, una per riga; campi\n"
        "                             separati da tabulazioni, sempre in quest'ordine:\n"
        "                             numero, inizio, fine, programma, esito (in_corso,\n"
        "                             completata, fermata, non_riuscita, interrotta), prima\n"
        "                             cartella, cartelle chieste, ultima cartella prevista,\n"
        "                             cartelle disegnate, consegnate (si/no), numerazione\n"
        "                             (progressiva/archivio), orientamento, destinazione,\n"
        "                             archivio, byte dell'archivio, SHA-256 dell'archivio,\n"
        "                             cartelle dell'archivio\n"
        "  --trova N [--corsa R]      quale cartella dell'archivio è il numero stampato N, per\n"
        "                             ogni corsa (o nella sola corsa R)\n"
        "  --numero-archivio A        in quali corse è uscita la cartella A dell'archivio, e con\n"
        "                             quale numero\n"
        "                             Per --trova e --numero-archivio, una riga per corsa:\n"
        "                             numero della corsa, cartella dell'archivio, numero\n"
        "                             stampato (letto dall'archivio della corsa, come sulla\n"
        "                             cartella), certa/incerta (incerta: corsa non terminata),\n"
        "                             inizio. Stato di uscita 1 quando nulla corrisponde.\n");
}

QString RegisterCommands::listLine(const RunRecord &run) {
    const QStringList fields{
        QString::number(run.id),
        RegisterTime::shownIso(run.started),
        RegisterTime::shownIso(run.ended),
        run.program,
        outcomeWord(run.outcome),
        QString::number(run.firstCard),
        QString::number(run.cardsAsked),
        QString::number(run.lastCard),
        QString::number(run.cardsDrawn),
        run.delivered ? QStringLiteral("si") : QStringLiteral("no"),
        run.archiveNumbering ? QStringLiteral("archivio") : QStringLiteral("progressiva"),
        run.landscape ? QStringLiteral("orizzontale") : QStringLiteral("verticale"),
        run.destination,
        run.archivePath,
        QString::number(run.archiveSize),
        run.archiveSha256,
        QString::number(run.archiveCards),
    };
    QStringList clean;
    for (const QString &text : fields) {
        clean.append(field(text));
    }
    return clean.join(u'\t');
}

int RegisterCommands::exec(const RegisterQuery &query, QTextStream &out, QTextStream &err,
                           const QString &databasePath) {
    const auto fail = [&err](const QString &message) {
        err << QStringLiteral("velmora-pdf: ") << Sentence::whole(message) << '\n';
        err.flush();
        return BatchOptions::exitFailed;
    };
    QList<RunRecord> runs;
    // No register yet is an empty one: asking must not make the file. Asking writes nothing
    // either: a run left in progress is reported, once, by the next print. A path that cannot
    // be looked at (a file where its folder should be, no permission) is no empty register.
    errno = 0;
    struct stat seen {};
    if (::stat(QFile::encodeName(databasePath).constData(), &seen) != 0 && errno != ENOENT) {
        return fail(QStringLiteral("Il registro delle stampe \"%1\" non si può aprire: %2.")
                        .arg(QDir::toNativeSeparators(QFileInfo(databasePath).absoluteFilePath()),
                             FileErrorText::reason(errno)));
    }
    if (QFileInfo::exists(databasePath)) {
        RegisterDatabase database(databasePath);
        if (!database.notice().isEmpty()) {
            err << database.notice() << '\n';
        }
        if (!database.isOpen()) {
            return fail(database.error());
        }
        PrintRegister reg(database.connection());
        runs = reg.runs();
        if (!reg.lastError().isEmpty()) {
            return fail(
                QStringLiteral("il registro delle stampe non si legge: %1.").arg(reg.lastError()));
        }
    }
    if (query.kind == RegisterQuery::Kind::List) {
        for (const RunRecord &run : runs) {
            out << listLine(run) << '\n';
        }
        out.flush();
        return BatchOptions::exitOk;
    }
    if (query.run) {
        runs.removeIf([&query](const RunRecord &run) { return run.id != *query.run; });
        if (runs.isEmpty()) {
            return fail(QStringLiteral("la corsa n. %1 non è nel registro.").arg(*query.run));
        }
    }
    // The numbers printed are read from the archives the runs printed from, when still at hand.
    RunArchives archives;
    const QList<CardPrinting> found =
        query.kind == RegisterQuery::Kind::PrintedNumber
            ? CardTrace::byPrintedNumber(runs, query.number, archives.lookup())
            : CardTrace::byArchiveCard(runs, query.number, archives.lookup());
    for (const CardPrinting &printing : found) {
        const auto run = std::find_if(runs.cbegin(), runs.cend(),
                                      [&](const RunRecord &r) { return r.id == printing.runId; });
        out << printing.runId << '\t' << printing.archiveCard << '\t' << printing.printedNumber
            << '\t' << (printing.certain ? "certa" : "incerta") << '\t'
            << RegisterTime::shownIso(run->started) << '\n';
        if (!archives.available(*run)) {
            err << QStringLiteral("velmora-pdf: attenzione, l'archivio \"%1\" della corsa n. %2 "
                                  "non c'è più o è cambiato: il numero stampato è dedotto dalla "
                                  "posizione della cartella nell'archivio.\n")
                       .arg(QDir::toNativeSeparators(run->archivePath))
                       .arg(run->id);
        }
    }
    out.flush();
    err.flush();
    if (found.isEmpty()) {
        return fail(query.kind == RegisterQuery::Kind::PrintedNumber
                        ? (query.run ? QStringLiteral("la corsa n. %1 non ha stampato il "
                                                      "numero %2.")
                                           .arg(*query.run)
                                           .arg(query.number)
                                     : QStringLiteral("nessuna corsa del registro ha stampato "
                                                      "il numero %1.")
                                           .arg(query.number))
                        : QStringLiteral("la cartella %1 dell'archivio non risulta stampata.")
                              .arg(query.number));
    }
    return BatchOptions::exitOk;
}

} // namespace velmora
