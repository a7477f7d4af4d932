// Shading and the window actions in other processes, driven by real mouse and keyboard input
// while the real launcher's hooks are installed.
#include "actions/WindowTable.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "settings/Text.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

// Wine's own minesweeper, of the test's architecture as its notepad is.
std::string MinesweeperPath()
{
    const std::string notepad = NotepadPath();
    return notepad.substr(0, notepad.find_last_of('\\')) + "\\winemine.exe";
}

class Shading : public LauncherSession {
protected:
    void SetUp() override
    {
        LauncherSession::SetUp();
        launcher_ = StartLauncher();
        ASSERT_TRUE(launcher_);
    }

    void TearDown() override
    {
        RequestStop();
        if (launcher_) {
            EXPECT_EQ(launcher_->WaitForExit(kStopMs), 0);
        }
    }

    // Starts a program and waits for its window, in front and active.
    std::unique_ptr<Process> Open(const std::string& commandLine, HWND& window)
    {
        auto process = Start(commandLine);
        EXPECT_TRUE(process);
        if (!process) return nullptr;
        window = WaitForWindow(process->id);
        EXPECT_NE(window, nullptr);
        if (window) Activate(window);
        return process;
    }

    // Notepad in front, and its edit control.
    std::unique_ptr<Process> OpenNotepad(HWND& pad, HWND& edit)
    {
        auto notepad = Open(NotepadPath(), pad);
        edit = pad ? FindWindowExA(pad, nullptr, "Edit", nullptr) : nullptr;
        EXPECT_NE(edit, nullptr);
        return notepad;
    }

    // Notepad on the left and the target program on the right, side by side on the primary monitor.
    struct TwoPrograms {
        std::unique_ptr<Process> notepad, target;
        HWND pad = nullptr, other = nullptr;
    };
    TwoPrograms OpenNotepadAndTarget()
    {
        TwoPrograms two;
        // Notepad, which the tests turn to first, opened last: under Wine a program given the
        // foreground just after another program's window took the X server's focus can hand the
        // foreground to the desktop as it learns of that late.
        two.target = Open(TargetAppPath(), two.other);
        two.notepad = Open(NotepadPath(), two.pad);
        if (two.pad) SetWindowPos(two.pad, nullptr, 20, 60, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        if (two.other) SetWindowPos(two.other, nullptr, 660, 60, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        return two;
    }

    // Notepad on the list of programs kept on top, and minesweeper beside it.
    TwoPrograms OpenNotepadKeptOnTopAndMinesweeper()
    {
        EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, "notepad.exe"));
        TwoPrograms two;
        two.notepad = Open(NotepadPath(), two.pad);
        two.target = Open(MinesweeperPath(), two.other);
        if (two.pad) SetWindowPos(two.pad, nullptr, 20, 60, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        if (two.other) SetWindowPos(two.other, nullptr, 660, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return two;
    }

    // Opens the active window's System Menu from the keyboard and chooses its last item.
    static bool ChooseLastSystemMenuItem(DWORD processId)
    {
        Chord({VK_MENU, VK_SPACE});
        if (!WaitForPopupMenu(processId, kActionMs, false)) return false;
        Chord({VK_UP});
        Chord({VK_RETURN});
        return true;
    }

    // Clicks into a window as a person would to work in it, and waits until it is in front and stays
    // there. Under Wine a program that reads late that another window had taken the focus gives the
    // foreground to the desktop even after the click, at times before the window is seen in front; a
    // person would click once more.
    static bool ClickInto(HWND window, HWND part)
    {
        RECT rect{};
        GetWindowRect(part, &rect);
        for (int attempt = 0; attempt < 3; ++attempt) {
            Click({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, Button::Left);
            if (!WaitUntil([&] { return GetForegroundWindow() == window; }, kActionMs)) continue;
            LetFocusSettle();
            if (GetForegroundWindow() == window) return true;
        }
        return false;
    }

    std::unique_ptr<Process> launcher_;
};

TEST_F(Shading, CaptionDoubleClickRollsUpNotepadAndTheTargetAndBringsThemBack)
{
    for (const std::string& program : {NotepadPath(), TargetAppPath()}) {
        SCOPED_TRACE(program);
        HWND window = nullptr;
        auto process = Open(program, window);
        ASSERT_TRUE(process && window);
        const int height = Height(window);

        DoubleClickCaption(window);
        EXPECT_TRUE(HeightBecomes(window, ShadedHeight())) << "height " << Height(window);
        Sleep(GetDoubleClickTime());  // two double-clicks in a row would make a triple click
        DoubleClickCaption(window);
        EXPECT_TRUE(HeightBecomes(window, height)) << "height " << Height(window);
    }
}

TEST_F(Shading, MaximizedWindowIsRestoredForShadingAndMaximizedAgain)
{
    HWND window = nullptr;
    auto target = Open(TargetAppPath() + " maximized", window);
    ASSERT_TRUE(target && window);
    ASSERT_TRUE(IsZoomed(window));

    DoubleClickCaption(window);
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight()));
    EXPECT_FALSE(IsZoomed(window));
    Sleep(GetDoubleClickTime());
    DoubleClickCaption(window);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(window) != FALSE; }, kActionMs));
}

