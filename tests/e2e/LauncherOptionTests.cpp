// The launcher's command line: each option's setting, the login entry, the usage box, bad input
// refused with nothing written, -k ending a running launcher, what it says in the console it was
// started from, and stopping from the command menu.
#include "launcher/Elevation.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/ChildMode.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr int kBadUsage = 3;
constexpr int kChangeableInstall = 4;

// Every DWORD of the settings key, to see that nothing was written.
std::map<std::string, DWORD> Settings()
{
    std::map<std::string, DWORD> values;
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return values;
    for (DWORD index = 0;; ++index) {
        char name[512];
        DWORD nameLength = sizeof name, type = 0, value = 0, size = sizeof value;
        if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                          &size) != ERROR_SUCCESS)
            break;
        if (type == REG_DWORD) values[std::string(name, nameLength)] = value;
    }
    return values;
}

void DeleteSetting(const char* name)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueA(key.get(), name);
}

struct Outcome {
    int exitCode;
    std::string output;
};

class LauncherOptions : public LauncherSession {
protected:
    // Runs the launcher with these options to its end.
    static Outcome Run(const std::string& options, const std::string& launcherPath = LauncherPath())
    {
        auto launcher = Start(launcherPath + " " + options);
        EXPECT_TRUE(launcher);
        if (!launcher) return {-1, ""};
        const int code = launcher->WaitForExit(kStopMs);
        return {code, launcher->Errors()};
    }

    RunEntrySnapshot entry_;
};

struct SettingCase {
    const char* options;
    const char* name;
    DWORD value;
};

class OptionSetting : public LauncherOptions, public testing::WithParamInterface<SettingCase> {};

// With -k and no launcher running, the launcher writes the settings and ends without hooking anything.
TEST_P(OptionSetting, IsWrittenWhereTheLibraryReadsIt)
{
    const SettingCase& test = GetParam();
    DeleteSetting(test.name);
    const Outcome outcome = Run(std::string(test.options) + " -k");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("no launcher was running"), std::string::npos) << outcome.output;
    EXPECT_EQ(ReadDword(test.name, 0xBADBAD), test.value) << test.options;
    // A detach box switched on would hold every process that drops the library while it is on.
    DeleteSetting(test.name);
}

INSTANTIATE_TEST_SUITE_P(Options, OptionSetting,
                         testing::Values(SettingCase{"-d 3", names::kDebugLevel, 3},
                                         SettingCase{"--debug 4294967295", names::kDebugLevel, 0xFFFFFFFF},
                                         SettingCase{"--debug-process-detach", names::kDebugProcessDetach, 1},
                                         SettingCase{"-dm", names::kSinkOnMiddle, 1},
                                         SettingCase{"--depth-on-middle", names::kSinkOnMiddle, 1},
                                         SettingCase{"-2", names::kTwoButtonMouse, 1},
                                         SettingCase{"--two-button-mouse", names::kTwoButtonMouse, 1},
                                         SettingCase{"-i", names::kInvertDoubleClicks, 1},
                                         SettingCase{"--invert", names::kInvertDoubleClicks, 1},
                                         SettingCase{"-s", names::kAddToSystemMenu, 1},
                                         SettingCase{"-s off", names::kAddToSystemMenu, 0},
                                         SettingCase{"--system-menu on", names::kAddToSystemMenu, 1},
                                         SettingCase{"--system-menu off", names::kAddToSystemMenu, 0}));

TEST_F(LauncherOptions, RootMenuIsAcceptedAndWritesNothing)
{
    const auto before = Settings();
    const Outcome outcome = Run("-m -k");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("--root-menu"), std::string::npos) << outcome.output;
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(Run("--root-menu -k").exitCode, 0);
}

struct BadCase {
    const char* options;
    const char* message;
};

class BadCommandLine : public LauncherOptions, public testing::WithParamInterface<BadCase> {};

