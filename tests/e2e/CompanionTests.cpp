// The 64-bit launcher with its 32-bit companion, run from a throwaway copy of the release layout:
// programs of both architectures are shaded in one session (under Wine, which serves only the
// newest hook's architecture, the launcher starts no companion unless asked to), one stop ends both
// launchers, a second start is refused while either runs, and without its companion the launcher
// still serves 64-bit programs. The login entry starts the pair from that folder, which is not on PATH, as a session
// start does; the 64-bit launcher's notification-area icon (the companion shows none) switches the
// entry, shows the usage and stops both. Also: hook chaining does not depend on which launcher's
// handle a process read.
#include "launcher/Companion.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/e2e/Session.h"
#include "tests/support/ChildMode.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr char kLock64[] = "Local\\Mirelunde.Launcher";
constexpr char kLock32[] = "Local\\Mirelunde.Launcher.32";

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

bool LockHeld(const char* lock)
{
    return static_cast<bool>(Handle(OpenMutexA(SYNCHRONIZE, FALSE, lock)));
}

std::string Notepad32Path()
{
    char system[MAX_PATH] = {};
    GetSystemWow64DirectoryA(system, sizeof system);
    return std::string(system) + "\\notepad.exe";
}

bool Is32BitProcess(HANDLE process)
{
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && wow64;
}

void DoubleClickCaption(HWND window)
{
    Click(CaptionPoint(window), Button::Left, 2);
    // Two double-clicks in a row would make a triple click.
    Sleep(GetDoubleClickTime());
}

// The running processes started from this image, found the way a user's task list finds them.
std::vector<Handle> FindProcesses(const std::string& image)
{
    std::vector<Handle> found;
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
        char path[MAX_PATH * 2] = {};
        DWORD size = sizeof path;
        if (process && QueryFullProcessImageNameA(process.get(), 0, path, &size) && lstrcmpiA(path, image.c_str()) == 0)
            found.push_back(std::move(process));
    }
    return found;
}

Handle FindProcess(const std::string& image)
{
    auto found = FindProcesses(image);
    return found.empty() ? Handle() : std::move(found.front());
}

int ExitCodeOf(HANDLE process)
{
    if (WaitForSingleObject(process, kStopMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
}

enum class Layout { Complete, NoCompanion, CompanionWithoutLibrary };

// A throwaway copy of the release layout: the 64-bit files, and the 32-bit ones in x86\. The files
// come from an unpacked release ZIP named by MIRELUNDE_PACKAGE, or else from the two builds side by
// side (build\x64 and build\x86, as scripts/build leaves them).
std::string MakePackage(Layout layout)
{
    const char* unpacked = std::getenv("MIRELUNDE_PACKAGE");
    const std::string from64 = unpacked ? std::string(unpacked) + "\\" : BuiltFile("");
    const std::string from32 = unpacked ? from64 + "x86\\" : BuiltFile("..\\x86\\");
    const std::string to = TempDirectory() + "\\";
    std::vector<std::pair<std::string, std::string>> files{{from64 + "mirelunde.exe", to + "mirelunde.exe"},
                                                           {from64 + "Mirelunde.dll", to + "Mirelunde.dll"}};
    if (layout != Layout::NoCompanion) {
        CreateDirectoryA((to + "x86").c_str(), nullptr);
        files.emplace_back(from32 + "mirelunde.exe", to + "x86\\mirelunde.exe");
        if (layout == Layout::Complete) files.emplace_back(from32 + "Mirelunde.dll", to + "x86\\Mirelunde.dll");
    }
    for (const auto& [source, target] : files)
        EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE))
            << "cannot copy " << source << " (the x86 preset must be built too, as scripts/build does)";
    return to;
}

class Companion : public LauncherSession {
protected:
    void SetUp() override
    {
        if (sizeof(void*) != 8)
            GTEST_SKIP() << "only the 64-bit launcher starts a companion; the 32-bit one runs alone, and the "
                            "other end-to-end tests cover it";
        LauncherSession::SetUp();
        // Under Wine only when asked, as these tests do: the launchers inherit it.
        SetEnvironmentVariableA(kCompanionUnderWine, "1");
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(kCompanionUnderWine, nullptr);
        LauncherSession::TearDown();
    }

