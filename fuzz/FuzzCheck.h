#pragma once

#include <cstdio>
#include <cstdlib>

// A property the code under test broke: libFuzzer keeps the input as a crash.
inline void fuzzCheck(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", property);
        std::abort();
    }
}
