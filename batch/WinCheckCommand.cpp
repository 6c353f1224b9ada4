#include "batch/WinCheckCommand.h"

#include "errors/VelmoraError.h"
#include "evening/EveningStore.h"
#include "evening/RegisterDatabase.h"
#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "register/ArchiveFingerprint.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "rules/ArchiveScan.h"
#include "rules/Game.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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

int WinCheckCommand::run(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                         QTextStream &err) {
    if (options.inGioco) {
        return runInPlay(options, archive, out, err);
    }
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
    if (!refusal.isEmpty() && !options.corsa) {
        err << "velmora-pdf: " << refusal << '\n';
        return BatchOptions::exitFailed;
    }
    qint64 first = plan ? plan->first : 1;
    qint64 count = !plan              ? 0
                   : options.cartelle ? plan->requested - plan->first + 1
                                      : archive.cardCount() - first + 1;
    bool archiveNumbering = options.numerazione == BatchOptions::Numbering::Archivio;
    if (options.corsa) {
        const qint64 id = options.corsa->trimmed().toLongLong();
        RegisterDatabase database;
        if (!database.isOpen()) {
            err << "velmora-pdf: " << database.error() << '\n';
            return BatchOptions::exitFailed;
        }
        const PrintRegister reg(database.connection());
        const QList<RunRecord> runs = reg.runs();
        if (!reg.lastError().isEmpty()) {
            err << "velmora-pdf: il registro delle stampe non si legge: " << reg.lastError()
                << ".\n";
            return BatchOptions::exitFailed;
        }
        const auto run = std::find_if(runs.cbegin(), runs.cend(),
                                      [id](const RunRecord &r) { return r.id == id; });
        if (run == runs.cend()) {
            err << "velmora-pdf: la corsa n. " << id << " non è nel registro.\n";
            return BatchOptions::exitFailed;
        }
        const std::optional<CardTrace::Range> range = CardTrace::printedRange(*run);
        if (!range) {
            err << "velmora-pdf: " << noCardsDelivered(*run) << '\n';
            return BatchOptions::exitFailed;
        }
        if (!ArchiveFingerprint::sameArchive(ArchiveFingerprint::of(archive.path()), *run)) {
            err << "velmora-pdf: attenzione, la corsa n. " << id
                << " usava un archivio diverso da \""
                << QDir::toNativeSeparators(QFileInfo(archive.path()).absoluteFilePath())
                << "\".\n";
        }
        first = run->firstCard;
        count = range->last - range->first + 1;
        archiveNumbering = run->archiveNumbering;
    }

    QElapsedTimer clock;
    clock.start();
    try {
        const ArchiveScan scan(archive, first, count);
        const QList<ArchiveScan::Win> wins = scan.reached(game->drawn(), Premio::Ambo);
        for (const ArchiveScan::Win &win : wins) {
            const CheckResult result = PrizeCheck::check(win.card->rows, game->drawn());
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
                   .arg(game->count())
                   .arg(clock.elapsed());
        err.flush();
    } catch (const VelmoraError &error) {
        err << "velmora-pdf: " << error.description() << '\n';
        return BatchOptions::exitFailed;
    }
    return BatchOptions::exitOk;
}

int WinCheckCommand::runInPlay(const BatchOptions &options, CardArchive &archive, QTextStream &out,
                               QTextStream &err) {
    const std::optional<Game> game = Game::parse(options.estratti.value_or(QString()), nullptr);
    RegisterDatabase database;
    if (!database.isOpen()) {
        err << "velmora-pdf: " << database.error() << '\n';
        return BatchOptions::exitFailed;
    }
    EveningStore store(database.connection());
    const std::optional<Evening> evening = store.current();
    const QList<RunRecord> runs = evening ? store.runs(evening->id) : QList<RunRecord>();
    const QList<PlayedCard> cards = evening ? store.cardsInPlay(evening->id) : QList<PlayedCard>();
    if (!store.lastError().isEmpty()) {
        err << "velmora-pdf: la serata non si legge: " << store.lastError() << ".\n";
        return BatchOptions::exitFailed;
    }
    const std::optional<ArchiveFingerprint> current = ArchiveFingerprint::of(archive.path());
    for (const RunRecord &run : runs) {
        if (!CardTrace::printedRange(run)) {
            err << "velmora-pdf: " << noCardsDelivered(run) << '\n';
        } else if (!ArchiveFingerprint::sameArchive(current, run)) {
            err << "velmora-pdf: attenzione, la corsa n. " << run.id
                << " usava un archivio diverso da \""
                << QDir::toNativeSeparators(QFileInfo(archive.path()).absoluteFilePath())
                << "\".\n";
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
    try {
        for (const PlayedCard &card : cards) {
            const CheckResult result =
                PrizeCheck::check(CardRows::of(archive.read(card.archiveCard)), game->drawn());
            if (result.best == Premio::Nessuno) {
                continue;
            }
            ++found;
            out << card.archiveCard << '\t' << card.printedNumber << '\t'
                << PrizeCheck::name(result.best) << '\t'
                << (result.row < 0 ? QStringLiteral("-") : PrizeCheck::rowName(result.row)) << '\t'
                << card.run << '\n';
        }
    } catch (const VelmoraError &error) {
        err << "velmora-pdf: " << error.description() << '\n';
        return BatchOptions::exitFailed;
    }
    out.flush();
    err << QStringLiteral("Cartelle in gioco con un premio: %1 su %2 della serata \"%3\", %4 "
                          "numeri estratti (%5 ms).\n")
               .arg(found)
               .arg(cards.size())
               .arg(evening->name)
               .arg(game->count())
               .arg(clock.elapsed());
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
        "\n");
}

} // namespace velmora