    // Starts the package's 64-bit launcher and waits until its own hooks are published, which
    // it does after the companion's.
    std::unique_ptr<Process> StartPackage(const std::string& package, const std::string& options = "")
    {
        auto launcher = Start(Quoted(package + "mirelunde.exe") + options);
        EXPECT_TRUE(launcher);
        if (!launcher) return nullptr;
        EXPECT_TRUE(
            WaitUntil([&] { return launcher->Errors().find(HooksInstalled(64)) != std::string::npos; }, kStartMs))
            << "the launcher never published its hooks; it said: " << launcher->Errors();
        return launcher;
    }

    std::unique_ptr<Process> Open(const std::string& program, HWND& window)
    {
        auto process = Start(Quoted(program));
        EXPECT_TRUE(process);
        if (!process) return nullptr;
        window = WaitForWindow(process->id);
        EXPECT_NE(window, nullptr) << program;
        return process;
    }
};

// Wine calls only the newest global hook of a kind and, when its library is of the other
// architecture, goes no further down the chain; Windows calls such a hook in the installing thread.
// So under Wine the 64-bit launcher starts no companion unless asked to.
bool IsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TEST_F(Companion, ProgramsOfBothArchitecturesAreShadedInOneSession)
{
    SetEnvironmentVariableA(kCompanionUnderWine, nullptr);
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1));
    const std::string package = MakePackage(Layout::Complete);
    auto launcher = StartPackage(package);
    ASSERT_TRUE(launcher);
    const Handle companion = FindProcess(package + "x86\\mirelunde.exe");
    if (IsWine()) {
        EXPECT_FALSE(companion);
        EXPECT_NE(launcher->Errors().find("is not started under Wine"), std::string::npos) << launcher->Errors();
    } else {
        ASSERT_TRUE(companion) << launcher->Errors();
        EXPECT_TRUE(Is32BitProcess(companion.get()));
    }

    // The 64-bit program first; under Wine the 32-bit one is left out.
    std::unique_ptr<Process> programs[2];
    const std::string paths[] = {NotepadPath(), Notepad32Path()};
    for (int index = 0; index < (IsWine() ? 1 : 2); ++index) {
        SCOPED_TRACE(paths[index]);
        HWND window = nullptr;
        programs[index] = Open(paths[index], window);
        ASSERT_TRUE(programs[index] && window);
        ASSERT_EQ(Is32BitProcess(programs[index]->process.get()), index == 1);
        // A full attach, which needs a nonzero "HHook", leaves the program's trace key.
        char path[MAX_PATH] = {};
        const std::string trace = ModulesKey("notepad", programs[index]->id);
        EXPECT_TRUE(WaitUntil(
            [&] { return ReadRegString(HKEY_CURRENT_USER, trace.c_str(), names::kPath, path, sizeof path); }, kStartMs))
            << "the library did not attach";
        Activate(window);
        DoubleClickCaption(window);
        EXPECT_TRUE(HeightBecomes(window, ShadedHeight())) << "height " << Height(window);
        for (HWND open : VisibleWindows(programs[index]->id)) PostMessageA(open, WM_CLOSE, 0, 0);
        EXPECT_EQ(programs[index]->WaitForExit(kStopMs), 0);
    }
    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    EXPECT_TRUE(!companion || ExitCodeOf(companion.get()) == 0);
}

enum class StopBy { HHookWrittenZero, KillOption, KeypadMinusInAProgram, MenuInAProgram, IconClosed, SessionEnds };

class CompanionStop : public Companion, public testing::WithParamInterface<StopBy> {};

