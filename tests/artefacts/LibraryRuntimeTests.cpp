// The library's own stand-ins for the runtime's thread support and formatted printing, in a copy
// of the library with a probe (RuntimeProbe.cpp) that throws and formats inside it.
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

mirelunde::Module LoadProbe()
{
    return mirelunde::Module(LoadLibraryA(testing_support::BuiltFile("probe\\Mirelunde.dll").c_str()));
}

// Every thread throws and catches at once; the threads end (each with its exception state) and the
// library is unloaded and loaded again, which starts its thread-local slots afresh.
TEST(LibraryRuntime, ExceptionsOnManyThreadsAtOnceAreCaughtAcrossAReload)
{
    for (int load = 0; load < 2; ++load) {
        const mirelunde::Module probe = LoadProbe();
        const auto throwAndCatch = ProcAddress<int (*)(int)>(probe.get(), "ProbeThrowAndCatch");
        ASSERT_NE(throwAndCatch, nullptr) << GetLastError();
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&, t] {
                for (int i = t * 1000; i < t * 1000 + 500; ++i)
                    if (throwAndCatch(i) != i + 1) ++wrong;
            });
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(wrong.load(), 0) << "load " << load;
        EXPECT_EQ(throwAndCatch(41), 42) << "on the loading thread, load " << load;
    }
}

// C99's rules, which the library's callers rely on: the length the whole text needs, and a buffer
// that always ends in a terminator.
TEST(LibraryRuntime, FormattedTextsGiveTheirWholeLengthAndAlwaysEnd)
{
    const mirelunde::Module probe = LoadProbe();
    const auto format = ProcAddress<int (*)(char*, size_t, const char*, int)>(probe.get(), "ProbeFormat");
    ASSERT_NE(format, nullptr) << GetLastError();
    const std::pair<size_t, const char*> rows[] = {{14, "ab    26|1a |"}, {13, "ab    26|1a "}, {1, ""}};
    for (const auto& [size, expected] : rows) {
        std::string buffer(size, '#');
        EXPECT_EQ(format(buffer.data(), size, "ab", 26), 13) << size;
        EXPECT_STREQ(buffer.c_str(), expected) << size;
    }
}

}  // namespace
