// The window command menu as a person sees it, its marks, and what each configuration choice writes.
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "commands/Help.h"
#include "hook/Exports.h"
#include "menu/CommandMenu.h"
#include "menu/MenuTexts.h"
#include "settings/Handles.h"
#include "settings/Language.h"
#include "settings/ProcessSettings.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/MenuReader.h"
#include "tests/support/ModalBox.h"
#include "tests/support/Monitors.h"
#include "tests/support/ProcessState.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestWindows.h"
#include "tests/support/UserLanguage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr char kKey[] = "Software\\Pellamor\\Mirelunde";

// One line per item, indented per level: "[x]" checked, "(o)" radio checked, "( )" radio
// unchecked, "~" grayed, ">" a submenu, "-" a separator.
void Render(const std::vector<MenuItemView>& items, const std::string& indent, std::vector<std::string>& lines)
{
    for (const MenuItemView& item : items) {
        if (item.type & MFT_SEPARATOR) {
            lines.push_back(indent + "-");
            continue;
        }
        std::string line = indent + item.text;
        const bool checked = item.state & MFS_CHECKED;
        if (item.type & MFT_RADIOCHECK)
            line += checked ? " (o)" : " ( )";
        else if (checked)
            line += " [x]";
        if (item.state & MFS_GRAYED) line += " ~";
        if (item.hasSubmenu) line += " >";
        lines.push_back(line);
        Render(item.submenu, indent + "  ", lines);
    }
}

std::vector<std::string> Lines(const OpenMenu& menu)
{
    std::vector<std::string> lines;
    Render(menu.items, "", lines);
    return lines;
}

std::optional<DWORD> Setting(const char* name)
{
    DWORD value = 0;
    if (!ReadRegDword(HKEY_CURRENT_USER, kKey, name, value)) return std::nullopt;
    return value;
}

// A window of another thread of this process, its sent messages passing through the window-procedure
// hook; `prepare` runs on that thread once the window is made.
class OtherThreadWindow {
public:
    explicit OtherThreadWindow(std::function<void(HWND)> prepare = {})
        : thread_([this, prepare] {
              Hook hook(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, GetCurrentThreadId()));
              window_ = MakeWindow(WS_OVERLAPPEDWINDOW);
              if (prepare) prepare(window_);
              SetEvent(ready_.get());
              const HANDLE ending = end_.get();
              while (MsgWaitForMultipleObjects(1, &ending, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) PumpFor(0);
              DestroyWindow(window_);
          })
    {
        WaitForSingleObject(ready_.get(), INFINITE);
    }
    ~OtherThreadWindow()
    {
        SetEvent(end_.get());
        thread_.join();
    }
    HWND window() const { return window_; }

private:
    Handle ready_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Handle end_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND window_ = nullptr;
    std::thread thread_;  // last: it starts once the rest is made
};

class CommandMenu : public testing::Test {
protected:
    void SetUp() override
    {
        ResetProcessState();
        ForgetReceived();
        target_ = MakeWindow(WS_OVERLAPPEDWINDOW);
        ASSERT_NE(target_, nullptr);
        SetForegroundWindow(target_);
        SetCursorPos(700, 500);
    }
    void TearDown() override { DestroyWindow(target_); }

    std::optional<OpenMenu> Show(std::vector<const char*> path = {})
    {
        MenuAnswerer answerer(GetCurrentProcessId(), std::move(path));
        ShowCommandMenu(target_);
        return answerer.Result();
    }

    static void Set(const char* name, DWORD value) { ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, kKey, name, value)); }

    HWND target_ = nullptr;
};

TEST_F(CommandMenu, DefaultMenuReadsAsExpected)
{
    const auto menu = Show();
    ASSERT_TRUE(menu);
    const std::vector<std::string> expected = {
        "Shade window",
        "-",
        "Sink window",
        "On Top >",
        "  When shaded",
        "  Always",
        "  Always for this program",
        "-",
        "Maximize >",
        "  Vertically",
        "  Horizontally",
        "  Both",
        "  -",
        "  Un-maximize",
        "Hug >",
        "  Top",
        "  Right",
        "  Left",
        "  Bottom",
        "  -",
        "  Top Left",
        "  Top Right",
        "  Bottom Left",
        "  Bottom Right",
        "  -",
        "  Stretchy hugging",
        "-",
        "Process >",
        "  Info",
        "  -",
        "  Delete",
        "  Destroy",
        "-",
        "Configure >",
        "  Mouse >",
        "    Left button double-click >",
        "      Shade (o)",
        "      Maximize ( )",
        "    Shade on right button [x]",
        "    Sink on middle button",
        "    Two button mouse",
        "  Keyboard shortcuts [x]",
        "  System Menu",
        "  -",
        "  Run Mirelunde at login",
        "  Stop Mirelunde now",
        "  -",
        "  Leave this program alone",
        "  Settings ...",
        "-",
        "About Mirelunde ...",
    };
    EXPECT_EQ(Lines(*menu), expected);
    EXPECT_FALSE(WasReceived(target_, WM_INITMENUPOPUP));
    EXPECT_FALSE(WasReceived(target_, WM_COMMAND));
}

