// Stopping and starting the real launcher again and again while Wine's notepad runs: each stop
// leaves notepad as it was before the session's gestures, each start serves it again, and a stop
// while notepad shows the command menu leaves every program running; a program started under one
// launcher is served by the next with the settings that one was started with.
#include "actions/WindowTable.h"
#include "settings/SettingsNames.h"
#include "tests/e2e/Session.h"
#include "tests/support/Input.h"
#include "tests/support/MenuReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace e2e {
namespace {

constexpr DWORD kActionMs = 5000;
constexpr int kRounds = 3;

using StopRestart = LauncherSession;

TEST_F(StopRestart, EachStopPutsNotepadBackAndEachStartServesItAgain)
{
    WriteDword(names::kTwoButtonMouse, 0);
    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const HWND window = WaitForWindow(notepad->id);
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetWindowRect(window, &before);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    ASSERT_FALSE(IsTopmost(window));

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto launcher = StartLauncher();
        ASSERT_TRUE(launcher);
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, kActionMs));

        // Stretched over the work area, made topmost (On Top > Always), and rolled up.
        const auto choose = [&](const std::vector<WORD>& keys) {
            Chord({VK_MENU, VK_ADD});
            ASSERT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false).has_value());
            for (WORD key : keys) Chord({key});
        };
        choose(MaximizeBothMenuKeys());
        ASSERT_TRUE(WaitUntil([&] { return HasRect(window, WorkArea()); }, kActionMs));
        choose({VK_HOME, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
        ASSERT_TRUE(WaitUntil([&] { return IsTopmost(window); }, kActionMs));
        Click(CaptionPoint(window), Button::Left, 2);
        ASSERT_TRUE(WaitUntil([&] { return Height(window) == ShadedHeight(); }, kActionMs));

        // The last stop comes while the command menu is open: notepad is inside the message hook.
        const bool menuOpen = round == kRounds - 1;
        if (menuOpen) choose({});
        RequestStop();
        EXPECT_EQ(launcher->WaitForExit(kStopMs), 0);
        if (menuOpen) {
            Chord({VK_ESCAPE});
            EXPECT_TRUE(WaitUntil([&] { return VisiblePopupMenus(notepad->id) == 0; }, kActionMs));
        }
        EXPECT_TRUE(HasRect(window, before)) << "height " << Height(window);
        EXPECT_FALSE(IsTopmost(window));
        EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), style);

        // With the hooks gone, a double-click on the caption is notepad's own again.
        Click(CaptionPoint(window), Button::Left, 2);
        EXPECT_FALSE(WaitUntil([&] { return Height(window) == ShadedHeight(); }, 1000));
        if (IsZoomed(window)) ShowWindow(window, SW_RESTORE);  // notepad's own answer: maximize
        ASSERT_TRUE(WaitUntil([&] { return HasRect(window, before); }, kActionMs));
    }
}

// The library stays in notepad through the stop; the next launcher's hooks find it there, and it
// takes them as if it had just arrived: "-2" given to that launcher has the right button open the
// command menu instead of shading.
TEST_F(StopRestart, ProgramStartedUnderOneLauncherIsServedByTheNextWithItsSettings)
{
    WriteDword(names::kTwoButtonMouse, 0);
    auto first = StartLauncher();
    ASSERT_TRUE(first);
    auto notepad = Start(NotepadPath());
    ASSERT_TRUE(notepad);
    const HWND window = WaitForWindow(notepad->id);
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 40, 60, 600, 400, SWP_NOZORDER);
    const int height = Height(window);
    Activate(window);
    DoubleClickCaption(window);
    ASSERT_TRUE(HeightBecomes(window, ShadedHeight()));

    auto stop = Start(LauncherPath() + " -k");
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->WaitForExit(kStopMs), 0) << stop->Errors();
    EXPECT_EQ(first->WaitForExit(kStopMs), 0);
    ASSERT_TRUE(HeightBecomes(window, height));

    auto second = Start(LauncherPath() + " -2");
    ASSERT_TRUE(second);
    ASSERT_TRUE(
        WaitUntil([] { return ReadDword(names::kHWndHook, 0) != 0 && ReadDword(names::kHHook, 0) != 0; }, kStartMs));
    ASSERT_TRUE(WaitUntil([&] { return second->Errors().find(HooksInstalled()) != std::string::npos; }, kStartMs));
    Activate(window);
    Click(CaptionPoint(window), Button::Right);
    EXPECT_TRUE(WaitForPopupMenu(notepad->id, kActionMs, false)) << "height " << Height(window);
    Chord({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return VisiblePopupMenus(notepad->id) == 0; }, kActionMs));
    EXPECT_EQ(Height(window), height);
    DoubleClickCaption(window);
    EXPECT_TRUE(HeightBecomes(window, ShadedHeight()));
    // Stopped, not ended outright: Wine 8 keeps the hooks of a launcher that was terminated.
    RequestStop();
    EXPECT_EQ(second->WaitForExit(kStopMs), 0);
}

}  // namespace
}  // namespace e2e