TEST_F(Shading, AltKeypadZeroShadesTheFocusedWindow)
{
    HWND window = nullptr;
    auto notepad = Open(NotepadPath(), window);
    ASSERT_TRUE(notepad && window);
    const int height = Height(window);
    Chord({VK_MENU, VK_NUMPAD0});
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight()));
    Chord({VK_MENU, VK_NUMPAD0});
    EXPECT_TRUE(HeightBecomes(window, height));
}

TEST_F(Shading, ShadedWindowIsClosedAtItsFullHeight)
{
    for (const char* how : {"Alt+F4", "close button"}) {
        SCOPED_TRACE(how);
        HWND window = nullptr;
        auto target = Open(TargetAppPath(), window);
        ASSERT_TRUE(target && window);
        const int height = Height(window);
        DoubleClickCaption(window);
        ASSERT_TRUE(HeightBecomes(window, ShadedHeight()));

        Sleep(GetDoubleClickTime());
        if (std::string(how) == "Alt+F4") {
            Chord({VK_MENU, VK_F4});
        } else {
            Click(CloseButtonPoint(window), Button::Left);
        }
        EXPECT_EQ(target->WaitForExit(kStopMs), 0);
        EXPECT_NE(target->Errors().find("close " + std::to_string(height)), std::string::npos) << target->Errors();
    }
}

TEST_F(Shading, MiddleClickSinksTheTopWindowAndActivatesTheOneBelow)
{
    WriteDword(names::kSinkOnMiddle, 1);
    WriteDword(names::kTwoButtonMouse, 0);  // read when the library arrives in each program
    HWND lower = nullptr, upper = nullptr;
    auto first = Open(TargetAppPath(), lower);
    auto second = Open(TargetAppPath(), upper);
    ASSERT_TRUE(first && second && lower && upper);
    SetWindowPos(upper, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Activate(upper);

    Click(CaptionPoint(upper), Button::Middle);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == lower; }, kActionMs + GetDoubleClickTime()));
    bool upperBelowLower = false;
    for (HWND next = GetWindow(lower, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        upperBelowLower = upperBelowLower || next == upper;
    EXPECT_TRUE(upperBelowLower);
}

TEST_F(Shading, AltReleasedInAnotherProgramLeavesNoShortcutBehind)
{
    const auto [notepad, target, pad, other] = OpenNotepadAndTarget();
    ASSERT_TRUE(notepad && target && pad && other);
    const HWND edit = FindWindowExA(pad, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);

    ASSERT_TRUE(ClickInto(pad, edit));
    PressKey(VK_MENU);
    ASSERT_TRUE(ClickInto(other, other));
    ReleaseKey(VK_MENU);
    ASSERT_TRUE(ClickInto(pad, edit));

    RECT before{};
    GetWindowRect(pad, &before);
    Chord({VK_NUMPAD3});
    Chord({'X'});
    ASSERT_TRUE(Typed(edit, 'x'));
    EXPECT_TRUE(HasRect(pad, before)) << "keypad 3 without Alt hugged";

    const RECT work = WorkArea();
    const RECT hugged{work.right - 600, work.bottom - 400, work.right, work.bottom};
    Chord({VK_MENU, VK_NUMPAD3});
    EXPECT_TRUE(WaitUntil([&] { return HasRect(pad, hugged); }, kActionMs)) << "Alt+keypad 3 no longer hugs";
}

// Typing is the program's: the digits of an Alt code move and shade nothing, and F10 still puts
// notepad into menu mode.
TEST_F(Shading, AltCodeAndF10StayNotepads)
{
    HWND pad = nullptr, edit = nullptr;
    auto notepad = OpenNotepad(pad, edit);
    ASSERT_TRUE(notepad && pad && edit);
    RECT before{};
    GetWindowRect(pad, &before);

    LetFocusSettle();
    PressKey(VK_MENU);
    for (WORD digit : {VK_NUMPAD0, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD3}) Chord({digit});
    ReleaseKey(VK_MENU);
    Chord({'X'});
    ASSERT_TRUE(Typed(edit, 'x'));
    RECT after{};
    GetWindowRect(pad, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "the Alt code moved or shaded notepad: " << after.left << ","
                                            << after.top << "," << after.right << "," << after.bottom;

    Chord({VK_F10});
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(pad, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE); }, kActionMs))
        << "F10 did not reach notepad's menu bar";
    Chord({VK_ESCAPE});
}

