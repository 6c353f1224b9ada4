#pragma once

#include <QString>
#include <exception>

namespace velmora {

// A failure as the error report reads it: number, Italian description and the line (step)
// that failed, 0 when the failing code has no line numbers.
class Failure {
public:
    int number = 0;
    QString description;
    int line = 0;

    // Reads any exception: the program's error keeps its number and text; anything else
    // becomes "Errore interno" (51) with its own message, or "Memoria esaurita" (7).
    static Failure fromException(const std::exception_ptr &exception, int line) noexcept;
};

} // namespace velmora
