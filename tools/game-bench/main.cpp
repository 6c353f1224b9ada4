// velmora-game-bench FOLDER [RUNS]: reads every card of the archive in FOLDER once, then checks
// them all against drawn sets of 15, 30, 45 and 60 numbers for each prize, RUNS times, and prints
// the median milliseconds of the reading and of one check of the whole archive.

#include "game/ArchiveScan.h"
#include "print/CardArchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

using namespace velmora;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
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
    return 0;
}