TEST_P(CompanionStop, EndsBothLaunchers)
{
    // The command menu opens on the middle button outside two-button mode.
    WriteDword(names::kTwoButtonMouse, 0);
    const std::string package = MakePackage(Layout::Complete);
    auto launcher = StartPackage(package);
    ASSERT_TRUE(launcher);
    const Handle companion = FindProcess(package + "x86\\mirelunde.exe");
    ASSERT_TRUE(companion) << launcher->Errors();
    HWND window = nullptr;
    auto notepad = Open(NotepadPath(), window);
    ASSERT_TRUE(notepad && window);
    Activate(window);
    const int height = Height(window);
    DoubleClickCaption(window);
    ASSERT_TRUE(HeightBecomes(window, ShadedHeight()));

    switch (GetParam()) {
    case StopBy::HHookWrittenZero: RequestStop(); break;
    case StopBy::KillOption: {
        auto kill = Start(Quoted(package + "mirelunde.exe") + " -k");
        ASSERT_TRUE(kill);
        EXPECT_EQ(kill->WaitForExit(kStopMs), 0) << kill->Errors();
        EXPECT_NE(kill->Errors().find("both running launchers have stopped"), std::string::npos) << kill->Errors();
        break;
    }
    case StopBy::KeypadMinusInAProgram: {
        BoxAnswerer confirm(notepad->id, IDYES, kStartMs);
        Chord({VK_CONTROL, VK_MENU, VK_SUBTRACT});
        ASSERT_TRUE(confirm.Result()) << "no stop question";
        break;
    }
    case StopBy::MenuInAProgram: ASSERT_TRUE(StopFromCommandMenu(notepad->id, window)) << "no stop question"; break;
    case StopBy::IconClosed: PostMessageA(WaitForIcon(launcher->id), WM_CLOSE, 0, 0); break;
    case StopBy::SessionEnds:
        // Once it has answered, the system may end the launcher at any time: every window is back.
        SendMessageTimeoutA(WaitForIcon(launcher->id), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kStopMs, nullptr);
        EXPECT_EQ(Height(window), height);
        break;
    }

    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    EXPECT_EQ(ExitCodeOf(companion.get()), 0);
    EXPECT_FALSE(LockHeld(kLock64));
    EXPECT_FALSE(LockHeld(kLock32));
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u);
    EXPECT_EQ(Height(window), height);
    for (HWND open : VisibleWindows(notepad->id)) PostMessageA(open, WM_CLOSE, 0, 0);
    EXPECT_EQ(notepad->WaitForExit(kStopMs), 0);
}

std::string StopName(const testing::TestParamInfo<StopBy>& info)
{
    constexpr const char* kNames[] = {"HHookWrittenZero", "KillOption", "KeypadMinusInAProgram",
                                      "MenuInAProgram",   "IconClosed", "SessionEnds"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, CompanionStop,
                         testing::Values(StopBy::HHookWrittenZero, StopBy::KillOption, StopBy::KeypadMinusInAProgram,
                                         StopBy::MenuInAProgram, StopBy::IconClosed, StopBy::SessionEnds),
                         StopName);

// How many of the standard handles a process was started with name nothing of its own (none is
// none), or -1.
int ForeignStandardHandles(HANDLE process)
{
    const auto query = reinterpret_cast<LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS start{};  // its standard handles are the third to fifth of Reserved2
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &start, sizeof start, nullptr))
        return -1;
    int foreign = 0;
    for (const HANDLE given : {start.Reserved2[2], start.Reserved2[3], start.Reserved2[4]}) {
        Handle copy;
        foreign += given && (!DuplicateHandle(process, given, GetCurrentProcess(), copy.put(), 0, FALSE,
                                              DUPLICATE_SAME_ACCESS) ||
                             GetFileType(copy.get()) == FILE_TYPE_UNKNOWN);
    }
    return foreign;
}

BOOL WINAPI CarryOn(DWORD) noexcept
{
    return TRUE;
}

// A console of its own, as a command prompt has, in which the launcher starts; once its companion
// runs, that one's standard handles are looked at and Ctrl+C is pressed. The launcher's exit code,
// or 95 when the companion was given a handle that is not its own.
int CtrlCWhileTheCompanionStarts(const std::vector<std::string>& args)
{
    FreeConsole();
    AllocConsole();
    SetConsoleCtrlHandler(CarryOn, TRUE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::string line = Quoted(args[0]);
    const std::string folder = args[0].substr(0, args[0].rfind('\\') + 1);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 91;
    const Handle process(info.hProcess), thread(info.hThread);
    Handle companion;
    if (!WaitUntil([&] { return static_cast<bool>(companion = FindProcess(folder + "x86\\mirelunde.exe")); }, kStartMs))
        return 92;
    // A process is listed before it has read its start parameters in.
    int foreign = -1;
    WaitUntil([&] { return (foreign = ForeignStandardHandles(companion.get())) >= 0; }, kStartMs);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    const int code = WaitForExit(process.get(), kStopMs);
    return foreign != 0 ? 95 : code;
}
MIRELUNDE_CHILD_MODE("ctrl-c-in-console", CtrlCWhileTheCompanionStarts);

// The companion here is a program that never publishes hooks, so the launcher waits for it. A handle
// the launcher opened for itself (the console's) would mean nothing, or another handle, there.
TEST_F(Companion, StartedFromAConsoleItGivesTheCompanionOnlyHandlesOfItsOwnAndCtrlCStopsBoth)
{
    const std::string package = MakePackage(Layout::NoCompanion);
    CreateDirectoryA((package + "x86").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(BuiltFile("target_app.exe").c_str(), (package + "x86\\mirelunde.exe").c_str(), FALSE));
    WriteDword(names::kHHook, 1);
    const PROCESS_INFORMATION child = StartChild("ctrl-c-in-console", {package + "mirelunde.exe"});
    const Handle process(child.hProcess), thread(child.hThread);
    EXPECT_EQ(WaitForExit(process.get(), kStartMs), 0);
    EXPECT_FALSE(FindProcess(package + "x86\\mirelunde.exe"));
    EXPECT_FALSE(LockHeld(kLock64));
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u);
}

