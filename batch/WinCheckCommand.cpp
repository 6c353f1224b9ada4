#include "batch/WinCheckCommand.h"

#include "errors/VelmoraError.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "print/RunArchives.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "rules/ArchiveScan.h"
#include "rules/Game.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

#include <algorithm>

namespace velmora {
namespace {

// Said plainly, so that no one takes an empty answer for "no winner".
QString noCardsDelivered(const RunRecord &run) {
    return QStringLiteral("la corsa n. %1 non ha consegnato nessuna cartella (esito: %2): non "
                          "c'è nulla da controllare.")
        .arg(run.id)
        .arg(run.outcomeText());
}

} // namespace

QString WinCheckCommand::refusal(const BatchOptions &options, bool printing) {
    if (printing) {
        return QStringLiteral("--vincite non stampa: non si usa con -o, --stampante o "
                              "--orientamento");
    }
    // An empty list would find no prize and say so with status 0: a mistake, not an answer.
    if (!options.estratti || options.estratti->trimmed().isEmpty()) {
        return QStringLiteral("--vincite vuole i numeri estratti: --estratti \"1,2,3\"");
    }
    QString error;
    if (!Game::parse(*options.estratti, &error)) {
        return error;
    }
    if (options.inGioco && (options.corsa || options.prima || options.cartelle)) {
        return QStringLiteral("--in-gioco sceglie già le cartelle: non si usa con --corsa, "
                              "--prima o --cartelle");
    }
    if (options.corsa) {
        bool numeric = false;
        if (options.corsa->trimmed().toLongLong(&numeric) < 1 || !numeric) {
            return QStringLiteral("--corsa vuole il numero di una corsa del registro, non \"%1\"")
                .arg(*options.corsa);
        }
        if (options.prima || options.cartelle) {
            return QStringLiteral("--corsa sceglie già le cartelle: non si usa con --prima o "
                                  "--cartelle");
        }
    }
    return {};
}

bool WinCheckCommand::ofRegister(const BatchOptions &options) {
    return options.inGioco || options.corsa.has_value();
}

int WinCheckCommand::runOfRegister(const BatchOptions &options, const QStringList &places,
                                   QTextStream &out, QTextStream &err) {
    return options.inGioco ? runInPlay(options, places, out, err)
                           : runOfRun(options, places, out, err);
}

namespace {

// The lines of the cards of a scan with a prize, and the summary; the status.
int writeWins(const ArchiveScan &scan, const Game &game, bool archiveNumbering, qint64 first,
              const QElapsedTimer &clock, QTextStream &out, QTextStream &err) {
    const QList<ArchiveScan::Win> wins = scan.reached(game.drawn(), Premio::Ambo);
    for (const ArchiveScan::Win &win : wins) {
        const CheckResult result = PrizeCheck::check(win.card->rows, game.drawn());
        out << win.card->archiveCard << '\t'
            << CardNumbering::printedText(win.card->numeroArchivio, archiveNumbering, first)
                   .trimmed()
            << '\t' << PrizeCheck::name(result.best) << '\t'
            << (result.row < 0 ? QStringLiteral("-") : PrizeCheck::rowName(result.row)) << '\n';
    }
    out.flush();
    err << QStringLiteral("Cartelle con un premio: %1 su %2 controllate, %3 numeri estratti "
                          "(%4 ms).\n")
               .arg(wins.size())
               .arg(scan.cards().size())
               .arg(game.count())
               .arg(clock.elapsed());
    err.flush();
    return BatchOptions::exitOk;
}

} // namespace

int WinCheckCommand::run(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                         QTextStream &err) {
    const std::optional<Game> game = Game::parse(options.estratti.value_or(QString()), nullptr);
    // The range as printing reads and refuses it (a first card of 0 is card 1, no card past
    // 32767 or past the archive's end); without --cartelle, up to the archive's last card.
    QString refusal;
    std::optional<PrintPlan> plan =
        PrintPlan::make(options.prima.value_or(QStringLiteral("1")),
                        options.cartelle.value_or(QStringLiteral("1")), true, &refusal);
    if (plan && plan->requested < plan->first) {
        refusal = QStringLiteral("nessuna cartella da controllare.");
    } else if (plan) {
        refusal = plan->beyondArchive(archive.cardCount(), archive.path()).value_or(QString());
    }
    if (!refusal.isEmpty()) {
        err << "velmora-pdf: " << refusal << '\n';
        return BatchOptions::exitFailed;
    }
    const qint64 first = plan->first;
    const qint64 count =
        options.cartelle ? plan->requested - plan->first + 1 : archive.cardCount() - first + 1;
    QElapsedTimer clock;
    clock.start();
    try {
        return writeWins(ArchiveScan(archive, first, count), *game,
                         options.numerazione == BatchOptions::Numbering::Archivio, first, clock,
                         out, err);
    } catch (const VelmoraError &error) {
        err << "velmora-pdf: " << error.description() << '\n';
        return BatchOptions::exitFailed;
    }
}

int WinCheckCommand::runOfRun(const BatchOptions &options, const QStringList &places,
                              QTextStream &out, QTextStream &err) {
    const std::optional<Game> game = Game::parse(options.estratti.value_or(QString()), nullptr);
    const qint64 id = options.corsa->trimmed().toLongLong();
    RegisterDatabase database;
    if (!database.isOpen()) {
        err << "velmora-pdf: " << database.error() << '\n';
        return BatchOptions::exitFailed;
    }
    const PrintRegister reg(database.connection());
    const QList<RunRecord> runs = reg.runs();
    if (!reg.lastError().isEmpty()) {
        err << "velmora-pdf: il registro delle stampe non si legge: " << reg.lastError() << ".\n";
        return BatchOptions::exitFailed;
    }
    const auto run =
        std::find_if(runs.cbegin(), runs.cend(), [id](const RunRecord &r) { return r.id == id; });
    if (run == runs.cend()) {
        err << "velmora-pdf: la corsa n. " << id << " non è nel registro.\n";
        return BatchOptions::exitFailed;
    }
    const std::optional<CardTrace::Range> range = CardTrace::printedRange(*run);
    if (!range) {
        err << "velmora-pdf: " << noCardsDelivered(*run) << '\n';
        return BatchOptions::exitFailed;
    }
    RunArchives archives(places);
    const std::optional<QByteArray> archive = archives.bytesOf(*run);
    if (!archive) {
        err << "velmora-pdf: " << RunArchives::missing(*run) << ".\n";
        return BatchOptions::exitFailed;
    }
    QElapsedTimer clock;
    clock.start();
    const ArchiveScan scan(
        [&archive](qint64 card) { return RunArchives::cardIn(*archive, int(card)); },
        archive->size() / RecordCartella::recordSize, range->first, range->last - range->first + 1);
    return writeWins(scan, *game, run->archiveNumbering, run->firstCard, clock, out, err);
}

int WinCheckCommand::runInPlay(const BatchOptions &options, const QStringList &places,
                               QTextStream &out, QTextStream &err) {
    const std::optional<Game> game = Game::parse(options.estratti.value_or(QString()), nullptr);
    RegisterDatabase database;
    if (!database.isOpen()) {
        err << "velmora-pdf: " << database.error() << '\n';
        return BatchOptions::exitFailed;
    }
    // Only read: no evening is begun for a question.
    const EveningStore store(database.connection());
    const std::optional<Evening> evening = store.openOne();
    const QList<RunRecord> runs = evening ? store.runs(evening->id) : QList<RunRecord>();
    const QList<PlayedCard> cards = evening ? store.cardsInPlay(evening->id) : QList<PlayedCard>();
    if (!store.lastError().isEmpty()) {
        err << "velmora-pdf: la serata non si legge: " << store.lastError() << ".\n";
        return BatchOptions::exitFailed;
    }
    if (!evening) {
        err << "velmora-pdf: nessuna serata in corso nel registro: le cartelle si mettono in "
               "gioco con --vendute \"1-120\" --corsa R.\n";
        return BatchOptions::exitFailed;
    }
    RunArchives archives(places);
    QHash<qint64, QByteArray> checkable; // the archives of the runs whose cards can be read
    for (const RunRecord &run : runs) {
        if (!CardTrace::printedRange(run)) {
            err << "velmora-pdf: " << noCardsDelivered(run) << '\n';
        } else if (const std::optional<QByteArray> archive = archives.bytesOf(run)) {
            checkable.insert(run.id, *archive);
        } else {
            err << "velmora-pdf: " << RunArchives::missing(run) << ".\n";
        }
    }
    if (cards.isEmpty()) {
        err << "velmora-pdf: nessuna cartella in gioco nella serata \"" << evening->name
            << "\": metterle in gioco con --vendute \"1-120\" --corsa R.\n";
        return BatchOptions::exitFailed;
    }
    QElapsedTimer clock;
    clock.start();
    int found = 0;
    int checked = 0;
    for (const PlayedCard &card : cards) {
        const auto archive = checkable.constFind(card.run);
        if (archive == checkable.cend()) {
            continue; // its run was said above
        }
        ++checked;
        const CheckResult result = PrizeCheck::check(
            CardRows::of(RunArchives::cardIn(*archive, card.archiveCard)), game->drawn());
        if (result.best == Premio::Nessuno) {
            continue;
        }
        ++found;
        out << card.archiveCard << '\t' << card.printedNumber << '\t'
            << PrizeCheck::name(result.best) << '\t'
            << (result.row < 0 ? QStringLiteral("-") : PrizeCheck::rowName(result.row)) << '\t'
            << card.run << '\n';
    }
    out.flush();
    err << QStringLiteral("Cartelle in gioco con un premio: %1 su %2 della serata \"%3\", %4 "
                          "numeri estratti (%5 ms).\n")
               .arg(found)
               .arg(checked)
               .arg(evening->name)
               .arg(game->count())
               .arg(clock.elapsed());
    if (checked < cards.size()) {
        err << QStringLiteral("velmora-pdf: %1 cartelle in gioco non verificate: il loro archivio "
                              "non si trova.\n")
                   .arg(cards.size() - checked);
        return BatchOptions::exitFailed;
    }
    return BatchOptions::exitOk;
}

QString WinCheckCommand::helpText() {
    return QStringLiteral(
        "Vincite:\n"
        "  --vincite --estratti \"N,N,...\"\n"
        "                             le cartelle che hanno un premio con i numeri estratti "
        "(da 1 a 90,\n"
        "                             separati da virgole, nessuno ripetuto), dalla cartella "
        "--prima\n"
        "                             (predefinita 1) per --cartelle (predefinito: fino "
        "all'ultima),\n"
        "                             con i numeri stampati secondo --numerazione come nella "
        "stampa\n"
        "                             che parte da --prima; oppure le cartelle della corsa R "
        "del registro\n"
        "                             con --corsa R. Una riga per cartella, separata da "
        "tabulazioni:\n"
        "                             numero d'archivio, numero stampato, premio migliore "
        "(Ambo, Terno,\n"
        "                             Quaterna, Cinquina, Tombola), riga (prima, seconda, "
        "terza; - per\n"
        "                             la tombola). Un elenco non valido dà lo stato 2.\n"
        "  --vincite --in-gioco --estratti \"N,N,...\"\n"
        "                             solo le cartelle in gioco della serata corrente (vedi\n"
        "                             --vendute), con un quinto campo: la stampa (corsa) della\n"
        "                             cartella. Una stampa che non ha consegnato cartelle è\n"
        "                             detta su standard error.\n"
        "                             Con --corsa e --in-gioco le cartelle di ogni stampa si\n"
        "                             leggono dall'archivio da cui fu stampata (lo stesso\n"
        "                             SHA-256), dove era o, se spostato, in --archivio e nelle\n"
        "                             cartelle dell'archivio; se non si trova è detto e lo stato\n"
        "                             è 1.\n"
        "\n");
}

} // namespace velmora
