// Stretching real windows over the real work area, undoing it, and the restore at detach.
#include "actions/Maximize.h"
#include "hook/Attach.h"
#include "hook/Exports.h"
#include "settings/Handles.h"
#include "settings/ProcessSettings.h"
#include "tests/support/Monitors.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr RECT kStart{200, 150, 600, 450};

::testing::AssertionResult Is(const RECT& actual, const RECT& expected)
{
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << "} instead of {" << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom << "}";
}

class Stretching : public testing::Test {
protected:
    void SetUp() override
    {
        ResetProcessState();
        placementTable.entries.clear();
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work_, 0);
        window_ = MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, kStart);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    // In the window's own coordinates.
    RECT Rect() const
    {
        const PerMonitorAware scope(aware_);
        return WindowRect(window_);
    }
    RECT StretchBy(mirelunde::Stretch variant)
    {
        MaximizeVariant(window_, variant);
        return Rect();
    }
    void Remake(const Placement& place)
    {
        DestroyWindow(window_);
        aware_ = place.aware;
        const PerMonitorAware scope(aware_);
        window_ = MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, place.start);
    }
    const PlacementEntry* Entry() const
    {
        const auto found = placementTable.entries.find(window_);
        return found == placementTable.entries.end() ? nullptr : &found->second;
    }

    RECT work_{};
    HWND window_ = nullptr;
    bool aware_ = false;
};

TEST_F(Stretching, VerticallyTwiceStretchesThenGivesBackTheHeight)
{
    EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {kStart.left, work_.top, kStart.right, work_.bottom}));
    ASSERT_TRUE(Entry());
    EXPECT_TRUE(Entry()->vertical);
    EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, UnmaximizeUndoesEveryDirectionAtOnce)
{
    StretchBy(Stretch::Vertically);
    EXPECT_TRUE(Is(StretchBy(Stretch::Horizontally), work_));
    EXPECT_TRUE(Is(StretchBy(Stretch::Undo), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, DirectionsAreUndoneOneAtATime)
{
    StretchBy(Stretch::Vertically);
    StretchBy(Stretch::Horizontally);
    EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {work_.left, kStart.top, work_.right, kStart.bottom}));
    ASSERT_TRUE(Entry());
    EXPECT_FALSE(Entry()->vertical);
    EXPECT_TRUE(Entry()->horizontal);
}

TEST_F(Stretching, BothCoversTheWorkAreaAndUndoesOnlyAFullStretch)
{
    StretchBy(Stretch::Vertically);
    EXPECT_TRUE(Is(StretchBy(Stretch::Both), work_)) << "vertical only: Both stretches";
    EXPECT_TRUE(Is(StretchBy(Stretch::Both), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, MovedAfterAStretchIsStretchedAgainNotUndone)
{
    StretchBy(Stretch::Vertically);
    SetWindowPos(window_, nullptr, kStart.left, work_.top + 10, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {kStart.left, work_.top, kStart.right, work_.bottom}));
    EXPECT_TRUE(Is(StretchBy(Stretch::Undo), kStart)) << "the first rectangle is kept";
}

TEST_F(Stretching, SystemMaximizedWindowIsRestoredAndGetsTheStretchAsItsNormalPosition)
{
    ShowWindow(window_, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(window_));
    MaximizeVariant(window_, Stretch::Vertically);
    EXPECT_FALSE(IsZoomed(window_));
    EXPECT_TRUE(Is(WindowRect(window_), {kStart.left, work_.top, kStart.right, work_.bottom}));

    ShowWindow(window_, SW_MAXIMIZE);
    placementTable.entries.clear();
    MaximizeVariant(window_, Stretch::Undo);
    EXPECT_FALSE(IsZoomed(window_)) << "without an entry Un-maximize restores";
}

// Each row stretches and undoes a window on one monitor, or across two, over the work area of the
// monitor with the larger share of it; the same once the system has maximized it there, where the
// stretch lands in screen coordinates whatever the work area's offset on its monitor. For a window of
// the process's DPI awareness and a per-monitor aware one, each in its own coordinates.
TEST_F(Stretching, EveryVariantUsesTheWorkAreaOfTheWindowsMonitor)
{
    for (const bool maximized : {false, true}) {
        for (const Placement& place : Placements(400, 300)) {
            SCOPED_TRACE(place.label + (maximized ? ", maximized by the system first" : ""));
            const RECT& w = place.work;
            const RECT& s = place.start;
            Remake(place);
            ASSERT_TRUE(Is(Rect(), s));
            if (maximized) {
                ShowWindow(window_, SW_MAXIMIZE);
                ASSERT_TRUE(IsZoomed(window_));
            }
            EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {s.left, w.top, s.right, w.bottom}));
            EXPECT_FALSE(IsZoomed(window_));
            EXPECT_TRUE(Is(StretchBy(Stretch::Horizontally), w));
            EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {w.left, s.top, w.right, s.bottom}));
            EXPECT_TRUE(Is(StretchBy(Stretch::Both), w));
            EXPECT_TRUE(Is(StretchBy(Stretch::Both), s));
            EXPECT_FALSE(Entry());
        }
    }
}

