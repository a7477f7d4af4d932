// The stop question: its box, and on Yes the System Menu item taken away and "HHook" cleared.
#include "actions/WindowTable.h"
#include "settings/Registry.h"
#include "settings/SettingsNames.h"
#include "tests/support/ModalBox.h"
#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr DWORD kPublishedHook = 0x20;

struct StopCase {
    const char* name;
    int defaultAnswer;
    int press;
    int expectedDefault;
    int expectedResult;
    DWORD hookAfter;
    bool itemStays;
};

class RequestStop : public testing::TestWithParam<StopCase> {
protected:
    void SetUp() override
    {
        ResetProcessState();
        ASSERT_TRUE(WriteRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, kPublishedHook));
        window_ = MakeWindow(WS_OVERLAPPEDWINDOW);
        ASSERT_TRUE(windowTable.AddSystemMenuItem(window_));
        itemId_ = windowTable.systemMenuItemId;
    }
    void TearDown() override
    {
        windowTable.RemoveSystemMenuItem();
        DestroyWindow(window_);
    }

    bool ItemInSystemMenu() const
    {
        return GetMenuState(GetSystemMenu(window_, FALSE), itemId_, MF_BYCOMMAND) != static_cast<UINT>(-1);
    }

    HWND window_ = nullptr;
    UINT itemId_ = 0;
};

TEST_P(RequestStop, AsksAndStopsOnlyOnYes)
{
    const StopCase& test = GetParam();
    BoxAnswerer answerer(GetCurrentProcessId(), test.press);
    const int result = windowTable.RequestStop(window_, test.defaultAnswer);
    const auto box = answerer.Result();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_EQ(box->text, "Are you sure you want to stop Mirelunde?");
    EXPECT_EQ(box->owner, window_);
    std::vector<int> buttons = box->buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box->defaultButton, test.expectedDefault);

    EXPECT_EQ(result, test.expectedResult);
    DWORD hook = 0xDEAD;
    ASSERT_TRUE(ReadRegDword(HKEY_CURRENT_USER, names::kSettingsKey, names::kHHook, hook));
    EXPECT_EQ(hook, test.hookAfter);
    EXPECT_EQ(ItemInSystemMenu(), test.itemStays);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RequestStop,
    testing::Values(StopCase{"NoIsTheDefaultAndDeclines", IDNO, IDNO, IDNO, IDNO, kPublishedHook, true},
                    StopCase{"YesClearsHHookAndTakesTheItemAway", IDNO, IDYES, IDNO, 1, 0, false},
                    StopCase{"AnyOtherDefaultLeavesYesTheDefault", IDYES, IDNO, IDYES, IDNO, kPublishedHook, true}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

}  // namespace
