#pragma once

#include <QtGlobal>

#include <optional>

namespace velmora {

// What velmora-pdf asks of the print register: the list of runs, which archive card a printed
// number is (in one run, or in each), or where an archive card was printed.
struct RegisterQuery {
    enum class Kind { List, PrintedNumber, ArchiveCard };

    Kind kind = Kind::List;
    int number = 0;            // the printed number, or the archive card
    std::optional<qint64> run; // --corsa: only this run
};

} // namespace velmora