TEST_P(BadCommandLine, IsRefusedWithTheUsageAndNothingWritten)
{
    const BadCase& test = GetParam();
    DeleteSetting(names::kInvertDoubleClicks);
    const auto before = Settings();
    const Outcome outcome = Run(test.options);
    EXPECT_EQ(outcome.exitCode, kBadUsage) << outcome.output;
    EXPECT_NE(outcome.output.find(test.message), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("Usage:\n\n  Mirelunde [<options>]"), std::string::npos) << outcome.output;
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(RunEntry(), entry_.entry());
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadCommandLine,
                         testing::Values(BadCase{"-i -d", "-d needs a debug level"},
                                         BadCase{"-i --debug abc", "\"abc\""}, BadCase{"-i -d -1", "\"-1\""},
                                         BadCase{"-i -d 3x", "\"3x\""}, BadCase{"-i -d 4294967296", "\"4294967296\""},
                                         BadCase{"-i --bogus", "unknown option \"--bogus\""},
                                         BadCase{"-i -s maybe", "unknown option \"maybe\""},
                                         BadCase{"--login later -i", "unknown option \"later\""},
                                         BadCase{"-i -k now", "unknown option \"now\""},
                                         BadCase{"-i /?", "unknown option \"/?\""}));

TEST_F(LauncherOptions, HelpShowsTheUsageBoxAndWritesNothing)
{
    DeleteSetting(names::kInvertDoubleClicks);
    const auto before = Settings();
    auto launcher = Start(LauncherPath() + " -i --help");
    ASSERT_TRUE(launcher);
    BoxAnswerer answerer(launcher->id, IDOK);
    const auto box = answerer.Result();
    ASSERT_TRUE(box) << launcher->Errors();
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_NE(box->text.find("Usage:\n\n  Mirelunde [<options>]\n\n"), std::string::npos) << box->text;
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0);
    EXPECT_EQ(Settings(), before);
}

TEST_F(LauncherOptions, LoginEntryNamesTheLauncherByItsPathWithTheOtherOptionsAndOffRemovesIt)
{
    DeleteSetting(names::kTwoButtonMouse);
    Outcome outcome = Run("--login -2 -s off");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    const std::string written = LauncherPath() + " -2 -s off";
    EXPECT_EQ(RunEntry(), written);
    EXPECT_NE(outcome.output.find("runs at login as " + written + "\n"), std::string::npos) << outcome.output;
    EXPECT_EQ(ReadDword(names::kTwoButtonMouse, 0xBADBAD), 1u);
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u) << "the launcher did not start";

    outcome = Run("--login on -k");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_EQ(RunEntry(), LauncherPath()) << "-k is no option for the entry";

    outcome = Run("--login off");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_EQ(RunEntry(), std::nullopt);
}