// A character typed with AltGr (Ctrl with the right Alt) is typing: the program gets its release.
TEST_F(Shading, AltGrCharacterReleaseReachesTheProgram)
{
    HWND window = nullptr;
    auto target = Open(TargetAppPath(), window);
    ASSERT_TRUE(target);
    Chord({VK_LCONTROL, VK_RMENU, 'Q'});
    EXPECT_TRUE(WaitUntil([&] { return target->Errors().find("keyup 81\n") != std::string::npos; }, kActionMs))
        << target->Errors();
}

// In two-button mode, the default, the right press on a caption opens the command menu; the
// program must not be left waiting for a release that the menu took.
TEST_F(Shading, RightClickCommandMenuLeavesTheProgramFreeForKeysAndClicks)
{
    HWND pad = nullptr, edit = nullptr;
    auto notepad = OpenNotepad(pad, edit);
    ASSERT_TRUE(notepad && pad && edit);
    const int height = Height(pad);
    const DWORD thread = GetWindowThreadProcessId(pad, nullptr);

    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "Shade window chosen" : "menu dismissed");
        Click(CaptionPoint(pad), Button::Right);
        ASSERT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false)) << "no command menu";
        if (choose) {
            Chord({VK_DOWN});
            Chord({VK_RETURN});
        } else {
            Chord({VK_ESCAPE});
        }
        ASSERT_TRUE(WaitUntil([&] { return VisiblePopupMenus(notepad->id) == 0; }, kActionMs));

        if (choose) {
            ASSERT_TRUE(HeightBecomes(pad, ShadedHeight()));
            Chord({VK_MENU, VK_NUMPAD0});
            EXPECT_TRUE(HeightBecomes(pad, height)) << "the keypad shortcut did not reach notepad";
        } else {
            Chord({'Q'});
            EXPECT_TRUE(Typed(edit, 'q')) << "the typed key did not reach notepad";
        }
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(thread, &info));
        EXPECT_EQ(info.hwndCapture, nullptr) << "notepad still holds the mouse";
        EXPECT_EQ(VisiblePopupMenus(notepad->id), 0) << "a System Menu came up late";
        Sleep(GetDoubleClickTime());  // the next right click is not a double-click
    }
}

