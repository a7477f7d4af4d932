// Hugging real windows against the real work area: moving, stretching, Ctrl, and raising.
#include "actions/Hug.h"
#include "actions/WindowSearch.h"
#include "actions/WindowTable.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/Input.h"
#include "tests/support/Monitors.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WindowTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

::testing::AssertionResult Is(const RECT& actual, const RECT& expected)
{
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << "} instead of {" << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom << "}";
}

class Hugging : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &w_, 0);
    }
    HWND Window(RECT rect, DWORD style = WS_OVERLAPPEDWINDOW, HWND owner = nullptr)
    {
        return Keep(MakeWindow(style, 0, owner, rect));
    }
    static void SetStretch(DWORD value)
    {
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, "Software\\Pellamor\\Mirelunde", names::kHugStretch, value));
    }

    RECT w_{};
};

// Each row on a window inside the work area of each monitor, and on one lying on two monitors, which
// is hugged to the work area of the monitor that holds the larger share of it; for a window of the
// process's DPI awareness and a per-monitor aware one, each in its own coordinates.
TEST_F(Hugging, EveryCommandMovesOrStretchesOntoTheEdgesOfItsMonitor)
{
    using Expected = std::function<RECT(const RECT& w, const RECT& s)>;  // work area, start
    struct Case {
        const char* label;
        HugDirection hug;
        bool stretchSetting;
        bool control;
        Expected expected;
    } const cases[] = {
        {"top", HugDirection::Top, false, false,
         [](const RECT& w, const RECT& s) {
             return RECT{s.left, w.top, s.right, w.top + 300};
         }},
        {"right", HugDirection::Right, false, false,
         [](const RECT& w, const RECT& s) {
             return RECT{w.right - 400, s.top, w.right, s.bottom};
         }},
        {"left", HugDirection::Left, false, false,
         [](const RECT& w, const RECT& s) {
             return RECT{w.left, s.top, w.left + 400, s.bottom};
         }},
        {"bottom", HugDirection::Bottom, false, false,
         [](const RECT& w, const RECT& s) {
             return RECT{s.left, w.bottom - 300, s.right, w.bottom};
         }},
        {"top left", HugDirection::TopLeft, false, false,
         [](const RECT& w, const RECT&) {
             return RECT{w.left, w.top, w.left + 400, w.top + 300};
         }},
        {"top right", HugDirection::TopRight, false, false,
         [](const RECT& w, const RECT&) {
             return RECT{w.right - 400, w.top, w.right, w.top + 300};
         }},
        {"bottom left", HugDirection::BottomLeft, false, false,
         [](const RECT& w, const RECT&) {
             return RECT{w.left, w.bottom - 300, w.left + 400, w.bottom};
         }},
        {"bottom right", HugDirection::BottomRight, false, false,
         [](const RECT& w, const RECT&) {
             return RECT{w.right - 400, w.bottom - 300, w.right, w.bottom};
         }},
        {"stretchy right", HugDirection::Right, true, false,
         [](const RECT& w, const RECT& s) {
             return RECT{s.left, s.top, w.right, s.bottom};
         }},
        {"stretchy top left", HugDirection::TopLeft, true, false,
         [](const RECT& w, const RECT& s) {
             return RECT{w.left, w.top, s.right, s.bottom};
         }},
        {"stretchy right with Ctrl moves", HugDirection::Right, true, true,
         [](const RECT& w, const RECT& s) {
             return RECT{w.right - 400, s.top, w.right, s.bottom};
         }},
        {"bottom right with Ctrl stretches", HugDirection::BottomRight, false, true,
         [](const RECT& w, const RECT& s) {
             return RECT{s.left, s.top, w.right, w.bottom};
         }},
    };
    for (const Placement& place : Placements(400, 300)) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(place.label) + ", " + c.label);
            SetStretch(c.stretchSetting ? 1 : 0);
            windowTable.controlHeld = c.control;
            SetKeyState(VK_CONTROL, c.control);
            HWND window = nullptr;
            {
                const PerMonitorAware scope(place.aware);
                window = Window(place.start);
                ASSERT_TRUE(Is(WindowRect(window), place.start));
            }
            HugWindow(window, c.hug);
            const PerMonitorAware scope(place.aware);
            EXPECT_TRUE(Is(WindowRect(window), c.expected(place.work, place.start)));
        }
    }
}

TEST_F(Hugging, FlushWindowIsLeftAloneAndNotRaised)
{
    const HWND flush = Window({w_.left, 200, w_.left + 400, 500});
    const HWND above = Window({w_.left + 100, 250, w_.left + 500, 550});
    SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HugWindow(flush, HugDirection::Left);
    EXPECT_TRUE(Is(WindowRect(flush), {w_.left, 200, w_.left + 400, 500}));
    EXPECT_EQ(FindTopNormalWindow(nullptr), above);
}

TEST_F(Hugging, HugRaisesWithoutActivating)
{
    const HWND hugged = Window({w_.left, w_.top + 50, w_.left + 400, w_.top + 350});
    const HWND active = Window({300, 200, 700, 500});
    SetForegroundWindow(active);
    HugWindow(hugged, HugDirection::TopLeft);
    EXPECT_TRUE(Is(WindowRect(hugged), {w_.left, w_.top, w_.left + 400, w_.top + 300})) << "moved up only";
    EXPECT_EQ(FindTopNormalWindow(nullptr), hugged);
    EXPECT_EQ(GetForegroundWindow(), active);
}

TEST_F(Hugging, NothingIsClamped)
{
    // The system caps a new window a little beyond the screen: still wider than the work area.
    const HWND large = Window({w_.left + 50, 100, w_.left + 50 + (w_.right - w_.left) + 200, 400});
    const LONG wide = WindowRect(large).right - WindowRect(large).left;
    ASSERT_GT(wide, w_.right - w_.left);
    HugWindow(large, HugDirection::Left);
    EXPECT_TRUE(Is(WindowRect(large), {w_.left, 100, w_.left + wide, 400})) << "reaches past the right edge";

    SetStretch(1);
    HugWindow(large, HugDirection::Right);
    EXPECT_TRUE(Is(WindowRect(large), {w_.left, 100, w_.right, 400})) << "stretching can shrink";

    SetStretch(0);
    const HWND outside = Window({w_.left - 150, w_.bottom - 100, w_.left + 250, w_.bottom + 200});
    HugWindow(outside, HugDirection::BottomLeft);
    EXPECT_TRUE(Is(WindowRect(outside), {w_.left, w_.bottom - 300, w_.left + 400, w_.bottom}));
}

TEST_F(Hugging, MaximizedWindowIsNotHugged)
{
    const HWND window = Window({300, 200, 700, 500}, WS_OVERLAPPEDWINDOW | WS_MAXIMIZE);
    const RECT before = WindowRect(window);
    HugWindow(window, HugDirection::BottomRight);
    EXPECT_TRUE(Is(WindowRect(window), before));
    EXPECT_TRUE(IsZoomed(window));
}

TEST_F(Hugging, ShortcutInADialogControlHugsTheMainWindow)
{
    const HWND main = Window({300, 200, 700, 500});
    const HWND dialog = Window({350, 250, 550, 400}, WS_POPUP | WS_CAPTION | WS_SYSMENU, main);
    const HWND edit = MakeControl("EDIT", dialog);
    HugFrame(edit, HugDirection::Right, false);
    EXPECT_TRUE(Is(WindowRect(main), {w_.right - 400, 200, w_.right, 500}));
    EXPECT_TRUE(Is(WindowRect(dialog), {350, 250, 550, 400}));
}

}  // namespace
