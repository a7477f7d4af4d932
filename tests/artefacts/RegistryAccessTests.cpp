// The built library's registry calls, counted through its own import table: messages that are no
// gesture make none; a gesture reads the settings it depends on at that moment.
#include "hook/Exports.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Paths.h"
#include "tests/support/RegistryCounter.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

using namespace mirelunde;
using testing_support::CountedRegistryCalls;
using testing_support::ResetRegistryCounts;

namespace {

constexpr DWORD kHookHandle = 0x00010235;
constexpr LPARAM kAltContext = 0x20000000;
constexpr POINT kCaptionPoint{300, 160};  // well outside the corner square

class LibraryRegistryAccess : public testing::Test {
protected:
    void SetUp() override
    {
        testing_support::RegistrySandbox::Clear();
        // As the running launcher leaves them, so attach reads everything it reads in real use.
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, kHookHandle));
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHWndHook, kHookHandle));
        library_ = LoadLibraryA(testing_support::BuiltFile("Mirelunde.dll").c_str());
        ASSERT_NE(library_, nullptr);
        ASSERT_TRUE(testing_support::CountRegistryCallsOf(library_));
        getMsgProc_ = ProcAddress<HookProcedure>(library_, "BrackwenGetMsgProc");
        callWndProc_ = ProcAddress<HookProcedure>(library_, "BrackwenCallWndProc");
        ASSERT_TRUE(getMsgProc_ && callWndProc_);
        window_ = testing_support::MakeWindow(WS_OVERLAPPEDWINDOW);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        if (window_) DestroyWindow(window_);
        if (library_) FreeLibrary(library_);
    }

    HMODULE library_ = nullptr;
    HookProcedure getMsgProc_ = nullptr;
    HookProcedure callWndProc_ = nullptr;
    HWND window_ = nullptr;
};

struct Queued {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool threadMessage;
    WPARAM removal;
};

TEST_F(LibraryRegistryAccess, MessagesThatAreNoGestureMakeNoRegistryCall)
{
    const Queued queued[] = {
        {"mouse move", WM_MOUSEMOVE, 0, MAKELPARAM(40, 30), false, PM_REMOVE},
        {"caption mouse move", WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(300, 160), false, PM_REMOVE},
        {"single caption click", WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(300, 160), false, PM_REMOVE},
        {"paint", WM_PAINT, 0, 0, false, PM_REMOVE},
        {"letter key down", WM_KEYDOWN, 'A', 0x001E0001, false, PM_REMOVE},
        {"letter key up", WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001), false, PM_REMOVE},
        {"shift down", WM_KEYDOWN, VK_SHIFT, 0x002A0001, false, PM_REMOVE},
        {"shift up", WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC02A0001), false, PM_REMOVE},
        {"alt down", WM_SYSKEYDOWN, VK_MENU, kAltContext | 0x00380001, false, PM_REMOVE},
        {"letter up with Alt", WM_SYSKEYUP, 'A', static_cast<LPARAM>(0xE01E0001), false, PM_REMOVE},
        {"F10 up", WM_SYSKEYUP, VK_F10, static_cast<LPARAM>(0xC0440001), false, PM_REMOVE},
        {"alt up", WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001), false, PM_REMOVE},
        {"foreign timer", WM_TIMER, 7, 0, false, PM_REMOVE},
        {"other system command", WM_SYSCOMMAND, SC_MINIMIZE, 0, false, PM_REMOVE},
        {"thread message", WM_APP, 1, 2, true, PM_REMOVE},
        {"peeked caption double-click", WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(300, 160), false, PM_NOREMOVE},
    };
    for (const Queued& c : queued) {
        MSG msg{c.threadMessage ? nullptr : window_, c.message, c.wParam, c.lParam, GetTickCount(), kCaptionPoint};
        ResetRegistryCounts();
        getMsgProc_(HC_ACTION, c.removal, reinterpret_cast<LPARAM>(&msg));
        EXPECT_EQ(CountedRegistryCalls().Total(), 0u) << c.name;
        EXPECT_EQ(msg.message, c.message) << c.name;
    }

    const UINT sent[] = {WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT, WM_WINDOWPOSCHANGING, WM_CLOSE};
    for (const UINT message : sent) {
        CWPSTRUCT call{0, 0, message, window_};
        ResetRegistryCounts();
        callWndProc_(HC_ACTION, 0, reinterpret_cast<LPARAM>(&call));
        EXPECT_EQ(CountedRegistryCalls().Total(), 0u) << "sent message 0x" << std::hex << message;
    }
}

TEST_F(LibraryRegistryAccess, CaptionDoubleClickReadsItsSettingThenShades)
{
    const int height = testing_support::Height(window_);
    MSG msg{window_, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(300, 160), GetTickCount(), kCaptionPoint};
    ResetRegistryCounts();
    getMsgProc_(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
    const testing_support::RegistryCalls calls = CountedRegistryCalls();
    EXPECT_GE(calls.queries, 1u);
    EXPECT_EQ(calls.opens, calls.closes);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_NULL));
    EXPECT_LT(testing_support::Height(window_), height);
}

}  // namespace
