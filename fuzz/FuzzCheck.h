#pragma once

// A property a reader must keep for every input. Aborts, so that the fuzzer
// keeps the input and the corpus run fails, in any build type.

#include <cstdio>
#include <cstdlib>

namespace sorobe::fuzz {

inline void check(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

} // namespace sorobe::fuzz
