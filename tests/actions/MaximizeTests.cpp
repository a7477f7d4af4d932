// Stretching real windows over the real work area, undoing it, and the restore at detach.
#include "actions/Maximize.h"
#include "hook/ProcessSettings.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

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

    RECT Stretch(CommandId variant)
    {
        MaximizeVariant(window_, variant);
        return WindowRect(window_);
    }
    const PlacementEntry* Entry() const
    {
        const auto found = placementTable.entries.find(window_);
        return found == placementTable.entries.end() ? nullptr : &found->second;
    }

    RECT work_{};
    HWND window_ = nullptr;
};

TEST_F(Stretching, VerticallyTwiceStretchesThenGivesBackTheHeight)
{
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeVertically), {kStart.left, work_.top, kStart.right, work_.bottom}));
    ASSERT_TRUE(Entry());
    EXPECT_TRUE(Entry()->vertical);
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeVertically), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, UnmaximizeUndoesEveryDirectionAtOnce)
{
    Stretch(CommandId::MaximizeVertically);
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeHorizontally), work_));
    EXPECT_TRUE(Is(Stretch(CommandId::Unmaximize), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, DirectionsAreUndoneOneAtATime)
{
    Stretch(CommandId::MaximizeVertically);
    Stretch(CommandId::MaximizeHorizontally);
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeVertically), {work_.left, kStart.top, work_.right, kStart.bottom}));
    ASSERT_TRUE(Entry());
    EXPECT_FALSE(Entry()->vertical);
    EXPECT_TRUE(Entry()->horizontal);
}

TEST_F(Stretching, BothCoversTheWorkAreaAndUndoesOnlyAFullStretch)
{
    Stretch(CommandId::MaximizeVertically);
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeBoth), work_)) << "vertical only: Both stretches";
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeBoth), kStart));
    EXPECT_FALSE(Entry());
}

TEST_F(Stretching, MovedAfterAStretchIsStretchedAgainNotUndone)
{
    Stretch(CommandId::MaximizeVertically);
    SetWindowPos(window_, nullptr, kStart.left, work_.top + 10, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Is(Stretch(CommandId::MaximizeVertically), {kStart.left, work_.top, kStart.right, work_.bottom}));
    EXPECT_TRUE(Is(Stretch(CommandId::Unmaximize), kStart)) << "the first rectangle is kept";
}

TEST_F(Stretching, SystemMaximizedWindowIsRestoredAndGetsTheStretchAsItsNormalPosition)
{
    ShowWindow(window_, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(window_));
    MaximizeVariant(window_, CommandId::MaximizeVertically);
    EXPECT_FALSE(IsZoomed(window_));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window_, &placement);
    EXPECT_TRUE(Is(placement.rcNormalPosition, {kStart.left, work_.top, kStart.right, work_.bottom}));

    ShowWindow(window_, SW_MAXIMIZE);
    placementTable.entries.clear();
    MaximizeVariant(window_, CommandId::Unmaximize);
    EXPECT_FALSE(IsZoomed(window_)) << "without an entry Un-maximize restores";
}

TEST_F(Stretching, RestorePlacementsGivesBackTheRectangleBeforeTheFirstStretch)
{
    const HWND gone = MakeWindow(WS_OVERLAPPEDWINDOW);
    MaximizeVariant(gone, CommandId::MaximizeBoth);
    DestroyWindow(gone);
    Stretch(CommandId::MaximizeHorizontally);
    Stretch(CommandId::MaximizeVertically);
    RestorePlacements();
    EXPECT_TRUE(Is(WindowRect(window_), kStart));
    EXPECT_EQ(placementTable.entries.size(), 2u) << "entries stay until the table goes";
}

// The library leaving the process unshades before it gives rectangles back: unshading gives the
// height of the shading, which was the stretched one.
TEST_F(Stretching, StretchedThenShadedWindowGetsItsWholeEarlierRectangleBack)
{
    processSettings.getMessageHook = reinterpret_cast<HHOOK>(0x20);  // a live session
    Stretch(CommandId::MaximizeBoth);
    windowTable.ToggleShade(window_);
    DetachProcess();
    EXPECT_TRUE(Is(WindowRect(window_), kStart));
    EXPECT_FALSE(windowTable.IsShaded(window_));
}

}  // namespace
