// The built library loaded into the test process: attach reads the redirected settings, the
// trace key lives exactly as long as the library, and the hooks chain without handles.
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace mirelunde;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";
constexpr UINT kProbe = WM_APP + 17;

std::string ProcessKey()
{
    std::string name = testing_support::OwnExecutable();
    name = name.substr(name.find_last_of("\\/") + 1);
    name.resize(name.find_last_of('.'));
    return std::string(kKey) + "\\Modules\\" + name + " (" + std::to_string(GetCurrentProcessId()) + ")";
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Alt+key as the system posts it while the thread's key state has Alt down.
void PostAltKey(HWND window, WPARAM key)
{
    testing_support::SetKeyState(VK_MENU, true);
    PostMessageA(window, WM_SYSKEYDOWN, key, 1 << 29);
    PostMessageA(window, WM_SYSKEYUP, key, 1 << 29);
}

class LibraryAttach : public testing::Test {
protected:
    void SetUp() override { testing_support::RegistrySandbox::Clear(); }

    void Load()
    {
        library_ = LoadLibraryA(testing_support::BuiltFile("Mirelunde.dll").c_str());
        ASSERT_NE(library_, nullptr);
    }

    void Unload()
    {
        if (library_) FreeLibrary(library_);
        library_ = nullptr;
    }

    void TearDown() override
    {
        Unload();
        testing_support::SetKeyState(VK_MENU, false);
    }

    // As a running launcher leaves it: both handles published, the library's message hook on this thread.
    void LoadAndHookThisThread(Hook& getMessage)
    {
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 0x10));
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0x20));
        Load();
        getMessage.reset(SetWindowsHookExA(WH_GETMESSAGE, ProcAddress<HOOKPROC>(library_, "BrackwenGetMsgProc"),
                                           library_, GetCurrentThreadId()));
        ASSERT_TRUE(getMessage);
    }

    HMODULE library_ = nullptr;
};

TEST_F(LibraryAttach, TraceKeyExistsWhileLoadedAndGoesAtFreeLibrary)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHWndHook, 0x10));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kHHook, 0x20));
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1));
    Load();

    char path[MAX_PATH];
    ASSERT_TRUE(ReadRegString(HKEY_CURRENT_USER, ProcessKey().c_str(), names::kPath, path, sizeof path));
    EXPECT_EQ(std::string(path), testing_support::OwnExecutable());

    Unload();
    EXPECT_FALSE(KeyExists(ProcessKey()));
}

TEST_F(LibraryAttach, WithoutPublishedHandlesNoTraceIsWritten)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugLevel, 1));
    Load();
    EXPECT_FALSE(KeyExists(std::string(kKey) + "\\Modules"));
}

TEST_F(LibraryAttach, DetachBoxNamesTheProcess)
{
    ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, names::kDebugProcessDetach, 1));
    Load();
    // The answerer's thread exists before FreeLibrary takes the loader lock.
    testing_support::BoxAnswerer answerer(GetCurrentProcessId(), IDOK);
    Unload();
    const auto box = answerer.Result();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_EQ(box->text, testing_support::OwnExecutable() + " : process detach");
}

// A hook installed before the library's: it sees what the library's procedures pass on.
std::vector<UINT> receivedByNext;

