// The popup menu builder: nesting, marks, choosing and dismissing, and silence towards the owner.
#include "menu/PopupMenu.h"
#include "tests/support/MenuReader.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

using namespace mirelunde;
using namespace testing_support;

namespace {

constexpr UINT kCheckedAndGrayed = kItemChecked | kItemGrayed;
constexpr UINT kRadioChecked = kItemRadio | kItemChecked;

const MenuItemSpec kTable[] = {
    {"First", 0, 1},
    Row(RowKind::Separator),
    Row(RowKind::SubmenuStart, "Nested"),
    {"Ticked grey", kCheckedAndGrayed, 2},
    {"Dotted", kRadioChecked, 3},
    {"Radio unchecked", kItemRadio, 4},
    Row(RowKind::SubmenuEnd),
    {"After", 0, 5},
    Row(RowKind::End),
};

class PopupMenu : public testing::Test {
protected:
    void SetUp() override
    {
        ForgetReceived();
        owner_ = MakeWindow(WS_OVERLAPPEDWINDOW);
        ASSERT_NE(owner_, nullptr);
        SetForegroundWindow(owner_);
        SetCursorPos(700, 500);
    }
    void TearDown() override { DestroyWindow(owner_); }

    UINT_PTR Track(const MenuItemSpec* table, std::vector<const char*> path, std::optional<OpenMenu>& seen)
    {
        MenuAnswerer answerer(GetCurrentProcessId(), std::move(path), 3000);
        const UINT_PTR choice = TrackMenuTable(owner_, table);
        seen = answerer.Result();
        return choice;
    }

    HWND owner_ = nullptr;
};

TEST_F(PopupMenu, RowsBecomeNestedItemsWithTheirMarks)
{
    std::optional<OpenMenu> seen;
    EXPECT_EQ(Track(kTable, {}, seen), 0u) << "dismissed";
    ASSERT_TRUE(seen);
    const auto& top = seen->items;
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[0].text, "First");
    EXPECT_EQ(top[0].id, 1u);
    EXPECT_TRUE(top[1].type & MFT_SEPARATOR);
    EXPECT_EQ(top[2].text, "Nested");
    EXPECT_EQ(top[3].text, "After") << "rows after a submenu end go on in the enclosing menu";

    const auto& nested = top[2].submenu;
    ASSERT_EQ(nested.size(), 3u);
    EXPECT_EQ(nested[0].state & (MFS_CHECKED | MFS_GRAYED), static_cast<UINT>(MFS_CHECKED | MFS_GRAYED));
    EXPECT_FALSE(nested[0].type & MFT_RADIOCHECK);
    EXPECT_TRUE(nested[1].type & MFT_RADIOCHECK);
    EXPECT_TRUE(nested[1].state & MFS_CHECKED);
    EXPECT_TRUE(nested[2].type & MFT_RADIOCHECK);
    EXPECT_FALSE(nested[2].state & MFS_CHECKED);

    for (UINT message : {static_cast<UINT>(WM_INITMENUPOPUP), static_cast<UINT>(WM_COMMAND)})
        EXPECT_FALSE(WasReceived(owner_, message)) << "the owner is told nothing: " << message;
}

TEST_F(PopupMenu, ChoosingReturnsTheNumberAndGrayedItemsCannotBeChosen)
{
    struct Case {
        std::vector<const char*> path;
        UINT_PTR expected;
    } const cases[] = {{{"First"}, 1}, {{"Nested", "Dotted"}, 3}, {{"After"}, 5}, {{"Nested", "Ticked grey"}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.back());
        std::optional<OpenMenu> seen;
        EXPECT_EQ(Track(kTable, c.path, seen), c.expected);
        EXPECT_FALSE(WasReceived(owner_, WM_COMMAND));
    }
}

TEST_F(PopupMenu, UnbalancedTablesKeepTheirRowsSomewhereSensible)
{
    const MenuItemSpec strayEnd[] = {Row(RowKind::SubmenuEnd), {"Kept", 0, 7}, Row(RowKind::End)};
    std::optional<OpenMenu> seen;
    EXPECT_EQ(Track(strayEnd, {"Kept"}, seen), 7u);
    ASSERT_TRUE(seen);
    ASSERT_EQ(seen->items.size(), 1u);

    const MenuItemSpec unclosed[] = {
        {"Outer", 0, 1}, Row(RowKind::SubmenuStart, "Open"), {"Inner", 0, 2}, Row(RowKind::End)};
    EXPECT_EQ(Track(unclosed, {"Inner"}, seen), 2u);
    ASSERT_TRUE(seen);
    ASSERT_EQ(seen->items.size(), 1u) << "the innermost open submenu is the one shown";
    EXPECT_EQ(seen->items[0].text, "Inner");
}

TEST_F(PopupMenu, EmptyTableChoosesNothing)
{
    const MenuItemSpec empty[] = {Row(RowKind::End), {"Never", 0, 9}, Row(RowKind::End)};
    MenuAnswerer answerer(GetCurrentProcessId(), {}, 1500);
    EXPECT_EQ(TrackMenuTable(owner_, empty), 0u);
    const auto seen = answerer.Result();
    if (seen) {
        EXPECT_TRUE(seen->items.empty());
    }
}

}  // namespace
