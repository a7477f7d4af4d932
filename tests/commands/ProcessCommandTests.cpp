// The process commands: the information box on a thread of its own with the process's own text,
// and the two confirmations before a child process ends by exit (detach runs) or termination (it does not).
#include "actions/WindowTable.h"
#include "commands/ProcessInfo.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/commands/Boxes.h"
#include "tests/support/ChildMode.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;
using namespace commands_test;

namespace {

constexpr DWORD kBoxMs = 15000;
constexpr char kTargetTitle[] = "Process command target";
constexpr char kHeaderEnd[] = "\n\nEnvironment variables:\n\n";

// The environment as the block lists it, one string a line.
std::string EnvironmentLines()
{
    std::string lines;
    const LPCH block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += lstrlenA(entry) + 1) lines.append(entry).append("\n");
    FreeEnvironmentStringsA(block);
    return lines;
}

std::string EnvironmentPart(const std::string& text)
{
    const size_t end = text.find(kHeaderEnd);
    return end == std::string::npos ? std::string() : text.substr(end + sizeof kHeaderEnd - 1);
}

class ProcessInfo : public testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override
    {
        for (HWND box : VisibleBoxes(GetCurrentProcessId())) Answer(box, IDOK);
        for (const std::string& name : variables_) SetEnvironmentVariableA(name.c_str(), nullptr);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }

    void SetVariable(const std::string& name, const std::string& value)
    {
        ASSERT_TRUE(SetEnvironmentVariableA(name.c_str(), value.c_str())) << name;
        variables_.push_back(name);
    }

    static HWND WaitForBoxes(size_t count)
    {
        const ULONGLONG deadline = GetTickCount64() + kBoxMs;
        while (VisibleBoxes(GetCurrentProcessId()).size() < count && GetTickCount64() < deadline) Sleep(25);
        const auto boxes = VisibleBoxes(GetCurrentProcessId());
        return boxes.size() >= count ? boxes.front() : nullptr;
    }

    std::vector<std::string> variables_;
};

TEST_F(ProcessInfo, BoxShowsTheTextFromAnotherThreadAfterTheCommandHasReturned)
{
    SetVariable("MIRELUNDE_INFO_PROBE", "seen");
    windowTable.ShowProcessInfo(nullptr);

    // The command has returned and the box is still up: the calling thread was not held.
    const auto box = WaitForMessageBox(GetCurrentProcessId(), kBoxMs);
    ASSERT_TRUE(box);
    EXPECT_NE(GetWindowThreadProcessId(box->window, nullptr), GetCurrentThreadId());
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});

    const std::string text = FullText(box->window);
    const std::string header = std::string("Command-line: ") + GetCommandLineA() + "\nPriority: Normal" + kHeaderEnd;
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text, ProcessInfoText());
    EXPECT_NE(text.find("\nMIRELUNDE_INFO_PROBE=seen\n"), std::string::npos);
    EXPECT_TRUE(Answer(box->window, IDOK));
}

TEST_F(ProcessInfo, PriorityNameFollowsTheClassTheProcessRunsAt)
{
    struct Row {
        DWORD priorityClass;
        const char* name;
    };
    const Row rows[] = {
        {IDLE_PRIORITY_CLASS, "Idle"},     {BELOW_NORMAL_PRIORITY_CLASS, "Below Normal"},
        {NORMAL_PRIORITY_CLASS, "Normal"}, {ABOVE_NORMAL_PRIORITY_CLASS, "Above Normal"},
        {HIGH_PRIORITY_CLASS, "High"},     {REALTIME_PRIORITY_CLASS, "Realtime"},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), row.priorityClass)) << row.name;
        const DWORD actual = GetPriorityClass(GetCurrentProcess());
        // Without the privilege for it, the platform gives the realtime request High instead.
        if (row.priorityClass == REALTIME_PRIORITY_CLASS && actual == HIGH_PRIORITY_CLASS) {
            EXPECT_NE(ProcessInfoText().find("\nPriority: High\n"), std::string::npos);
            continue;
        }
        ASSERT_EQ(actual, row.priorityClass) << row.name;
        EXPECT_NE(ProcessInfoText().find(std::string("\nPriority: ") + row.name + "\n"), std::string::npos) << row.name;
    }
}

