// The command menu in Wine's notepad, opened by a real middle click and from the System Menu,
// and answered with real keys.
#include "commands/Help.h"
#include "launcher/HookThread.h"
#include "launcher/WineVersion.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/Monitors.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr DWORD kMenuMs = 5000;

class CommandMenu : public LauncherSession {
protected:
    void SetUp() override
    {
        LauncherSession::SetUp();
        WriteDword(names::kTwoButtonMouse, 0);  // the middle button is the menu's
        launcher_ = StartLauncher();
        ASSERT_TRUE(launcher_);
        notepad_ = Start(NotepadPath());
        ASSERT_TRUE(notepad_);
        window_ = WaitForWindow(notepad_->id);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window_; }, kMenuMs));
    }

    void TearDown() override
    {
        RequestStop();
        if (launcher_) {
            EXPECT_EQ(launcher_->WaitForExit(kStopMs), 0);
        }
    }

    bool MenuOpens() const { return WaitForPopupMenu(notepad_->id, kMenuMs, false).has_value(); }

    std::unique_ptr<Process> launcher_;
    std::unique_ptr<Process> notepad_;
    HWND window_ = nullptr;
};

TEST_F(CommandMenu, SingleMiddleClickOpensItAfterTheDoubleClickTimeAndShadeWindowShades)
{
    Click(CaptionPoint(window_), Button::Middle);
    Sleep(GetDoubleClickTime() / 3);
    EXPECT_EQ(VisiblePopupMenus(notepad_->id), 0) << "not before the double-click time";
    ASSERT_TRUE(MenuOpens());

    Chord({VK_DOWN});
    Chord({VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return Height(window_) == ShadedHeight(); }, kMenuMs)) << Height(window_);
}

TEST_F(CommandMenu, SystemMenuItemOpensTheCommandMenu)
{
    const int height = Height(window_);
    Chord({VK_MENU, VK_SPACE});
    ASSERT_TRUE(MenuOpens()) << "no System Menu";
    Chord({VK_UP});  // the last item: the library's own
    Chord({VK_RETURN});
    Sleep(300);  // the System Menu closes and the command menu opens in its place
    ASSERT_TRUE(MenuOpens()) << "the item opened nothing";

    Chord({VK_DOWN});
    Chord({VK_RETURN});  // "Shade window" proves which menu it was
    EXPECT_TRUE(WaitUntil([&] { return Height(window_) == ShadedHeight(); }, kMenuMs)) << Height(window_);
    EXPECT_NE(Height(window_), height);
}

// A keypad digit held with Alt acts as Alt is let go, once it is clear that no Alt code is typed.
TEST_F(CommandMenu, AltKeypadDigitsHugAsAltIsLetGo)
{
    RECT before{};
    GetWindowRect(window_, &before);
    const RECT work = WorkArea();
    const LONG width = before.right - before.left, height = before.bottom - before.top;
    LetFocusSettle();
    PressKey(VK_MENU);
    Chord({VK_NUMPAD3});
    Sleep(500);
    if (SystemLetAltGo()) {
        ReleaseKey(VK_MENU);
        GTEST_SKIP() << "Wine let Alt go as notepad's menu bar looked for '3': no hold to test";
    }
    EXPECT_TRUE(HasRect(window_, before)) << "hugged before Alt was let go";
    ReleaseKey(VK_MENU);
    const RECT bottomRight{work.right - width, work.bottom - height, work.right, work.bottom};
    EXPECT_TRUE(WaitUntil([&] { return HasRect(window_, bottomRight); }, kMenuMs));
    LetFocusSettle();  // the hug moved the window
    Chord({VK_MENU, VK_NUMPAD7});
    const RECT topLeft{work.left, work.top, work.left + width, work.top + height};
    EXPECT_TRUE(WaitUntil([&] { return HasRect(window_, topLeft); }, kMenuMs));
}

