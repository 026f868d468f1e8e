#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a crash: libFuzzer keeps the input that aborted, and the
// replay test fails on it.
#define KEL_FUZZ_CHECK(cond, what)                                                                                     \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: property broken: %s (%s)\n", __FILE__, __LINE__, what, #cond);                \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