LRESULT CALLBACK RecordGetMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) receivedByNext.push_back(reinterpret_cast<MSG*>(lParam)->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK RecordCallWnd(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) receivedByNext.push_back(reinterpret_cast<CWPSTRUCT*>(lParam)->message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(LibraryAttach, HooksWithNullHandlesStillChainToTheNextHook)
{
    Load();
    const auto getMsgProc = ProcAddress<HOOKPROC>(library_, "BrackwenGetMsgProc");
    const auto callWndProc = ProcAddress<HOOKPROC>(library_, "BrackwenCallWndProc");
    ASSERT_TRUE(getMsgProc && callWndProc);

    const DWORD thread = GetCurrentThreadId();
    Hook nextGetMessage(SetWindowsHookExA(WH_GETMESSAGE, RecordGetMessage, nullptr, thread));
    Hook nextCallWnd(SetWindowsHookExA(WH_CALLWNDPROC, RecordCallWnd, nullptr, thread));
    Hook ownGetMessage(SetWindowsHookExA(WH_GETMESSAGE, getMsgProc, library_, thread));
    Hook ownCallWnd(SetWindowsHookExA(WH_CALLWNDPROC, callWndProc, library_, thread));
    ASSERT_TRUE(nextGetMessage && nextCallWnd && ownGetMessage && ownCallWnd);

    const HWND window =
        CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    receivedByNext.clear();
    SendMessageA(window, kProbe, 1, 0);
    PostMessageA(window, kProbe + 1, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, window, kProbe + 1, kProbe + 1, PM_REMOVE));
    EXPECT_EQ(msg.message, kProbe + 1) << "the message reached the application unchanged";
    DestroyWindow(window);

    EXPECT_EQ(std::count(receivedByNext.begin(), receivedByNext.end(), kProbe), 1);
    EXPECT_EQ(std::count(receivedByNext.begin(), receivedByNext.end(), kProbe + 1), 1);
}

TEST_F(LibraryAttach, FreeLibraryPutsBackWhatTheHooksChanged)
{
    Hook getMessage;
    ASSERT_NO_FATAL_FAILURE(LoadAndHookThisThread(getMessage));

    using namespace testing_support;
    const HWND shaded = MakeWindow(WS_OVERLAPPEDWINDOW);
    const HWND madeTopmost = MakeWindow(WS_OVERLAPPEDWINDOW);
    const HWND wasTopmost = MakeWindow(WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST);
    const int height = Height(shaded);
    SetCursorPos(600, 400);
    PostMessageA(shaded, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    PostAltKey(madeTopmost, VK_SCROLL);
    PostAltKey(wasTopmost, VK_SCROLL);
    auto topmost = [](HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_TRUE(
        PumpUntil([&] { return Height(shaded) < height && topmost(madeTopmost) && !topmost(wasTopmost); }, 5000));

    getMessage.reset();
    Unload();
    EXPECT_EQ(Height(shaded), height);
    EXPECT_FALSE(topmost(madeTopmost));
    EXPECT_TRUE(topmost(wasTopmost));
    for (HWND window : {shaded, madeTopmost, wasTopmost}) DestroyWindow(window);
}

TEST_F(LibraryAttach, FreeLibraryGivesStretchedWindowsTheirRectangleBack)
{
    Hook getMessage;
    ASSERT_NO_FATAL_FAILURE(LoadAndHookThisThread(getMessage));
    using namespace testing_support;
    const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    const RECT before = WindowRect(window);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    MenuAnswerer answerer(GetCurrentProcessId(), {"Maximize", "Both"});
    PostAltKey(window, VK_ADD);  // the command menu
    ASSERT_TRUE(PumpUntil(
        [&] {
            const RECT now = WindowRect(window);
            return EqualRect(&work, &now) != FALSE;
        },
        10000));
    ASSERT_TRUE(answerer.Result());

    getMessage.reset();
    Unload();
    const RECT after = WindowRect(window);
    EXPECT_TRUE(EqualRect(&after, &before));
    DestroyWindow(window);
}

// The program drops the library (the launcher has stopped) while the library's information box is
// still open on a thread of its own: the library stays until the box is answered, then leaves.
TEST_F(LibraryAttach, ProcessInfoBoxKeepsTheLibraryUntilItIsAnswered)
{
    Hook getMessage;
    ASSERT_NO_FATAL_FAILURE(LoadAndHookThisThread(getMessage));
    using namespace testing_support;
    const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    {
        MenuAnswerer answerer(GetCurrentProcessId(), {"Process", "Info"});
        PostAltKey(window, VK_ADD);
        ASSERT_TRUE(PumpUntil([] { return WaitForMessageBox(GetCurrentProcessId(), 0).has_value(); }, 10000));
        ASSERT_TRUE(answerer.Result());
    }
    getMessage.reset();
    Unload();
    EXPECT_NE(GetModuleHandleA("Mirelunde.dll"), nullptr) << "the library left under its open box";
    const auto box = WaitForMessageBox(GetCurrentProcessId(), 5000);
    ASSERT_TRUE(box);
    PressButton(*box, IDOK);
    EXPECT_TRUE(PumpUntil([] { return GetModuleHandleA("Mirelunde.dll") == nullptr; }, 5000));
    DestroyWindow(window);
}

}  // namespace