TEST_F(ProcessInfo, EnvironmentStringsFollowInBlockOrderIncludingDriveEntries)
{
    SetVariable("=M:", "M:\\mirelunde");
    SetVariable("MIRELUNDE_WITH_EQUALS", "a=b");
    const std::string lines = EnvironmentPart(ProcessInfoText());
    EXPECT_EQ(lines, EnvironmentLines());
    EXPECT_NE(lines.find("=M:=M:\\mirelunde\n"), std::string::npos);
    EXPECT_NE(lines.find("MIRELUNDE_WITH_EQUALS=a=b\n"), std::string::npos);
}

// The box shows at most 32,000 characters whole: a larger environment is cut after its last whole line that fits.
TEST_F(ProcessInfo, LargeEnvironmentsAreShownInWholeLinesAsFarAsTheBoxCanShow)
{
    constexpr size_t kLongestShown = 32000;
    for (const size_t valueLength : {5000u, 20000u}) {
        for (char letter = 'a'; letter < 'e'; ++letter)
            SetVariable(std::string("MIRELUNDE_LARGE_") + letter, std::string(valueLength, letter));
        const std::string text = ProcessInfoText();
        const std::string shownLines = EnvironmentPart(text);
        const std::string allLines = EnvironmentLines();
        ASSERT_LE(text.size(), kLongestShown);
        ASSERT_FALSE(shownLines.empty());
        EXPECT_EQ(allLines.compare(0, shownLines.size(), shownLines), 0) << "a prefix of the block's lines";
        EXPECT_EQ(shownLines.back(), '\n');
        if (valueLength * 4 < kLongestShown - 4096) {
            EXPECT_EQ(shownLines, allLines) << valueLength;
        } else {
            const size_t nextEnd = allLines.find('\n', shownLines.size());
            ASSERT_NE(nextEnd, std::string::npos);
            EXPECT_GT(text.size() + nextEnd + 1 - shownLines.size(), kLongestShown) << "the next line would have fit";
        }

        windowTable.ShowProcessInfo(nullptr);
        const HWND box = WaitForBoxes(1);
        ASSERT_NE(box, nullptr);
        const std::string shown = FullText(box);
        EXPECT_EQ(shown.size(), text.size());
        EXPECT_TRUE(shown == text) << "the box shows other text than the command built";
        EXPECT_TRUE(Answer(box, IDOK));
    }
}

TEST_F(ProcessInfo, TwoBoxesAtOnceEachKeepTheirOwnText)
{
    SetVariable("MIRELUNDE_WHICH_BOX", "first");
    windowTable.ShowProcessInfo(nullptr);
    ASSERT_NE(WaitForBoxes(1), nullptr);
    SetVariable("MIRELUNDE_WHICH_BOX", "second");
    windowTable.ShowProcessInfo(nullptr);
    ASSERT_NE(WaitForBoxes(2), nullptr) << "the second command showed no second box";

    std::vector<std::string> seen;
    for (HWND box : VisibleBoxes(GetCurrentProcessId())) {
        const std::string text = FullText(box);
        seen.push_back(text.find("MIRELUNDE_WHICH_BOX=first\n") != std::string::npos    ? "first"
                       : text.find("MIRELUNDE_WHICH_BOX=second\n") != std::string::npos ? "second"
                                                                                        : "neither");
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
}

// A child whose command line is too long for the header: shows its box and waits to be ended.
int ShowInfoAndWait(const std::vector<std::string>&)
{
    windowTable.ShowProcessInfo(nullptr);
    Sleep(60000);
    return 1;
}
MIRELUNDE_CHILD_MODE("show-info", ShowInfoAndWait);

TEST(ProcessInfoHeader, LongCommandLineIsCutAt1023CharactersAndTheEnvironmentStillFollows)
{
    ASSERT_TRUE(SetEnvironmentVariableA("MIRELUNDE_CHILD_MARK", "1"));
    const PROCESS_INFORMATION child = StartChild("show-info", {std::string(1500, 'x')});
    SetEnvironmentVariableA("MIRELUNDE_CHILD_MARK", nullptr);
    ASSERT_NE(child.hProcess, nullptr);

    const auto box = WaitForMessageBox(child.dwProcessId, kBoxMs);
    ASSERT_TRUE(box);
    const std::string text = FullText(box->window);
    TerminateProcess(child.hProcess, 0);
    WaitForExit(child.hProcess, kBoxMs);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);

    ASSERT_GT(text.size(), 1023u);
    EXPECT_EQ(text.substr(0, 15), "Command-line: \"");
    EXPECT_EQ(text.substr(923, 100), std::string(100, 'x')) << "the cut falls inside the long argument";
    EXPECT_NE(text[1023], 'x');
    EXPECT_EQ(text.find("Priority:"), std::string::npos);
    EXPECT_NE(text.find("\nMIRELUNDE_CHILD_MARK=1\n", 1022), std::string::npos);
}