TEST_F(Companion, SecondStartIsRefusedWhileEitherLauncherRuns)
{
    const std::string package = MakePackage(Layout::Complete);
    auto refused = [&](const std::string& exe) {
        SCOPED_TRACE(exe);
        const DWORD published = ReadDword(names::kHHook, 0);
        auto second = Start(Quoted(package + exe));
        ASSERT_TRUE(second);
        EXPECT_EQ(second->WaitForExit(kStopMs), 2) << second->Errors();
        EXPECT_NE(second->Errors().find("already running"), std::string::npos) << second->Errors();
        EXPECT_EQ(ReadDword(names::kHHook, 0), published) << "a second pair of hooks was published";
    };

    auto launcher = StartPackage(package);
    ASSERT_TRUE(launcher);
    const Handle companion = FindProcess(package + "x86\\mirelunde.exe");
    ASSERT_TRUE(companion) << launcher->Errors();
    refused("mirelunde.exe");
    refused("x86\\mirelunde.exe");
    EXPECT_EQ(WaitForSingleObject(launcher->process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(companion.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    EXPECT_EQ(ExitCodeOf(companion.get()), 0);

    // A 32-bit launcher started on its own keeps the 64-bit one from starting a pair beside it.
    auto alone = Start(Quoted(package + "x86\\mirelunde.exe"));
    ASSERT_TRUE(alone);
    ASSERT_TRUE(WaitUntil([&] { return alone->Errors().find(HooksInstalled(32)) != std::string::npos; }, kStartMs))
        << alone->Errors();
    refused("mirelunde.exe");
    RequestStop();
    EXPECT_EQ(alone->WaitForExit(kStopMs), 0) << alone->Errors();
}

struct MissingCase {
    Layout layout;
    const char* reason;
};

class CompanionMissing : public Companion, public testing::WithParamInterface<MissingCase> {};

TEST_P(CompanionMissing, IsReportedAndSixtyFourBitProgramsAreStillShaded)
{
    const std::string package = MakePackage(GetParam().layout);
    auto launcher = StartPackage(package);
    ASSERT_TRUE(launcher);
    const std::string said = launcher->Errors();
    EXPECT_NE(said.find("the 32-bit companion \"" + package + "x86\\mirelunde.exe\" " + GetParam().reason),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("only 64-bit programs get the hooks"), std::string::npos) << said;
    EXPECT_FALSE(LockHeld(kLock32));

    HWND window = nullptr;
    auto notepad = Open(NotepadPath(), window);
    ASSERT_TRUE(notepad && window);
    Activate(window);
    DoubleClickCaption(window);
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight())) << "height " << Height(window);

    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    for (HWND open : VisibleWindows(notepad->id)) PostMessageA(open, WM_CLOSE, 0, 0);
    EXPECT_EQ(notepad->WaitForExit(kStopMs), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CompanionMissing,
                         testing::Values(MissingCase{Layout::NoCompanion, "cannot be found"},
                                         MissingCase{Layout::CompanionWithoutLibrary, "ended with exit code 1"}));

// Starts what the user's Run key says as a session start does: with no console and no standard
// handles. Under Wine that is its own session start, wineboot with no options; elsewhere a process
// without a console starts the entry and is gone before the launcher looks for its console.
int StartWhatTheRunKeySays(const std::vector<std::string>&)
{
    const auto entry = RunEntry();
    if (!entry) return 1;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::string line = *entry;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 2;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}
MIRELUNDE_CHILD_MODE("session-start", StartWhatTheRunKeySays);

void StartSession()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    std::string line =
        IsWine() ? std::string(system) + "\\wineboot.exe" : "\"" + OwnExecutable() + "\" --child session-start";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                               &startup, &info))
        << line;
    const Handle process(info.hProcess), thread(info.hThread);
    EXPECT_EQ(WaitForExit(process.get(), kStartMs), 0) << line;
}

