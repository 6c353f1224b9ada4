#pragma once

#include <cstdio>
#include <cstdlib>

// A property of a fuzz target: when it does not hold, say which and stop, so libFuzzer keeps
// the input that broke it (a crash file in the working folder).
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
