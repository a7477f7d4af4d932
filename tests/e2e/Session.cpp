// Processes, windows and settings for end-to-end tests.
#include "tests/e2e/Session.h"

#include "launcher/LauncherTexts.h"
#include "launcher/WineVersion.h"
#include "settings/Language.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/support/ChildMode.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/Paths.h"

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace mirelunde;

namespace e2e {

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

void WriteDword(const char* name, DWORD value)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, name, value));
}

SettingsSnapshot::SettingsSnapshot()
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        Value value;
        char name[512];
        DWORD nameLength = sizeof name, size = 0;
        if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
            break;
        value.name.assign(name, nameLength);
        value.data.resize(size);
        RegQueryValueExA(key.get(), value.name.c_str(), nullptr, &value.type, value.data.data(), &size);
        values_.push_back(value);
    }
}

SettingsSnapshot::~SettingsSnapshot()
{
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    std::vector<std::string> present;
    for (DWORD index = 0;; ++index) {
        char name[512];
        DWORD length = sizeof name;
        if (RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        present.emplace_back(name, length);
    }
    for (const std::string& name : present) RegDeleteValueA(key.get(), name.c_str());
    for (const Value& value : values_)
        RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
}

int Process::WaitForExit(DWORD timeoutMs) const
{
    return testing_support::WaitForExit(process.get(), timeoutMs);
}

std::string Process::Errors() const
{
    std::ifstream in(errorFile);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr DWORD kCloseMs = 2000;

// Asked to close first: a program ended outright in the middle of a hook call never finishes that
// chain, and Wine 10's server then keeps every global hook removed later, miscounts it as threads
// leave the desktop and aborts.
Process::~Process()
{
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return;
    for (const HWND window : VisibleWindows(id)) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), kCloseMs) == WAIT_OBJECT_0) return;
    // Under Wine 8 a launcher ended so leaves its hooks acting in every program.
    if (commandLine.find("mirelunde.exe") != std::string::npos)
        std::printf("== %s did not close: ended outright\n", commandLine.c_str());
    TerminateProcess(process.get(), 99);
    WaitForSingleObject(process.get(), kStopMs);
}

std::unique_ptr<Process> Start(const std::string& commandLine, std::optional<WORD> show)
{
    auto started = std::make_unique<Process>();
    started->errorFile = testing_support::TempDirectory() + "\\output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle output(
        CreateFileA(started->errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    if (show) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = *show;
    }
    std::wstring line = mirelunde::Wide(commandLine);
    PROCESS_INFORMATION info{};
    // Debian's 64-bit Wine loader has no preloader: about one start in 3,000 the kernel's randomly
    // placed heap already covers the address of the shared user data, and the new process ends
    // before it runs anything ("failed to map the shared user data", error 1359 here). That start
    // is made once more, and said.
    BOOL created = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 2 && !created; ++attempt) {
        created = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
        error = created ? 0 : GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
        std::printf("Wine's start of %s failed (error 1359)\n", commandLine.c_str());
    }
    if (!created) {
        std::printf("could not start %s: error %lu\n", commandLine.c_str(), error);
        return nullptr;
    }
    started->process.reset(info.hProcess);
    started->thread.reset(info.hThread);
    started->id = info.dwProcessId;
    started->commandLine = commandLine;
    return started;
}

std::string LauncherPath()
{
    return "\"" + testing_support::BuiltFile("mirelunde.exe") + "\"";
}

std::string NotepadPath()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\notepad.exe";
}

std::string TargetAppPath()
{
    return "\"" + testing_support::BuiltFile("target_app.exe") + "\"";
}

std::string HooksInstalled(unsigned bits)
{
    char line[512] = {};
    std::snprintf(line, sizeof line, mirelunde::Text(mirelunde::texts::kHooksInstalledFormat), bits);
    return line;
}

namespace {

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

}  // namespace

int Height(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

bool HasRect(HWND window, const RECT& expected)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return EqualRect(&rect, &expected) != FALSE;
}

int ShadedHeight()
{
    return GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
}

