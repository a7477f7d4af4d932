// main for test executables that share the registry with the processes they start.
#include "tests/support/ChildMode.h"
#include "tests/support/Forensics.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Each end-to-end case waits for other processes at most kStartMs at a time; one that runs this
// long waits for something that will not come.
constexpr DWORD kCaseLimitMs = 150000;

int main(int argc, char** argv)
{
    int exitCode = 0;
    if (testing_support::RunChildMode(argc, argv, exitCode)) return exitCode;
    testing::InitGoogleTest(&argc, argv);
    // Under scripts/test-entry, whose reports tell where it waits.
    if (std::getenv("MIRELUNDE_FORENSICS_REQUEST")) testing_support::WatchEachCase(kCaseLimitMs);
    return RUN_ALL_TESTS();
}
