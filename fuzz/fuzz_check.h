#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks on every input. A failure aborts, which libFuzzer reports as
// a crash and saves the input that caused it.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : fuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}