// Whether the launcher a bare "mirelunde.exe" finds on PATH is the one in `folder`.
bool OnPath(const std::string& folder)
{
    std::string path(GetEnvironmentVariableA("PATH", nullptr, 0), '\0');
    GetEnvironmentVariableA("PATH", path.data(), static_cast<DWORD>(path.size()));
    char found[MAX_PATH] = {};
    return !path.empty() && SearchPathA(path.c_str(), "mirelunde.exe", nullptr, sizeof found, found, nullptr) != 0 &&
           lstrcmpiA(found, (folder + "mirelunde.exe").c_str()) == 0;
}

class CompanionLogin : public Companion {
protected:
    RunEntrySnapshot entry_;
};

// Switched on from inside a 32-bit program (here the 32-bit launcher, whose library lies beside it in
// x86\), the entry still names the 64-bit launcher, which starts both.
TEST_F(CompanionLogin, EntryStartsBothLaunchersFromAFolderOffThePathAndASecondStartSaysSoInABox)
{
    WriteDword(names::kInvertDoubleClicks, 0);
    const std::string package = MakePackage(Layout::Complete);
    ASSERT_FALSE(OnPath(package));
    auto login = Start(Quoted(package + "x86\\mirelunde.exe") + " --login -i");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->WaitForExit(kStopMs), 0) << login->Errors();
    const std::string entry = Quoted(package + "mirelunde.exe") + " -i";
    ASSERT_EQ(RunEntry(), entry);
    EXPECT_NE(login->Errors().find("runs at login as " + entry), std::string::npos) << login->Errors();

    StartSession();
    ASSERT_TRUE(WaitUntil([] { return ReadDword(names::kHHook, 0) != 0; }, kStartMs)) << "no hooks published";
    const Handle launcher = FindProcess(package + "mirelunde.exe");
    const Handle companion = FindProcess(package + "x86\\mirelunde.exe");
    ASSERT_TRUE(launcher && companion);
    EXPECT_EQ(ReadDword(names::kInvertDoubleClicks, 0), 1u) << "started without the entry's options";

    // Nobody reads the output of a launcher started at login: a failure is shown in a box.
    StartSession();
    Handle second;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (Handle& found : FindProcesses(package + "mirelunde.exe"))
                if (GetProcessId(found.get()) != GetProcessId(launcher.get())) second = std::move(found);
            return static_cast<bool>(second);
        },
        kStartMs));
    BoxAnswerer answerer(GetProcessId(second.get()), IDOK, kStartMs);
    const auto box = answerer.Result();
    ASSERT_TRUE(box) << "no box";
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_NE(box->text.find("already running"), std::string::npos) << box->text;
    EXPECT_EQ(ExitCodeOf(second.get()), 2);

    RequestStop();
    EXPECT_EQ(ExitCodeOf(launcher.get()), 0);
    EXPECT_EQ(ExitCodeOf(companion.get()), 0);
}

