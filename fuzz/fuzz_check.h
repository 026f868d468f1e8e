#pragma once

#include <cstdio>
#include <cstdlib>

#define KEL_FUZZ_TEXT(x) #x
#define KEL_FUZZ_LINE_TEXT(x) KEL_FUZZ_TEXT(x)
#define KEL_FUZZ_LINE KEL_FUZZ_LINE_TEXT(__LINE__)

// A broken property is a finding like a crash: libFuzzer keeps the input that aborted, and the
// replay test fails on it.
#define KEL_FUZZ_CHECK(cond, what)                                                                                     \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%s: property broken: %s (%s)\n", __FILE__, KEL_FUZZ_LINE, what, #cond);           \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