void Activate(HWND window)
{
    // Under Wine a program that learns late from the X server that another program's window took the
    // focus gives the foreground to the desktop, even when it has just been given the foreground
    // again; asked once more, it keeps it.
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        SetForegroundWindow(window);
        if (WaitUntil([&] { return GetForegroundWindow() == window; }, kActionMs / kAttempts)) {
            testing_support::GiveTheXFocusToTheForegroundWindow();
            return;
        }
    }
}

void LetFocusSettle()
{
    testing_support::GiveTheXFocusToTheForegroundWindow();
    Sleep(500);
}

void DoubleClickCaption(HWND window)
{
    testing_support::Click(testing_support::CaptionPoint(window), testing_support::Button::Left, 2);
}

bool HeightBecomes(HWND window, int height)
{
    return WaitUntil([&] { return Height(window) == height; }, kActionMs);
}

bool Typed(HWND edit, char letter)
{
    return WaitUntil(
        [&] {
            char text[256] = {};
            DWORD_PTR length = 0;
            SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500,
                                &length);
            return std::string(text).find(letter) != std::string::npos;
        },
        kActionMs);
}

std::vector<HWND> VisibleWindows(DWORD processId)
{
    WindowsOf search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            const auto windows = VisibleWindows(processId);
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        },
        kStartMs);
    return window;
}

std::string ModulesKey(const std::string& title, DWORD processId)
{
    return std::string(kKey) + "\\Modules\\" + title + " (" + std::to_string(processId) + ")";
}

std::optional<testing_support::MessageBoxView> StopFromCommandMenu(DWORD processId, HWND window)
{
    using namespace testing_support;
    BoxAnswerer confirm(processId, IDYES, kStartMs);
    Click(CaptionPoint(window), Button::Middle);
    const auto menu = WaitForPopupMenu(processId, kStartMs, false);
    if (!menu) {
        ADD_FAILURE() << "no command menu";
        return std::nullopt;
    }
    PostKeys(menu->popup, StopMenuKeys());
    return confirm.Result();
}

std::vector<WORD> MaximizeBothMenuKeys()
{
    return {VK_HOME, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN};
}

RECT WorkArea()
{
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

std::vector<WORD> StopMenuKeys()
{
    std::vector<WORD> keys{VK_HOME};
    keys.insert(keys.end(), 6, VK_DOWN);
    keys.push_back(VK_RIGHT);
    keys.insert(keys.end(), 4, VK_DOWN);
    keys.push_back(VK_RETURN);
    return keys;
}

std::vector<WORD> LeaveAloneMenuKeys()
{
    std::vector<WORD> keys = StopMenuKeys();
    keys.insert(keys.end() - 1, VK_DOWN);
    return keys;
}

std::optional<std::string> RunEntry()
{
    char entry[2048];
    if (!ReadRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry, sizeof entry)) return std::nullopt;
    return std::string(entry);
}

void SetRunEntry(const std::optional<std::string>& entry)
{
    if (entry) {
        WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, entry->c_str());
        return;
    }
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, names::kRunKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueA(key.get(), names::kRunEntry);
}