// In the language of the run (scripts/test runs this under a German and a Japanese Wine as well): the
// menu's rows, and the About box that its last row shows.
TEST_F(CommandMenu, RowsAndTheAboutBoxComeInTheUsersLanguage)
{
    ExpectTheLanguageOfTheRun();
    BoxAnswerer about(GetCurrentProcessId(), IDOK);
    const auto menu = Show({Text(texts::kAbout)});
    ASSERT_TRUE(menu);
    ASSERT_FALSE(menu->items.empty());
    EXPECT_EQ(menu->items.front().text, Text(texts::kShadeWindow));
    EXPECT_EQ(menu->items.back().text, Text(texts::kAbout));
    const auto box = about.Result();
    ASSERT_TRUE(box) << "no About box";
    const std::string usage = UsageText(nullptr);
    const std::string banner = usage.substr(0, usage.find('\n'));
    EXPECT_EQ(box->text.substr(0, banner.size()), banner);
}

TEST_F(CommandMenu, MarksFollowTheWindowAndTheSettings)
{
    windowTable.ToggleShade(target_);
    windowTable.AlwaysOnTop(target_, true);
    windowTable.OnTopWhenShaded(target_, true);
    Set(names::kInvertDoubleClicks, 1);
    Set(names::kHugStretch, 1);
    Set(names::kSinkOnMiddle, 1);
    Set(names::kRightClickShades, 0);
    Set(names::kEnableKeyboard, 0);
    processSettings.twoButtonMouse = true;
    processSettings.addToSystemMenu = false;
    // Written after the program started, as the launcher's icon or another program would.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, names::kRunKey, names::kRunEntry, "\"C:\\Tools\\mirelunde.exe\""));
    processSettings.exePath = "C:\\Apps\\Orbit.exe";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, "game.exe;orbit.exe"));

    const auto menu = Show();
    ASSERT_TRUE(menu);
    const auto lines = Lines(*menu);
    for (const char* line : {"Expose window", "  When shaded [x] ~", "  Always [x]", "  Always for this program [x]",
                             "  Stretchy hugging [x]", "      Shade ( )", "      Maximize (o)",
                             "    Shade on right button", "    Sink on middle button [x]", "    Two button mouse [x]",
                             "  Keyboard shortcuts", "  System Menu [x] ~", "  Run Mirelunde at login [x]"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(CommandMenu, WindowCommandsActOnTheTarget)
{
    Show({"Shade window"});
    EXPECT_TRUE(windowTable.IsShaded(target_));
    Show({"Expose window"});
    EXPECT_FALSE(windowTable.IsShaded(target_));
    Show({"On Top", "Always"});
    EXPECT_TRUE(IsTopmost(target_));
    Show({"On Top", "When shaded"});
    EXPECT_FALSE(windowTable.OnTopWhenShaded(target_, false)) << "grayed while Always is on";
}

// On each monitor, for a window of the process's DPI awareness and a per-monitor aware one, the menu
// opens at the pointer: its right edge there, its middle level with it.
TEST_F(CommandMenu, OpensAtThePointerOnEveryMonitor)
{
    for (const bool aware : {false, true}) {
        if (aware && !PerMonitorAwareWindows()) break;
        std::vector<Monitor> monitors;
        {
            const PerMonitorAware scope(aware);
            monitors = Monitors();
        }
        for (const Monitor& monitor : monitors) {
            SCOPED_TRACE(std::string(aware ? "per-monitor aware, " : "") + "monitor at " +
                         std::to_string(monitor.area.left) + "," + std::to_string(monitor.area.top));
            HWND window = nullptr;
            {
                const PerMonitorAware scope(aware);
                const RECT start = InWork(monitor, 200, 200, 300, 200);
                window = MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, start);
                SetCursorPos((start.left + start.right) / 2, start.top + 10);
            }
            POINT pointer{};
            GetCursorPos(&pointer);  // in the process's coordinates, as the menu's reader reads it
            MenuAnswerer answerer(GetCurrentProcessId(), {});
            ShowCommandMenu(window);
            const auto menu = answerer.Result();
            DestroyWindow(window);
            ASSERT_TRUE(menu);
            EXPECT_EQ(menu->rect.right, pointer.x);
            EXPECT_NEAR((menu->rect.top + menu->rect.bottom) / 2, pointer.y, 1);
        }
    }
}

TEST_F(CommandMenu, ConfigurationChoicesWriteTheirValues)
{
    struct Case {
        const char* label;
        std::vector<const char*> path;
        const char* name;
        std::optional<DWORD> before;
        DWORD after;
    } const cases[] = {
        {"stretchy hugging on", {"Hug", "Stretchy hugging"}, names::kHugStretch, std::nullopt, 1},
        {"stretchy hugging off", {"Hug", "Stretchy hugging"}, names::kHugStretch, 7, 0},
        {"absent right click counts as on",
         {"Configure", "Mouse", "Shade on right button"},
         names::kRightClickShades,
         std::nullopt,
         0},
        {"keyboard off", {"Configure", "Keyboard shortcuts"}, names::kEnableKeyboard, std::nullopt, 0},
        {"keyboard on", {"Configure", "Keyboard shortcuts"}, names::kEnableKeyboard, 0, 1},
        {"double-click maximizes",
         {"Configure", "Mouse", "Left button double-click", "Maximize"},
         names::kInvertDoubleClicks,
         std::nullopt,
         1},
        {"selected radio written again",
         {"Configure", "Mouse", "Left button double-click", "Shade"},
         names::kInvertDoubleClicks,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        testing_support::RegistrySandbox::Clear();
        if (c.before) Set(c.name, *c.before);
        Show(c.path);
        EXPECT_EQ(Setting(c.name), std::optional<DWORD>(c.after));
    }
}

TEST_F(CommandMenu, SinkOnMiddleButtonBringsTheSystemMenuItemAlong)
{
    Show({"Configure", "Mouse", "Sink on middle button"});
    EXPECT_EQ(Setting(names::kSinkOnMiddle), std::optional<DWORD>(1));
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::optional<DWORD>(1));
    EXPECT_TRUE(processSettings.addToSystemMenu);
    EXPECT_NE(windowTable.systemMenuItemId, 0u);

    testing_support::RegistrySandbox::Clear();
    Set(names::kSinkOnMiddle, 1);
    Show({"Configure", "Mouse", "Sink on middle button"});
    EXPECT_EQ(Setting(names::kSinkOnMiddle), std::optional<DWORD>(0));
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::nullopt) << "turning it off touches nothing else";
}

