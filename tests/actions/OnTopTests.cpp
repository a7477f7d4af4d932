// The two topmost choices and raising or sinking in the real stacking order.
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WindowTest.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

class OnTop : public WindowTest {
protected:
    HWND Frame(DWORD exStyle = 0, HWND parent = nullptr, DWORD style = WS_OVERLAPPEDWINDOW)
    {
        return Keep(MakeWindow(style, exStyle, parent));
    }
    static void BringToTop(HWND window)
    {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Whether `lower` comes after `upper` among their siblings.
    static bool IsBelow(HWND lower, HWND upper)
    {
        for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
            if (next == lower) return true;
        return false;
    }
};

TEST_F(OnTop, TopmostWindowKeepsItsStateThroughShading)
{
    const HWND window = Frame(WS_EX_TOPMOST);
    const auto record = windowTable.RecordFor(window);
    EXPECT_TRUE(record->alwaysOnTop);
    EXPECT_TRUE(record->wasTopmost);
    windowTable.ToggleShade(window);
    windowTable.ToggleShade(window);
    EXPECT_TRUE(IsTopmost(window));
}

TEST_F(OnTop, WhenShadedMakesTopmostOnlyWhileShaded)
{
    const HWND window = Frame();
    EXPECT_TRUE(windowTable.OnTopWhenShaded(window, true));
    EXPECT_FALSE(IsTopmost(window)) << "nothing changes until the next shading";
    windowTable.ToggleShade(window);
    EXPECT_TRUE(IsTopmost(window));
    windowTable.ToggleShade(window);
    EXPECT_FALSE(IsTopmost(window));
}

TEST_F(OnTop, WhenShadedOnAShadedWindowActsAtOnce)
{
    const HWND window = Frame();
    windowTable.ToggleShade(window);
    ASSERT_FALSE(IsTopmost(window));
    windowTable.OnTopWhenShaded(window, true);
    EXPECT_TRUE(IsTopmost(window));
}

TEST_F(OnTop, AlwaysTogglesTopmost)
{
    const HWND window = Frame();
    EXPECT_TRUE(windowTable.AlwaysOnTop(window, true));
    EXPECT_TRUE(IsTopmost(window));
    EXPECT_FALSE(windowTable.AlwaysOnTop(window, true));
    EXPECT_FALSE(IsTopmost(window));
    EXPECT_FALSE(windowTable.AlwaysOnTop(window, false)) << "a query changes nothing";
}

// Making a window with an owned window topmost lifts that one too (on some systems that one
// alone), so taking the owner down, or the restore when the library leaves, takes it down too.
TEST_F(OnTop, OwnedWindowsComeDownWithTheirOwner)
{
    const HWND owner = Frame();
    const HWND popup = Frame(0, owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    windowTable.AlwaysOnTop(owner, true);
    EXPECT_TRUE(IsTopmost(owner) || IsTopmost(popup));
    windowTable.AlwaysOnTop(owner, true);
    EXPECT_FALSE(IsTopmost(owner));
    EXPECT_FALSE(IsTopmost(popup));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);

    windowTable.AlwaysOnTop(owner, true);
    windowTable.RestoreAll();
    EXPECT_FALSE(IsTopmost(owner));
    EXPECT_FALSE(IsTopmost(popup));
}

TEST_F(OnTop, ClearingAlwaysOnAShadedWhenShadedWindowKeepsItTopmostUntilUnshaded)
{
    const HWND window = Frame();
    windowTable.AlwaysOnTop(window, true);
    windowTable.OnTopWhenShaded(window, true);
    windowTable.ToggleShade(window);
    EXPECT_FALSE(windowTable.AlwaysOnTop(window, true));
    EXPECT_TRUE(IsTopmost(window));
    windowTable.ToggleShade(window);
    EXPECT_FALSE(IsTopmost(window));
}

TEST_F(OnTop, TopWindowSinksAndHandsOverTheForeground)
{
    const HWND other = Frame();
    const HWND top = Frame();
    const HWND topmost = Frame(WS_EX_TOPMOST);
    const HWND tool = Frame(WS_EX_TOOLWINDOW);
    const HWND hidden = Frame();
    ShowWindow(hidden, SW_HIDE);
    BringToTop(top);
    BringToTop(tool);
    BringToTop(hidden);
    ASSERT_EQ(FindTopNormalWindow(nullptr), top) << "topmost, tool and hidden windows are skipped";
    (void)topmost;

    windowTable.RaiseOrSink(top, other);
    EXPECT_TRUE(IsBelow(top, other));
    EXPECT_EQ(GetWindow(top, GW_HWNDNEXT), nullptr) << "sent to the bottom";
    EXPECT_EQ(GetForegroundWindow(), other);

    windowTable.RaiseOrSink(top, other);
    EXPECT_EQ(FindTopNormalWindow(nullptr), top) << "a window below is raised";
}

TEST_F(OnTop, ChildOfTheTopWindowCountsAsOnTopAndSinksAmongItsSiblings)
{
    const HWND frame = Frame();
    const HWND first = Frame(0, frame, WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    const HWND second = Frame(0, frame, WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
    BringToTop(frame);
    BringToTop(second);
    ASSERT_TRUE(IsDescendantOf(second, frame));
    windowTable.RaiseOrSink(second, nullptr);
    EXPECT_TRUE(IsBelow(second, first));
}

// With no ordinary window on the desktop a topmost window counts as on top and is sent to the
// bottom, where it stops being topmost; the put-back gives it its topmost state again.
TEST_F(OnTop, SunkTopmostWindowIsTopmostAgainAfterThePutBack)
{
    const HWND window = Frame(WS_EX_TOPMOST);
    ASSERT_EQ(FindTopNormalWindow(nullptr), nullptr) << "the desktop holds an ordinary window";
    windowTable.RaiseOrSink(window, nullptr);
    ASSERT_FALSE(IsTopmost(window));
    EXPECT_FALSE(windowTable.AlwaysOnTop(window, false)) << "the menu's mark shows the window as it is";
    windowTable.RestoreThreadWindows();
    EXPECT_TRUE(IsTopmost(window));
}

}  // namespace
