// The real launcher under Wine: it hooks programs started after it, refuses a second copy,
// reports a missing library, and stops when "HHook" is set to 0.
#include "hook/Handles.h"
#include "hook/Registry.h"
#include "hook/SettingsNames.h"
#include "tests/support/ChildMode.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <iterator>
#include <string>
#include <vector>

using namespace mirelunde;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";
constexpr DWORD kStartMs = 20000;
constexpr DWORD kStopMs = 10000;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) return false;
        Sleep(50);
    }
    return true;
}

DWORD ReadDword(const char* name, DWORD preset)
{
    DWORD value = preset;
    ReadRegDword(HKEY_CURRENT_USER, kKey, name, value);
    return value;
}

// These tests share the registry with the processes they start: the settings key's values are
// put back as they were found.
class SettingsSnapshot {
public:
    SettingsSnapshot()
    {
        RegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
        for (DWORD index = 0;; ++index) {
            Value value;
            char name[512];
            DWORD nameLength = sizeof name, size = 0;
            if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &value.type, nullptr, &size) !=
                ERROR_SUCCESS)
                break;
            value.name.assign(name, nameLength);
            value.data.resize(size);
            RegQueryValueExA(key.get(), value.name.c_str(), nullptr, &value.type, value.data.data(), &size);
            values_.push_back(value);
        }
    }

    ~SettingsSnapshot()
    {
        RegKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const char* name : {names::kHHook, names::kHWndHook, names::kDebugLevel})
            RegDeleteValueA(key.get(), name);
        for (const Value& value : values_)
            RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
    }

private:
    struct Value {
        std::string name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    std::vector<Value> values_;
};

struct Process {
    Handle process;
    Handle thread;
    DWORD id = 0;
    std::string errorFile;

    int WaitForExit(DWORD timeoutMs) const { return testing_support::WaitForExit(process.get(), timeoutMs); }

    std::string Errors() const
    {
        std::ifstream in(errorFile);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    ~Process()
    {
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process.get(), 99);
    }
};

// Starts a program with its standard error going to a file of its own.
std::unique_ptr<Process> Start(const std::string& executable)
{
    auto started = std::make_unique<Process>();
    started->errorFile = testing_support::TempDirectory() + "\\stderr.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle errors(CreateFileA(started->errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                              nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = errors.get();
    startup.hStdError = errors.get();
    std::string commandLine = "\"" + executable + "\"";
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    started->process.reset(info.hProcess);
    started->thread.reset(info.hThread);
    started->id = info.dwProcessId;
    return started;
}

std::string Launcher()
{
    return testing_support::BuiltFile("mirelunde.exe");
}

std::string Notepad()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\notepad.exe";
}

struct WindowsOf {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) noexcept
{
    auto* search = reinterpret_cast<WindowsOf*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD processId)
{
    WindowsOf search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ModulesKey(const std::string& title, DWORD processId)
{
    return std::string(kKey) + "\\Modules\\" + title + " (" + std::to_string(processId) + ")";
}

class Launcher_ : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0)); }

    std::unique_ptr<Process> StartLauncher()
    {
        auto launcher = Start(Launcher());
        EXPECT_TRUE(launcher);
        if (!launcher) return nullptr;
        EXPECT_TRUE(WaitUntil([] { return ReadDword(names::kHHook, 0) != 0; }, kStartMs))
            << "the launcher never published its hook; it said: " << launcher->Errors();
        EXPECT_TRUE(WaitUntil([] { return ReadDword(names::kHWndHook, 0) != 0; }, kStartMs));
        return launcher;
    }

    static void RequestStop() { ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0)); }

    SettingsSnapshot snapshot_;
};

using LauncherEndToEnd = Launcher_;

TEST_F(LauncherEndToEnd, NotepadStartedAfterTheLauncherGetsTheLibraryUntilItExits)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1));
    auto launcher = StartLauncher();
    ASSERT_TRUE(launcher);

    auto notepad = Start(Notepad());
    ASSERT_TRUE(notepad);
    const std::string traceKey = ModulesKey("notepad", notepad->id);
    char path[MAX_PATH] = {};
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadRegString(HKEY_CURRENT_USER, traceKey.c_str(), names::kPath, path, sizeof path); }, kStartMs))
        << "no trace key " << traceKey;
    char image[MAX_PATH] = {};
    DWORD imageSize = sizeof image;
    ASSERT_TRUE(QueryFullProcessImageNameA(notepad->process.get(), 0, image, &imageSize));
    EXPECT_EQ(lstrcmpiA(path, image), 0) << path << " vs " << image;

    RequestStop();
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 0) << "the launcher did not stop; it said: " << launcher->Errors();

    // The library leaves notepad, and removes its trace, when notepad exits.
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindows(notepad->id).empty(); }, kStartMs));
    for (HWND window : VisibleWindows(notepad->id)) PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(notepad->WaitForExit(kStopMs), 0);
    RegKey gone;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, traceKey.c_str(), 0, KEY_READ, gone.put()), ERROR_SUCCESS);
}

TEST_F(LauncherEndToEnd, SecondLauncherIsRefusedWhileOneRuns)
{
    auto first = StartLauncher();
    ASSERT_TRUE(first);
    auto second = Start(Launcher());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->WaitForExit(kStopMs), 2);
    EXPECT_NE(second->Errors().find("already running"), std::string::npos) << second->Errors();
    EXPECT_EQ(WaitForSingleObject(first->process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "first one ended";

    RequestStop();
    EXPECT_EQ(first->WaitForExit(kStopMs), 0);
}

TEST_F(LauncherEndToEnd, MissingLibraryIsReportedAndNothingIsPublished)
{
    const std::string alone = testing_support::TempDirectory() + "\\mirelunde.exe";
    ASSERT_TRUE(CopyFileA(Launcher().c_str(), alone.c_str(), FALSE));
    auto launcher = Start(alone);
    ASSERT_TRUE(launcher);
    EXPECT_EQ(launcher->WaitForExit(kStopMs), 1);
    EXPECT_NE(launcher->Errors().find("Mirelunde.dll"), std::string::npos) << launcher->Errors();
    EXPECT_EQ(ReadDword(names::kHHook, 1), 0u);
}

}  // namespace