TEST_F(CommandMenu, TwoButtonMouseAddsTheItemOnlyWhenTheSystemMenuIsWanted)
{
    processSettings.addToSystemMenu = false;
    Show({"Configure", "Mouse", "Two button mouse"});
    EXPECT_TRUE(processSettings.twoButtonMouse);
    EXPECT_EQ(Setting(names::kTwoButtonMouse), std::optional<DWORD>(1));
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::nullopt);
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);

    Show({"Configure", "Mouse", "Two button mouse"});
    EXPECT_FALSE(processSettings.twoButtonMouse);
    processSettings.addToSystemMenu = true;
    Show({"Configure", "Mouse", "Two button mouse"});
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::optional<DWORD>(1));
    EXPECT_NE(windowTable.systemMenuItemId, 0u);
}

TEST_F(CommandMenu, SystemMenuOffRemovesTheItemAndTwoButtonMode)
{
    Show({"Configure", "System Menu"});
    EXPECT_TRUE(processSettings.addToSystemMenu);
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::optional<DWORD>(1));
    const UINT id = windowTable.systemMenuItemId;
    ASSERT_NE(id, 0u);

    Set(names::kTwoButtonMouse, 1);
    Show({"Configure", "System Menu"});
    EXPECT_FALSE(processSettings.addToSystemMenu);
    EXPECT_EQ(Setting(names::kAddToSystemMenu), std::optional<DWORD>(0));
    EXPECT_EQ(Setting(names::kTwoButtonMouse), std::optional<DWORD>(0));
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_EQ(GetMenuState(GetSystemMenu(target_, FALSE), id, MF_BYCOMMAND), static_cast<UINT>(-1));
}