namespace {

struct IconSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindIconWindow(HWND window, LPARAM param) noexcept
{
    auto* search = reinterpret_cast<IconSearch*>(param);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || lstrcmpA(name, kNotifyWindowClass) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND NotifyIconWindow(DWORD launcherId)
{
    IconSearch search{launcherId, nullptr};
    EnumWindows(FindIconWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IconShown(HWND window)
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kNotifyIconId;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

HWND WaitForIcon(DWORD launcherId)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = NotifyIconWindow(launcherId);
            return window != nullptr && IconShown(window);
        },
        kStartMs);
    return window != nullptr && IconShown(window) ? window : nullptr;
}

void ClickIcon(HWND window)
{
    // Version 4 of the callback: the event and the icon's id in lParam, the place in wParam.
    PostMessageA(window, kNotifyIconMessage, MAKEWPARAM(100, 100), MAKELPARAM(WM_CONTEXTMENU, kNotifyIconId));
}

void LauncherSession::SetUp()
{
    WriteDword(names::kHHook, 0);
}

std::unique_ptr<Process> LauncherSession::StartLauncher(const std::string& path)
{
    auto launcher = Start(path);
    EXPECT_TRUE(launcher);
    if (!launcher) return nullptr;
    EXPECT_TRUE(WaitUntil([] { return ReadDword(names::kHHook, 0) != 0; }, kStartMs))
        << "the launcher never published its hook; it said: " << launcher->Errors();
    EXPECT_TRUE(WaitUntil([] { return ReadDword(names::kHWndHook, 0) != 0; }, kStartMs));
    hooks_.insert(hooks_.end(), {ReadDword(names::kHHook, 0), ReadDword(names::kHWndHook, 0)});
    // Said once its icon is up too: under Wine the first icon shows the stand-alone tray window, a
    // normal window at the top of the Z order, which must not come up above a test's windows.
    EXPECT_TRUE(WaitUntil([&] { return launcher->Errors().find(HooksInstalled()) != std::string::npos; }, kStartMs))
        << launcher->Errors();
    return launcher;
}

namespace {

// Windows and Wine 10 take a hook out of the chain as the thread that set it ends (and Wine 10 aborts
// if it was taken out before); Wine 8 keeps it for as long as the desktop lives, and the launcher
// takes its own out first.
bool HooksOutliveTheirThread()
{
    const int wine = mirelunde::WineMajorVersion();
    return wine != 0 && wine < 10;
}

}  // namespace

// One that can still be taken out now was left by a launcher that did not end as it should (or is
// only marked as taken out while some thread is inside its chain): said, and taken out.
LauncherSession::~LauncherSession()
{
    if (!HooksOutliveTheirThread()) return;
    for (const DWORD hook : hooks_)
        if (hook != 0 && UnhookWindowsHookEx(reinterpret_cast<HHOOK>(static_cast<uintptr_t>(hook))))
            std::printf("== a launcher's hook 0x%lx was still set after the case\n", static_cast<unsigned long>(hook));
}

namespace {

// A new program that no running launcher serves: whether a global hook still brings the library
// into it as it takes its first messages.
int LibraryBroughtIn(const std::vector<std::string>&)
{
    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr) return 2;
    PostMessageA(window, WM_NULL, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    SendMessageA(window, WM_NULL, 0, 0);
    DestroyWindow(window);
    return GetModuleHandleA("Mirelunde.dll") != nullptr ? 1 : 0;
}
MIRELUNDE_CHILD_MODE("library-brought-in", LibraryBroughtIn);

// Under Wine 8, before the first case and after each suite: a hook of the library still acting
// then was left by a launcher that did not take it out (before the first case: by a program of the
// same prefix that ran before this one while its desktop lived on), which the per-case check cannot
// see for launchers started otherwise than by StartLauncher.
class HooksLeftBehind : public testing::EmptyTestEventListener {
    void OnTestProgramStart(const testing::UnitTest&) override { Check("before the first case"); }
    void OnTestSuiteEnd(const testing::TestSuite& suite) override { Check(std::string("after ") + suite.name()); }

    static void Check(const std::string& when)
    {
        if (!HooksOutliveTheirThread()) return;
        const PROCESS_INFORMATION child = testing_support::StartChild("library-brought-in", {});
        const Handle process(child.hProcess), thread(child.hThread);
        if (!process) return;
        const int code = testing_support::WaitForExit(process.get(), kStartMs);
        if (code == -1) TerminateProcess(process.get(), 99);
        if (code == 1) std::printf("== a hook of the library still acted in a new program %s\n", when.c_str());
    }
};

const bool kHooksLeftBehindWatched = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new HooksLeftBehind);
    return true;
}();

// Under Wine the cases hold Alt in the X server, as a person's keyboard does: a window that reads
// news of the focus or the pointer in the middle of a chord then keeps Alt down. The X focus goes
// with the foreground window, as a person's click or a window manager gives it.
const bool kXServerUsed = [] {
    if (mirelunde::WineMajorVersion() != 0) testing_support::UseTheXServer();
    return true;
}();

}  // namespace

void LauncherSession::RequestStop()
{
    WriteDword(names::kHHook, 0);
}

}  // namespace e2e