// The hooks of a launcher that ended without removing them, which Wine 8 keeps for as long as the
// desktop lives: the running launcher's hooks pass every message on to them, into the same library.
// Each message is still handled once: a keypad digit hugs as Alt is let go, and one Escape closes
// the command menu that the System Menu's row opens. Once the launcher has stopped they bring
// notepad's messages to the library all the same: its caption is its own again, and the next
// launcher's settings serve its first gesture ("-2": the right button opens the menu).
TEST_F(CommandMenu, HooksLeftBehindByAnEndedLauncherHaveEachMessageHandledOnce)
{
    const Module library(LoadLibraryW(Wide(BuiltFile("Mirelunde.dll")).c_str()));
    ASSERT_TRUE(library);
    const HookThread getMessage(WH_GETMESSAGE, ProcAddress<HOOKPROC>(library.get(), "BrackwenGetMsgProc"), library.get());
    const HookThread callWnd(WH_CALLWNDPROC, ProcAddress<HOOKPROC>(library.get(), "BrackwenCallWndProc"), library.get());
    ASSERT_TRUE(getMessage.get() && callWnd.get());

    RECT before{};
    GetWindowRect(window_, &before);
    const RECT work = WorkArea();
    LetFocusSettle();
    Chord({VK_MENU, VK_NUMPAD3});
    const RECT bottomRight{work.right - (before.right - before.left), work.bottom - (before.bottom - before.top),
                           work.right, work.bottom};
    EXPECT_TRUE(WaitUntil([&] { return HasRect(window_, bottomRight); }, kMenuMs)) << "the digit counted twice";

    Chord({VK_MENU, VK_SPACE});
    ASSERT_TRUE(MenuOpens()) << "no System Menu";
    Chord({VK_UP});  // the library's row
    Chord({VK_RETURN});
    Sleep(300);
    ASSERT_TRUE(MenuOpens()) << "the row opened nothing";
    Chord({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return VisiblePopupMenus(notepad_->id) == 0; }, kMenuMs)) << "a second command menu";

    RequestStop();
    ASSERT_EQ(launcher_->WaitForExit(kStopMs), 0);
    DoubleClickCaption(window_);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(window_) != FALSE; }, kMenuMs)) << "height " << Height(window_);
    ShowWindow(window_, SW_RESTORE);
    launcher_ = StartLauncher(LauncherPath() + " -2");
    ASSERT_TRUE(launcher_);
    Activate(window_);
    Click(CaptionPoint(window_), Button::Right);
    EXPECT_TRUE(MenuOpens()) << "height " << Height(window_);
    Chord({VK_ESCAPE});
}

// Turns the user's hex Alt codes on, and puts the value back as it was found.
struct HexAltCodes {
    DWORD type = REG_NONE;
    std::string was;
    const bool had = RegReader(HKEY_CURRENT_USER, names::kInputMethodKey).Raw(names::kEnableHexNumpad, type, was);
    const bool on = WriteRegString(HKEY_CURRENT_USER, names::kInputMethodKey, names::kEnableHexNumpad, "1");
    ~HexAltCodes()
    {
        if (!had) RegDeleteKeyValueA(HKEY_CURRENT_USER, names::kInputMethodKey, names::kEnableHexNumpad);
        if (had)
            RegSetKeyValueA(HKEY_CURRENT_USER, names::kInputMethodKey, names::kEnableHexNumpad, type, was.data(),
                            static_cast<DWORD>(was.size()));
    }
};