// A console program's child, as a command prompt starts a GUI program: the console is the child's
// own, and the program is given no standard handles. Its exit code is the program's; what the
// console shows is written, in UTF-8, to the file named last.
int RunInConsole(const std::vector<std::string>& args)
{
    if (args.size() != 3) return 90;
    FreeConsole();
    if (!AllocConsole()) return 91;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    std::string line = "\"" + args[0] + "\" " + args[1];
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 92;
    const Handle process(info.hProcess), thread(info.hThread);
    int code = testing_support::WaitForExit(process.get(), kStopMs);
    if (code == -1) {
        TerminateProcess(process.get(), 93);  // waiting for an answer nobody gives
        code = 93;
    }

    const Handle screen(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    CONSOLE_SCREEN_BUFFER_INFO buffer{};
    if (!GetConsoleScreenBufferInfo(screen.get(), &buffer)) return 94;
    std::ofstream shown(args[2]);
    for (SHORT row = 0; row <= buffer.dwCursorPosition.Y; ++row) {
        std::wstring text(buffer.dwSize.X, L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen.get(), text.data(), buffer.dwSize.X, {0, row}, &read);
        text.resize(text.find_last_not_of(L' ') + 1);
        shown << Utf8(text) << "\n";
    }
    return code;
}
MIRELUNDE_CHILD_MODE("in-console", RunInConsole);

struct ConsoleCase {
    const char* name;
    const char* options;
    bool whileRunning;
    int exitCode;
    const char* shown;
};

class FromAConsole : public LauncherOptions, public testing::WithParamInterface<ConsoleCase> {};

// A GUI-subsystem program has no console of its own: it writes in the console of the program that
// started it, and keeps its exit code, rather than showing a box.
TEST_P(FromAConsole, TheLauncherWritesInItAndKeepsItsExitCode)
{
    const ConsoleCase& test = GetParam();
    std::unique_ptr<Process> running;
    if (test.whileRunning) {
        running = StartLauncher();
        ASSERT_TRUE(running);
    }
    const std::string shownFile = TempDirectory() + "\\console.txt";
    const PROCESS_INFORMATION child = StartChild("in-console", {BuiltFile("mirelunde.exe"), test.options, shownFile});
    const Handle process(child.hProcess), thread(child.hThread);
    ASSERT_TRUE(process);
    EXPECT_EQ(testing_support::WaitForExit(process.get(), kStartMs), test.exitCode);
    std::ifstream in(shownFile);
    const std::string shown((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(shown.find(test.shown), std::string::npos) << shown;
    if (running) {
        RequestStop();
        EXPECT_EQ(running->WaitForExit(kStopMs), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FromAConsole,
    testing::Values(ConsoleCase{"Kill", "-k", false, 0, "mirelunde: no launcher was running"},
                    ConsoleCase{"BadOption", "-i --bogus", false, kBadUsage, "mirelunde: unknown option \"--bogus\""},
                    ConsoleCase{"Usage", "-i --bogus", false, kBadUsage, "Usage:"},
                    ConsoleCase{"AlreadyRunning", "", true, 2, "mirelunde: already running in this session"}),
    [](const testing::TestParamInfo<ConsoleCase>& info) { return std::string(info.param.name); });

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// In the user's language (here the "Language" value's, Japanese): on a console, which shows every
// script, and in a log file, as UTF-8.
TEST_F(LauncherOptions, SaysWhatItDidInTheUsersLanguageOnAConsoleAndInItsLog)
{
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kLanguage, "ja-JP"));
    const std::string said = "mirelunde: 実行中のランチャーはありませんでした";
    const std::string log = TempDirectory() + "\\setup.log";
    EXPECT_EQ(Run("-k --log \"" + log + "\"").exitCode, 0);
    EXPECT_NE(ReadWhole(log).find(said + "\r\n"), std::string::npos) << ReadWhole(log);

    const std::string shownFile = TempDirectory() + "\\console.txt";
    const PROCESS_INFORMATION child = StartChild("in-console", {BuiltFile("mirelunde.exe"), "-k", shownFile});
    const Handle process(child.hProcess), thread(child.hThread);
    ASSERT_TRUE(process);
    EXPECT_EQ(testing_support::WaitForExit(process.get(), kStartMs), 0);
    EXPECT_NE(ReadWhole(shownFile).find(said), std::string::npos) << ReadWhole(shownFile);
}

TEST_F(LauncherOptions, StartingWritesTheSettingsBeforeTheHooks)
{
    DeleteSetting(names::kInvertDoubleClicks);
    DeleteSetting(names::kAddToSystemMenu);
    auto launcher = Start(LauncherPath() + " --invert --system-menu off");
    ASSERT_TRUE(launcher);
    ASSERT_TRUE(WaitUntil([] { return ReadDword(names::kHHook, 0) != 0; }, kStartMs)) << launcher->Errors();
    EXPECT_EQ(ReadDword(names::kInvertDoubleClicks, 0xBADBAD), 1u);
    EXPECT_EQ(ReadDword(names::kAddToSystemMenu, 0xBADBAD), 0u);
    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0);
}

TEST_F(LauncherOptions, KillEndsTheRunningLauncherAndSaysWhenThereIsNone)
{
    auto running = StartLauncher();
    ASSERT_TRUE(running);
    Outcome outcome = Run("--kill");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("the running launcher has stopped"), std::string::npos) << outcome.output;
    EXPECT_EQ(running->WaitForExit(0), 0) << "it had ended by the time -k returned";

    outcome = Run("-k");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("no launcher was running"), std::string::npos) << outcome.output;
}