// A program on the user's list: its caption double-click is its own (it maximizes) and the last
// item of its System Menu is not the library's, while notepad beside it shades and has the item.
TEST_F(Shading, ExcludedProgramIsLeftAloneWhileAnotherShades)
{
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, "game.exe; TARGET_APP.EXE"));
    WriteDword(names::kTwoButtonMouse, 0);  // so the library puts its item into System Menus
    const auto [notepad, target, pad, excluded] = OpenNotepadAndTarget();
    ASSERT_TRUE(notepad && target && pad && excluded);

    Activate(pad);
    DoubleClickCaption(pad);
    EXPECT_TRUE(HeightBecomes(pad, ShadedHeight())) << "height " << Height(pad);
    ASSERT_TRUE(ChooseLastSystemMenuItem(notepad->id)) << "no System Menu";
    Sleep(300);  // the System Menu closes and the command menu opens in its place
    EXPECT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false)) << "notepad's System Menu has no item of ours";
    Chord({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return VisiblePopupMenus(notepad->id) == 0; }, kActionMs));

    Activate(excluded);
    DoubleClickCaption(excluded);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(excluded) != FALSE; }, kActionMs)) << "height " << Height(excluded);
    // The system's own last item: Close on Windows, "About Wine" under Wine.
    ASSERT_TRUE(ChooseLastSystemMenuItem(target->id)) << "no System Menu";
    EXPECT_TRUE(WaitUntil([&] { return VisiblePopupMenus(target->id) == 0; }, kActionMs));
    Sleep(1000);  // as long as notepad's command menu took, and more
    EXPECT_EQ(VisiblePopupMenus(target->id), 0) << "the library's item opened the command menu";
}

// The user has the library leave notepad alone: its shaded window comes back, and its caption
// double-click then maximizes it as notepad itself does, while another program still shades.
TEST_F(Shading, LeaveThisProgramAloneGivesNotepadBackItsWindowAndItsCaption)
{
    const auto [notepad, target, pad, other] = OpenNotepadAndTarget();
    ASSERT_TRUE(notepad && target && pad && other);
    Activate(pad);
    DoubleClickCaption(pad);
    ASSERT_TRUE(HeightBecomes(pad, ShadedHeight()));

    Chord({VK_MENU, VK_ADD});
    ASSERT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false)) << "no command menu";
    for (WORD key : LeaveAloneMenuKeys()) Chord({key});
    EXPECT_TRUE(HeightBecomes(pad, 400)) << "height " << Height(pad);
    char list[MAX_PATH] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, list, sizeof list);
    EXPECT_STREQ(list, "notepad.exe");

    // The other program first: notepad maximized would cover its caption.
    Activate(other);
    DoubleClickCaption(other);
    EXPECT_TRUE(HeightBecomes(other, ShadedHeight())) << "height " << Height(other);

    Activate(pad);
    Sleep(GetDoubleClickTime());
    DoubleClickCaption(pad);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(pad) != FALSE; }, kActionMs)) << "height " << Height(pad);
}

// Under an English code page, a copy of notepad named in Cyrillic, named on a list in other case:
// on the list of programs left alone its caption double-click is its own, on the list of programs
// kept on top it starts on top.
TEST_F(Shading, ProgramNamedInAnotherScriptIsFoundOnEachList)
{
    const std::string copy = testing_support::TempDirectory() + "\\Блокнот.exe";
    ASSERT_TRUE(CopyFileW(Wide(NotepadPath()).c_str(), Wide(copy).c_str(), FALSE));
    for (const char* list : {names::kExcludedPrograms, names::kProgramsKeptOnTop}) {
        SCOPED_TRACE(list);
        const bool excluded = list == names::kExcludedPrograms;
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kExcludedPrograms, excluded ? "БЛОКНОТ.EXE" : ""));
        ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, excluded ? "" : "блокнот.exe"));
        HWND pad = nullptr;
        auto notepad = Open("\"" + copy + "\"", pad);
        ASSERT_TRUE(notepad && pad);
        if (excluded) {
            DoubleClickCaption(pad);
            EXPECT_TRUE(WaitUntil([&] { return IsZoomed(pad) != FALSE; }, kActionMs)) << "height " << Height(pad);
        } else {
            EXPECT_TRUE(IsTopmost(pad));
        }
    }
}

