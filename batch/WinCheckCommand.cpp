#include "batch/WinCheckCommand.h"

#include "errors/VelmoraError.h"
#include "game/ArchiveScan.h"
#include "game/Game.h"
#include "print/CardArchive.h"
#include "print/PrintPlan.h"
#include "register/ArchiveFingerprint.h"
#include "register/CardNumbering.h"
#include "register/CardTrace.h"
#include "register/PrintRegister.h"
#include "register/RegisterDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace velmora {

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
        const std::optional<CardTrace::Range> range =
            run == runs.cend() ? std::nullopt : CardTrace::printedRange(*run);
        if (!range) {
            err << "velmora-pdf: la corsa n. " << id
                << " non è nel registro o non ha consegnato cartelle.\n";
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
        "\n");
}

} // namespace velmora
