#include "batch/BatchOptions.h"

#include "VelmoraConfig.h"
#include "batch/EveningCommands.h"
#include "batch/RegisterCommands.h"
#include "batch/VerbaleCommands.h"
#include "batch/WinCheckCommand.h"
#include "common/Sentence.h"
#include "errors/TestoVersione.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace velmora {
namespace {

const QString programName = QStringLiteral("velmora-pdf");

// QCommandLineParser words its errors in English: the four it can give, in the program's words.
QString italianParserError(const QString &english) {
    static const QList<std::pair<QRegularExpression, QString>> table = {
        {QRegularExpression(QStringLiteral("^Unknown options?:? '?(.*?)'?\\.$")),
         QStringLiteral("opzione sconosciuta: %1")},
        {QRegularExpression(QStringLiteral("^Missing value after '(.*)'\\.$")),
         QStringLiteral("manca il valore dopo %1")},
        {QRegularExpression(QStringLiteral("^Unexpected value after '(.*)'\\.$")),
         QStringLiteral("l'opzione %1 non vuole un valore")},
    };
    for (const auto &[pattern, italian] : table) {
        const QRegularExpressionMatch match = pattern.match(english);
        if (match.hasMatch()) {
            QString names = match.captured(1);
            // Options are shown as typed on a command line: --name, or -x for one letter.
            QStringList shown;
            for (const QString &name : names.split(QStringLiteral(", "))) {
                QString bare = name;
                while (bare.startsWith(u'-')) {
                    bare.remove(0, 1);
                }
                shown.append((bare.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
                             bare);
            }
            return italian.arg(shown.join(QStringLiteral(", ")));
        }
    }
    return QStringLiteral("riga di comando non valida (%1)").arg(english);
}

// A whole number of cards as typed: digits, with blanks around them at most.
bool isCardNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^\\s*[0-9]+\\s*$"));
    return digits.match(text).hasMatch();
}

} // namespace

BatchParsed BatchOptions::parse(const QStringList &arguments) {
    BatchParsed parsed = parseWords(arguments);
    if (!parsed.options) {
        parsed.error = Sentence::whole(parsed.error);
    }
    return parsed;
}

