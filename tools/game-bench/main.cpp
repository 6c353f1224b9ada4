// velmora-game-bench FOLDER [RUNS]: reads every card of the archive in FOLDER once, then checks
// them all against drawn sets of 15, 30, 45 and 60 numbers for each prize, RUNS times, and prints
// the median milliseconds of the reading and of one check of the whole archive. Then it plays
// whole games over the first 32,766 cards taken as in play: after each number the winners of the
// prize being played are found and named, and the prize is given as soon as a card reaches it;
// it prints the median, the 99th percentile and the slowest processor milliseconds of that step.

#include "print/CardArchive.h"
#include "print/RunArchives.h"
#include "rules/ArchiveScan.h"
#include "rules/WinnerFinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <ctime>
#include <random>
#include <vector>

using namespace velmora;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

constexpr qint64 cardsInHall = 32766;

// The processor time of this thread: on a shared machine the wall clock also counts the time
// other programs had the processor.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// After each number of `games` random games: the winners found and named, in milliseconds.
std::vector<double> winnersAtEachDraw(const QList<CardInPlay> &cards, int games,
                                      std::mt19937 &random) {
    std::vector<double> steps;
    for (int game = 0; game < games; ++game) {
        std::array<int, 90> order{};
        for (int i = 0; i < 90; ++i) {
            order.at(i) = i + 1;
        }
        std::shuffle(order.begin(), order.end(), random);
        PrizePlan plan;
        plan.addTombolino();
        QList<int> draw;
        for (const int number : order) {
            draw.append(number);
            const double start = threadCpuMs();
            const QList<WinnerFinder::Reached> reached = WinnerFinder::find(cards, draw, plan);
            const QString said = WinnerFinder::announce(cards, reached, plan);
            steps.push_back(threadCpuMs() - start);
            Q_UNUSED(said);
            if (!reached.isEmpty()) {
                const CardInPlay &first = cards.at(reached.first().card);
                if (const auto award =
                        WinnerFinder::award(cards, draw, plan, first.run, first.printed, nullptr)) {
                    plan.record(*award);
                }
            }
        }
    }
    return steps;
}

NumberSet randomDraw(int count, std::mt19937 &random) {
    std::array<int, 90> numbers{};
    for (int i = 0; i < 90; ++i) {
        numbers.at(i) = i + 1;
    }
    std::shuffle(numbers.begin(), numbers.end(), random);
    NumberSet drawn;
    for (int i = 0; i < count; ++i) {
        drawn.insert(numbers.at(i));
    }
    return drawn;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        out << "uso: velmora-game-bench CARTELLA [RIPETIZIONI]\n";
        return 2;
    }
    const int runs = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 11;
    CardArchive archive(args.at(1));

    std::vector<double> reads;
    ArchiveScan scan;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        scan = ArchiveScan(archive, 1, archive.cardCount());
        reads.push_back(clock.nsecsElapsed() / 1e6);
    }
    out << "cartelle: " << scan.cards().size() << "\n";
    out << "lettura dell'archivio: " << median(reads) << " ms (mediana di " << runs << ")\n";

    std::mt19937 random(90);
    for (const int drawnCount : {15, 30, 45, 60}) {
        const NumberSet drawn = randomDraw(drawnCount, random);
        for (const Premio prize : {Premio::Ambo, Premio::Cinquina, Premio::Tombola}) {
            std::vector<double> checks;
            qsizetype found = 0;
            for (int run = 0; run < runs; ++run) {
                QElapsedTimer clock;
                clock.start();
                found = scan.reached(drawn, prize).size();
                checks.push_back(clock.nsecsElapsed() / 1e6);
            }
            out << drawnCount << " estratti, " << PrizeCheck::name(prize) << ": " << found
                << " cartelle, " << median(checks) << " ms\n";
        }
    }

    std::optional<PrintedRun> hall = PrintedRun::fromPrintPage(1, cardsInHall, false);
    const std::optional<ArchiveFingerprint> printed = ArchiveFingerprint::of(archive.path());
    hall->record.archivePath = archive.path();
    hall->record.archiveSize = printed ? printed->size : 0;
    hall->record.archiveSha256 = printed ? printed->sha256 : QString();
    RunArchives archives({archive.path()});
    const QList<CardInPlay> cards = CardInPlay::fromRuns({*hall}, archives).cards;
    std::vector<double> steps = winnersAtEachDraw(cards, runs, random);
    std::sort(steps.begin(), steps.end());
    out << "vincitori dopo ogni estrazione, " << cards.size() << " cartelle in gioco, " << runs
        << " partite (tempo di processore): mediana " << median(steps) << " ms, 99% entro "
        << steps.at(steps.size() * 99 / 100) << " ms, massimo " << steps.back() << " ms\n";
    return 0;
}