TEST_F(Stretching, StretchedThenMovedToAnotherMonitorIsUndoneToItsFirstRectangle)
{
    Monitor second{};
    if (!FindSecondMonitor(second)) GTEST_SKIP() << "one monitor";
    StretchBy(Stretch::Vertically);
    const RECT moved = InWork(second, 50, 20, 400, 300);
    SetWindowPos(window_, nullptr, moved.left, moved.top, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Is(StretchBy(Stretch::Vertically), {moved.left, second.work.top, moved.right, second.work.bottom}))
        << "not spanning the work area there: stretched again";
    EXPECT_TRUE(Is(StretchBy(Stretch::Undo), kStart));
}

// The put-back as the launcher stops, on each monitor. A window the user maximized or minimized
// after stretching it stays so, and shows that rectangle when restored.
TEST_F(Stretching, PutBackGivesEachMonitorsWindowsTheirRectangleBeforeTheFirstStretch)
{
    std::vector<std::tuple<HWND, Placement, int>> windows;
    for (const Placement& place : Placements(400, 300))
        for (const int shown : {SW_SHOWNOACTIVATE, SW_MAXIMIZE, SW_MINIMIZE}) {
            const PerMonitorAware scope(place.aware);
            const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW, 0, nullptr, place.start);
            windows.emplace_back(window, place, shown);
            MaximizeVariant(window, Stretch::Horizontally);
            MaximizeVariant(window, Stretch::Vertically);
            ShowWindow(window, shown);
        }
    RestoreThreadPlacements();
    for (const auto& [window, place, shown] : windows) {
        SCOPED_TRACE(place.label);
        const PerMonitorAware scope(place.aware);
        EXPECT_EQ(IsZoomed(window) != FALSE, shown == SW_MAXIMIZE);
        EXPECT_EQ(IsIconic(window) != FALSE, shown == SW_MINIMIZE);
        ShowWindow(window, SW_SHOWNORMAL);
        EXPECT_TRUE(Is(WindowRect(window), place.start));
        DestroyWindow(window);
    }
    EXPECT_TRUE(placementTable.entries.empty());
}

namespace {

std::atomic<HWND> destroyedOnRestore{nullptr};
WNDPROC recordingProc = nullptr;

// A program that rebuilds a control as its window is restored: the control is destroyed while
// the restore runs, and the hook forgets it then.
LRESULT CALLBACK RebuildingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGED)
        if (const HWND control = destroyedOnRestore.exchange(nullptr)) DestroyWindow(control);
    return CallWindowProcA(recordingProc, window, message, wParam, lParam);
}

}  // namespace

TEST_F(Stretching, UnmaximizeWithoutEntryRestoresWithTheTableFree)
{
    std::atomic<bool> done{false};
    bool restored = false, controlGone = false;
    std::thread program([&] {
        const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
        const HWND control = MakeControl("BUTTON", window);
        Hook hook(SetWindowsHookExA(WH_CALLWNDPROC, BrackwenCallWndProc, nullptr, GetCurrentThreadId()));
        recordingProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RebuildingProc)));
        ShowWindow(window, SW_MINIMIZE);
        destroyedOnRestore = control;
        MaximizeVariant(window, Stretch::Undo);
        restored = !IsIconic(window);
        controlGone = !IsWindow(control);
        DestroyWindow(window);
        done = true;
    });
    if (!PumpUntil([&] { return done.load(); }, 10000)) {
        // The table's lock is held for good: nothing after this could run.
        std::fprintf(stderr, "Un-maximize never returned: the placement table's lock was taken twice\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    program.join();
    EXPECT_TRUE(restored);
    EXPECT_TRUE(controlGone) << "the control was not destroyed during the restore";
}

TEST_F(Stretching, RestorePlacementsGivesBackTheRectangleBeforeTheFirstStretch)
{
    const HWND gone = MakeWindow(WS_OVERLAPPEDWINDOW);
    MaximizeVariant(gone, Stretch::Both);
    DestroyWindow(gone);
    StretchBy(Stretch::Horizontally);
    StretchBy(Stretch::Vertically);
    RestorePlacements();
    EXPECT_TRUE(Is(WindowRect(window_), kStart));
    EXPECT_EQ(placementTable.entries.size(), 2u) << "entries stay until the table goes";
}

// The library leaving the process unshades before it gives rectangles back: unshading gives the
// height of the shading, which was the stretched one.
TEST_F(Stretching, StretchedThenShadedWindowGetsItsWholeEarlierRectangleBack)
{
    processSettings.getMessageHook = reinterpret_cast<HHOOK>(0x20);  // a live session
    StretchBy(Stretch::Both);
    windowTable.ToggleShade(window_);
    DetachProcess();
    EXPECT_TRUE(Is(WindowRect(window_), kStart));
    EXPECT_FALSE(windowTable.IsShaded(window_));
}

// The per-monitor rows above prove something only on the display the environment promised.
TEST(TestDisplay, HasTheMonitorsTheEnvironmentLaidOut)
{
    if (PromisedLayout().empty()) GTEST_SKIP() << "the environment promised no layout";
    const PerMonitorAware onScreen;  // the layout as it is on the screen, where the system scales
    const auto monitors = Monitors();
    EXPECT_EQ(Describe(monitors), PromisedLayout());
    for (size_t i = 0; i < monitors.size(); ++i) {
        const UINT promised = PromisedDpi(i);
        EXPECT_TRUE(promised == 0 || DpiOf(monitors[i]) == promised) << "monitor " << i << ", promised " << promised;
    }
}

}  // namespace