// Delete and Destroy in a child: it loads the built library with the detach box switched on, so a
// detach box shows that the library's detach ran. Declined, the child switches the box off and
// returns 100 plus the command's answer.
int RunEndingCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1) return 1;
    if (!WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kDebugProcessDetach, 1)) return 2;
    if (LoadLibraryA(BuiltFile("Mirelunde.dll").c_str()) == nullptr) return 3;
    const HWND target = MakeWindow(WS_OVERLAPPEDWINDOW);
    SetWindowTextA(target, kTargetTitle);
    const int answer = args[0] == "delete" ? windowTable.DeleteProcess(target) : windowTable.DestroyProcess(target);
    WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kDebugProcessDetach, 0);
    DestroyWindow(target);
    return 100 + answer;
}
MIRELUNDE_CHILD_MODE("ending-command", RunEndingCommand);

constexpr int kEnter = -1;

struct EndingCase {
    const char* command;
    std::vector<int> answers;  // button ids, or kEnter
    int exitCode;
};

class EndingCommand : public testing::TestWithParam<EndingCase> {};

const char* const kDeleteTexts[] = {
    "Deleting a process should only be used as a penultimate resort.\n(It's not a lot nicer than destroying a "
    "process.)\n\nAre you sure you want to do this?",
    "Last chance to say no:\n\n\tDelete this process?"};
const char* const kDestroyTexts[] = {
    "Destroying a process should only be used as a last resort.\n\nAre you really sure you want to do this?",
    "Really, really sure you want to do this?"};

TEST_P(EndingCommand, AsksTwiceWithNoAsTheDefault)
{
    const EndingCase& test = GetParam();
    const bool deleting = std::string(test.command) == "delete";
    const PROCESS_INFORMATION child = StartChild("ending-command", {test.command});
    ASSERT_NE(child.hProcess, nullptr);

    for (size_t step = 0; step < test.answers.size(); ++step) {
        const auto box = WaitForMessageBox(child.dwProcessId, kBoxMs);
        ASSERT_TRUE(box) << "no box " << step + 1;
        EXPECT_EQ(box->caption, "Mirelunde");
        EXPECT_EQ(box->text, deleting ? kDeleteTexts[step] : kDestroyTexts[step]);
        EXPECT_EQ(box->defaultButton, IDNO);
        std::vector<int> buttons = box->buttons;
        std::sort(buttons.begin(), buttons.end());
        EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
        char ownerTitle[64] = {};
        GetWindowTextA(box->owner, ownerTitle, sizeof ownerTitle);
        EXPECT_STREQ(ownerTitle, kTargetTitle);
        ASSERT_TRUE(test.answers[step] == kEnter ? PressEnter(box->window) : Answer(box->window, test.answers[step]));
    }

    const bool confirmed = test.exitCode == 0;
    if (confirmed && deleting) {
        const auto detach = WaitForMessageBox(child.dwProcessId, kBoxMs);
        ASSERT_TRUE(detach) << "ExitProcess ran no detach";
        EXPECT_NE(detach->text.find(" : process detach"), std::string::npos) << detach->text;
        PressButton(*detach, IDOK);
    }
    // A detach box after termination would hold the child until this wait runs out.
    EXPECT_EQ(WaitForExit(child.hProcess, kBoxMs), test.exitCode);
    if (WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(child.hProcess, 99);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

INSTANTIATE_TEST_SUITE_P(
    Confirmations, EndingCommand,
    testing::Values(EndingCase{"delete", {IDNO}, 100 + IDNO}, EndingCase{"delete", {IDYES, IDNO}, 100 + IDNO},
                    EndingCase{"delete", {kEnter}, 100 + IDNO}, EndingCase{"delete", {IDYES, kEnter}, 100 + IDNO},
                    EndingCase{"delete", {IDYES, IDYES}, 0}, EndingCase{"destroy", {IDNO}, 100 + IDNO},
                    EndingCase{"destroy", {IDYES, IDNO}, 100 + IDNO}, EndingCase{"destroy", {kEnter}, 100 + IDNO},
                    EndingCase{"destroy", {IDYES, IDYES}, 0}),
    [](const testing::TestParamInfo<EndingCase>& info) {
        std::string name = info.param.command;
        for (int answer : info.param.answers) name += answer == IDYES ? "Yes" : answer == IDNO ? "No" : "Enter";
        return name;
    });

}  // namespace