bool IsAbove(HWND upper, HWND lower)
{
    for (HWND window = GetWindow(lower, GW_HWNDPREV); window; window = GetWindow(window, GW_HWNDPREV))
        if (window == upper) return true;
    return false;
}

// `mirelunde.exe -k`, as a user stops it from a console: every window gets its state from before.
void Kill()
{
    auto kill = Start(LauncherPath() + " -k");
    ASSERT_TRUE(kill);
    EXPECT_EQ(kill->WaitForExit(kStopMs), 0) << kill->Errors();
}

// Notepad on the list of programs kept on top starts on top, its About box above it, while
// minesweeper beside it does not; the stop takes notepad off the top.
TEST_F(Shading, ProgramKeptOnTopStartsOnTopWithItsDialogAboveItUntilTheStop)
{
    const auto [notepad, minesweeper, pad, mines] = OpenNotepadKeptOnTopAndMinesweeper();
    ASSERT_TRUE(notepad && minesweeper && pad && mines);
    EXPECT_TRUE(IsTopmost(pad));
    EXPECT_FALSE(IsTopmost(mines));

    ASSERT_TRUE(ClickInto(pad, FindWindowExA(pad, nullptr, "Edit", nullptr)));
    for (const WORD key : {WORD{VK_F10}, WORD{'H'}, WORD{'A'}}) Chord({key});  // Help > About Notepad
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = GetLastActivePopup(pad)) != pad; }, kActionMs));
    EXPECT_TRUE(IsAbove(about, pad));
    Chord({VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kActionMs));

    Kill();
    EXPECT_FALSE(IsTopmost(pad));
    EXPECT_FALSE(IsTopmost(mines));
}

// Started maximized, as `start /max` has it, notepad kept on top is on top too: a window that opens
// maximized gets no WM_SHOWWINDOW.
TEST_F(Shading, ProgramKeptOnTopStartedMaximizedIsOnTop)
{
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, "notepad.exe"));
    auto notepad = Start(NotepadPath(), SW_SHOWMAXIMIZED);
    ASSERT_TRUE(notepad);
    const HWND pad = WaitForWindow(notepad->id);
    ASSERT_NE(pad, nullptr);
    EXPECT_TRUE(IsZoomed(pad)) << "notepad did not open maximized";
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(pad); }, kActionMs));
}

// "Always for this program" in notepad's menu takes notepad off the list and off the top at once; in
// minesweeper's it puts minesweeper on both, until the stop.
TEST_F(Shading, AlwaysForThisProgramUnpinsNotepadAndPinsMinesweeperAtOnce)
{
    const auto [notepad, minesweeper, pad, mines] = OpenNotepadKeptOnTopAndMinesweeper();
    ASSERT_TRUE(notepad && minesweeper && pad && mines);
    ASSERT_TRUE(IsTopmost(pad));

    for (const auto& [process, window] : {std::pair{notepad.get(), pad}, std::pair{minesweeper.get(), mines}}) {
        const bool wasTopmost = IsTopmost(window);
        Activate(window);
        Click(CaptionPoint(window), Button::Right);
        ASSERT_TRUE(WaitForPopupMenu(process->id, kStartMs, false)) << "no command menu in " << process->id;
        for (WORD key : {VK_HOME, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}) Chord({key});
        EXPECT_TRUE(WaitUntil([&] { return IsTopmost(window) != wasTopmost; }, kActionMs));
    }
    char list[MAX_PATH] = {};
    ReadRegString(HKEY_CURRENT_USER, kKey, names::kProgramsKeptOnTop, list, sizeof list);
    EXPECT_STREQ(list, "winemine.exe");

    Kill();
    EXPECT_FALSE(IsTopmost(mines));
}

TEST_F(Shading, AltScrollLockTogglesTopmost)
{
    HWND window = nullptr;
    auto target = Open(TargetAppPath(), window);
    ASSERT_TRUE(target && window);
    Chord({VK_MENU, VK_SCROLL});
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(window); }, kActionMs));
    Chord({VK_MENU, VK_SCROLL});
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(window); }, kActionMs));
}

}  // namespace
}  // namespace e2e
