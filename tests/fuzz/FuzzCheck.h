#pragma once
// What the fuzz targets share: a property check that stops the run with a message and a crash
// report (libFuzzer saves the input that broke it), whatever the build's NDEBUG says.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__,             \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
