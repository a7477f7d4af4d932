// The library's own stand-ins for the runtime's thread support and formatted printing, in a copy
// of the library with a probe (RuntimeProbe.cpp) that throws and formats inside it.
#include "hook/Exports.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using ThrowAndCatch = int (*)(int);
using Format = int (*)(char*, size_t, const char*, int);

struct Probe {
    HMODULE library = LoadLibraryA(testing_support::BuiltFile("probe\\Mirelunde.dll").c_str());
    ~Probe()
    {
        if (library != nullptr) FreeLibrary(library);
    }
};

// Every thread throws and catches at once; the threads end (each with its exception state) and the
// library is unloaded and loaded again, which starts its thread-local slots afresh.
TEST(LibraryRuntime, ExceptionsOnManyThreadsAtOnceAreCaughtAcrossAReload)
{
    for (int load = 0; load < 2; ++load) {
        Probe probe;
        ASSERT_NE(probe.library, nullptr) << GetLastError();
        const auto throwAndCatch = ProcAddress<ThrowAndCatch>(probe.library, "ProbeThrowAndCatch");
        ASSERT_NE(throwAndCatch, nullptr);
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 500; ++i)
                    if (throwAndCatch(t * 1000 + i) != t * 1000 + i + 1) ++wrong;
            });
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(wrong.load(), 0) << "load " << load;
        EXPECT_EQ(throwAndCatch(41), 42) << "on the loading thread, load " << load;
    }
}

// C99's rules, which the library's callers test: the length the whole text needs, and a buffer that
// always ends in a terminator.
TEST(LibraryRuntime, FormattedTextsGiveTheirWholeLengthAndAlwaysEnd)
{
    Probe probe;
    ASSERT_NE(probe.library, nullptr) << GetLastError();
    const auto format = ProcAddress<Format>(probe.library, "ProbeFormat");
    ASSERT_NE(format, nullptr);
    const struct {
        size_t size;
        const char* expected;
    } rows[] = {
        {64, "ab    26|1a |"},
        {14, "ab    26|1a |"},  // exactly the text and its terminator
        {13, "ab    26|1a "},   // one short: cut, still ended
        {4, "ab "},
        {1, ""},
    };
    for (const auto& row : rows) {
        std::string buffer(row.size, '#');
        EXPECT_EQ(format(buffer.data(), row.size, "ab", 26), 13) << row.size;
        EXPECT_STREQ(buffer.c_str(), row.expected) << row.size;
    }
}

}  // namespace