// With hex Alt codes, Alt, keypad + and hex digits type a character: keypad + opens the menu only as
// Alt is let go, and only alone. "Shade window", the first item, proves which menu is open: Wine
// types no hex codes, and its Alt+E opens notepad's Edit menu instead.
TEST_F(CommandMenu, WithHexAltCodesKeypadPlusOpensItOnlyAloneAsAltIsLetGo)
{
    const HexAltCodes hexCodes;
    ASSERT_TRUE(hexCodes.on);
    LetFocusSettle();
    PressKey(VK_MENU);
    Chord({VK_ADD});
    Sleep(300);
    if (SystemLetAltGo()) {
        for (const WORD key : {WORD{VK_ESCAPE}, WORD{VK_ESCAPE}}) Chord({key});
        ReleaseKey(VK_MENU);
        GTEST_SKIP() << "Wine let Alt go as notepad's menu bar looked for '+': no hold to test";
    }
    for (const WORD key : {WORD{'E'}, WORD{'9'}}) Chord({key});
    ReleaseKey(VK_MENU);
    Sleep(500);
    for (const WORD key : {WORD{VK_HOME}, WORD{VK_RETURN}, WORD{VK_ESCAPE}, WORD{VK_ESCAPE}}) Chord({key});
    EXPECT_FALSE(HeightBecomes(window_, ShadedHeight())) << "the hex code opened the command menu";

    LetFocusSettle();
    PressKey(VK_MENU);
    Chord({VK_ADD});
    Sleep(500);
    EXPECT_EQ(VisiblePopupMenus(notepad_->id), 0) << "opened before Alt was let go";
    ReleaseKey(VK_MENU);
    ASSERT_TRUE(MenuOpens()) << "a lone keypad + opened nothing";
    for (const WORD key : {WORD{VK_HOME}, WORD{VK_RETURN}}) Chord({key});
    EXPECT_TRUE(HeightBecomes(window_, ShadedHeight()));
}

TEST_F(CommandMenu, MaximizeBothFromTheKeyboardCoversTheWorkArea)
{
    Chord({VK_MENU, VK_ADD});
    ASSERT_TRUE(MenuOpens());
    for (WORD key : MaximizeBothMenuKeys()) Chord({key});
    EXPECT_TRUE(WaitUntil([&] { return HasRect(window_, WorkArea()); }, kMenuMs));
}

// About is owned by the window whose menu chose it: the top of the stacking order, here another
// program's topmost window, is not disabled while it shows, so that program never holds notepad up.
// It speaks the language of the run, which the library in notepad takes from the launcher's tables.
TEST_F(CommandMenu, AboutIsNotepadsOwnAndLeavesAnotherProgramsTopmostWindowEnabled)
{
    auto other = Start(TargetAppPath());
    ASSERT_TRUE(other);
    const HWND topmost = WaitForWindow(other->id);
    SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Activate(window_);  // asked again where Wine hands the foreground to the desktop as it learns late of it
    ASSERT_EQ(GetForegroundWindow(), window_);

    LetFocusSettle();
    Chord({VK_MENU, VK_ADD});
    const auto menu = WaitForPopupMenu(notepad_->id, kMenuMs, false);
    ASSERT_TRUE(menu);
    PostKeys(menu->popup, {VK_END, VK_RETURN});
    const auto box = WaitForMessageBox(notepad_->id, kMenuMs);
    ASSERT_TRUE(box) << "no About box";
    EXPECT_EQ(box->owner, window_);
    EXPECT_TRUE(IsWindowEnabled(topmost));
    const std::string usage = UsageText(nullptr);
    EXPECT_EQ(box->text.substr(0, usage.find('\n')), usage.substr(0, usage.find('\n')));
    PressButton(*box, IDOK);
}

// Notepad moved onto the second monitor: the keypad hug and the menu's stretch use that monitor's
// work area, not the primary's.
TEST_F(CommandMenu, OnTheSecondMonitorHugAndStretchUseItsWorkArea)
{
    Monitor second{};
    if (!FindSecondMonitor(second)) GTEST_SKIP() << "one monitor";
    const RECT start = InWork(second, 60, 50, 500, 350);
    ASSERT_TRUE(SetWindowPos(window_, nullptr, start.left, start.top, 500, 350, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(WaitUntil([&] { return HasRect(window_, start); }, kMenuMs));

    LetFocusSettle();
    Chord({VK_MENU, VK_NUMPAD3});
    const RECT& work = second.work;
    EXPECT_TRUE(WaitUntil(
        [&] {
            return HasRect(window_, {work.right - 500, work.bottom - 350, work.right, work.bottom});
        },
        kMenuMs));

    LetFocusSettle();  // the hug moved the window
    Chord({VK_MENU, VK_ADD});
    ASSERT_TRUE(MenuOpens());
    for (WORD key : MaximizeBothMenuKeys()) Chord({key});
    EXPECT_TRUE(WaitUntil([&] { return HasRect(window_, work); }, kMenuMs));
}

}  // namespace
}  // namespace e2e
