#pragma once

#include <cstdio>
#include <string>

// A violated invariant stops the run at once: libFuzzer keeps the input as a crash artifact,
// the replay driver dies with it, and the message says which invariant it was.
[[noreturn]] inline void fuzzFail(const char *condition, const char *file, int line,
                                  const std::string &detail)
{
    std::fprintf(stderr, "%s:%d: invariant violated: %s\n", file, line, condition);
    if (!detail.empty())
        std::fprintf(stderr, "  %s\n", detail.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFail(#condition, __FILE__, __LINE__, std::string());                               \
    } while (false)

// As FUZZ_CHECK, with a text that shows the values involved; `detail` is only evaluated on
// failure.
#define FUZZ_CHECK_WITH(condition, detail)                                                         \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFail(#condition, __FILE__, __LINE__, (detail));                                    \
    } while (false)