BatchParsed BatchOptions::parseWords(const QStringList &arguments) {
    const auto usage = [](const QString &why) { return BatchParsed{std::nullopt, why}; };

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption prima(QStringLiteral("prima"), {}, QStringLiteral("N"));
    const QCommandLineOption cartelle(QStringLiteral("cartelle"), {}, QStringLiteral("N"));
    const QCommandLineOption orientamento(QStringLiteral("orientamento"), {},
                                          QStringLiteral("TIPO"));
    const QCommandLineOption numerazione(QStringLiteral("numerazione"), {}, QStringLiteral("TIPO"));
    const QCommandLineOption posizione(QStringLiteral("posizione"), {}, QStringLiteral("TIPO"));
    const QCommandLineOption archivio(QStringLiteral("archivio"), {}, QStringLiteral("DIR"));
    const QCommandLineOption configurazione(QStringLiteral("configurazione"), {},
                                            QStringLiteral("FILE"));
    const QCommandLineOption stampante(QStringLiteral("stampante"), {}, QStringLiteral("NOME"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("uscita")}, {},
                                    QStringLiteral("FILE"));
    const QCommandLineOption verifica(QStringLiteral("verifica"), {});
    const QCommandLineOption piattaforma(QStringLiteral("piattaforma"), {}, QStringLiteral("NOME"));
    const QCommandLineOption vincite(QStringLiteral("vincite"), {});
    const QCommandLineOption estratti(QStringLiteral("estratti"), {}, QStringLiteral("N,N,..."));
    parser.addOptions({help, version, prima, cartelle, orientamento, numerazione, posizione,
                       archivio, configurazione, stampante, output, verifica, vincite, estratti,
                       piattaforma});
    // --corsa comes with the register's options: it names a run for --trova and --vincite.
    parser.addOptions(RegisterCommands::options());
    parser.addOptions(EveningCommands::options());
    parser.addOptions(VerbaleCommands::options());

    if (!parser.parse(arguments)) {
        return usage(italianParserError(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usage(
            QStringLiteral("argomento inatteso: \"%1\"").arg(parser.positionalArguments().first()));
    }

    BatchOptions options;
    if (parser.isSet(help)) {
        options.mode = Mode::Help;
        return {options, {}};
    }
    if (parser.isSet(version)) {
        options.mode = Mode::Version;
        return {options, {}};
    }
    if (VerbaleCommands::asked(parser)) {
        return VerbaleCommands::parse(parser);
    }
    if (!parser.isSet(vincite) && EveningCommands::asked(parser)) {
        return EveningCommands::parse(parser);
    }
    if (!parser.isSet(vincite) && parser.isSet(QStringLiteral("in-gioco"))) {
        return usage(QStringLiteral("--in-gioco vale solo con --vincite"));
    }
    if (!parser.isSet(vincite) && RegisterCommands::asked(parser)) {
        return RegisterCommands::parse(parser);
    }

    // A value given twice is more likely a slip than a choice: say so rather than pick one.
    for (const QCommandLineOption *option :
         {&prima, &cartelle, &orientamento, &numerazione, &posizione, &archivio, &configurazione,
          &stampante, &output, &estratti, &piattaforma}) {
        if (parser.values(*option).size() > 1) {
            const QString name = option->names().last();
            return usage(QStringLiteral("l'opzione --%1 è data più di una volta").arg(name));
        }
    }

    for (const auto &[option, field] :
         {std::pair{&prima, &options.prima}, std::pair{&cartelle, &options.cartelle}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const QString text = parser.value(*option);
        if (!isCardNumber(text)) {
            return usage(QStringLiteral("--%1 vuole un numero intero di cartelle, non \"%2\"")
                             .arg(option->names().first(), text));
        }
        *field = text.trimmed();
    }

    if (parser.isSet(orientamento)) {
        const QString value = parser.value(orientamento).trimmed().toLower();
        if (value == QStringLiteral("orizzontale")) {
            options.landscape = true;
        } else if (value == QStringLiteral("verticale")) {
            options.landscape = false;
        } else {
            return usage(QStringLiteral("--orientamento vuole \"orizzontale\" (6 cartelle per "
                                        "pagina) o \"verticale\" (3 cartelle per pagina), non "
                                        "\"%1\"")
                             .arg(parser.value(orientamento)));
        }
    }
    if (parser.isSet(numerazione)) {
        const QString value = parser.value(numerazione).trimmed().toLower();
        if (value == QStringLiteral("progressiva")) {
            options.numerazione = Numbering::Progressiva;
        } else if (value == QStringLiteral("archivio")) {
            options.numerazione = Numbering::Archivio;
        } else {
            return usage(QStringLiteral("--numerazione vuole \"progressiva\" (da 1) o "
                                        "\"archivio\" (i numeri dell'archivio), non \"%1\"")
                             .arg(parser.value(numerazione)));
        }
    }
    if (parser.isSet(posizione)) {
        const QString value = parser.value(posizione).trimmed().toLower();
        if (value == QStringLiteral("centrata")) {
            options.centred = true;
        } else if (value == QStringLiteral("descritta")) {
            options.centred = false;
        } else {
            return usage(QStringLiteral("--posizione vuole \"centrata\" (il foglio al centro "
                                        "della pagina) o \"descritta\" (dall'angolo in alto a "
                                        "sinistra), non \"%1\"")
                             .arg(parser.value(posizione)));
        }
    }

    const auto pathValue = [&parser](const QCommandLineOption &option, QString *field) {
        if (!parser.isSet(option)) {
            return true;
        }
        *field = parser.value(option);
        return !field->trimmed().isEmpty();
    };
    if (!pathValue(archivio, &options.archivio)) {
        return usage(QStringLiteral("--archivio vuole il nome di una cartella"));
    }
    if (!pathValue(configurazione, &options.configurazione)) {
        return usage(QStringLiteral("--configurazione vuole il nome di un file"));
    }
    if (!pathValue(stampante, &options.stampante)) {
        return usage(QStringLiteral("--stampante vuole il nome di una stampante"));
    }
    if (!pathValue(output, &options.output)) {
        return usage(QStringLiteral("-o vuole il nome del file PDF da scrivere"));
    }
    if (!pathValue(piattaforma, &options.piattaforma)) {
        return usage(QStringLiteral("--piattaforma vuole il nome di una piattaforma di Qt"));
    }
    // Digits only by now: a count without a digit other than 0 is no card at all, for a print
    // and for a check alike.
    static const QRegularExpression nonZero(QStringLiteral("[1-9]"));
    if (options.cartelle && !options.cartelle->contains(nonZero)) {
        return usage(parser.isSet(verifica)
                         ? QStringLiteral("--cartelle 0: nessuna cartella da verificare")
                         : QStringLiteral("--cartelle 0: nessuna cartella da stampare"));
    }

    if (parser.isSet(vincite)) {
        options.mode = Mode::Wins;
        if (parser.isSet(estratti)) {
            options.estratti = parser.value(estratti);
        }
        const QStringList runs = parser.values(QStringLiteral("corsa"));
        if (runs.size() > 1) {
            return usage(QStringLiteral("l'opzione --corsa è data più di una volta"));
        }
        if (!runs.isEmpty()) {
            options.corsa = runs.first();
        }
        options.inGioco = parser.isSet(QStringLiteral("in-gioco"));
        if (EveningCommands::asked(parser)) {
            return usage(QStringLiteral("--vincite non si usa con --serate, --vendute o "
                                        "--prezzo"));
        }
        const QString refused = WinCheckCommand::refusal(
            options, parser.isSet(output) || parser.isSet(stampante) ||
                         parser.isSet(orientamento) || parser.isSet(posizione) ||
                         parser.isSet(verifica));
        return refused.isEmpty() ? BatchParsed{options, {}} : usage(refused);
    }
    if (parser.isSet(estratti)) {
        return usage(QStringLiteral("--estratti vale solo con --vincite"));
    }

    if (parser.isSet(verifica)) {
        options.mode = Mode::Verify;
        if (parser.isSet(output) || parser.isSet(stampante)) {
            return usage(QStringLiteral("--verifica non stampa: non si usa con -o o "
                                        "--stampante"));
        }
        for (const QCommandLineOption *option : {&orientamento, &numerazione, &posizione}) {
            if (parser.isSet(*option)) {
                return usage(QStringLiteral("--verifica controlla l'archivio: --%1 non vale "
                                            "per la verifica")
                                 .arg(option->names().first()));
            }
        }
        return {options, {}};
    }

    options.mode = Mode::Print;
    if (parser.isSet(output) == parser.isSet(stampante)) {
        return usage(parser.isSet(output)
                         ? QStringLiteral("indicare -o oppure --stampante, non entrambi")
                         : QStringLiteral("indicare dove stampare: -o FILE.pdf oppure "
                                          "--stampante NOME (o --verifica per controllare "
                                          "l'archivio)"));
    }
    if (!options.cartelle) {
        return usage(QStringLiteral("indicare quante cartelle stampare con --cartelle N"));
    }
    if (parser.isSet(posizione) && parser.isSet(stampante)) {
        return usage(QStringLiteral("--posizione vale solo con -o: una stampante disegna "
                                    "sempre dall'angolo della sua area stampabile"));
    }
    return {options, {}};
}

QByteArray BatchOptions::platform(const BatchParsed &parsed) {
    if (parsed.options && !parsed.options->piattaforma.trimmed().isEmpty()) {
        return parsed.options->piattaforma.trimmed().toLocal8Bit();
    }
    return QByteArrayLiteral("offscreen");
}

QString BatchOptions::helpText() {
    return QStringLiteral(
               "Uso: %1 [opzioni] -o FILE.pdf | --stampante NOME\n"
               "     %1 --verifica [--prima N] [--cartelle N]\n"
               "     %1 --registro | --trova N [--corsa R] | --numero-archivio A\n"
               "     %1 --vincite --estratti \"N,N,...\" [--prima N] [--cartelle N] | "
               "[--corsa R] | [--in-gioco]\n"
               "     %1 --serate | --vendute \"1-120,200-250\" --corsa R [--prezzo EURO]\n"
               "     %1 --partite | --verbale [--partita P] -o FILE.pdf\n"
               "\n"
               "Stampa le cartelle della tombola senza aprire finestre, con le stesse "
               "impostazioni,\n"
               "lo stesso archivio e lo stesso disegno del programma a finestre: a parità di "
               "scelte\n"
               "stampa le stesse cartelle sulle stesse pagine. Oppure verifica l'archivio "
               "delle cartelle.\n"
               "\n"
               "Stampa:\n"
               "  -o, --uscita FILE.pdf      scrive le pagine nel file PDF indicato (\"-\": "
               "standard output);\n"
               "                             un collegamento simbolico scrive il file a cui "
               "porta; un file\n"
               "                             esistente viene sostituito solo se è un PDF "
               "scrivibile dell'utente,\n"
               "                             mai un archivio, una configurazione, un registro "
               "o altro\n"
               "  --stampante NOME           manda le pagine alla stampante installata NOME\n"
               "  --cartelle N               quante cartelle stampare (obbligatoria); l'ultima "
               "pagina\n"
               "                             viene riempita, come nel programma a finestre\n"
               "  --prima N                  prima cartella dell'archivio da stampare\n"
               "                             (predefinita: quella salvata nella "
               "configurazione)\n"
               "  --orientamento orizzontale|verticale\n"
               "                             6 cartelle su una pagina orizzontale o 3 su una "
               "verticale\n"
               "                             (predefinito: quello salvato nella "
               "configurazione)\n"
               "  --numerazione progressiva|archivio\n"
               "                             numeri stampati sulle cartelle: progressiva, il "
               "numero scritto\n"
               "                             nell'archivio meno la prima cartella più 1 (da 1 "
               "quando i\n"
               "                             numeri dell'archivio sono le posizioni delle "
               "cartelle);\n"
               "                             archivio, i numeri come sono scritti "
               "nell'archivio\n"
               "                             (predefinita: progressiva)\n"
               "  --posizione centrata|descritta\n"
               "                             nel PDF il foglio al centro della pagina, ad "
               "almeno 5 mm\n"
               "                             dai bordi, o dall'angolo in alto a sinistra come "
               "fino alla\n"
               "                             versione precedente (predefinita: centrata); "
               "ParX e ParY lo spostano\n"
               "                             da lì\n"
               "\n"
               "Verifica:\n"
               "  --verifica                 controlla l'archivio (o le cartelle da --prima per "
               "--cartelle):\n"
               "                             15 numeri, 5 per riga, ogni numero nella colonna "
               "della sua\n"
               "                             decina, da 1 a 3 numeri per colonna crescenti "
               "dall'alto, nessun\n"
               "                             numero ripetuto; ogni serie di sei cartelle con i "
               "numeri da 1 a 90\n"
               "                             una volta sola; nessuna cartella uguale a "
               "un'altra. Un errore per\n"
               "                             riga su standard output, con il numero della "
               "cartella e la regola,\n"
               "                             poi una riga di riepilogo.\n"
               "\n%3"
               "\n"
               "Comuni:\n"
               "  --archivio DIR             cartella dell'archivio %2 (predefinita: la "
               "cartella corrente,\n"
               "                             poi le cartelle dei dati del programma)\n"
               "  --configurazione FILE      file delle impostazioni (predefinito: quello del "
               "programma a finestre)\n"
               "  --piattaforma NOME         piattaforma di Qt su cui disegnare (predefinita: "
               "offscreen,\n"
               "                             qualunque cosa dica QT_QPA_PLATFORM)\n"
               "  -h, --help                 mostra questo aiuto\n"
               "  -v, --version              mostra la versione\n"
               "\n"
               "Il PDF viene scritto in un file temporaneo nella stessa cartella e prende il "
               "nome richiesto\n"
               "solo a stampa completa: una stampa fallita o interrotta (Ctrl+C) non lascia mai "
               "un file a metà.\n"
               "Un errore nel disegno di una cartella ferma la stampa, perché non c'è nessuno a "
               "cui chiedere\n"
               "se riprovare o ignorare: il resoconto dell'errore va su standard error e lo "
               "stato di uscita è 1.\n"
               "Sul terminale una barra mostra l'avanzamento; alla fine un riepilogo dice "
               "cartelle, pagine e secondi.\n"
               "\n"
               "Stato di uscita: 0 riuscito (archivio integro), 1 stampa o verifica fallita "
               "(archivio con errori, nulla trovato nel registro),\n"
               "2 riga di comando non valida.\n")
        .arg(programName, QStringLiteral("RidoDur.dat"),
             RegisterCommands::helpText() + QStringLiteral("\n") + EveningCommands::helpText() +
                 VerbaleCommands::helpText() + WinCheckCommand::helpText());
}

QString BatchOptions::versionText() {
    return QStringLiteral("%1 %2 (%3)\n")
        .arg(programName, TestoVersione(), QString::fromUtf8(config::title));
}

} // namespace velmora