// The user has the library leave this program alone: each thread puts its windows back, the program
// joins the list, and from then on its windows' gestures are the program's own.
TEST_F(CommandMenu, LeaveThisProgramAlonePutsEveryThreadsWindowsBackAndListsTheProgram)
{
    processSettings.exePath = "C:\\Apps\\Orbit.exe";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, "game.exe"));
    const DWORD thread = GetCurrentThreadId();
    Hook sent(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, thread));
    Hook queued(SetWindowsHookExA(WH_GETMESSAGE, BrackwenGetMsgProc, nullptr, thread));
    ASSERT_TRUE(sent && queued);

    int otherHeight = 0;
    const OtherThreadWindow other([&](HWND window) {
        otherHeight = Height(window);
        windowTable.ToggleShade(window);
    });
    const HWND otherWindow = other.window();

    const int height = Height(target_);
    windowTable.ToggleShade(target_);
    ASSERT_TRUE(windowTable.AddSystemMenuItem(target_));
    const UINT item = windowTable.systemMenuItemId;
    ASSERT_NE(Height(target_), height);
    Show({"Configure", "Leave this program alone"});

    EXPECT_FALSE(processSettings.hooksActive);
    char list[MAX_PATH] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, list, sizeof list);
    EXPECT_STREQ(list, "game.exe;Orbit.exe");
    EXPECT_EQ(Height(target_), height);
    EXPECT_EQ(windowTable.systemMenuItemId, 0u);
    EXPECT_EQ(GetMenuState(GetSystemMenu(target_, FALSE), item, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_TRUE(PumpUntil([&] { return Height(otherWindow) == otherHeight; }, 5000)) << "another thread's window";

    ForgetReceived();
    PostMessageA(target_, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(700, 500));
    EXPECT_TRUE(PumpUntil([&] { return WasReceived(target_, WM_NCLBUTTONDBLCLK); }, 5000));
    EXPECT_FALSE(windowTable.IsShaded(target_));
}

// "Always for this program" puts the program on the list and every thread's windows on top at once;
// chosen again, it takes the program off and brings down the windows the list put there, not those on
// top by the user's own choice.
TEST_F(CommandMenu, AlwaysForThisProgramPinsAndUnpinsEveryThreadsWindowsAndTheList)
{
    processSettings.exePath = "C:\\Apps\\Orbit.exe";
    Hook sent(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(sent);
    const HWND pinnedByUser = MakeWindow(WS_OVERLAPPEDWINDOW);
    windowTable.AlwaysOnTop(pinnedByUser, true);
    const OtherThreadWindow other;
    const HWND otherWindow = other.window();

    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "pinned" : "unpinned");
        Show({"On Top", "Always for this program"});
        EXPECT_EQ(IsTopmost(target_), on);
        EXPECT_EQ(windowTable.AlwaysOnTop(target_, false), on) << "the menu's mark";
        EXPECT_TRUE(PumpUntil([&] { return IsTopmost(otherWindow) == on; }, 5000)) << "another thread's window";
        EXPECT_TRUE(IsTopmost(pinnedByUser));
        char list[MAX_PATH] = {};
        ReadRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, list, sizeof list);
        EXPECT_STREQ(list, on ? "Orbit.exe" : "");
    }
    DestroyWindow(pinnedByUser);
}

// A list the user wrote that cannot take the program stays as it is; the program is left alone
// until it ends, and the box says why it will not stay so.
TEST_F(CommandMenu, LeaveThisProgramAloneKeepsAListItCannotAddToAndSaysSo)
{
    processSettings.exePath = "C:\\Apps\\Orbit.exe";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, "game.exe;<any>"));
    BoxAnswerer answerer(GetCurrentProcessId(), IDOK);
    Show({"Configure", "Leave this program alone"});
    const auto box = answerer.Result();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_NE(box->text.find("\"Excluded programs\""), std::string::npos) << box->text;
    EXPECT_FALSE(processSettings.hooksActive);
    char list[MAX_PATH] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, list, sizeof list);
    EXPECT_STREQ(list, "game.exe;<any>");
}

TEST_F(CommandMenu, NestedMenuOnTheSameThreadShowsNothing)
{
    Hook hook(SetWindowsHookExA(WH_GETMESSAGE, BrackwenGetMsgProc, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(hook);
    windowTable.systemMenuItemId = 0xEFF0;
    int menusWhileNested = -1;
    std::thread answerer([&] {
        const auto menu = WaitForPopupMenu(GetCurrentProcessId(), 10000, false);
        if (!menu) return;
        PostMessageA(target_, WM_SYSCOMMAND, 0xEFF0, 0);  // the System Menu item's command
        Sleep(500);
        menusWhileNested = VisiblePopupMenus(GetCurrentProcessId());
        PostKeys(menu->popup, {VK_ESCAPE});
    });
    ShowCommandMenu(target_);
    answerer.join();
    EXPECT_EQ(menusWhileNested, 1);
    EXPECT_TRUE(WasReceived(target_, WM_SYSCOMMAND)) << "the window still gets its command";
    EXPECT_EQ(VisiblePopupMenus(GetCurrentProcessId()), 0);
}

}  // namespace