TEST_F(LauncherOptions, StopFromTheCommandMenuEndsTheLauncher)
{
    WriteDword(names::kTwoButtonMouse, 0);
    auto launcher = StartLauncher();
    ASSERT_TRUE(launcher);
    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const HWND window = WaitForWindow(notepad->id);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, kStartMs));

    const auto box = StopFromCommandMenu(notepad->id, window);
    ASSERT_TRUE(box) << "no stop question";
    EXPECT_EQ(box->text, "Are you sure you want to stop Mirelunde?");
    EXPECT_EQ(box->defaultButton, IDNO);

    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u);
    for (HWND open : VisibleWindows(notepad->id)) PostMessageA(open, WM_CLOSE, 0, 0);
    EXPECT_EQ(notepad->WaitForExit(kStopMs), 0);
}

// The folder of an install for all users as its installer leaves it, inside a folder of its own, and
// the same with Users allowed to modify it.
constexpr wchar_t kAdministratorsOnly[] = L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
constexpr wchar_t kUsersMayModify[] = L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;BU)";

// Sets the owner and the protected access list, and tells whether the owner reads back so.
bool SetSecurity(const std::string& path, const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR wanted = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &wanted, nullptr)) return false;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    GetSecurityDescriptorOwner(wanted, &owner, &defaulted);
    GetSecurityDescriptorDacl(wanted, &present, &dacl, &defaulted);
    const std::wstring wide(path.begin(), path.end());
    const DWORD set = SetNamedSecurityInfoW(
        const_cast<wchar_t*>(wide.c_str()), SE_FILE_OBJECT,
        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, owner, nullptr,
        dacl, nullptr);
    LocalFree(wanted);
    PSID readOwner = nullptr;
    PSECURITY_DESCRIPTOR read = nullptr;
    if (set != ERROR_SUCCESS || GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                                      &readOwner, nullptr, nullptr, nullptr, &read) != ERROR_SUCCESS)
        return false;
    const bool kept = IsWellKnownSid(readOwner, WinBuiltinAdministratorsSid);
    LocalFree(read);
    return kept;
}

// The launcher counts as elevated under Wine too, as it would on Windows run as administrator.
class ElevatedLauncher : public LauncherOptions {
protected:
    void SetUp() override
    {
        if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr && !RunsElevated())
            GTEST_SKIP() << "run the tests as administrator: a launcher started by them is elevated then";
        SetEnvironmentVariableA(kElevatedUnderWine, "1");
        LauncherOptions::SetUp();
        folder_ = outer_ + "\\Mirelunde";
        CreateDirectoryA(outer_.c_str(), nullptr);
        CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* name : {"mirelunde.exe", "Mirelunde.dll"})
            ASSERT_TRUE(CopyFileA(BuiltFile(name).c_str(), (folder_ + "\\" + name).c_str(), FALSE)) << name;
        // Under Wine no folder passes: it keeps no security set on a file, and reports the user as every
        // file's owner.
        protected_ = SetSecurity(outer_, kAdministratorsOnly) && SetSecurity(folder_, kAdministratorsOnly) &&
                     SetSecurity(Launcher(), kAdministratorsOnly) &&
                     SetSecurity(folder_ + "\\Mirelunde.dll", kAdministratorsOnly);
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(kElevatedUnderWine, nullptr);
        LauncherOptions::TearDown();
    }
    std::string Launcher() const { return folder_ + "\\mirelunde.exe"; }
    std::string Quoted() const { return "\"" + Launcher() + "\""; }

    std::string outer_ = TempDirectory() + "\\all users";
    std::string folder_;
    bool protected_ = false;
};

TEST_F(ElevatedLauncher, StartsOnlyFromAFolderThatNobodyButAdministratorsCanChange)
{
    if (protected_) {
        auto launcher = StartLauncher(Quoted());
        ASSERT_TRUE(launcher);
        RequestStop();
        EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << launcher->Errors();
        EXPECT_TRUE(SetSecurity(folder_, kUsersMayModify));
    }
    SetRunEntry(Quoted() + " -2");
    for (const char* options : {"", "--elevated on"}) {
        const Outcome outcome = Run(options, Quoted());
        EXPECT_EQ(outcome.exitCode, kChangeableInstall) << options << ": " << outcome.output;
        // The folder Users may modify, or under Wine the folder above it, which is the user's.
        EXPECT_NE(outcome.output.find(protected_ ? folder_ : outer_), std::string::npos) << outcome.output;
        EXPECT_NE(outcome.output.find("Install Mirelunde for all users"), std::string::npos) << outcome.output;
        EXPECT_EQ(ReadDword(names::kHHook, 1), 0u) << "no hook was set";
    }
    EXPECT_EQ(RunEntry(), Quoted() + " -2") << "--elevated on left the login entry alone";
    SetSecurity(folder_, kUsersMayModify);
}

