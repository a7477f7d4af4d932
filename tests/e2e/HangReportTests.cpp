// The report of a hang, on a program made to hang: it names the function the program stopped in,
// with its file and line, and the thread, and says what that thread waits in.
#include "tests/e2e/Session.h"
#include "tests/support/Forensics.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace e2e {
namespace {

constexpr UINT kHangMessage = WM_APP + 1;  // the target program stops in its window procedure

TEST(HangReport, NamesTheFunctionAndTheThreadAProgramHangsIn)
{
    const std::unique_ptr<Process> target = Start(TargetAppPath());
    const HWND window = WaitForWindow(target->id);
    ASSERT_NE(window, nullptr);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_FALSE(SendMessageTimeoutA(window, kHangMessage, 0, 0, SMTO_NORMAL, 2000, &answer)) << "it did not stop";

    const auto report = testing_support::RecordHang("the target program was made to hang", {target->id});
    if (!report) GTEST_SKIP() << "run outside scripts/test-entry, which takes the reports";
    std::ifstream file(*report + "\\summary.txt");
    const std::string summary{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // The Wine 10 root has no python3 nor MinGW binutils: scripts/test names the frames afterwards.
    if (summary.rfind("(no python3 here", 0) == 0) GTEST_SKIP() << summary;
    char start[32];
    std::snprintf(start, sizeof start, "thread 0x%lx: ", static_cast<unsigned long>(thread));
    const size_t at = summary.find(start);
    ASSERT_NE(at, std::string::npos) << summary;
    const std::string line = summary.substr(at, summary.find('\n', at) - at);
    EXPECT_NE(line.find(": in a system call"), std::string::npos) << line;
    EXPECT_NE(line.find("FrameProc at tests/apps/TargetApp.cpp:"), std::string::npos) << line;
}

}  // namespace
}  // namespace e2e