// Only the 64-bit launcher shows an icon; its menu switches the login entry (with the launcher's own
// options), shows the usage, and stops both launchers, which put the windows back.
TEST_F(CompanionLogin, IconMenuSwitchesTheEntryShowsTheUsageAndStopsBothLaunchers)
{
    SetRunEntry(std::nullopt);
    const std::string package = MakePackage(Layout::Complete);
    auto launcher = StartPackage(package, " -d 0");
    ASSERT_TRUE(launcher);
    const Handle companion = FindProcess(package + "x86\\mirelunde.exe");
    ASSERT_TRUE(companion) << launcher->Errors();
    const HWND icon = WaitForIcon(launcher->id);
    ASSERT_NE(icon, nullptr) << launcher->Errors();
    EXPECT_EQ(NotifyIconWindow(GetProcessId(companion.get())), nullptr) << "the companion shows an icon too";

    HWND window = nullptr;
    auto notepad = Open(NotepadPath(), window);
    ASSERT_TRUE(notepad && window);
    const int height = Height(window);
    Activate(window);
    DoubleClickCaption(window);
    ASSERT_TRUE(HeightBecomes(window, ShadedHeight())) << "height " << Height(window);

    // A menu of another process cannot be read from here: its items are chosen by their places,
    // Settings, About, Run at login, a separator, Stop (the marks are checked where the menu is made).
    const auto choose = [&](int item) {
        ClickIcon(icon);
        const auto menu = WaitForPopupMenu(launcher->id, kStartMs, false);
        if (!menu) return false;
        std::vector<WORD> keys{VK_HOME};
        keys.insert(keys.end(), item, VK_DOWN);
        keys.push_back(VK_RETURN);
        PostKeys(menu->popup, keys);
        return WaitUntil([&] { return VisiblePopupMenus(launcher->id) == 0; }, kStartMs);
    };
    constexpr int kAbout = 1, kLogin = 2, kStop = 3;
    // Off, on with the launcher's own options, and an entry of the old form, which counts as on.
    const std::string entry = Quoted(package + "mirelunde.exe") + " -d 0";
    const std::optional<std::string> steps[][2] = {
        {std::nullopt, entry}, {entry, std::nullopt}, {"mirelunde.exe -2", std::nullopt}};
    for (const auto& [before, after] : steps) {
        SCOPED_TRACE(before.value_or("no entry"));
        SetRunEntry(before);
        ASSERT_TRUE(choose(kLogin)) << "no menu, or it stayed open";
        EXPECT_TRUE(WaitUntil([&] { return RunEntry() == after; }, kStartMs)) << RunEntry().value_or("no entry");
    }

    BoxAnswerer usage(launcher->id, IDOK, kStartMs);
    ASSERT_TRUE(choose(kAbout));
    const auto box = usage.Result();
    ASSERT_TRUE(box) << "no usage box";
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_NE(box->text.find("Usage:\n\n  Mirelunde [<options>]"), std::string::npos) << box->text;

    ASSERT_TRUE(choose(kStop));
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    EXPECT_EQ(ExitCodeOf(companion.get()), 0);
    EXPECT_FALSE(LockHeld(kLock64));
    EXPECT_FALSE(LockHeld(kLock32));
    EXPECT_EQ(Height(window), height) << "not put back";
    for (HWND open : VisibleWindows(notepad->id)) PostMessageA(open, WM_CLOSE, 0, 0);
    EXPECT_EQ(notepad->WaitForExit(kStopMs), 0);
}

// Each process passes whichever launcher's "HHook" it read to CallNextHookEx. The next hook is
// still reached whatever handle is given: the system chains from the hook that is running.
HHOOK chainingHandle = nullptr;
int innerCalls = 0;

LRESULT CALLBACK OuterHook(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallNextHookEx(chainingHandle, code, wParam, lParam);
}

LRESULT CALLBACK InnerHook(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code >= 0 && msg->message == WM_APP) ++innerCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK UnrelatedHook(int code, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(HookChaining, ReachesTheNextHookWhicheverHandleIsPassed)
{
    const DWORD thread = GetCurrentThreadId();
    Hook unrelated(SetWindowsHookExA(WH_CALLWNDPROC, UnrelatedHook, nullptr, thread));
    ASSERT_TRUE(unrelated);
    // A hook of another type, none, and a value that is no hook at all.
    for (HHOOK handle : {unrelated.get(), static_cast<HHOOK>(nullptr), reinterpret_cast<HHOOK>(0x7ff0)}) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(handle));
        chainingHandle = handle;
        innerCalls = 0;
        Hook inner(SetWindowsHookExA(WH_GETMESSAGE, InnerHook, nullptr, thread));
        Hook outer(SetWindowsHookExA(WH_GETMESSAGE, OuterHook, nullptr, thread));
        ASSERT_TRUE(inner && outer);
        ASSERT_TRUE(PostThreadMessageA(thread, WM_APP, 0, 0));
        MSG msg;
        ASSERT_GT(GetMessageA(&msg, nullptr, WM_APP, WM_APP), 0);
        EXPECT_EQ(innerCalls, 1);
    }
}

}  // namespace
}  // namespace e2e