// Reads the user's task back through the Task Scheduler: its trigger, run level and program.
struct TaskView {
    HRESULT found = E_FAIL;
    TASK_TRIGGER_TYPE2 trigger = TASK_TRIGGER_EVENT;
    long triggers = 0;
    TASK_RUNLEVEL_TYPE runLevel = TASK_RUNLEVEL_LUA;
    std::wstring program;
};

TaskView ReadTask(const std::string& path)
{
    TaskView view;
    ITaskService* service = nullptr;
    ITaskFolder* root = nullptr;
    IRegisteredTask* task = nullptr;
    ITaskDefinition* definition = nullptr;
    ITriggerCollection* triggers = nullptr;
    ITrigger* trigger = nullptr;
    IPrincipal* principal = nullptr;
    IActionCollection* actions = nullptr;
    IAction* action = nullptr;
    IExecAction* exec = nullptr;
    BSTR name = SysAllocString(std::wstring(path.begin(), path.end()).c_str()), rootName = SysAllocString(L"\\");
    BSTR program = nullptr;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    view.found = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  reinterpret_cast<void**>(&service));
    if (SUCCEEDED(view.found)) view.found = service->Connect(VARIANT{}, VARIANT{}, VARIANT{}, VARIANT{});
    if (SUCCEEDED(view.found)) view.found = service->GetFolder(rootName, &root);
    if (SUCCEEDED(view.found)) view.found = root->GetTask(name, &task);
    if (SUCCEEDED(view.found) && SUCCEEDED(task->get_Definition(&definition))) {
        if (SUCCEEDED(definition->get_Triggers(&triggers)) && SUCCEEDED(triggers->get_Count(&view.triggers)) &&
            SUCCEEDED(triggers->get_Item(1, &trigger)))
            trigger->get_Type(&view.trigger);
        if (SUCCEEDED(definition->get_Principal(&principal))) principal->get_RunLevel(&view.runLevel);
        if (SUCCEEDED(definition->get_Actions(&actions)) && SUCCEEDED(actions->get_Item(1, &action)) &&
            SUCCEEDED(action->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(&exec))) &&
            SUCCEEDED(exec->get_Path(&program)) && program != nullptr)
            view.program = program;
    }
    for (IUnknown* held : std::initializer_list<IUnknown*>{exec, action, actions, principal, trigger, triggers,
                                                           definition, task, root, service})
        if (held != nullptr) held->Release();
    SysFreeString(program);
    SysFreeString(name);
    SysFreeString(rootName);
    CoUninitialize();
    return view;
}

TEST_F(ElevatedLauncher, ElevatedOnRegistersALogonTaskAtTheHighestRunLevelInPlaceOfTheLoginEntryAndOffUndoesIt)
{
    if (!protected_)
        GTEST_SKIP() << "no folder passes under Wine (see above), and its Task Scheduler makes no logon trigger and "
                        "no run level (E_NOTIMPL)";
    const std::string task = std::string(names::kTaskFolder) + "\\" + UserSid();
    const std::string entry = Quoted() + " -2";
    SetRunEntry(entry);
    Outcome outcome = Run("--elevated on -i", Quoted());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.output;
    const TaskView view = ReadTask(task);
    ASSERT_EQ(view.found, S_OK) << task;
    EXPECT_EQ(view.triggers, 1);
    EXPECT_EQ(view.trigger, TASK_TRIGGER_LOGON);
    EXPECT_EQ(view.runLevel, TASK_RUNLEVEL_HIGHEST);
    EXPECT_EQ(view.program, std::wstring(Launcher().begin(), Launcher().end()));
    EXPECT_EQ(RunEntry(), std::nullopt) << "the task takes the login entry's place";

    outcome = Run("--elevated off", Quoted());
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(ReadTask(task).found, S_OK);
    EXPECT_EQ(RunEntry(), entry);
}

}  // namespace
}  // namespace e2e
